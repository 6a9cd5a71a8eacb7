#include "settings/Settings.h"

#include "model/Text.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <tuple>

namespace kolvane {
namespace {

using testing::TempFolder;

auto Tie(const SettingsValues& v) {
    return std::tie(v.monthlyFolder, v.prefectureIndex, v.localityCode, v.latitude, v.longitude,
                    v.outputFolder);
}

TEST(Settings, DefaultsAndTheFirstFileThenValuesRoundTripAndOtherLinesStay) {
    TempFolder temp;
    const std::string path = SettingsPath(temp.folder());
    SettingsValues v = LoadSettings(path);
    EXPECT_EQ(Tie(v), Tie(SettingsValues{"", 0, "000000", {}, {}, ""}));
    v.monthlyFolder = "/m/";
    v.localityCode = "00000";
    ASSERT_EQ(SaveSettings(path, v), 0);
    EXPECT_EQ(
        TempFolder::Read(path),
        "[Path]\r\nLoad=/m/\r\n[Data]\r\nPref=0\r\nLocale=00000\r\nLatitudeDegrees=\r\nLatitudeMinutes=\r\n"
        "LatitudeSeconds=\r\nLongitudeDegrees=\r\nLongitudeMinutes=\r\nLongitudeSeconds=\r\n");

    temp.Write("kolvane.ini", "; mine\r\n[data]\r\nlocale=1\r\nExtra=keep\r\n[X]\r\nx=1\r\n");
    v = {"/home/観測/", 13, "44136", {"3", "", "30"}, {"139", "45", "00"}, "/out/"};
    ASSERT_EQ(SaveSettings(path, v), 0);
    SettingsValues back = LoadSettings(path);
    EXPECT_EQ(Tie(back), Tie(v)) << "a partly typed value is kept as it is";
    const std::string text = TempFolder::Read(path);
    EXPECT_TRUE(text.starts_with("; mine\r\n[data]\r\nlocale=44136\r\nExtra=keep\r\nPref=13\r\n")) << text;
    EXPECT_NE(text.find("\r\n[X]\r\nx=1\r\n[Path]\r\n"), std::string::npos) << text;
    // The last output folder has a key of its own, written only once there is one.
    EXPECT_NE(text.find("/\r\nSave=/out/\r\n"), std::string::npos) << text; // after Load

    // A folder name that cannot be stored on one line leaves the stored folder as it was.
    v.monthlyFolder = "/two\nlines/";
    ASSERT_EQ(SaveSettings(path, v), 0);
    EXPECT_EQ(LoadSettings(path).monthlyFolder, "/home/観測/");

    // The folders of a first settings file are made, joined as the system joins them.
    EXPECT_EQ(SaveSettings(SettingsPath(temp.Folder("profile") + "Kolvane"), v), 0);
}

TEST(Settings, StoredPrefectureIndexIsReadLeniently) {
    const std::pair<const char*, int> cases[] = {
        {"13", 13}, {" 13", 13}, {"13abc", 13}, {"12.5", 13}, {"47.4", 47}, {"1e1", 10},  {"-0.4", 0},
        {"", 0},    {"abc", 0},  {"48", 0},     {"47.5", 0},  {"-1", 0},    {"1e400", 0}, {"1e12", 0}};
    for (auto [text, index] : cases)
        EXPECT_EQ(PrefectureIndexFromText(text), index) << text;
}

TEST(Settings, LocalityCodeRememberedAtExitAndStartFolder) {
    TempFolder temp;
    const std::string table = temp.Write("locale.dat", EncodeCp932("13,44132,東京,35,41,30,139,45,00\r\n"));
    EXPECT_EQ(LocalityCodeAtExit(table, 0, "東京", "44132"), "00000");
    EXPECT_EQ(LocalityCodeAtExit(table, 13, "東京", "000000"), "44132");
    EXPECT_EQ(LocalityCodeAtExit(table, 13, "どこか", "44100"), "44100")
        << "no row keeps the code read at start";
    EXPECT_EQ(LocalityCodeAtExit(temp.File("none.dat"), 13, "東京", "44100"), "44100");

    std::filesystem::create_directory(temp.File("months"));
    const std::string exe = temp.folder().substr(0, temp.folder().size() - 1); // without the separator
    EXPECT_EQ(StartMonthlyFolder(temp.File("months"), exe), temp.Folder("months"));
    EXPECT_EQ(StartMonthlyFolder(temp.File("deleted/"), exe), temp.Folder("Data"));
}

} // namespace
} // namespace kolvane
