#include "model/FileNames.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kolvane {
namespace {

TEST(FileNames, MadeAndReadAtTheSamePositions) {
    const StationKey station{"03", "12"};
    EXPECT_EQ(MonthlyFileName(2005, 4, station), "M0504_0312.csv");
    EXPECT_EQ(MonthlyFileNameOfEntry("1999/12", station), "M9912_0312.csv");
    EXPECT_EQ(YearlyFileName("99", station), "Y1999_0312.csv");
    EXPECT_EQ(QualityFileName("05", station), "Q2005_0312.csv");
    EXPECT_EQ(QualityPathOf("out/y2005_0312.CSV"), "out/q2005_0312.CSV");
    EXPECT_EQ(QualityPathOf("Y2005_0312.csv"), "Q2005_0312.csv");

    // Group and bucket apart, as the name has them (ID characters are taken as they stand).
    const auto parts = ParseMonthlyFileName("m05a4_Ab1z.CSV");
    ASSERT_TRUE(parts);
    EXPECT_EQ(std::tie(parts->yy, parts->mm, parts->station.group, parts->station.bucket),
              std::tuple("05", "a4", "Ab", "1z"));
    EXPECT_FALSE(ParseMonthlyFileName("M0504_031.csv"));
    EXPECT_FALSE(ParseMonthlyFileName("Y2005_0312.csv"));
    const auto yearly = ParseYearlyFileName("y1999_0312.CSV");
    ASSERT_TRUE(yearly);
    EXPECT_EQ(yearly->year, 1999);
    EXPECT_EQ(StationName(yearly->station), "0312");
    for (const char* name : {"Y199_0312.csv", "Y19a9_0312.csv", "Y1999-0312.csv", "M1999_0312.csv",
                             "Y1999_0312.txt", "Y1999_0312.csv.bak", ""})
        EXPECT_FALSE(ParseYearlyFileName(name)) << name;

    // Only a name of a real month is a month list entry; the century follows the two-digit year.
    EXPECT_EQ(MonthEntryOfName("M6912_0312.csv"), "2069/12");
    EXPECT_EQ(MonthEntryOfName("M7001_0312.csv"), "1970/01");
    for (const char* name : {"M0500_0312.csv", "M0513_0312.csv", "M05a4_0312.csv", "M0504_0312.txt"})
        EXPECT_FALSE(MonthEntryOfName(name)) << name;
    EXPECT_LT(MonthEntryOrderKey("2005/01"), MonthEntryOrderKey("1999/12")); // the list's order

    EXPECT_EQ(StationName(*StationOfName("0312")), "0312");
    EXPECT_EQ(StationOfName("0312")->bucket, "12");
    EXPECT_FALSE(StationOfName("312"));
    EXPECT_TRUE(SameStation({"ab", "01"}, {"AB", "01"}));
    EXPECT_TRUE(MatchesPattern("y2005_0312.CSV", YearlyPattern(station)));
    EXPECT_FALSE(MatchesPattern("M0504_0313.csv", StationPattern(station)));
    EXPECT_TRUE(MatchesPattern("M0504_0399.csv", GroupPattern("03")));
}

} // namespace
} // namespace kolvane
