// Files as other programs write them: what the program cannot read is said, never taken as no data,
// and nothing the user had is lost.

#include "FaultSupport.h"
#include "support/Said.h"

#include <gtest/gtest.h>

#include <regex>

namespace kolvane {
namespace {

using namespace kolvane::testing;

constexpr char YEARLY[] = "Y2005_0312.csv";

// The yearly file of 2005 as another tool saved it: dates written 2005-01-01.
std::string OtherToolsYearlyFile() {
    return EncodeCp932(
        std::regex_replace(YearlyText(2005, 0), std::regex("\"05/(\\d\\d)/(\\d\\d)\""), "2005-$1-$2"));
}

TEST(UnreadableFiles, AnEarlierYearlyFileThatCannotBeReadIsNeverReplaced) {
    TempFolder monthly;
    monthly.Write("M0507_0312.csv", MonthlyText(2005, 7, 1, 2));
    const std::string earlier = OtherToolsYearlyFile();
    monthly.Write(YEARLY, earlier);
    const ChildResult refused = Convert(monthly, nullptr, {"2005/07"});
    EXPECT_EQ(Said(refused, 1,
                   "年次ファイル「" + monthly.File(YEARLY) +
                       "」の値のある 365 行のうち 365 行を読めません"
                       "（最初は 2行目「2005-01-01,"),
              "");
    EXPECT_EQ(Missing(refused.err, "…」: 年月日「2005-01-01」を日付として読めません）"), "");
    EXPECT_EQ(TempFolder::Read(monthly.File(YEARLY)), earlier);
    EXPECT_FALSE(std::filesystem::exists(monthly.File("Q2005_0312.csv")));
}

TEST(UnreadableFiles, AMonthlyFileThatYieldsNoHourIsAnErrorAndAFewBadLinesAreSaid) {
    TempFolder monthly, out;
    const std::string earlier = EncodeCp932(YearlyText(2005, 0));
    out.Write(YEARLY, earlier);
    const std::string good = MonthlyText(2005, 4, 1, 2);
    // Every line one field too many: no hour at all, so the year is not written.
    monthly.Write("M0504_0312.csv", std::regex_replace(good, std::regex("(\\d)\r\n"), "$1,1\r\n"));
    const ChildResult none = Convert(monthly, &out, {"2005/04"});
    EXPECT_EQ(Said(none, 1,
                   "月次ファイル「" + monthly.File("M0504_0312.csv") +
                       "」のデータ行 48 行から時刻の値を一つも読めません（読めない行 48 行、最初は 2行目"),
              "");
    EXPECT_EQ(Missing(none.err, "14 列あり、見出し行は 13 列です）"), "");
    EXPECT_EQ(TempFolder::Read(out.File(YEARLY)), earlier);

    // Two bad lines among good ones: converted, and said with the first of them.
    std::string some = good;
    some.replace(some.find("2005/04/01,3:00"), 15, "2005-04-01,3:00");
    some.insert(some.find("2005/04/02,5:00"), "2005/04/02,4:00,1\r\n");
    monthly.Write("M0504_0312.csv", some);
    const ChildResult skipped = Convert(monthly, &out, {"2005/04"});
    EXPECT_EQ(Said(skipped, 0,
                   "注意: 月次ファイル「" + monthly.File("M0504_0312.csv") +
                       "」の 2 行を読めないため飛ばしました（最初は 4行目「2005-04-01,3:00,0.0,"),
              "");

    // Empty and header-only files: a note, and the earlier days stay.
    monthly.Write(YEARLY, earlier);
    for (const std::string& text : {std::string(), EncodeCp932(MONTHLY_HEADER + "\r\n")}) {
        monthly.Write("M0504_0312.csv", text);
        const ChildResult empty = Convert(monthly, nullptr, {"2005/04"});
        EXPECT_EQ(
            Said(empty, 0,
                 "注意: 月次ファイル「" + monthly.File("M0504_0312.csv") + "」にはデータ行がありません。"),
            "");
        const std::string kept = TempFolder::Read(monthly.File(YEARLY));
        EXPECT_NE(kept.find("\"05/04/01\",25.0,"), std::string::npos);
    }
}

} // namespace
} // namespace kolvane
