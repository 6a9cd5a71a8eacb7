#include "UiTestSupport.h"

#include "settings/IniFile.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QLockFile>
#include <QPushButton>
#include <QTest>
#include <filesystem>

namespace kolvane::testing {
namespace {

class StartUp : public UiFixture {
  protected:
    // A stored value, or "(absent)".
    std::string Stored(const char* section, const char* key) const {
        return IniFile::Load(SettingsFile()).Find(section, key).value_or("(absent)");
    }
    void Exit(frmKolvane* window) {
        QTest::mouseClick(Child<QPushButton>(window, "cmdExit"), Qt::LeftButton);
        EXPECT_FALSE(window->isVisible());
    }
};

TEST_F(StartUp, FirstStartShowsDefaultsAndExitWritesAllNineKeys) {
    auto window = StartWindow();
    window->show();
    EXPECT_TRUE(dialogs->messages.empty());
    auto* cboArea1 = Child<QComboBox>(window.get(), "cboArea1");
    const QStringList prefectures = Texts(cboArea1);
    ASSERT_EQ(prefectures.size(), 48);
    EXPECT_EQ(prefectures[0], QString());
    EXPECT_EQ(prefectures[1], QStringLiteral("北海道"));
    EXPECT_EQ(prefectures[13], QStringLiteral("東京都"));
    EXPECT_EQ(prefectures[47], QStringLiteral("沖縄県"));
    EXPECT_EQ(cboArea1->currentIndex(), 0);
    EXPECT_EQ(Child<QComboBox>(window.get(), "cboArea2")->count(), 0);
    EXPECT_EQ(CoordinateTexts(window.get()), QStringList(6, QString()));
    EXPECT_EQ(window->monthlyFolder(), AppFolder() + "Data/");

    Exit(window.get());
    EXPECT_EQ(Stored("Path", "Load"), AppFolder() + "Data/");
    EXPECT_EQ(Stored("Data", "Pref"), "0");
    EXPECT_EQ(Stored("Data", "Locale"), "00000"); // five zeros, not the default's six
    for (const char* key : {"LatitudeDegrees", "LatitudeMinutes", "LatitudeSeconds", "LongitudeDegrees",
                            "LongitudeMinutes", "LongitudeSeconds"})
        EXPECT_EQ(Stored("Data", key), "") << key;
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(StartUp, ChoicesMadeBeforeExitAreThereAtTheNextStart) {
    WriteFile(LocaleTable(), "13,44132,東京,35,41,22,139,45,0\r\n13,44263,八王子,35,39,42,139,19,6\r\n");
    const std::string monthly = Folder("monthly");
    WriteMonthlyFile(monthly, 2024, 5, "0312");

    auto window = StartWindow();
    dialogs->folderAnswers = {QString::fromStdString(monthly)};
    Child<QPushButton>(window.get(), "Command1")->click();
    Child<QComboBox>(window.get(), "cboArea1")->setCurrentIndex(13);
    Child<QComboBox>(window.get(), "cboArea2")->setCurrentIndex(1);
    // Typed by hand, a degrees value left half typed.
    const auto boxes = CoordinateBoxes(window.get());
    const char* typed[] = {"3", "40", "", "139", "05", "9"};
    for (int i = 0; i < 6; ++i)
        QTest::keyClicks(boxes[i], QString::fromLatin1(typed[i]));
    Exit(window.get());
    window.reset();
    EXPECT_EQ(Stored("Data", "Pref"), "13");
    EXPECT_EQ(Stored("Data", "Locale"), "44263");

    window = StartWindow();
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_EQ(window->monthlyFolder(), monthly);
    EXPECT_EQ(Child<QLabel>(window.get(), "lblPath")->text().toStdString(), monthly);
    EXPECT_EQ(Texts(Child<QListWidget>(window.get(), "List1")), QStringList({QStringLiteral("2024/05")}));
    EXPECT_EQ(Child<QComboBox>(window.get(), "cboArea1")->currentText(), QStringLiteral("東京都"));
    EXPECT_EQ(Child<QComboBox>(window.get(), "cboArea2")->currentText(), QStringLiteral("八王子"));
    // The boxes hold what was typed, not the locality's coordinates.
    EXPECT_EQ(CoordinateTexts(window.get()), Strings({"3", "40", "", "139", "05", "9"}));

    // Once the remembered folder is gone, the Data folder beside the program takes its place.
    window.reset();
    std::filesystem::remove_all(monthly);
    window = StartWindow();
    EXPECT_EQ(window->monthlyFolder(), AppFolder() + "Data/");
}

TEST_F(StartUp, OnlyTheExitButtonSaves) {
    // No settings file: closing the window another way leaves none behind.
    auto window = StartWindow();
    window->show();
    Child<QComboBox>(window.get(), "cboArea1")->setCurrentIndex(5);
    window->close();
    window.reset();
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));

    const std::string stored = "; kept as it is\r\n[Data]\r\nPref=2\r\nLatitudeDegrees=35\r\n";
    WriteFile(SettingsFile(), stored);
    window = StartWindow();
    window->show();
    EXPECT_EQ(Child<QComboBox>(window.get(), "cboArea1")->currentIndex(), 2);
    Child<QComboBox>(window.get(), "cboArea1")->setCurrentIndex(40);
    CoordinateBoxes(window.get())[0]->setText(QStringLiteral("44"));
    window->close();
    EXPECT_EQ(ReadText(SettingsFile()), stored);
}

TEST_F(StartUp, StoredValuesThatFailTheirCheckAreReportedWhileStarting) {
    WriteFile(SettingsFile(), "[Data]\r\nPref=99\r\nLatitudeDegrees=55\r\nLatitudeMinutes=60\r\n"
                              "LatitudeSeconds=035\r\nLongitudeDegrees=東経\r\nLongitudeMinutes=7\r\n"
                              "LongitudeSeconds=59\r\n");
    auto window = StartWindow();
    ASSERT_EQ(dialogs->messages.size(), 3u);
    EXPECT_EQ(dialogs->messages[0].text,
              QStringLiteral("緯度(度)には20-49の範囲の半角数字を入力して下さい。"));
    EXPECT_EQ(dialogs->messages[1].text,
              QStringLiteral("緯度(分)には0-59の範囲の半角数字を入力して下さい。"));
    EXPECT_EQ(dialogs->messages[2].text,
              QStringLiteral("経度(度)には120-155の範囲の半角数字を入力して下さい。"));
    for (const auto& message : dialogs->messages) {
        EXPECT_EQ(message.title, QStringLiteral("入力値エラー"));
        EXPECT_EQ(message.style, 48);
    }
    EXPECT_EQ(CoordinateTexts(window.get()), Strings({"", "", "035", "", "7", "59"}));
    // A prefecture number that selects no entry is the blank one; start-up goes on to the listing.
    EXPECT_EQ(Child<QComboBox>(window.get(), "cboArea1")->currentIndex(), 0);
    EXPECT_EQ(window->monthlyFolder(), AppFolder() + "Data/");
}

TEST_F(StartUp, ASecondInstanceEndsWithoutAWindowOrAWord) {
    WriteFile(SettingsFile(), "[Data]\r\nPref=13\r\nLatitudeDegrees=55\r\n");
    auto first = StartWindow();
    first->show();
    dialogs->messages.clear();

    auto scripted = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs* secondDialogs = scripted.get();
    auto second = std::make_unique<frmKolvane>(QString::fromStdString(AppFolder()), std::move(scripted));
    second->setInstanceLockPath(LockPath());
    EXPECT_FALSE(second->Form_Load());
    // Nothing was read or checked: no message for the stored latitude, no prefecture list.
    EXPECT_TRUE(secondDialogs->messages.empty());
    EXPECT_EQ(Child<QComboBox>(second.get(), "cboArea1")->count(), 0);
    EXPECT_FALSE(second->isVisible());
    EXPECT_TRUE(dialogs->messages.empty());

    // Once the first has ended, the next one starts.
    first.reset();
    second.reset();
    auto next = StartWindow();
    EXPECT_EQ(dialogs->messages.size(), 1u);

    // A lock that cannot be made at all does not keep the program from starting.
    frmKolvane third(QString::fromStdString(AppFolder()), std::make_unique<ScriptedDialogs>());
    third.setInstanceLockPath(temp.filePath(QStringLiteral("missing/kolvane.lock")));
    EXPECT_TRUE(third.Form_Load());
}

TEST_F(StartUp, ASettingsFileThatCannotBeWrittenIsReportedAndTheProgramStillEnds) {
    Folder("app/kolvane.ini"); // a folder where the file should be
    auto window = StartWindow();
    window->show();
    EXPECT_TRUE(dialogs->messages.empty());
    Exit(window.get());
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].text.contains(QStringLiteral("kolvane.ini")))
        << dialogs->messages[0].text.toStdString();
    EXPECT_EQ(dialogs->messages[0].title, QStringLiteral("エラー"));
    EXPECT_EQ(dialogs->messages[0].style, 48);
    EXPECT_TRUE(std::filesystem::is_directory(SettingsFile()));
}

} // namespace
} // namespace kolvane::testing
