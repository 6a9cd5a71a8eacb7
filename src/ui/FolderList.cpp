#include "ui/FolderList.h"

#include "model/Messages.h"
#include "ui/Layout.h"
#include "ui/Texts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QTimer>
#include <filesystem>

namespace kolvane {
namespace {

constexpr int PATH_ROLE = Qt::UserRole;

QString ExistingFolderFor(const QString& folder) {
    QString path = QDir::cleanPath(QDir(folder.isEmpty() ? QDir::currentPath() : folder).absolutePath());
    while (!QFileInfo(path).isDir() && !QDir(path).isRoot())
        path = QFileInfo(path).absolutePath();
    return path;
}

QString ChildPath(const QString& parent, const QString& name) {
    return parent.endsWith(QLatin1Char('/')) ? parent + name : parent + QLatin1Char('/') + name;
}

// Through UTF-16, so that the name reaches the file system as typed on every platform.
std::filesystem::path FileSystemPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

QString Reason(const std::error_code& error) {
    return FromCore(DescribeSystemError(error.default_error_condition().value()));
}

} // namespace

QString FolderRoot(const QString& folder) {
    QString root = QDir::cleanPath(QDir(folder).absolutePath());
    while (!QDir(root).isRoot()) {
        const QString up = QFileInfo(root).absolutePath();
        if (up == root) break;
        root = up;
    }
    return root;
}

FolderList::FolderList(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(fontMetrics().height() / 2 + 2);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A long name scrolls sideways rather than being cut; its tooltip shows the full path too.
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { openItem(item); });
    setPath(QString());
}

void FolderList::setPath(const QString& folder) {
    path_ = ExistingFolderFor(folder);
    rebuild();
    emit pathChanged(path_);
}

QString FolderList::highlightedPath() const {
    const QTreeWidgetItem* item = currentItem();
    return item ? item->data(0, PATH_ROLE).toString() : path_;
}

QString FolderList::MakeNewFolder() {
    QString made = ChildPath(path_, text::NewFolderName());
    for (int n = 2; QFileInfo::exists(made); ++n)
        made = ChildPath(path_, text::NewFolderName() + QStringLiteral(" (%1)").arg(n));
    std::error_code error;
    std::filesystem::create_directory(FileSystemPath(made), error);
    if (error) return text::FolderNotMade(QDir::toNativeSeparators(made), Reason(error));
    rebuild();
    const auto found = findItems(QFileInfo(made).fileName(), Qt::MatchExactly | Qt::MatchRecursive);
    for (QTreeWidgetItem* item : found) {
        if (item->data(0, PATH_ROLE).toString() != made) continue;
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        setCurrentItem(item);
        namingPath_ = made;
        editItem(item, 0);
    }
    return QString();
}

void FolderList::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // The name is read from the editor: the item may be gone with a rebuilt list.
    const auto* line = qobject_cast<QLineEdit*>(editor);
    QTreeWidget::closeEditor(editor, hint);
    if (namingPath_.isEmpty()) return;
    const QString made = std::exchange(namingPath_, QString());
    const bool kept = !line || hint == QAbstractItemDelegate::RevertModelCache; // Escape
    pendingName_ = {made, kept ? QFileInfo(made).fileName() : line->text().trimmed()};
    // Once the view is done with the editor: the list is rebuilt under it.
    QTimer::singleShot(0, this, &FolderList::FinishNaming);
}

void FolderList::FinishNaming() {
    // A name still being typed (OK pressed by its access key) is taken as it stands.
    if (auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        editor && !namingPath_.isEmpty() && viewport()->isAncestorOf(editor)) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
    }
    if (!pendingName_) return;
    const auto [made, wanted] = *std::exchange(pendingName_, std::nullopt);
    QString trouble;
    setPath(NameNewFolder(made, wanted, trouble));
    // After the opening, which clears what was said before.
    if (!trouble.isEmpty()) emit problem(trouble);
}

QString FolderList::NameNewFolder(const QString& made, const QString& wanted, QString& trouble) {
    if (wanted == QFileInfo(made).fileName()) return made;
    if (wanted.isEmpty() || wanted == QLatin1String(".") || wanted == QLatin1String("..") ||
        wanted.contains(QLatin1Char('/')) || wanted.contains(QLatin1Char('\\'))) {
        trouble = text::FolderNameUnusable(wanted);
        return made;
    }
    const QString target = ChildPath(QFileInfo(made).absolutePath(), wanted);
    // A rename onto an empty folder would silently replace it.
    if (QFileInfo::exists(target)) {
        trouble = text::FolderExists(QDir::toNativeSeparators(target));
        return made;
    }
    std::error_code error;
    std::filesystem::rename(FileSystemPath(made), FileSystemPath(target), error);
    if (error) {
        trouble = text::FolderNotRenamed(wanted, Reason(error));
        return made;
    }
    return target;
}

void FolderList::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    // The Enter that ends the naming of a new folder comes here before the name is taken; the folder
    // is opened under its name then.
    if (enter && (pendingName_ || !namingPath_.isEmpty())) return;
    if (enter && currentItem()) {
        openItem(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void FolderList::openItem(QTreeWidgetItem* item) {
    if (item) setPath(item->data(0, PATH_ROLE).toString());
}

void FolderList::rebuild() {
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The chain from the root of the open folder's drive down to it, each entry nested in the one above.
    const QString root = FolderRoot(path_);
    QTreeWidgetItem* open = new QTreeWidgetItem(this, {QDir::toNativeSeparators(root)});
    open->setData(0, PATH_ROLE, root);
    open->setIcon(0, openIcon);
    open->setToolTip(0, QDir::toNativeSeparators(root));
    QString walked = root;
    for (const QString& part : path_.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        walked = ChildPath(walked, part);
        open = new QTreeWidgetItem(open, {part});
        open->setData(0, PATH_ROLE, walked);
        open->setIcon(0, openIcon);
        open->setToolTip(0, QDir::toNativeSeparators(walked));
    }
    // The ancestors carry the open icon too, so the open folder itself is set apart in bold.
    QFont bold = open->font(0);
    bold.setBold(true);
    open->setFont(0, bold);

    // An unreadable folder simply shows no subfolders.
    const QStringList children =
        QDir(path_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : children) {
        auto* child = new QTreeWidgetItem(open, {name});
        child->setData(0, PATH_ROLE, ChildPath(path_, name));
        child->setIcon(0, closedIcon);
        child->setToolTip(0, QDir::toNativeSeparators(child->data(0, PATH_ROLE).toString()));
    }

    expandAll();
    setCurrentItem(open);
    scrollToItem(open);
}

} // namespace kolvane
