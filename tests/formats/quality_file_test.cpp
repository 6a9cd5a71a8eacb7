#include "formats/QualityFile.h"
#include "formats/Year.h"
#include "support/Samples.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

using testing::HourLine;

// Where the companion stands among the files of a year.
constexpr std::size_t QUALITY = 2;

std::string Monthly(const std::string& hours) {
    return EncodeCp932(testing::MONTHLY_HEADER + "\r\n" + hours);
}

// The companion lines of the days of January that are not "no data", without their suspect values.
std::vector<std::string> Lines(const std::string& monthly, const std::string& earlierYearly = {}) {
    YearInputs inputs{.yy = "05", .latitude = 35.5, .monthly = {{"M0501_0312.csv", Monthly(monthly)}}};
    if (!earlierYearly.empty()) inputs.yearly = {"Y2005_0312.csv", earlierYearly};
    const std::string text = DecodeCp932(*ComputeYear(inputs).files.at(QUALITY));
    std::vector<std::string> lines;
    for (std::string_view line : SplitLines(text))
        if (line.find("欠測") == std::string_view::npos) lines.emplace_back(line.substr(0, line.rfind(',')));
    return lines;
}

TEST(Completeness, HoursThatReachedEachDayAndTheirClass) {
    std::string m;
    // Every hour; 20 of 24 is quasi-normal, 19 of 24 insufficient.
    for (auto [day, hours] : {std::pair{"03", 24}, {"04", 20}, {"05", 19}})
        for (int h = 1; h <= hours; ++h)
            m += HourLine(std::string("2005/01/") + day, std::to_string(h) + ":00");
    m += HourLine("2005/01/05", "20:00", "X"); // an incomplete hour is not counted
    m += HourLine("2005/01/06", "24:00");
    m += HourLine("2005/01/07", "0:00"); // the same hour again, written the other way: counted once
    m += HourLine("2005/02/01", "0:00"); // hour 24 of 31 January
    EXPECT_EQ(Lines(m), (std::vector<std::string>{"年月日,時間数,区分", "\"05/01/03\",24,正常",
                                                  "\"05/01/04\",20,準正常", "\"05/01/05\",19,資料不足",
                                                  "\"05/01/06\",1,資料不足", "\"05/01/31\",1,資料不足"}));
}

TEST(Completeness, DaysKeptFromAnEarlierYearlyFileAreMarkedAndTheFileReadsBack) {
    // A first run gives 2 and 3 January; a second run of other hours replaces 3 January only.
    YearInputs first{.yy = "05",
                     .latitude = 35.5,
                     .monthly = {{"M0501_0312.csv",
                                  Monthly(HourLine("2005/01/02", "5:00") + HourLine("2005/01/03", "6:00"))}}};
    const std::string earlier = ComputeYear(first).yearly();
    EXPECT_EQ(
        Lines(HourLine("2005/01/03", "7:00") + HourLine("2005/01/03", "8:00"), earlier),
        (std::vector<std::string>{"年月日,時間数,区分", "\"05/01/02\",X,既存", "\"05/01/03\",2,資料不足"}));

    YearInputs again{.yy = "05", .latitude = 35.5, .yearly = {"Y2005_0312.csv", earlier}};
    const std::vector<DayQuality> days =
        ParseQualityText(*ComputeYear(again).files.at(QUALITY), "Q2005_0312.csv");
    ASSERT_EQ(days.size(), 365u);
    EXPECT_EQ(days[1], (DayQuality{2005, 1, 2, -1, DayClass::Kept}));
    EXPECT_EQ(days[0], (DayQuality{2005, 1, 1, 0, DayClass::NoData, 0}));
    // A day an earlier run left all "X" is a gap, not a kept value.
    EXPECT_EQ(days[9].dayClass, DayClass::NoData);
}

TEST(CompanionProof, NamesSizeAndChecksumOfItsYearlyFileAndNothingElseMatches) {
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u); // the CRC-32 every zip tool computes
    EXPECT_EQ(Crc32(""), 0u);

    const std::string yearly =
        ComputeYear({.yy = "05",
                     .latitude = 35.5,
                     .monthly = {{"M0501_0312.csv", Monthly(HourLine("2005/01/02", "5:00"))}}})
            .yearly();
    const std::string proof = FormatProofLine(ProofOf("Y2005_0312.csv", yearly));
    EXPECT_EQ(DecodeCp932(FormatProofLine(ProofOf("Y2005_0312.csv", "123456789"))),
              "年次ファイル,Y2005_0312.csv,9,CRC32:CBF43926\r\n");
    const std::string companion = EncodeCp932("年月日,時間数,区分\r\n\"05/01/02\",1,資料不足\r\n") + proof;
    EXPECT_TRUE(ProvesYearly(companion, "Y2005_0312.csv", yearly));
    EXPECT_TRUE(ProvesYearly(companion, "y2005_0312.CSV", yearly)); // names are looked up without case
    EXPECT_TRUE(ProvesYearly(companion + "\r\n", "Y2005_0312.csv", yearly));

    std::string changed = yearly;
    changed[changed.size() / 2] ^= 1;
    EXPECT_FALSE(ProvesYearly(companion, "Y2005_0312.csv", changed));      // same size, other bytes
    EXPECT_FALSE(ProvesYearly(companion, "Y2005_0312.csv", yearly + "x")); // another size
    EXPECT_FALSE(ProvesYearly(companion, "Y2005_0313.csv", yearly));       // same bytes, another station
    // Cut anywhere in the proof, or followed by another line, it proves nothing.
    for (std::size_t cut = companion.size() - proof.size(); cut + 2 < companion.size(); ++cut)
        EXPECT_FALSE(ProvesYearly(companion.substr(0, cut), "Y2005_0312.csv", yearly)) << cut;
    EXPECT_FALSE(ProvesYearly(companion + "\"05/01/03\",2,資料不足\r\n", "Y2005_0312.csv", yearly));
    EXPECT_FALSE(ParseProofLine(EncodeCp932("年月日,時間数,区分\r\n")));
    EXPECT_FALSE(ParseProofLine(EncodeCp932("年次ファイル,Y2005_0312.csv,12x,CRC32:CBF43926\r\n")));
    EXPECT_FALSE(ParseProofLine(EncodeCp932("年次ファイル,Y2005_0312.csv,12,CBF43926\r\n")));

    // The proof line is no day, and a column added after the known ones does not hide the days.
    const std::vector<DayQuality> days = ParseQualityText(
        EncodeCp932(
            "年月日,時間数,区分,疑わしい値\r\n\"05/01/02\",1,資料不足,2\r\n\"05/01/03\",24,正常\r\n") +
            proof,
        "Q2005_0312.csv");
    EXPECT_EQ(days, (std::vector<DayQuality>{{2005, 1, 2, 1, DayClass::Insufficient, 2},
                                             {2005, 1, 3, 24, DayClass::Complete}}));
}

} // namespace
} // namespace kolvane
