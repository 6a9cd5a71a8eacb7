#include "UiTestSupport.h"

#include "app/SingleInstance.h"
#include "model/FileIo.h"

#include <QDir>
#include <QSignalSpy>
#include <atomic>
#include <thread>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kolvane::testing {
namespace {

using StartUp = UiFixture;

// Whether a later start of the installation `name` may start, asked as from another process: on a
// thread of its own, so that this thread's instance can answer it.
bool LaterStartMayStart(const QString& folder, const QString& name) {
    std::atomic<bool> done = false;
    bool mayStart = true;
    std::thread later([&] {
        mayStart = SingleInstance(folder, name).mayStart();
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
    later.join();
    return mayStart;
}

TEST_F(StartUp, FirstStartShowsDefaultsAndChoicesMadeBeforeExitAreThereAtTheNextStart) {
    const std::string monthly = Folder("monthly");
    WriteMonthlyFile(monthly, 2024, 5, "0312");
    auto window = StartWindow();
    auto* cboArea1 = Child<QComboBox>(window.get(), "cboArea1");
    EXPECT_EQ(cboArea1->currentIndex(), 0);
    EXPECT_EQ(CoordinateTexts(window.get()), QStringList(6, QString()));

    ChooseMonthly(*window, monthly);
    cboArea1->setCurrentIndex(13);
    // Typed by hand, a degrees value left half typed.
    const auto boxes = CoordinateBoxes(window.get());
    const QStringList typed = Strings({"3", "40", "", "139", "05", "9"});
    for (int i = 0; i < 6; ++i)
        QTest::keyClicks(boxes[i], typed[i]);
    Click(window.get(), "cmdExit");

    window.reset();
    window = StartWindow();
    EXPECT_TRUE(dialogs->messages.isEmpty());
    EXPECT_EQ(Child<QLabel>(window.get(), "lblPath")->text().toStdString(), monthly);
    EXPECT_EQ(Texts(Child<QListWidget>(window.get(), "List1")), Strings({"2024/05"}));
    EXPECT_EQ(Child<QComboBox>(window.get(), "cboArea1")->currentText(), QStringLiteral("東京都"));
    EXPECT_EQ(CoordinateTexts(window.get()), typed);

    // Once the remembered folder is gone, the Data folder beside the program takes its place. Stored
    // values that fail their check are reported while starting, and start-up goes on.
    window.reset();
    std::filesystem::remove_all(monthly);
    window = StartWith("[Path]\r\nLoad=" + monthly + "\r\n" +
                       DataSettings("", Strings({"55", "60", "035", "東経", "7", "59"})));
    EXPECT_EQ(dialogs->messages, QStringList({RangeErrorLine(0), RangeErrorLine(1), RangeErrorLine(3)}));
    EXPECT_EQ(CoordinateTexts(window.get()), Strings({"", "", "035", "", "7", "59"}));
    EXPECT_EQ(window->monthlyFolder(), AppFolder() + "Data/");
}

TEST_F(StartUp, OnlyTheExitButtonSavesAndAFailedSaveIsReported) {
    // Closing the window another way leaves the file as it was.
    const std::string stored = "; kept as it is\r\n[Data]\r\nPref=2\r\nLatitudeDegrees=35\r\n";
    WriteFile(SettingsFile(), stored);
    auto window = StartWindow();
    window->show();
    Child<QComboBox>(window.get(), "cboArea1")->setCurrentIndex(40);
    CoordinateBoxes(window.get())[0]->setText(QStringLiteral("44"));
    window->close();
    EXPECT_EQ(Bytes(SettingsFile()), stored);

    // A folder where the file should be: start-up is silent, exit says so and still ends.
    window.reset();
    std::filesystem::remove(SettingsFile());
    Folder("app/kolvane.ini");
    window = StartWindow();
    window->show();
    QTest::mouseClick(Child<QPushButton>(window.get(), "cmdExit"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(dialogs->messages.size(), 1);
    ExpectMessage(dialogs->messages[0], ErrorLine(QStringLiteral("設定ファイル %1 を保存できませんでした。")
                                                      .arg(QString::fromStdString(SettingsFile()))));
}

TEST_F(StartUp, OnlyOneInstanceOfAnInstallationStartsAndTheSecondRaisesTheFirst) {
    const QString folder = temp.filePath(QStringLiteral("run"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString here = SingleInstance::InstanceName(QStringLiteral("/opt/kolvane/bin"));
    auto first = std::make_unique<SingleInstance>(folder, here);
    EXPECT_TRUE(first->mayStart());
    QSignalSpy raised(first.get(), &SingleInstance::raiseRequested);
    // The lock is held however long the first runs; each later start asks it to come to the front.
    EXPECT_FALSE(LaterStartMayStart(folder, here));
    EXPECT_FALSE(LaterStartMayStart(folder, here));
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised.size() == 2; }, 5000)) << raised.size();

    // Another installation of the program runs apart.
    const QString there = SingleInstance::InstanceName(QStringLiteral("/opt/kolvane"));
    EXPECT_NE(there, here);
    EXPECT_TRUE(SingleInstance(folder, there).mayStart());

    // Once the first has ended, the next one starts and is raised in its turn; the socket a killed
    // instance would leave is no obstacle.
    first.reset();
    QFile leftover(QDir(folder).filePath(here + QStringLiteral(".socket")));
    if (!leftover.exists()) {
        ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    }
    auto next = std::make_unique<SingleInstance>(folder, here);
    EXPECT_TRUE(next->mayStart());
    QSignalSpy raisedNext(next.get(), &SingleInstance::raiseRequested);
    EXPECT_FALSE(LaterStartMayStart(folder, here));
    EXPECT_TRUE(QTest::qWaitFor([&] { return raisedNext.size() == 1; }, 5000));

    // Without a folder, or with one that cannot take the lock, the program still starts.
    EXPECT_TRUE(SingleInstance(QString(), here).mayStart());
    EXPECT_TRUE(SingleInstance(temp.filePath(QStringLiteral("missing")), here).mayStart());
}

#ifndef Q_OS_WIN
TEST_F(StartUp, TheLockLivesInAFolderOnlyTheUserCanWrite) {
    const QString runtime = temp.filePath(QStringLiteral("runtime"));
    const QString cache = temp.filePath(QStringLiteral("cache"));
    const QString home = temp.filePath(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkdir(runtime));
    ASSERT_TRUE(QDir().mkdir(home));
    const auto mode = [](const QString& path) {
        struct stat st {};
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0u;
    };
    const auto setMode = [](const QString& path, mode_t m) {
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), m), 0);
    };

    setMode(runtime, 0700);
    EXPECT_EQ(SingleInstance::LockFolder(runtime, cache, home), runtime);

    // A runtime folder others may enter, a link to one, or a relative path is not the user's own:
    // the cache folder's "kolvane" is made for the user alone.
    setMode(runtime, 0755);
    const QString own = cache + QStringLiteral("/kolvane");
    EXPECT_EQ(SingleInstance::LockFolder(runtime, cache, home), own);
    EXPECT_EQ(mode(own), 0700u);
    setMode(runtime, 0700);
    const QString link = temp.filePath(QStringLiteral("runtime-link"));
    ASSERT_TRUE(QFile::link(runtime, link));
    EXPECT_EQ(SingleInstance::LockFolder(link, cache, home), own);
    EXPECT_EQ(SingleInstance::LockFolder(QStringLiteral("run"), cache, home), own);
    EXPECT_EQ(SingleInstance::LockFolder(QString(), QString(), home),
              home + QStringLiteral("/.cache/kolvane"));

    // A "kolvane" cache folder its group or others may write in could hold a planted lock: none is
    // taken there.
    for (mode_t others : {0770, 0702}) {
        setMode(own, others);
        EXPECT_EQ(SingleInstance::LockFolder(QString(), cache, home), QString()) << std::oct << others;
    }
    EXPECT_EQ(SingleInstance::LockFolder(QString(), QString(), QStringLiteral("relative")), QString());
}
#endif

} // namespace
} // namespace kolvane::testing
