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

} // namespace
} // namespace kolvane
