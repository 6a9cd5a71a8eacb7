// --check and the suspect values of --summary, through kolvane-convert as a user runs it.

#include "CliRun.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

#include "model/Text.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kolvane {
namespace {

using namespace kolvane::testing;

const std::string HEADER = MONTHLY_HEADER + "\r\n";

TEST(CheckCommand, PrintsTheFindingsAndTheirKindsAndWritesNothingWhileAConversionWritesThem) {
    TempFolder monthly;
    // A humidity of 105 % and a jump of 6.6 °C and back.
    monthly.Write("M2407_0312.csv",
                  EncodeCp932(HEADER +
                              "2024/07/17,1:00,0.0,25.0,80,1008.0,90,2.0,4.0,90,0.00,21.4,26.0\r\n"
                              "2024/07/17,2:00,0.0,31.6,105,1008.2,100,1.8,3.5,100,0.00,21.3,26.0\r\n"
                              "2024/07/17,3:00,0.0,24.4,84,1008.3,120,1.8,2.5,120,0.00,21.0,25.9\r\n"));
    const std::vector<std::string> convert{"--monthly", monthly.folder(), "--station", "0312",
                                           "--lat",     "35.5",           "--all"};
    std::vector<std::string> check = convert;
    check.push_back("--check");
    CliResult r = RunCli(check);
    ASSERT_EQ(r.exitCode, 0) << r.err; // findings are no error
    EXPECT_EQ(r.out, "C2024_0312.csv,\"24/07/17\",2:00,気温,31.6,急変,前後の時間との差 6.6・7.2 ℃ > 5.0 ℃\n"
                     "C2024_0312.csv,\"24/07/17\",2:00,湿度,105,範囲,上限 100 % を超える\n"
                     "疑わしい値 2 個 (範囲 1、急変 1、持続 0、整合 0)\n");
    EXPECT_EQ(monthly.EntryCount(), 1);

    // Without the findings files the note must not point to them.
    TempFolder bare;
    std::vector<std::string> noQuality = convert;
    noQuality.insert(noQuality.end(), {"--output", bare.folder(), "--no-quality"});
    r = RunCli(noQuality);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(
        r.err.find("疑わしい値が 2 個見つかりました (--no-quality のため検査結果ファイルは書いていません"),
        std::string::npos)
        << r.err;
    EXPECT_EQ(bare.EntryCount(), 1);

    r = RunCli(convert);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("疑わしい値が 2 個見つかりました (年次ファイルの隣の検査結果ファイル 1 個"),
              std::string::npos)
        << r.err;
    r = RunCli({"--summary", monthly.File("Y2024_0312.csv")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\n  疑わしい値 2 個 (1 日)\n"), std::string::npos) << r.out;

    // Without its companion, the findings file that proves it belongs still counts.
    std::filesystem::remove(monthly.File("Q2024_0312.csv"));
    r = RunCli({"--summary", monthly.File("Y2024_0312.csv")});
    EXPECT_NE(r.out.find("\n  疑わしい値 2 個 (1 日、検査結果ファイルから)\n"), std::string::npos) << r.out;
}

// 21:00-22:00 on 21 June at 43 N: dark at Sapporo's longitude, not sure to be anywhere in Japan. The
// longitude reaches the checks from --lon and from a latitude table's third column; a wrong one is refused.
TEST(CheckCommand, TheLongitudeGivenDecidesWhichHoursAreDark) {
    TempFolder monthly;
    monthly.Write(
        "M2406_0312.csv",
        EncodeCp932(HEADER + "2024/06/21,22:00,0.0,18.0,80,1008.0,90,2.0,4.0,90,0.05,14.4,19.0\r\n"));
    const std::string table = monthly.Write("lat.csv", "観測点,緯度,経度\n0312,43:03:00,141:21:00\n");
    const std::string dark = "太陽が地平線の下にある時間に 0.02 MJ/㎡ を超える";
    const std::vector<std::string> run{"--monthly", monthly.folder(), "--station",
                                       "0312",      "--all",          "--check"};
    auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> arguments = run;
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return RunCli(arguments);
    };
    for (const std::vector<std::string>& known :
         {std::vector<std::string>{"--lat", "43:03", "--lon", "141:21"},
          {"--lat", "43.05", "--lon", "141.35"},
          {"--lat-table", table}}) {
        const CliResult r = with(known);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find(dark), std::string::npos) << r.out;
    }
    CliResult r = with({"--lat", "43:03"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.find(dark), std::string::npos) << r.out;

    for (const char* wrong : {"14", "135.5.1", "100:00:00", "160"}) {
        r = with({"--lat", "43:03", "--lon", wrong});
        EXPECT_EQ(r.exitCode, 2) << wrong;
        EXPECT_NE(r.err.find("--lon"), std::string::npos) << r.err;
    }
    monthly.Write("lat.csv", "0312,43:03:00,14:21:00\n");
    r = with({"--lat-table", table});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("経度は 120-155 度"), std::string::npos) << r.err;
}

// A logger's 10-minute rows are converted as hourly ones would be, and the run says that they were not
// hourly; hourly rows get no such note.
TEST(CheckCommand, RowsCloserThanAnHourAreNamed) {
    TempFolder monthly;
    std::string tenMinutes = HEADER;
    for (int m = 10; m <= 50; m += 10)
        tenMinutes +=
            "2024/07/17,3:" + std::to_string(m) + ",0.0,24.4,84,1008.3,120,1.8,2.5,120,0.00,21.0,25.9\r\n";
    monthly.Write("M2407_0312.csv", EncodeCp932(tenMinutes));
    CliResult r = RunCli({"--monthly", monthly.folder(), "--station", "0312", "--lat", "35.5", "--all"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("毎時ではありません"), std::string::npos) << r.err;

    TempFolder hourly;
    hourly.Write("M2407_0312.csv",
                 EncodeCp932(HEADER +
                             "2024/07/17,3:00,0.0,24.4,84,1008.3,120,1.8,2.5,120,0.00,21.0,25.9\r\n"
                             "2024/07/17,4:00,0.0,24.4,84,1008.3,120,1.8,2.5,120,0.00,21.0,25.9\r\n"));
    r = RunCli({"--monthly", hourly.folder(), "--station", "0312", "--lat", "35.5", "--all"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err.find("毎時ではありません"), std::string::npos) << r.err;
}

} // namespace
} // namespace kolvane
