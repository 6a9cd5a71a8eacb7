#include "convert/QualityFile.h"
#include "convert/YearRun.h"
#include "model/Text.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

const std::string HEADER =
    "年月日,時刻,降水量,気温,湿度,気圧,風向,平均風速,最大瞬間風速,最大時風向,日射量,露点温度,地中温度\r\n";

std::string HourLine(const std::string& date, const std::string& time, const std::string& temp = "10.0") {
    return date + "," + time + ",0.0," + temp + ",60,1010.0,90,2.0,5.0,90,0.50,2.0,8.0\r\n";
}

// The companion lines of the days of January that are not "no data".
std::vector<std::string> Lines(const std::string& monthly, const std::string& earlierYearly = {}) {
    YearInputs inputs{"05", 35.5, {{"M0501_0312.csv", EncodeCp932(HEADER + monthly)}}, {}};
    if (!earlierYearly.empty()) inputs.yearly = {"Y2005_0312.csv", earlierYearly};
    const std::string text = DecodeCp932(ComputeYear(inputs).quality);
    std::vector<std::string> lines;
    for (std::string_view line : SplitLines(text))
        if (line.find("欠測") == std::string_view::npos) lines.emplace_back(line);
    return lines;
}

TEST(Completeness, HoursThatReachedEachDayAndTheirClass) {
    std::string m;
    for (int h = 1; h <= 24; ++h)
        m += HourLine("2005/01/03", std::to_string(h) + ":00"); // every hour
    for (int h = 1; h <= 20; ++h)
        m += HourLine("2005/01/04", std::to_string(h) + ":00"); // 20 of 24: quasi-normal
    for (int h = 1; h <= 19; ++h)
        m += HourLine("2005/01/05", std::to_string(h) + ":00"); // 19 of 24: insufficient
    m += HourLine("2005/01/05", "20:00", "X");                  // an incomplete hour is not counted
    m += HourLine("2005/01/06", "24:00");
    m += HourLine("2005/01/07", "0:00"); // the same hour again, written the other way: counted once
    m += HourLine("2005/02/01", "0:00"); // hour 24 of 31 January
    EXPECT_EQ(Lines(m), (std::vector<std::string>{"年月日,時間数,区分", "\"05/01/03\",24,正常",
                                                  "\"05/01/04\",20,準正常", "\"05/01/05\",19,資料不足",
                                                  "\"05/01/06\",1,資料不足", "\"05/01/31\",1,資料不足"}));
    EXPECT_EQ(QUASI_NORMAL_HOURS, 20);
}

TEST(Completeness, DaysKeptFromAnEarlierYearlyFileAreMarkedAndTheFileReadsBack) {
    // A first run gives 2 and 3 January; a second run of other hours replaces 3 January only.
    YearInputs first{"05",
                     35.5,
                     {{"M0501_0312.csv", EncodeCp932(HEADER + HourLine("2005/01/02", "5:00") +
                                                     HourLine("2005/01/03", "6:00"))}},
                     {}};
    const std::string earlier = ComputeYear(first).yearly;
    EXPECT_EQ(
        Lines(HourLine("2005/01/03", "7:00") + HourLine("2005/01/03", "8:00"), earlier),
        (std::vector<std::string>{"年月日,時間数,区分", "\"05/01/02\",X,既存", "\"05/01/03\",2,資料不足"}));

    YearInputs again{"05", 35.5, {}, {"Y2005_0312.csv", earlier}};
    const std::vector<DayQuality> days = ParseQualityText(ComputeYear(again).quality, "Q2005_0312.csv");
    ASSERT_EQ(days.size(), 365u);
    EXPECT_EQ(days[1], (DayQuality{2005, 1, 2, -1, DayClass::Kept}));
    EXPECT_EQ(days[0], (DayQuality{2005, 1, 1, 0, DayClass::NoData}));
    // A day an earlier run left all "X" is a gap, not a kept value.
    EXPECT_EQ(days[9].dayClass, DayClass::NoData);
    EXPECT_EQ(QualityFileNameOf("y2005_0312.CSV"), "q2005_0312.CSV");

    // Days per class and the longest gap: 4 January to 31 December.
    const QualitySummary summary = SummarizeQuality(days);
    EXPECT_EQ(summary.days[static_cast<std::size_t>(DayClass::Kept)], 2);
    EXPECT_EQ(summary.days[static_cast<std::size_t>(DayClass::NoData)], 363);
    EXPECT_EQ(summary.longestGap, 362);
    EXPECT_EQ(summary.gapStart.day, 4);
}

} // namespace
} // namespace kolvane
