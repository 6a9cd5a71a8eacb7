#include "UiTestSupport.h"

#include "ui/FolderList.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStorageInfo>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <functional>

namespace kolvane::testing {
namespace {

using FolderDialog = UiFixture;

QTreeWidgetItem* EntryNamed(FolderList* list, const QString& name) {
    const auto found = list->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

// The real folder dialog, shown modally by the window's seam: a timer plays the user on each modal
// window in turn. A window no step expects is rejected and recorded, so no test waits for ever.
class ModalUser {
  public:
    using Step = std::function<void(QWidget*)>;

    ModalUser() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible()) return;
            if (steps.empty()) {
                seen << QStringLiteral("unexpected ") + modal->windowTitle();
                if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
                return;
            }
            const Step step = steps.front();
            steps.pop_front();
            step(modal);
        });
        timer_.start(10);
    }

    // Steps for the folder dialog: record its prompt, then answer it.
    void OnFolderDialog(std::function<void(Form1*)> answer) {
        steps.push_back([this, answer](QWidget* modal) {
            auto* dialog = qobject_cast<Form1*>(modal);
            if (!dialog) {
                seen << QStringLiteral("not the folder dialog: ") + modal->windowTitle();
                qobject_cast<QDialog*>(modal)->reject();
                return;
            }
            seen << dialog->prompt();
            answer(dialog);
        });
    }
    void OnMessage() {
        steps.push_back([this](QWidget* modal) {
            auto* message = qobject_cast<QMessageBox*>(modal);
            seen << (message ? message->text() : QStringLiteral("not a message"));
            qobject_cast<QDialog*>(modal)->reject();
        });
    }

    std::deque<Step> steps;
    QStringList seen;

  private:
    QTimer timer_;
};

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

TEST_F(FolderDialog, ClosedThroughItsFrameOrWithEscapeItCancelsRunAndKeepsTheMonthlyFolder) {
    const std::string data = Folder("app/Data");
    WriteMonthlyFile(data, 2024, 1, "0101");
    const std::string output = Folder("output");
    const std::string yearly = output + "Y2024_0101.csv";
    auto window = StartWindow(false);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    SetCoordinates(window.get(), Strings({"35", "41", "0", "139", "45", "30"}));
    auto* list = Child<QListWidget>(window.get(), "List1");
    ASSERT_EQ(list->count(), 1);
    list->item(0)->setSelected(true);
    auto* cmdOK = Child<QPushButton>(window.get(), "cmdOK");
    auto* command1 = Child<QPushButton>(window.get(), "Command1");

    const QString toSave = QStringLiteral("年次ファイルを保存するフォルダを指定して下さい。");
    const QString monthly = QStringLiteral("月次ファイルがあるフォルダを指定して下さい。");
    const QString done = QStringLiteral("終了しました。");
    const auto closeByFrame = [](Form1* dialog) { dialog->close(); };
    const auto pressEscape = [](Form1* dialog) {
        QWidget* focus = dialog->focusWidget();
        QTest::keyClick(focus ? focus : dialog, Qt::Key_Escape);
    };

    ModalUser user;
    // An OK into the output folder: the dialog now holds that folder as its result.
    user.OnFolderDialog([&](Form1* dialog) {
        dialog->setPath(QString::fromStdString(output));
        Child<QPushButton>(dialog, "cmdOK")->click();
    });
    user.OnMessage();
    cmdOK->click();
    ASSERT_TRUE(RunEnds(*window));
    ASSERT_EQ(user.seen.size(), 2);
    ASSERT_EQ(user.seen[0], toSave);
    ASSERT_TRUE(user.seen[1].startsWith(done)) << user.seen[1].toStdString();
    ASSERT_TRUE(std::filesystem::exists(yearly));
    for (const auto& entry : std::filesystem::directory_iterator(output))
        std::filesystem::remove(entry.path()); // the yearly file and its companion

    // Closed through the frame, then with Escape: each run ends without a word and writes nothing.
    for (const auto& close :
         {std::function<void(Form1*)>(closeByFrame), std::function<void(Form1*)>(pressEscape)}) {
        user.seen.clear();
        user.OnFolderDialog(close);
        cmdOK->click();
        ASSERT_TRUE(RunEnds(*window)); // had one started, it would be over before the folder is looked at
        EXPECT_EQ(user.seen, QStringList({toSave}));
        EXPECT_TRUE(std::filesystem::is_empty(output));
        EXPECT_TRUE(window->outputFolder().empty());
    }

    // Choosing the monthly folder, closed the same ways: the folder and the lists stay.
    for (const auto& close :
         {std::function<void(Form1*)>(closeByFrame), std::function<void(Form1*)>(pressEscape)}) {
        user.seen.clear();
        user.OnFolderDialog(close);
        command1->click();
        EXPECT_EQ(user.seen, QStringList({monthly}));
        EXPECT_EQ(window->monthlyFolder(), data);
        EXPECT_TRUE(list->count() == 1 && list->item(0)->isSelected());
    }
    EXPECT_TRUE(user.steps.empty());
}

} // namespace
} // namespace kolvane::testing
