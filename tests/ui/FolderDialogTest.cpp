#include "UiTestSupport.h"

#include "ui/FolderList.h"
#include "ui/Form1.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStorageInfo>
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

    // The drives: "/" first, then the other mounted roots in name order, each once and each a folder
    // (most containers have "/" alone, so the list is checked for its form, not its length).
    auto* drive1 = Child<QComboBox>(&fresh, "Drive1");
    const QStringList roots = Texts(drive1);
    ASSERT_FALSE(roots.isEmpty());
    EXPECT_EQ(roots[0], QStringLiteral("/"));
    for (qsizetype i = 1; i < roots.size(); ++i) {
        EXPECT_LT(roots[i - 1].compare(roots[i]), 0) << roots.join(u' ').toStdString();
        EXPECT_NE(roots[i], QStringLiteral("/"));
        EXPECT_TRUE(QFileInfo(roots[i]).isDir()) << roots[i].toStdString();
    }
    // The mount holding the test's folders is one of them, and the one of the working folder is chosen.
    EXPECT_TRUE(roots.contains(QStorageInfo(temp.path()).rootPath())) << roots.join(u' ').toStdString();
    EXPECT_EQ(roots.value(drive1->currentIndex()), QStorageInfo(QDir::currentPath()).rootPath());

    // Setting the folder moves no drive; choosing a drive opens its root. The choice is made on a
    // second entry added here, so that it happens on a machine with a single mount too.
    const int before = drive1->currentIndex();
    fresh.setPath(QString::fromStdString(a));
    EXPECT_EQ(drive1->currentIndex(), before);
    drive1->addItem(open);
    drive1->setCurrentIndex(drive1->count() - 1);
    EXPECT_EQ(dir1->path(), open);
    EXPECT_NE(EntryNamed(dir1, QStringLiteral("b")), nullptr);
    drive1->setCurrentIndex(0);
    EXPECT_EQ(dir1->path(), QStringLiteral("/"));
}

} // namespace
} // namespace kolvane::testing
