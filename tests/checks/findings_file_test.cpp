#include "checks/FindingsFile.h"
#include "formats/MonthlyFile.h"
#include "model/Error.h"
#include "model/Text.h"
#include "model/YearlyProof.h"

#include "support/Samples.h"

#include <gtest/gtest.h>

#include <numeric>

namespace kolvane {
namespace {

// Hours of a monthly file with faults planted, through the reader and the checks to the findings file.
TEST(FindingsFile, GoldenCase) {
    const std::string monthly =
        EncodeCp932(testing::MONTHLY_HEADER + "\r\n" +
                    "2024/07/17,1:00,0.0,25.0,80,1008.0,90,2.0,4.0,90,0.00,21.4,26.0\r\n"
                    "2024/07/17,2:00,0.0,24.6,105,1008.2,100,1.8,3.5,100,0.03,21.3,26.0\r\n"
                    "2024/07/17,3:00,0.0,31.2,82,1008.1,0,0.0,2.0,110,0.00,21.0,25.9\r\n"
                    "2024/07/17,4:00,0.0,24.4,84,1008.3,120,1.8,1.5,120,0.00,21.0,25.9\r\n"
                    "2024/07/18,0:00,0.0,24.0,99,1009.0,130,1.2,2.5,130,0.00,25.0,50.05\r\n");
    HourlyTable hours;
    ParseMonthlyText(monthly, "M2407_0312.csv", hours);
    const std::vector<Finding> findings = CheckHours(hours, 35.5);

    const std::string expected =
        "年月日,時刻,要素,値,検査,内容\r\n"
        "\"24/07/17\",2:00,湿度,105,範囲,上限 100 % を超える\r\n"
        "\"24/07/17\",2:00,日射量,0.03,整合,太陽が地平線の下にある時間に 0.02 MJ/㎡ を超える\r\n"
        "\"24/07/17\",3:00,気温,31.2,急変,前後の時間との差 6.6・6.8 ℃ > 5.0 ℃\r\n"
        "\"24/07/17\",4:00,最大瞬間風速,1.5,整合,平均風速 1.8 m/s 未満\r\n"
        "\"24/07/17\",24:00,露点温度,25.0,整合,気温 24.0 ℃ を超える\r\n"
        "\"24/07/17\",24:00,地中温度,50.05,範囲,上限 50.0 ℃ を超える\r\n";
    EXPECT_EQ(DecodeCp932(FormatFindingsText(findings, 2024)), expected);
    EXPECT_EQ(FormatFindingsText(findings, 2024), EncodeCp932(expected));
    EXPECT_EQ(DecodeCp932(FormatFindingsText(findings, 2023)), "年月日,時刻,要素,値,検査,内容\r\n");
}

TEST(FindingsFile, OrderAndDaysOfTheYear) {
    // Given out of order, and with the last hour of the year before (from a January file).
    std::vector<Finding> findings = {{2024, 12, 31, 24, 0, 1, 5, CheckKind::Range, "c"},
                                     {2024, 1, 2, 3, 0, 9, 5, CheckKind::Range, "b"},
                                     {2023, 12, 31, 24, 0, 1, 5, CheckKind::Range, "x"},
                                     {2024, 1, 2, 3, 0, 1, 5, CheckKind::Range, "a"},
                                     {2024, 1, 2, 3, 0, 1, 5, CheckKind::Step, "a2"}};
    EXPECT_EQ(DecodeCp932(FormatFindingsText(findings, 2024)), "年月日,時刻,要素,値,検査,内容\r\n"
                                                               "\"24/01/02\",3:00,気温,5.0,範囲,a\r\n"
                                                               "\"24/01/02\",3:00,気温,5.0,急変,a2\r\n"
                                                               "\"24/01/02\",3:00,露点温度,5.0,範囲,b\r\n"
                                                               "\"24/12/31\",24:00,気温,5.0,範囲,c\r\n");

    const std::vector<int32_t> perDay = CountFindingsPerDay(findings, 2024);
    ASSERT_EQ(perDay.size(), 366u);
    EXPECT_EQ(perDay[1], 3);
    EXPECT_EQ(perDay[365], 1);
    EXPECT_EQ(std::accumulate(perDay.begin(), perDay.end(), 0), 4);
    EXPECT_EQ(CountFindingsPerDay(findings, 2023).size(), 365u);
}

TEST(FindingsFile, ReadsBackWhatItWritesAndLeavesOutWhatItCannotRead) {
    const std::vector<Finding> findings = {
        {2024, 7, 17, 24, 0, 9, 25.0, CheckKind::Consistency, "気温 24.0 ℃ を超える"},
        {2024, 7, 17, 3, 0, 1, 31.2, CheckKind::Step, "前後の時間との差 6.6・6.8 ℃ > 5.0 ℃"},
    };
    const std::string proof = FormatProofLine(ProofOf("Y2024_0312.csv", "yearly"));
    std::vector<Finding> sorted = {findings[1], findings[0]};
    EXPECT_EQ(ParseFindingsText(FormatFindingsText(findings, 2024) + proof, "C"), sorted);

    // Columns found by name; a comma in the last column is kept; lines that cannot be read are left out.
    const std::string edited = EncodeCp932("内容,年月日,時刻,要素,値,検査\r\n"
                                           "a,\"24/07/17\",3:00,気温,31.2,急変\r\n"
                                           "b,\"24/02/30\",3:00,気温,1,急変\r\n"  // no such date
                                           "c,\"24/07/17\",24:30,気温,1,急変\r\n" // no such time
                                           "d,\"24/07/17\",3:00,気温x,1,急変\r\n" // no such column
                                           "e,\"24/07/17\",3:00,気温,1x,急変\r\n" // no number
                                           "f,\"24/07/17\",3:00,気温,1,検査\r\n"  // no such check
                                           "g,\"24/07/17\",3:00,気温\r\n");       // too few fields
    const std::vector<Finding> read = ParseFindingsText(edited, "C");
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].explanation, "a");
    EXPECT_EQ(
        ParseFindingsText(
            EncodeCp932("年月日,時刻,要素,値,検査,内容\r\n\"24/07/17\",3:00,気温,1,急変,x,y\r\n"), "C")[0]
            .explanation,
        "x,y");
    EXPECT_EQ(testing::MessageOf(
                  [] { ParseFindingsText(EncodeCp932("年月日,時刻,要素,値,内容\r\n"), "C2024_0312.csv"); }),
              "検査結果ファイル「C2024_0312.csv」の見出し行に列「検査」がありません。");
}

} // namespace
} // namespace kolvane
