#pragma once

#include <QAbstractItemDelegate>
#include <QString>
#include <QTreeWidget>
#include <optional>
#include <utility>

namespace kolvane {

// The root of the file system (on Windows, the drive) that holds `folder`, as Qt writes it: "/", "C:/".
QString FolderRoot(const QString& folder);

// A folder list in the classic manner: the ancestors of the open folder, the open folder, and its
// subfolders. A click only highlights an entry; a double click (or Enter) opens it.
class FolderList : public QTreeWidget {
    Q_OBJECT
  public:
    explicit FolderList(QWidget* parent = nullptr);

    // The open folder: absolute, without a trailing "/" except for the root itself. Written with "/" as
    // Qt writes paths; the list shows them with the system's separator.
    QString path() const { return path_; }
    // Opens `folder`. Empty text opens the working folder; a folder that does not exist (or is not
    // a folder) opens its nearest existing ancestor.
    void setPath(const QString& folder);

    // The folder of the highlighted entry, which need not be the open one.
    QString highlightedPath() const;

    // Makes a subfolder of the open folder under a free name and lets the user rename it in place;
    // once named it is opened, so that OK takes it. Returns what went wrong, or empty text.
    QString MakeNewFolder();
    // Renames and opens a new folder whose name was typed, now rather than once the list is idle.
    void FinishNaming();

  signals:
    void pathChanged(const QString& path);
    // The new folder could not be named as typed.
    void problem(const QString& text);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The nesting alone shows the hierarchy: no expand arrows.
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

  private:
    void openItem(QTreeWidgetItem* item);
    void rebuild();

    // Renames the new folder `made` to `wanted` once its editor closes; returns its path then, and
    // says in `trouble` why it keeps its name.
    QString NameNewFolder(const QString& made, const QString& wanted, QString& trouble);

    QString path_;
    QString namingPath_; // the new folder while its name is edited
    // Its path and the name typed, until it is renamed and opened.
    std::optional<std::pair<QString, QString>> pendingName_;
};

} // namespace kolvane
