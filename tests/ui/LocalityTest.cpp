#include "UiTestSupport.h"

#include "settings/IniFile.h"

#include <QComboBox>
#include <QPushButton>

namespace kolvane::testing {
namespace {

// Rows of Tokyo scattered among others; one with a leading zero in its prefecture number, one out of
// range on both degrees, and a second row named like the first.
const char* const TABLE = "13,44132,東京,35,41,22,139,45,0\r\n"
                          "1,11016,稚内,45,24,54,141,40,42\r\n"
                          "13,44263,八王子,35,39,42,139,19,6\r\n"
                          "013,44999,零付き,35,0,0,139,0,0\r\n"
                          "13,44301,遠い島,52,5,0,98,3,4\r\n"
                          "13,44999,東京,36,0,0,140,0,0\r\n";

class Localities : public UiFixture {
  protected:
    void SetUp() override {
        WriteFile(SettingsFile(), "[Data]\r\nPref=13\r\nLocale=44263\r\nLatitudeDegrees=36\r\n"
                                  "LatitudeMinutes=1\r\nLatitudeSeconds=2\r\nLongitudeDegrees=140\r\n"
                                  "LongitudeMinutes=3\r\nLongitudeSeconds=4\r\n");
    }
    std::unique_ptr<frmKolvane> Start() {
        auto window = StartWindow();
        cboArea1 = Child<QComboBox>(window.get(), "cboArea1");
        cboArea2 = Child<QComboBox>(window.get(), "cboArea2");
        cmdSet = Child<QPushButton>(window.get(), "cmdSet");
        return window;
    }
    std::string StoredLocale() const {
        return IniFile::Load(SettingsFile()).Find("Data", "Locale").value_or("");
    }

    QComboBox* cboArea1 = nullptr;
    QComboBox* cboArea2 = nullptr;
    QPushButton* cmdSet = nullptr;
};

const QStringList STORED = Strings({"36", "1", "2", "140", "3", "4"});

TEST_F(Localities, ThePrefectureListsItsLocalitiesAndStartUpSelectsTheRememberedOne) {
    WriteFile(LocaleTable(), TABLE);
    auto window = Start();
    EXPECT_EQ(cboArea1->currentText(), QStringLiteral("東京都"));
    // File order, the row written 013 included.
    EXPECT_EQ(Texts(cboArea2), Strings({"東京", "八王子", "零付き", "遠い島", "東京"}));
    EXPECT_EQ(cboArea2->currentText(), QStringLiteral("八王子"));
    EXPECT_EQ(CoordinateTexts(window.get()), STORED);

    // A code that is not among the prefecture's rows selects its first; a prefecture without rows and
    // the blank entry leave the list empty.
    cboArea1->setCurrentIndex(1);
    EXPECT_EQ(Texts(cboArea2), Strings({"稚内"}));
    EXPECT_EQ(cboArea2->currentIndex(), 0);
    cboArea1->setCurrentIndex(27);
    EXPECT_EQ(cboArea2->count(), 0);
    cboArea1->setCurrentIndex(0);
    EXPECT_EQ(cboArea2->count(), 0);
    cmdSet->click();
    // Back to Tokyo: the code read at start still picks its locality.
    cboArea1->setCurrentIndex(13);
    EXPECT_EQ(cboArea2->currentText(), QStringLiteral("八王子"));

    // Choosing a locality does nothing by itself.
    cboArea2->setCurrentIndex(0);
    EXPECT_EQ(CoordinateTexts(window.get()), STORED);
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(Localities, SetCopiesTheChosenLocalityIntoTheBoxesZeroPadded) {
    WriteFile(LocaleTable(), TABLE);
    auto window = Start();
    cmdSet->click();
    EXPECT_EQ(CoordinateTexts(window.get()), Strings({"35", "39", "42", "139", "19", "06"}));

    // Of two rows named alike the first counts.
    cboArea2->setCurrentIndex(0);
    cmdSet->click();
    EXPECT_EQ(CoordinateTexts(window.get()), Strings({"35", "41", "22", "139", "45", "00"}));

    // A row whose prefecture is written 013 is listed but never applied.
    cboArea2->setCurrentIndex(2);
    cmdSet->click();
    EXPECT_EQ(CoordinateTexts(window.get()), Strings({"35", "41", "22", "139", "45", "00"}));
    EXPECT_TRUE(dialogs->messages.empty());

    // Values out of range: each box's own message, that box empty, the others filled (98 as 098).
    QStringList seenInLongitude;
    dialogs->onMessage = [&](const ScriptedDialogs::Message&) {
        seenInLongitude << CoordinateBoxes(window.get())[3]->text();
    };
    cboArea2->setCurrentIndex(3);
    cmdSet->click();
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[0].text,
              QStringLiteral("緯度(度)には20-49の範囲の半角数字を入力して下さい。"));
    EXPECT_EQ(dialogs->messages[1].text,
              QStringLiteral("経度(度)には120-155の範囲の半角数字を入力して下さい。"));
    EXPECT_EQ(dialogs->messages[1].title, QStringLiteral("入力値エラー"));
    EXPECT_EQ(seenInLongitude, Strings({"139", "098"}));
    EXPECT_EQ(CoordinateTexts(window.get()), Strings({"", "05", "00", "", "03", "04"}));
}

TEST_F(Localities, ExitRemembersTheShownLocalityOrKeepsTheCodeReadAtStart) {
    WriteFile(LocaleTable(), TABLE);
    auto window = Start();
    cboArea2->setCurrentIndex(4); // the second 東京: the first row of that name is remembered
    Child<QPushButton>(window.get(), "cmdExit")->click();
    EXPECT_EQ(StoredLocale(), "44132");

    // The table lost the shown row while the program ran.
    window.reset();
    window = Start();
    EXPECT_EQ(cboArea2->currentText(), QStringLiteral("東京"));
    cboArea2->setCurrentIndex(1);
    WriteFile(LocaleTable(), "13,44555,東京,35,41,22,139,45,0\r\n");
    Child<QPushButton>(window.get(), "cmdExit")->click();
    EXPECT_EQ(StoredLocale(), "44132");
}

TEST_F(Localities, WithoutTheTableTheListStaysEmptyAndSetDoesNothing) {
    auto window = Start();
    EXPECT_EQ(cboArea1->currentText(), QStringLiteral("東京都"));
    EXPECT_EQ(cboArea2->count(), 0);
    cboArea1->setCurrentIndex(1);
    EXPECT_EQ(cboArea2->count(), 0);
    cmdSet->click();
    EXPECT_EQ(CoordinateTexts(window.get()), STORED);
    EXPECT_TRUE(dialogs->messages.empty());
    Child<QPushButton>(window.get(), "cmdExit")->click();
    EXPECT_EQ(StoredLocale(), "44263");
    EXPECT_TRUE(dialogs->messages.empty());
}

} // namespace
} // namespace kolvane::testing
