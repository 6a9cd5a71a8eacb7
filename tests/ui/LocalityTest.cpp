#include "UiTestSupport.h"

#include "settings/IniFile.h"

namespace kolvane::testing {
namespace {

// Rows of Tokyo scattered among others; one out of range on both degrees, one whose degrees a box
// takes only while typing (3 of 35, 1 of 139), and a second row named like the first.
const char* const TABLE = "13,44132,東京,35,41,22,139,45,0\r\n"
                          "1,11016,稚内,45,24,54,141,40,42\r\n"
                          "13,44263,八王子,35,39,42,139,19,6\r\n"
                          "13,44301,遠い島,52,5,0,98,3,4\r\n"
                          "13,44500,南の島,3,30,0,1,0,0\r\n"
                          "13,44999,東京,36,0,0,140,0,0\r\n";

const QStringList STORED = Strings({"36", "1", "2", "140", "3", "4"});
const std::string HACHIOJI = "Pref=13\r\nLocale=44263\r\n"; // the remembered locality

using Localities = UiFixture;

TEST_F(Localities, StartUpSelectsTheRememberedOneSetCopiesTheChosenOneAndExitRemembersIt) {
    const auto start = [this] { return StartWith(DataSettings(HACHIOJI, STORED)); };
    const auto storedLocality = [this] { return IniFile::Load(SettingsFile()).Get("Data", "Locale", ""); };
    WriteFile(LocaleTable(), TABLE);
    auto window = start();
    auto* cboArea1 = Child<QComboBox>(window.get(), "cboArea1");
    auto* cboArea2 = Child<QComboBox>(window.get(), "cboArea2");
    auto* cmdSet = Child<QPushButton>(window.get(), "cmdSet");
    EXPECT_EQ(cboArea1->currentText(), QStringLiteral("東京都"));
    EXPECT_EQ(Texts(cboArea2), Strings({"東京", "八王子", "遠い島", "南の島", "東京"}));
    EXPECT_EQ(cboArea2->currentText(), QStringLiteral("八王子"));
    EXPECT_EQ(CoordinateTexts(window.get()), STORED);

    // Each prefecture lists its own; back in Tokyo the code read at start still picks its locality.
    cboArea1->setCurrentIndex(1);
    EXPECT_EQ(Texts(cboArea2), Strings({"稚内"}));
    cboArea1->setCurrentIndex(13);
    EXPECT_EQ(cboArea2->currentText(), QStringLiteral("八王子"));

    // Choosing a locality does nothing by itself; Set copies it into the boxes, zero-padded.
    cboArea2->setCurrentIndex(0);
    EXPECT_EQ(CoordinateTexts(window.get()), STORED);
    cmdSet->click();
    EXPECT_EQ(CoordinateTexts(window.get()), Strings({"35", "41", "22", "139", "45", "00"}));
    EXPECT_TRUE(dialogs->messages.isEmpty());

    // Values out of range: each box's own message, that box empty, the others filled (98 as 098).
    QStringList seenInLongitude;
    dialogs->onMessage = [&] { seenInLongitude << CoordinateBoxes(window.get())[3]->text(); };
    cboArea2->setCurrentIndex(2);
    cmdSet->click();
    EXPECT_EQ(dialogs->messages, QStringList({RangeErrorLine(0), RangeErrorLine(3)}));
    EXPECT_EQ(seenInLongitude, Strings({"139", "098"}));
    EXPECT_EQ(CoordinateTexts(window.get()), Strings({"", "05", "00", "", "03", "04"}));
    dialogs->messages.clear();
    cboArea2->setCurrentIndex(3);
    cmdSet->click();
    EXPECT_EQ(dialogs->messages, QStringList({RangeErrorLine(0), RangeErrorLine(3)}));
    EXPECT_EQ(CoordinateTexts(window.get()), Strings({"", "30", "00", "", "00", "00"}));

    // Exit remembers the shown locality; of two named alike, the first row's code.
    cboArea2->setCurrentIndex(4);
    Click(window.get(), "cmdExit");
    EXPECT_EQ(storedLocality(), "44132");

    // Without the table the list stays empty, and Set and Exit keep what was read.
    window.reset();
    std::filesystem::remove(LocaleTable());
    window = start();
    EXPECT_EQ(Child<QComboBox>(window.get(), "cboArea2")->count(), 0);
    Click(window.get(), "cmdSet");
    EXPECT_EQ(CoordinateTexts(window.get()), STORED);
    Click(window.get(), "cmdExit");
    EXPECT_EQ(storedLocality(), "44263");
    EXPECT_TRUE(dialogs->messages.isEmpty());
}

TEST_F(Localities, ALabelSaysWhenTheBoxesHoldAnotherLocalitysCoordinates) {
    WriteFile(LocaleTable(), TABLE);
    // Stored coordinates that are the stored locality's (八王子) count as set from it.
    auto window = StartWith(DataSettings(HACHIOJI, Strings({"35", "39", "42", "139", "19", "06"})));
    auto* cboArea2 = Child<QComboBox>(window.get(), "cboArea2");
    const auto shown = [&] {
        auto* label = Child<QLabel>(window.get(), "lblOtherLocality");
        return label->isVisibleTo(window.get()) ? label->text() : QString();
    };
    ASSERT_EQ(cboArea2->currentText(), QStringLiteral("八王子"));
    EXPECT_EQ(shown(), QString());

    // Another locality picked: the boxes are still 八王子's; picked back, they match again.
    cboArea2->setCurrentIndex(0);
    EXPECT_EQ(shown(), QStringLiteral("「八王子」の\n緯度・経度です"));
    cboArea2->setCurrentIndex(1);
    EXPECT_EQ(shown(), QString());
    // Set takes the chosen one's; leaving it names it.
    cboArea2->setCurrentIndex(0);
    Click(window.get(), "cmdSet");
    EXPECT_EQ(shown(), QString());
    cboArea2->setCurrentIndex(1);
    EXPECT_EQ(shown(), QStringLiteral("「東京」の\n緯度・経度です"));
    EXPECT_TRUE(dialogs->messages.isEmpty());

    // Typed coordinates are the user's own: no label, now or after another pick.
    auto* seconds = Child<QLineEdit>(window.get(), "txtLat2");
    seconds->selectAll();
    QTest::keyClicks(seconds, QStringLiteral("23"));
    EXPECT_EQ(shown(), QString());
    cboArea2->setCurrentIndex(0);
    EXPECT_EQ(shown(), QString());

    // Stored coordinates of no listed locality are the user's too.
    window.reset();
    window = StartWith(DataSettings(HACHIOJI, Strings({"36"})));
    Child<QComboBox>(window.get(), "cboArea2")->setCurrentIndex(0);
    EXPECT_EQ(shown(), QString());

    // Stored coordinates of another listed locality than the stored one are flagged from the start.
    window.reset();
    window = StartWith(DataSettings(HACHIOJI, Strings({"45", "24", "54", "141", "40", "42"})));
    EXPECT_EQ(shown(), QStringLiteral("「稚内」の\n緯度・経度です"));
}

} // namespace
} // namespace kolvane::testing
