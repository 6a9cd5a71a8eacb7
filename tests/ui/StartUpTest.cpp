#include "UiTestSupport.h"

#include "app/SingleInstance.h"
#include "model/FileIo.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <unistd.h>

namespace kolvane::testing {
namespace {

using StartUp = UiFixture;

TEST_F(StartUp, FirstStartShowsDefaultsAndChoicesMadeBeforeExitAreThereAtTheNextStart) {
    const std::string monthly = Folder("monthly");
    WriteMonthlyFile(monthly, 2024, 5, "0312");
    auto window = StartWindow();
    auto* cboArea1 = Child<QComboBox>(window.get(), "cboArea1");
    EXPECT_EQ(cboArea1->count(), 48);
    EXPECT_EQ(cboArea1->currentIndex(), 0);
    EXPECT_EQ(CoordinateTexts(window.get()), QStringList(6, QString()));

    dialogs->folderAnswers = {QString::fromStdString(monthly)};
    Child<QPushButton>(window.get(), "Command1")->click();
    cboArea1->setCurrentIndex(13);
    // Typed by hand, a degrees value left half typed.
    const auto boxes = CoordinateBoxes(window.get());
    const QStringList typed = Strings({"3", "40", "", "139", "05", "9"});
    for (int i = 0; i < 6; ++i)
        QTest::keyClicks(boxes[i], typed[i]);
    Child<QPushButton>(window.get(), "cmdExit")->click();

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
    WriteFile(SettingsFile(),
              "[Path]\r\nLoad=" + monthly +
                  "\r\n[Data]\r\nLatitudeDegrees=55\r\nLatitudeMinutes=60\r\nLatitudeSeconds=035\r\n"
                  "LongitudeDegrees=東経\r\nLongitudeMinutes=7\r\nLongitudeSeconds=59\r\n");
    window = StartWindow();
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
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(SettingsFile(), bytes) == 0 && bytes == stored) << bytes;

    // A folder where the file should be: start-up is silent, exit says so and still ends.
    window.reset();
    std::filesystem::remove(SettingsFile());
    Folder("app/kolvane.ini");
    window = StartWindow();
    window->show();
    QTest::mouseClick(Child<QPushButton>(window.get(), "cmdExit"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(dialogs->messages.size(), 1);
    const QString said = ErrorLine(QStringLiteral("設定ファイル %1 を保存できませんでした。")
                                       .arg(QString::fromStdString(SettingsFile())));
    EXPECT_TRUE(dialogs->messages[0].startsWith(said)) << dialogs->messages[0].toStdString();
}

TEST_F(StartUp, OnlyOneInstanceMayStartAtATime) {
    const QString path = temp.filePath(QStringLiteral("kolvane.lock"));
    auto first = std::make_unique<SingleInstance>(path);
    EXPECT_TRUE(first->mayStart());
    EXPECT_FALSE(SingleInstance(path).mayStart());
    // The lock is held however long the first runs.
    EXPECT_FALSE(SingleInstance(path).mayStart());

    // Once the first has ended, the next one starts.
    first.reset();
    EXPECT_TRUE(SingleInstance(path).mayStart());

    // A lock that cannot be made at all does not keep the program from starting.
    EXPECT_TRUE(SingleInstance(temp.filePath(QStringLiteral("missing/kolvane.lock"))).mayStart());
    // By default the lock names the user, as the temporary folder is shared.
    EXPECT_TRUE(SingleInstance::DefaultLockPath().startsWith(QDir::tempPath() + u'/'));
    EXPECT_TRUE(SingleInstance::DefaultLockPath().contains(QString::number(getuid())));
}

} // namespace
} // namespace kolvane::testing
