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

// The yearly file of 2005, January to June, as another tool saved it: dates written 2005-1-1.
std::string OtherToolsYearlyFile() {
    std::string text = YearlyText(2005, 0);
    std::string out;
    std::size_t start = 0, line = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2, ++line) {
        std::string row = text.substr(start, end - start);
        if (line > 0) {
            const int month = std::stoi(row.substr(4, 2)), day = std::stoi(row.substr(7, 2));
            if (month > 6) break;
            row = "2005-" + std::to_string(month) + "-" + std::to_string(day) + row.substr(10);
        }
        out += row + "\r\n";
    }
    return EncodeCp932(out);
}

TEST(UnreadableFiles, AnEarlierYearlyFileThatCannotBeReadIsNeverReplaced) {
    TempFolder monthly;
    monthly.Write("M0507_0312.csv", MonthlyText(2005, 7, 1, 2));
    const std::string earlier = OtherToolsYearlyFile();
    monthly.Write(YEARLY, earlier);
    const ChildResult refused = Convert(monthly, nullptr, {"2005/07"});
    EXPECT_EQ(Said(refused, 1,
                   "年次ファイル「" + monthly.File(YEARLY) +
                       "」の値のある 181 行のうち 181 行を読めません"
                       "（最初は 2行目「2005-1-1,25.0,"),
              "");
    EXPECT_EQ(Missing(refused.err, "…」: 年月日「2005-1-1」を日付として読めません）"), "");
    EXPECT_EQ(TempFolder::Read(monthly.File(YEARLY)), earlier);
    EXPECT_FALSE(std::filesystem::exists(monthly.File("Q2005_0312.csv")));

    // A file cut off in its last line: the run goes on with the days before the cut, and says so.
    std::string cut = EncodeCp932(YearlyText(2005, 0));
    cut.resize(cut.rfind("\r\n", cut.size() - 3) + 16);
    monthly.Write(YEARLY, cut);
    const ChildResult skipped = Convert(monthly, nullptr, {"2005/07"});
    EXPECT_EQ(Said(skipped, 0,
                   "注意: 年次ファイル「" + monthly.File(YEARLY) +
                       "」の 1 行を読めないため飛ばしました（最初は 366行目「\"05/12/31\",0.0」: "
                       "2 列あり、見出し行は 18 列です）。"),
              "");
    const std::string written = DecodeCp932(TempFolder::Read(monthly.File(YEARLY)));
    EXPECT_NE(written.find("\"05/12/30\",0.0,"), std::string::npos);
    EXPECT_EQ(written.find("\"05/12/30\",X"), std::string::npos);
}

TEST(UnreadableFiles, AMonthlyFileThatYieldsNoHourIsAnErrorAndAFewBadLinesAreSaid) {
    TempFolder monthly, out;
    const std::string earlier = EncodeCp932(YearlyText(2005, 0));
    out.Write(YEARLY, earlier);
    const std::string good = MonthlyText(2005, 4, 1, 2);
    // Excel's trailing comma on every data line (not on the header) is read as the file without it.
    monthly.Write("M0504_0312.csv", std::regex_replace(good, std::regex("(\\d)\r\n"), "$1,\r\n"));
    const ChildResult excel = Convert(monthly, &out, {"2005/04"});
    EXPECT_EQ(excel.exitCode, 0) << excel.err;
    EXPECT_EQ(excel.err.find("月次ファイル"), std::string::npos) << excel.err;
    const std::string fromExcel = TempFolder::Read(out.File(YEARLY));
    monthly.Write("M0504_0312.csv", good);
    ASSERT_EQ(Convert(monthly, &out, {"2005/04"}).exitCode, 0);
    EXPECT_EQ(TempFolder::Read(out.File(YEARLY)), fromExcel);
    // Old Mac line ends read like CR LF.
    monthly.Write("M0504_0312.csv", std::regex_replace(good, std::regex("\r\n"), "\r"));
    ASSERT_EQ(Convert(monthly, &out, {"2005/04"}).exitCode, 0);
    EXPECT_EQ(TempFolder::Read(out.File(YEARLY)), fromExcel);

    // Every line one field too many: no hour at all, so the year is not written.
    out.Write(YEARLY, earlier);
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

TEST(UnreadableFiles, ALatitudeTableTakesTheFormsOfLatAndRefusesWhatIsNoNumber) {
    TempFolder monthly, table, byLat, byTable;
    monthly.Write("M0504_0312.csv", MonthlyText(2005, 4, 1, 1));
    auto run = [&](const TempFolder& out, std::vector<std::string> latitude) {
        std::vector<std::string> arguments{"--monthly", monthly.folder(), "--output", out.folder(),
                                           "--station", "0312",           "2005/04"};
        arguments.insert(arguments.end(), latitude.begin(), latitude.end());
        return RunChild(CONVERT, arguments);
    };
    ASSERT_EQ(run(byLat, {"--lat", "35:30"}).exitCode, 0);
    table.Write("lat.csv", "観測点,緯度\r\n\"0312\", 35 : 30\r\n");
    const ChildResult fromTable = run(byTable, {"--lat-table", table.File("lat.csv")});
    ASSERT_EQ(fromTable.exitCode, 0) << fromTable.err;
    EXPECT_EQ(TempFolder::Read(byTable.File(YEARLY)), TempFolder::Read(byLat.File(YEARLY)));

    for (const char* text : {"0312,nan\r\n", "0312,35°30′\r\n", "0312,35.5.3\r\n"}) {
        table.Write("lat.csv", text);
        const ChildResult refused = run(byTable, {"--lat-table", table.File("lat.csv")});
        EXPECT_EQ(Said(refused, 2,
                       "緯度の表「" + table.File("lat.csv") +
                           "」の1行目を使えません（緯度は 度:分:秒 (例 35:30:00)、度:分"),
                  "");
    }
}

} // namespace
} // namespace kolvane
