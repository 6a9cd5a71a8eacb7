#include "UiTestSupport.h"

#include "ui/FolderList.h"
#include "ui/Form1.h"
#include "ui/QtUserDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>

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
    EXPECT_EQ(dialog.strPath().toStdString(), a);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    // A double click opens; OK then gives that folder.
    dialog.show();
    b = EntryNamed(dir1, QStringLiteral("b"));
    QTest::mouseDClick(dir1->viewport(), Qt::LeftButton, {}, dir1->visualItemRect(b).center());
    EXPECT_EQ(dir1->path(), open + QStringLiteral("/b"));
    EXPECT_EQ(EntryNamed(dir1, QStringLiteral("c")), nullptr);
    cmdOK->click();
    EXPECT_EQ(dialog.strPath().toStdString(), a + "b/");

    // The frame's close button keeps the result without accepting it, the root gives "/", Cancel
    // empties it.
    dialog.show();
    dialog.close();
    EXPECT_EQ(dialog.strPath().toStdString(), a + "b/");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
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

    // The drives: mounted roots that are folders, each once, "/" first and the others in name order.
    const QString mountA = QString::fromStdString(Folder("mnt/a")).chopped(1);
    const QString mountB = QString::fromStdString(Folder("mnt/b")).chopped(1);
    const QString mountedFile = QString::fromStdString(Folder("mnt")) + QStringLiteral("file");
    WriteFile(mountedFile.toStdString(), "a file mounted over another");
    EXPECT_EQ(
        DriveRoots({mountB, QStringLiteral("/"), mountedFile, mountA, mountB, mountA + QStringLiteral("x")}),
        QStringList({QStringLiteral("/"), mountA, mountB}));
    EXPECT_EQ(DriveRoots({}), QStringList({QStringLiteral("/")}));
    // The dialog lists the machine's mounts so, with the one of the test's folders among them, and
    // opens on the drive of the working folder.
    auto* drive1 = Child<QComboBox>(&fresh, "Drive1");
    const QStringList roots = Texts(drive1);
    EXPECT_EQ(roots, DriveRoots(roots));
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

// Plays the user on the real folder dialog shown modally: each time one is up, the next answer is
// given. Any other modal window, or one too many, is rejected and recorded, so no test waits for ever.
class FolderUser {
  public:
    using Answer = std::function<void(Form1*)>;

    explicit FolderUser(std::deque<Answer> answers) : answers_(std::move(answers)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible()) return;
            auto* dialog = qobject_cast<Form1*>(modal);
            if (!dialog || answers_.empty()) {
                seen << QStringLiteral("unexpected ") + modal->windowTitle();
                modal->close();
                return;
            }
            seen << dialog->prompt();
            const Answer answer = answers_.front();
            answers_.pop_front();
            answer(dialog);
        });
        timer_.start(10);
    }

    QStringList seen;

  private:
    std::deque<Answer> answers_;
    QTimer timer_;
};

TEST_F(FolderDialog, OnlyOkChoosesAFolderThoughTheDialogKeepsAnEarlierOne) {
    // Closed through its frame or with Escape the dialog still holds the folder of an earlier OK;
    // handing that back would convert into, or list, a folder the user did not choose this time.
    const std::string output = Folder("output");
    FolderUser user({[&](Form1* dialog) {
                         dialog->setPath(QString::fromStdString(output));
                         Child<QPushButton>(dialog, "cmdOK")->click();
                     },
                     [](Form1* dialog) { dialog->close(); },
                     [](Form1* dialog) {
                         QWidget* focus = dialog->focusWidget();
                         QTest::keyClick(focus ? focus : dialog, Qt::Key_Escape);
                     }});
    QtUserDialogs dialogs;
    const QString prompt = QStringLiteral("年次ファイルを保存するフォルダを指定して下さい。");
    EXPECT_EQ(dialogs.AskFolder(prompt, QString()).toStdString(), output);
    EXPECT_EQ(dialogs.AskFolder(prompt, QString()), QString());
    EXPECT_EQ(dialogs.AskFolder(prompt, QString()), QString());
    EXPECT_EQ(user.seen, QStringList(3, prompt));
}

} // namespace
} // namespace kolvane::testing
