#pragma once

#include <QString>
#include <QTreeWidget>

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

  signals:
    void pathChanged(const QString& path);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The nesting alone shows the hierarchy: no expand arrows.
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}

  private:
    void openItem(QTreeWidgetItem* item);
    void rebuild();

    QString path_;
};

} // namespace kolvane
