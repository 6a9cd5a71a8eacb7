// --check and the suspect values of --summary, through kolvane-convert as a user runs it.

#include "CliRun.h"
#include "support/Said.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

#include "model/Text.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kolvane {
namespace {

using namespace kolvane::testing;

// A monthly file of 2024 for station 03/12 holding `lines` after its header.
void WriteMonth(const TempFolder& monthly, const std::string& name, const std::string& lines) {
    monthly.Write(name, EncodeCp932(MONTHLY_HEADER + "\r\n" + lines));
}

// Station 03/12, every month of `monthly`, with `extra` arguments.
CliResult Station0312(const TempFolder& monthly, const std::vector<std::string>& extra) {
    std::vector<std::string> arguments{"--monthly", monthly.folder(), "--station", "0312", "--all"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return RunCli(arguments);
}

TEST(CheckCommand, PrintsTheFindingsAndTheirKindsAndWritesNothingWhileAConversionWritesThem) {
    TempFolder monthly;
    // A humidity of 105 % and a jump of 6.6 °C and back.
    WriteMonth(monthly, "M2407_0312.csv",
               "2024/07/17,1:00,0.0,25.0,80,1008.0,90,2.0,4.0,90,0.00,21.4,26.0\r\n"
               "2024/07/17,2:00,0.0,31.6,105,1008.2,100,1.8,3.5,100,0.00,21.3,26.0\r\n"
               "2024/07/17,3:00,0.0,24.4,84,1008.3,120,1.8,2.5,120,0.00,21.0,25.9\r\n");
    CliResult r = Station0312(monthly, {"--lat", "35.5", "--check"});
    ASSERT_EQ(r.exitCode, 0) << r.err; // findings are no error
    EXPECT_EQ(r.out, "C2024_0312.csv,\"24/07/17\",2:00,気温,31.6,急変,前後の時間との差 6.6・7.2 ℃ > 5.0 ℃\n"
                     "C2024_0312.csv,\"24/07/17\",2:00,湿度,105,範囲,上限 100 % を超える\n"
                     "疑わしい値 2 個 (範囲 1、急変 1、持続 0、整合 0)\n");
    EXPECT_EQ(monthly.EntryCount(), 1);

    // Without the findings files the note must not point to them.
    TempFolder bare;
    EXPECT_EQ(Said(Station0312(monthly, {"--lat", "35.5", "--output", bare.folder(), "--no-quality"}), 0,
                   "疑わしい値が 2 個見つかりました (--no-quality のため検査結果ファイルは書いていません"),
              "");
    EXPECT_EQ(bare.EntryCount(), 1);

    const CliResult converted = Station0312(monthly, {"--lat", "35.5"});
    EXPECT_EQ(Said(converted, 0, "疑わしい値が 2 個見つかりました (年次ファイルの隣の検査結果ファイル 1 個"),
              "");
    EXPECT_EQ(converted.err.find("毎時ではありません"), std::string::npos) << converted.err; // hourly rows
    EXPECT_EQ(
        Printed(RunCli({"--summary", monthly.File("Y2024_0312.csv")}), 0, "\n  疑わしい値 2 個 (1 日)\n"),
        "");

    // Without its companion, the findings file that proves it belongs still counts.
    std::filesystem::remove(monthly.File("Q2024_0312.csv"));
    EXPECT_EQ(Printed(RunCli({"--summary", monthly.File("Y2024_0312.csv")}), 0,
                      "\n  疑わしい値 2 個 (1 日、検査結果ファイルから)\n"),
              "");

    // A logger's 10-minute rows are converted as hourly ones would be, and the run says they were not.
    TempFolder logger;
    const std::string rest = ",0.0,24.4,84,1008.3,120,1.8,2.5,120,0.00,21.0,25.9\r\n";
    WriteMonth(logger, "M2407_0312.csv", "2024/07/17,3:10" + rest + "2024/07/17,3:20" + rest);
    EXPECT_EQ(Said(Station0312(logger, {"--lat", "35.5"}), 0, "毎時ではありません"), "");
}

// 21:00-22:00 on 21 June at 43 N: dark at Sapporo's longitude, not sure to be anywhere in Japan. The
// longitude reaches the checks from --lon and from a latitude table's third column; a wrong --lon is refused.
TEST(CheckCommand, TheLongitudeGivenDecidesWhichHoursAreDark) {
    TempFolder monthly;
    WriteMonth(monthly, "M2406_0312.csv",
               "2024/06/21,22:00,0.0,18.0,80,1008.0,90,2.0,4.0,90,0.05,14.4,19.0\r\n");
    const std::string table = monthly.Write("lat.csv", "観測点,緯度,経度\n0312,43:03:00,141:21:00\n");
    const std::string dark = "太陽が地平線の下にある時間に 0.02 MJ/㎡ を超える";
    for (const auto& [arguments, isDark] :
         std::vector<std::pair<std::vector<std::string>, bool>>{{{"--lat", "43:03", "--lon", "141:21"}, true},
                                                                {{"--lat-table", table}, true},
                                                                {{"--lat", "43:03"}, false}}) {
        SCOPED_TRACE(arguments.back());
        std::vector<std::string> check = arguments;
        check.push_back("--check");
        const CliResult r = Station0312(monthly, check);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out.find(dark) != std::string::npos, isDark) << r.out;
    }
    for (const char* wrong : {"135.5.1", "160"})
        EXPECT_EQ(Said(Station0312(monthly, {"--lat", "43:03", "--lon", wrong, "--check"}), 2, "--lon"), "")
            << wrong;
}

} // namespace
} // namespace kolvane
