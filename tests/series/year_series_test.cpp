#include "series/YearSeries.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

namespace kolvane {
namespace {

const std::string HEADER = testing::YEARLY_HEADER + "\r\n";

std::string Line(int yy, int month, int day, const char* values) {
    char line[256];
    std::snprintf(line, sizeof line, "\"%02d/%02d/%02d\",%s\r\n", yy, month, day, values);
    return line;
}

// A leap year 2024 with values every day except February, which is all "X".
std::string LeapYearText() {
    return EncodeCp932(testing::YearlyText(2024, 2));
}

// A companion of three days, written with the yearly file `name` of these bytes.
std::string Companion(const std::string& name, const std::string& yearlyBytes) {
    return EncodeCp932("年月日,時間数,区分\r\n\"24/01/01\",21,準正常\r\n\"24/01/02\",24,正常\r\n"
                       "\"24/01/03\",X,既存\r\n") +
           FormatProofLine(ProofOf(name, yearlyBytes));
}

TEST(YearSeries, DaysValuesMissingMonthAndClasses) {
    testing::TempFolder folder;
    const std::string yearly = folder.Write("Y2024_0101.csv", LeapYearText());
    YearSeries series = ReadYearSeries(yearly, 2024);
    ASSERT_EQ(series.days.size(), 366u);
    // 29 February is a day of its own.
    EXPECT_EQ((std::vector{series.days[59].month, series.days[59].day, series.days[365].month,
                           series.days[365].day}),
              (std::vector{2, 29, 12, 31}));

    const SeriesDay& jan = series.days[0];
    EXPECT_EQ((std::vector{jan.tempMax, jan.temp, jan.tempMin, jan.precip, jan.solar, jan.sunshine,
                           jan.evaporation}),
              (std::vector<std::optional<double>>{15.8, 5.0, -4.0, 25.0, 12.5, 1.7, 0.8}));
    for (int i = 31; i < 60; ++i) {
        const SeriesDay& d = series.days[static_cast<std::size_t>(i)];
        EXPECT_FALSE(d.tempMax || d.temp || d.tempMin || d.precip || d.solar || d.sunshine || d.evaporation)
            << "day " << i;
    }
    EXPECT_TRUE(series.days[60].temp.has_value()); // 1 March

    // Without a companion only the "X" days are known to be incomplete.
    EXPECT_FALSE(series.qualityKnown);
    EXPECT_EQ(jan.dayClass, std::nullopt);
    EXPECT_FALSE(IsIncomplete(jan));
    EXPECT_TRUE(IsIncomplete(series.days[40]));

    // With one, its classes hold; a day it lacks is a gap, a kept day is not shaded as incomplete.
    folder.Write("Q2024_0101.csv", Companion("Y2024_0101.csv", LeapYearText()));
    series = ReadYearSeries(yearly, 2024);
    EXPECT_TRUE(series.qualityKnown);
    EXPECT_EQ(series.qualityNote, "");
    EXPECT_EQ((std::vector{series.days[0].dayClass, series.days[1].dayClass, series.days[2].dayClass,
                           series.days[3].dayClass}),
              (std::vector<std::optional<DayClass>>{DayClass::QuasiNormal, DayClass::Complete, DayClass::Kept,
                                                    DayClass::NoData}));
    EXPECT_EQ((std::vector{IsIncomplete(series.days[0]), IsIncomplete(series.days[1]),
                           IsIncomplete(series.days[2])}),
              (std::vector{true, false, false}));
}

TEST(YearSeries, ACompanionThatDoesNotBelongIsSaidAndPassedOver) {
    testing::TempFolder folder;
    const std::string older = LeapYearText();
    const std::string newer = EncodeCp932(testing::YearlyText(2024, 3));
    const std::string yearly = folder.Write("Y2024_0101.csv", newer);
    const std::string quality = folder.File("Q2024_0101.csv");
    const std::string notBelonging = "品質ファイル「" + quality + "」はこの年次ファイルのものではありません";
    const std::string notProven = "品質ファイル「" + quality + "」はこの年次ファイルのものか確かめられません";
    const std::string proven = Companion("Y2024_0101.csv", newer);
    struct Case {
        const char* what;
        std::string companion;
        std::string note;
    };
    for (const Case& c : {
             Case{"written with the older yearly file", Companion("Y2024_0101.csv", older), notBelonging},
             Case{"copied from another year", Companion("Y2023_0101.csv", newer), notBelonging},
             Case{"copied from another station", Companion("Y2024_0102.csv", newer), notBelonging},
             Case{"without proof, from an earlier version", proven.substr(0, proven.find("\r\n\"24/01/03")),
                  notProven},
             Case{"cut off inside its proof", proven.substr(0, proven.size() - 5), notProven},
         }) {
        SCOPED_TRACE(c.what);
        folder.Write("Q2024_0101.csv", c.companion);
        const YearSeries series = ReadYearSeries(yearly, 2024);
        EXPECT_FALSE(series.qualityKnown);
        EXPECT_TRUE(series.qualityNote.starts_with(c.note)) << series.qualityNote;
        // As without a companion: only the days without any value are shaded.
        for (std::size_t day : {0, 2, 3})
            EXPECT_EQ(series.days[day].dayClass, std::nullopt) << day;
        EXPECT_TRUE(IsIncomplete(series.days[65])); // March is "X"
    }
}

TEST(YearSeries, GapsOtherYearsAndDuplicates) {
    // A common year, only three lines: one of another year, one date twice (the later wins), a zero.
    const std::string text = HEADER + Line(23, 3, 1, "0.0,0.0,0.0,0.0,1,1,N,1,1,N,0.00,1,0.0,1,0,0.0,1") +
                             Line(23, 3, 2, "5,5,5,5,5,5,N,5,5,N,5,5,5,5,5,5,5") +
                             Line(23, 3, 2, "6,6,6,6,6,6,N,6,6,N,6,6,6,6,6,6,6") +
                             Line(22, 3, 2, "9,9,9,9,9,9,N,9,9,N,9,9,9,9,9,9,9");
    const YearSeries series = BuildYearSeries(EncodeCp932(text), "Y2023_0101.csv", 2023);
    ASSERT_EQ(series.days.size(), 365u);
    EXPECT_EQ(series.days[59].month, 3);
    EXPECT_EQ(series.days[59].precip, 0.0); // zero is a value, not missing
    EXPECT_EQ(series.days[60].temp, 6.0);
    EXPECT_FALSE(series.days[0].temp.has_value());
    EXPECT_TRUE(IsIncomplete(series.days[0]));
}

TEST(YearSeries, UnreadableOrGarbageFilesAreNamed) {
    testing::TempFolder folder;
    const std::string garbage = folder.Write("Y2024_0101.csv", std::string("\x00\xff\x13garbage\r\n", 11));
    const auto messageOf = [](const std::string& path, int year) {
        return testing::MessageOf([&] { ReadYearSeries(path, year); });
    };
    EXPECT_NE(messageOf(garbage, 2024).find("Y2024_0101.csv"), std::string::npos);
    EXPECT_NE(messageOf(folder.File("Y2025_0101.csv"), 2025).find("を読み込めません"), std::string::npos);
    // A companion that exists but cannot be read is said, not taken as absent.
    folder.Write("Y2026_0101.csv", LeapYearText());
    std::filesystem::create_directory(folder.File("Q2026_0101.csv"));
    EXPECT_NE(messageOf(folder.File("Y2026_0101.csv"), 2026).find("Q2026_0101.csv"), std::string::npos);
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
    std::vector<std::pair<int, std::string>> got;
    for (const YearlyFileEntry& e : found)
        got.emplace_back(e.year, e.path);
    EXPECT_EQ(got, (std::vector<std::pair<int, std::string>>{{2019, monthly.File("Y2019_0101.csv")},
                                                             {2024, output.File("Y2024_0101.csv")},
                                                             {2026, output.File("y2026_0101.CSV")}}));
    EXPECT_TRUE(ListYearlyFiles({}, {"01", "01"}).empty());
}

} // namespace
} // namespace kolvane
