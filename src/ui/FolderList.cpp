#include "ui/FolderList.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>

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

void FolderList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
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
