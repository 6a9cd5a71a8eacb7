#include "convert/YearSeries.h"
#include "model/Error.h"
#include "model/Text.h"
#include "support/TempFolder.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace kolvane {
namespace {

const std::string HEADER = "年月日,降水量,平均気温,最高気温,最低気温,湿度,気圧,最多風向,平均風速,"
                           "最大瞬間風速,最大時風向,日射,露点温度,日照,可照時間,純放射,水面蒸発,地中温度\r\n";

std::string Line(int yy, int month, int day, const char* values) {
    char line[256];
    std::snprintf(line, sizeof line, "\"%02d/%02d/%02d\",%s\r\n", yy, month, day, values);
    return line;
}

// A leap year 2024 with values every day except February, which is all "X".
std::string LeapYearText() {
    static const int lengths[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::string text = HEADER;
    for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= lengths[month - 1]; ++day) {
            if (month == 2)
                text += Line(24, month, day, "X,X,X,X,X,X,X,X,X,X,X,X,X,X,X,X,X");
            else
                text += Line(24, month, day,
                             "1.5,10.2,15.8,-4.0,70.0,1013.0,N,2.0,5.0,N,12.34,3.0,6.5,12.0,8.10,2.2,9.0");
        }
    }
    return EncodeCp932(text);
}

TEST(YearSeries, DaysValuesAndMissingMonth) {
    const YearSeries series = BuildYearSeries(LeapYearText(), "Y2024_0101.csv", 2024);
    EXPECT_EQ(series.year, 2024);
    ASSERT_EQ(series.days.size(), 366u);
    EXPECT_EQ(series.days[59].month, 2); // 29 February is a day of its own
    EXPECT_EQ(series.days[59].day, 29);
    EXPECT_EQ(series.days[365].month, 12);
    EXPECT_EQ(series.days[365].day, 31);

    const SeriesDay& jan = series.days[0];
    EXPECT_EQ(jan.tempMax, 15.8);
    EXPECT_EQ(jan.temp, 10.2);
    EXPECT_EQ(jan.tempMin, -4.0);
    EXPECT_EQ(jan.precip, 1.5);
    EXPECT_EQ(jan.solar, 12.34);
    EXPECT_EQ(jan.sunshine, 6.5);
    EXPECT_EQ(jan.evaporation, 2.2);
    EXPECT_FALSE(jan.incomplete);

    for (int i = 31; i < 60; ++i) {
        const SeriesDay& d = series.days[static_cast<std::size_t>(i)];
        EXPECT_FALSE(d.tempMax || d.temp || d.tempMin || d.precip || d.solar || d.sunshine || d.evaporation)
            << "day " << i;
    }
    EXPECT_TRUE(series.days[60].temp.has_value()); // 1 March
}

TEST(YearSeries, GapsOtherYearsDuplicatesAndIncompleteFlags) {
    // A common year, only three lines: one of another year, one date twice (the later wins), a zero.
    const std::string text = HEADER + Line(23, 3, 1, "0.0,0.0,0.0,0.0,1,1,N,1,1,N,0.00,1,0.0,1,0,0.0,1") +
                             Line(22, 3, 2, "9,9,9,9,9,9,N,9,9,N,9,9,9,9,9,9,9") +
                             Line(23, 3, 2, "5,5,5,5,5,5,N,5,5,N,5,5,5,5,5,5,5") +
                             Line(23, 3, 2, "6,6,6,6,6,6,N,6,6,N,6,6,6,6,6,6,6");
    std::vector<bool> flags(365, false);
    flags[0] = true;
    flags[59] = true;
    flags.resize(10); // a short list: the rest counts as complete
    const YearSeries series = BuildYearSeries(EncodeCp932(text), "Y2023_0101.csv", 2023, &flags);
    ASSERT_EQ(series.days.size(), 365u);
    EXPECT_EQ(series.days[59].month, 3);
    EXPECT_EQ(series.days[59].precip, 0.0); // zero is a value, not missing
    EXPECT_EQ(series.days[60].temp, 6.0);
    EXPECT_FALSE(series.days[0].temp.has_value());
    EXPECT_TRUE(series.days[0].incomplete);
    EXPECT_FALSE(series.days[59].incomplete); // beyond the short list

    const std::vector<bool> all(365, true);
    const YearSeries shaded = BuildYearSeries(EncodeCp932(text), "Y2023_0101.csv", 2023, &all);
    EXPECT_TRUE(shaded.days[364].incomplete);
}

TEST(YearSeries, UnreadableOrGarbageFileNamesTheFile) {
    testing::TempFolder folder;
    const std::string garbage = folder.Write("Y2024_0101.csv", std::string("\x00\xff\x13garbage\r\n", 11));
    try {
        ReadYearSeries(garbage, 2024);
        FAIL() << "garbage was read";
    } catch (const KolvaneError& e) {
        EXPECT_NE(std::string(e.what()).find("Y2024_0101.csv"), std::string::npos) << e.what();
    }
    try {
        ReadYearSeries(folder.File("Y2025_0101.csv"), 2025);
        FAIL() << "a missing file was read";
    } catch (const KolvaneError& e) {
        EXPECT_NE(std::string(e.what()).find("を読み込めません"), std::string::npos) << e.what();
    }
}

TEST(YearSeries, ListsYearsFirstFolderWins) {
    testing::TempFolder output, monthly;
    output.Write("Y2024_0101.csv", "a");
    output.Write("y2026_0101.CSV", "b"); // letter case ignored
    output.Write("Y2024_0102.csv", "c"); // another station
    output.Write("Y24_0101.csv", "d");
    output.Write("Yabcd_0101.csv", "e");
    monthly.Write("Y2024_0101.csv", "f");
    monthly.Write("Y2019_0101.csv", "g");
    const std::vector<YearlyFileEntry> found =
        ListYearlyFiles({output.folder(), output.File("missing/"), monthly.folder()}, {"01", "01"});
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].year, 2019);
    EXPECT_EQ(found[0].path, monthly.File("Y2019_0101.csv"));
    EXPECT_EQ(found[1].year, 2024);
    EXPECT_EQ(found[1].path, output.File("Y2024_0101.csv"));
    EXPECT_EQ(found[2].year, 2026);
    EXPECT_EQ(found[2].path, output.File("y2026_0101.CSV"));
    EXPECT_TRUE(ListYearlyFiles({}, {"01", "01"}).empty());
}

} // namespace
} // namespace kolvane
