#include "UiTestSupport.h"

#include "ui/FolderList.h"
#include "ui/Form1.h"
#include "ui/QtUserDialogs.h"
#include "ui/Texts.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

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
    Folder("a/茨城県つくば市_アメダス観測点の年次ファイルを置くフォルダ");
    const QString open = QString::fromStdString(a).chopped(1);

    Form1 dialog(nullptr, QStringLiteral("/earlier/"));
    dialog.setPrompt(QStringLiteral("年次ファイルを保存するフォルダを指定して下さい。"));
    // The result as Qt writes paths, to compare with the test's folders on any system.
    const auto result = [&dialog] { return QDir::fromNativeSeparators(dialog.strPath()).toStdString(); };
    dialog.setPath(QString::fromStdString(a));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    // The prompt fits on one line, so no word is split; the dialog is widened for it.
    auto* label1 = Child<QWidget>(&dialog, "Label1");
    EXPECT_LE(label1->fontMetrics().horizontalAdvance(dialog.prompt()), label1->contentsRect().width());

    auto* dir1 = Child<FolderList>(&dialog, "Dir1");
    auto* txtOpen = Child<QLineEdit>(&dialog, "txtOpen");
    // Near the name's start: with the long name the column reaches beyond the viewport.
    const auto onName = [&](QTreeWidgetItem* item) {
        const QRect rect = dir1->visualItemRect(item);
        return QPoint(rect.left() + 20, rect.center().y());
    };
    // The ancestors, the open folder and its subfolders, nested in that order.
    QTreeWidgetItem* b = EntryNamed(dir1, QStringLiteral("b"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->parent(), EntryNamed(dir1, QDir(open).dirName()));
    EXPECT_NE(EntryNamed(dir1, QStringLiteral("c")), nullptr);
    EXPECT_EQ(dir1->topLevelItem(0)->text(0), QDir::toNativeSeparators(FolderRoot(open)));
#ifdef Q_OS_WIN
    // Drives as Windows names them.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Za-z]:\\\\$"))
                    .match(dir1->topLevelItem(0)->text(0))
                    .hasMatch());
#endif

    // A click only highlights; the path shown stays the open folder's, which OK returns.
    QTest::mouseClick(dir1->viewport(), Qt::LeftButton, {}, onName(b));
    EXPECT_EQ(dir1->highlightedPath(), open + QStringLiteral("/b"));
    EXPECT_EQ(dir1->path(), open);
    EXPECT_EQ(txtOpen->text(), QDir::toNativeSeparators(open));
    // Enter on a button presses nothing; Escape closes the dialog without pressing Cancel, so the
    // result stays but the closing is not an OK.
    auto* cmdOK = Child<QPushButton>(&dialog, "cmdOK");
    QTest::keyClick(cmdOK, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(cmdOK, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.strPath(), QStringLiteral("/earlier/"));

    dialog.show();
    QTest::mouseClick(cmdOK, Qt::LeftButton);
    EXPECT_EQ(result(), a);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    // A double click opens; OK then gives that folder.
    dialog.show();
    b = EntryNamed(dir1, QStringLiteral("b"));
    QTest::mouseDClick(dir1->viewport(), Qt::LeftButton, {}, onName(b));
    EXPECT_EQ(dir1->path(), open + QStringLiteral("/b"));
    EXPECT_EQ(txtOpen->text(), QDir::toNativeSeparators(open + QStringLiteral("/b")));
    EXPECT_EQ(EntryNamed(dir1, QStringLiteral("c")), nullptr);
    cmdOK->click();
    EXPECT_EQ(result(), a + "b/");
    EXPECT_EQ(dialog.strPath(), txtOpen->text() + QDir::separator());

    // The frame's close button keeps the result without accepting it, the root gives "/", Cancel
    // empties it.
    dialog.show();
    dialog.close();
    EXPECT_EQ(result(), a + "b/");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    dialog.setPath(QDir::rootPath());
    cmdOK->click();
    EXPECT_EQ(dialog.strPath(), QDir::toNativeSeparators(QDir::rootPath()));
    Child<QPushButton>(&dialog, "cmdCancel")->click();
    EXPECT_EQ(dialog.strPath(), QString());

    // No start folder: the dialog's own default; a missing one: its nearest existing ancestor.
    Form1 fresh;
    dir1 = Child<FolderList>(&fresh, "Dir1");
    EXPECT_EQ(dir1->path(), QDir::currentPath());
    fresh.setPath(QString::fromStdString(a + "missing/deeper"));
    EXPECT_EQ(dir1->path().toStdString() + "/", a);

    // The drives: mounted roots that are folders, each once, "/" first and the others in name order.
    const QString mountA = QString::fromStdString(Folder("mnt/a")).chopped(1);
    const QString mountB = QString::fromStdString(Folder("mnt/b")).chopped(1);
    const QString mountedFile = QString::fromStdString(Folder("mnt")) + QStringLiteral("file");
    WriteFile(mountedFile.toStdString(), "a file mounted over another");
    EXPECT_EQ(
        DriveRoots({mountB, QDir::rootPath(), mountedFile, mountA, mountB, mountA + QStringLiteral("x")}),
        QStringList({QDir::rootPath(), mountA, mountB}));
    EXPECT_EQ(DriveRoots({}), QStringList({QDir::rootPath()}));
    // Choosing a drive opens its root; the choice is made on an entry added here, so that it happens on
    // a machine with a single mount too.
    auto* drive1 = Child<QComboBox>(&fresh, "Drive1");
    drive1->addItem(open);
    drive1->setCurrentIndex(drive1->count() - 1);
    EXPECT_EQ(dir1->path(), open);
    EXPECT_NE(EntryNamed(dir1, QStringLiteral("b")), nullptr);
    drive1->setCurrentIndex(0);
    EXPECT_EQ(dir1->path(), QDir::rootPath());
}

TEST_F(FolderDialog, OpensATypedPathSaysWhyOneCannotBeOpenedAndMakesNewFolders) {
    const std::string a = Folder("a");
    Folder("a/b");
    Folder("a/c");
    WriteFile(a + "file.csv", "not a folder");
    const QString open = QString::fromStdString(a).chopped(1);
    Form1 dialog;
    dialog.setPath(open);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* dir1 = Child<FolderList>(&dialog, "Dir1");
    auto* txtOpen = Child<QLineEdit>(&dialog, "txtOpen");
    auto* lblProblem = Child<QLabel>(&dialog, "lblProblem");
    // The user starts in the folder list, not on the drives.
    EXPECT_EQ(dialog.focusWidget(), dir1);

    // Typed or pasted, absolute or from the open folder: Enter opens it.
    const auto enter = [&](const QString& typed) {
        txtOpen->selectAll();
        QTest::keyClicks(txtOpen, typed);
        QTest::keyClick(txtOpen, Qt::Key_Return);
    };
    enter(open + QStringLiteral("/b"));
    EXPECT_EQ(dir1->path(), open + QStringLiteral("/b"));
    enter(QStringLiteral("../c"));
    EXPECT_EQ(dir1->path(), open + QStringLiteral("/c"));
    EXPECT_TRUE(dialog.isVisible()); // Enter presses no button

    // What cannot be opened is said, and the list stays where it was.
    enter(open + QStringLiteral("/missing"));
    EXPECT_EQ(lblProblem->text(),
              text::FolderNotFound(QDir::toNativeSeparators(open + QStringLiteral("/missing"))));
    enter(open + QStringLiteral("/file.csv"));
    EXPECT_EQ(lblProblem->text(),
              text::NotAFolder(QDir::toNativeSeparators(open + QStringLiteral("/file.csv"))));
    EXPECT_EQ(dir1->path(), open + QStringLiteral("/c"));
    // OK takes a typed path it can open, and refuses one it cannot.
    auto* cmdOK = Child<QPushButton>(&dialog, "cmdOK");
    cmdOK->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    txtOpen->setText(open + QStringLiteral("/b/"));
    cmdOK->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(QDir::fromNativeSeparators(dialog.strPath()).toStdString(), a + "b/");
    EXPECT_EQ(lblProblem->text(), QString());

    // A new folder is made in the open folder, named in place and opened, so that OK takes it.
    dialog.setPath(open);
    dialog.show();
    auto* cmdNewFolder = Child<QPushButton>(&dialog, "cmdNewFolder");
    const auto makeFolder = [&](const QString& name) {
        cmdNewFolder->click();
        QLineEdit* editor = nullptr;
        // The editor of an earlier name may still wait for its deletion.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(QTest::qWaitFor([&] { return (editor = dir1->viewport()->findChild<QLineEdit*>()); }));
        if (!editor) return;
        EXPECT_TRUE(editor->text().startsWith(text::NewFolderName()));
        editor->selectAll();
        editor->insert(name); // as an input method gives it
        QTest::keyClick(editor, Qt::Key_Return);
    };
    makeFolder(QStringLiteral("出力 2026"));
    QTRY_COMPARE(dir1->path(), open + QStringLiteral("/出力 2026"));
    EXPECT_EQ(txtOpen->text(), QDir::toNativeSeparators(dir1->path()));
    EXPECT_FALSE(QFileInfo::exists(open + QStringLiteral("/新しいフォルダ")));
    // A name that is taken or unusable leaves the new folder under its own name, and says why; an
    // existing folder is never replaced.
    dialog.setPath(open);
    makeFolder(QStringLiteral("b"));
    QTRY_COMPARE(dir1->path(), open + QStringLiteral("/新しいフォルダ"));
    EXPECT_EQ(lblProblem->text(), text::FolderExists(QDir::toNativeSeparators(open + QStringLiteral("/b"))));
    EXPECT_TRUE(QFileInfo(open + QStringLiteral("/b")).isDir());
    dialog.setPath(open);
    makeFolder(QStringLiteral("x/y"));
    QTRY_COMPARE(dir1->path(), open + QStringLiteral("/新しいフォルダ (2)"));
    EXPECT_EQ(lblProblem->text(), text::FolderNameUnusable(QStringLiteral("x/y")));

    // OK clicked while the name is still being typed: the new folder under that name.
    dialog.setPath(open);
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    cmdNewFolder->click();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    editor->insert(QStringLiteral("観測 2027"));
    QTest::mouseClick(cmdOK, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(QDir::fromNativeSeparators(dialog.strPath()), open + QStringLiteral("/観測 2027/"));
    EXPECT_TRUE(QFileInfo(dialog.strPath()).isDir());

    // A folder the user may not enter, and one the new folder cannot be made in.
    dialog.show();
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows folders have no permission bits that keep their owner out";
#else
    if (geteuid() == 0) GTEST_SKIP() << "root opens and writes every folder";
#endif
    const QString locked = open + QStringLiteral("/c");
    std::filesystem::permissions(locked.toStdString(), std::filesystem::perms::none);
    enter(locked);
    EXPECT_EQ(lblProblem->text(), text::FolderCannotOpen(QDir::toNativeSeparators(locked),
                                                         QStringLiteral("アクセスが拒否されました")));
    std::filesystem::permissions(locked.toStdString(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    dialog.setPath(locked);
    cmdNewFolder->click();
    EXPECT_EQ(lblProblem->text(),
              text::FolderNotMade(QDir::toNativeSeparators(locked + QStringLiteral("/新しいフォルダ")),
                                  QStringLiteral("アクセスが拒否されました")));
    std::filesystem::permissions(locked.toStdString(), std::filesystem::perms::owner_all);
}

TEST_F(FolderDialog, TheOutputFolderQuestionStartsWhereTheLastRunWroteKeptInTheSettings) {
    const std::string monthly = Folder("monthly");
    const QString earlier = QString::fromStdString(Folder("earlier output"));
    const QString later = QString::fromStdString(Folder("later output"));
    WriteMonthlyFile(monthly, 2024, 7, "0101");
    WriteFile(SettingsFile(), "[Path]\r\nLoad=" + monthly + "\r\nSave=" + earlier.toStdString() + "\r\n");
    // A start that asks twice, the second time cancelled, and exits: where each question started.
    const auto startFolders = [&](const QString& chosen) {
        auto window = StartWindow();
        SetCoordinates(window.get(), COORDINATES);
        for (const QString& output : {chosen, QString()}) {
            Child<QListWidget>(window.get(), "List1")->selectAll();
            EXPECT_TRUE(RunInto(*window, output.toStdString()));
        }
        Click(window.get(), "cmdExit");
        return dialogs->StartFolders();
    };
    // A cancel keeps the last folder to start from, also for the next start.
    EXPECT_EQ(startFolders(later), QStringList({earlier, later}));
    EXPECT_EQ(startFolders(QString()), QStringList({later, later}));
    // A folder that is gone is not offered: the monthly folder is.
    std::filesystem::remove_all(later.toStdString());
    EXPECT_EQ(startFolders(QString()), QStringList(2, QString::fromStdString(monthly)));
}

TEST_F(FolderDialog, OnlyOkChoosesAFolderThoughTheDialogKeepsAnEarlierOne) {
    // Closed through its frame or with Escape the dialog still holds the folder of an earlier OK;
    // handing that back would convert into, or list, a folder the user did not choose this time.
    const std::string output = Folder("output");
    int asked = 0;
    QStringList seen; // any other modal window, or one too many, is recorded and closed
    ModalUser user([&](QWidget* modal) {
        auto* dialog = qobject_cast<Form1*>(modal);
        seen << (dialog && asked < 3 ? dialog->prompt() : QStringLiteral("unexpected"));
        if (!dialog || asked >= 3) return void(modal->close());
        if (asked++ == 0) {
            dialog->setPath(QString::fromStdString(output));
            Click(dialog, "cmdOK");
        } else if (asked == 2) {
            dialog->close();
        } else {
            QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_Escape);
        }
    });
    QtUserDialogs dialogs;
    const QString prompt = QStringLiteral("年次ファイルを保存するフォルダを指定して下さい。");
    EXPECT_EQ(dialogs.AskFolder(prompt, QString()).toStdString(), Shown(output));
    EXPECT_EQ(dialogs.AskFolder(prompt, QString()), QString());
    EXPECT_EQ(dialogs.AskFolder(prompt, QString()), QString());
    EXPECT_EQ(seen, QStringList(3, prompt));
}

} // namespace
} // namespace kolvane::testing
