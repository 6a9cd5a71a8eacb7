#include "UiTestSupport.h"

#include "ui/FolderList.h"
#include "ui/Form1.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace kolvane::testing {
namespace {

using FolderDialog = UiFixture;

QTreeWidgetItem* EntryNamed(FolderList* list, const QString& name) {
    const auto found = list->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

TEST_F(FolderDialog, OkGivesTheOpenFolderNotTheHighlightedOneAndCancelEmptiesTheResult) {
    const std::string a = Folder("a");
    Folder("a/b");
    Folder("a/c");
    const QString open = QString::fromStdString(a).chopped(1);

    Form1 dialog(nullptr, QStringLiteral("/earlier/"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("フォルダ選択"));
    const QString prompt = QStringLiteral("年次ファイルを保存するフォルダを指定して下さい。");
    dialog.setPrompt(prompt);
    EXPECT_EQ(Child<QLabel>(&dialog, "Label1")->text(), prompt);
    dialog.setPath(QString::fromStdString(a));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    auto* dir1 = Child<FolderList>(&dialog, "Dir1");
    // The ancestors, the open folder and its subfolders, nested in that order.
    QTreeWidgetItem* b = EntryNamed(dir1, QStringLiteral("b"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->parent(), EntryNamed(dir1, QDir(open).dirName()));
    EXPECT_NE(EntryNamed(dir1, QStringLiteral("c")), nullptr);
    EXPECT_EQ(dir1->topLevelItem(0)->text(0), QStringLiteral("/"));

    // A click only highlights.
    QTest::mouseClick(dir1->viewport(), Qt::LeftButton, {}, dir1->visualItemRect(b).center());
    EXPECT_EQ(dir1->highlightedPath(), open + QStringLiteral("/b"));
    EXPECT_EQ(dir1->path(), open);
    // Neither Enter nor Escape on a button presses OK or Cancel.
    auto* cmdOK = Child<QPushButton>(&dialog, "cmdOK");
    QTest::keyClick(cmdOK, Qt::Key_Return);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.strPath(), QStringLiteral("/earlier/"));

    QTest::mouseClick(cmdOK, Qt::LeftButton);
    EXPECT_EQ(dialog.strPath().toStdString(), a);

    // A double click opens; OK then gives that folder.
    dialog.show();
    b = EntryNamed(dir1, QStringLiteral("b"));
    QTest::mouseDClick(dir1->viewport(), Qt::LeftButton, {}, dir1->visualItemRect(b).center());
    EXPECT_EQ(dir1->path(), open + QStringLiteral("/b"));
    EXPECT_EQ(EntryNamed(dir1, QStringLiteral("c")), nullptr);
    cmdOK->click();
    EXPECT_EQ(dialog.strPath().toStdString(), a + "b/");

    // The frame's close button keeps the result, the root gives "/", Cancel empties it.
    dialog.show();
    dialog.close();
    EXPECT_EQ(dialog.strPath().toStdString(), a + "b/");
    dialog.setPath(QStringLiteral("/"));
    cmdOK->click();
    EXPECT_EQ(dialog.strPath(), QStringLiteral("/"));
    Child<QPushButton>(&dialog, "cmdCancel")->click();
    EXPECT_EQ(dialog.strPath(), QString());

    // No start folder: the dialog's own default; a missing one: its nearest existing ancestor.
    Form1 fresh;
    dir1 = Child<FolderList>(&fresh, "Dir1");
    EXPECT_EQ(dir1->path(), QDir::currentPath());
    fresh.setPath(QString::fromStdString(a + "missing/deeper"));
    EXPECT_EQ(dir1->path().toStdString() + "/", a);

    // The drives are the mounted roots, "/" first; setting the folder moves no drive and choosing a
    // drive opens its root.
    const QStringList roots = MountedDriveRoots();
    ASSERT_EQ(roots.value(0), QStringLiteral("/"));
    auto* drive1 = Child<QComboBox>(&fresh, "Drive1");
    EXPECT_EQ(Texts(drive1), roots);
    const int other = drive1->currentIndex() == 0 ? roots.size() - 1 : 0;
    if (other != drive1->currentIndex()) {
        drive1->setCurrentIndex(other);
        EXPECT_EQ(dir1->path(), roots[other]);
    }
}

} // namespace
} // namespace kolvane::testing
