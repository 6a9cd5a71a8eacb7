// kolvane-convert into an archive folder that already holds a yearly file, and the run log it leaves.

#include "FaultSupport.h"
#include "engine/RunLog.h"
#include "model/Text.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

using namespace kolvane::testing;

const std::string GOLDEN = std::string(KOLVANE_TEST_DATA) + "/golden/";

TEST(MergeOutput, AnArchivesYearlyFileIsMergedAsIfItLayInTheMonthlyFolderAndTheLogSaysSo) {
    // The earlier yearly file lies in the archive only; the monthly folder holds the months.
    TempFolder monthly, archive;
    for (const char* name : {"M9912_0312.csv", "M0001_0312.csv"})
        monthly.Write(name, TempFolder::Read(GOLDEN + "monthly/" + name));
    archive.Write("Y2000_0312.csv", TempFolder::Read(GOLDEN + "monthly/Y2000_0312.csv"));
    const std::vector<std::string> base = {"--monthly",      monthly.folder(), "--output",
                                           archive.folder(), "--station",      "0312",
                                           "--lat",          "35:30:00",       "--all"};

    ChildResult r = RunChild(CONVERT, base);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("--merge-output"), std::string::npos) << r.err;

    std::vector<std::string> merge = base;
    merge.push_back("--merge-output");
    r = RunChild(CONVERT, merge);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // Byte for byte what the same run gives with the file in the monthly folder.
    for (const char* name : {"Y2000_0312.csv", "Q2000_0312.csv", "Y1999_0312.csv"})
        EXPECT_TRUE(TempFolder::Read(archive.File(name)) == TempFolder::Read(GOLDEN + "expected/" + name))
            << name;

    const std::optional<RunLogEntry> merged = LastRunLogEntry(archive.folder(), "Y2000_0312.csv");
    ASSERT_TRUE(merged);
    EXPECT_EQ(merged->months, "01 結合:Y2000_0312.csv");
    EXPECT_EQ(merged->station, "0312");
    EXPECT_EQ(merged->latitude, "35:30:00");
    EXPECT_EQ(merged->program, "kolvane-convert 0.1.0");
    const std::optional<RunLogEntry> fresh = LastRunLogEntry(archive.folder(), "Y1999_0312.csv");
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->months, "12");

    // Degrees:minutes as typed, with the seconds the run took.
    merge[7] = "36:15";
    ASSERT_EQ(RunChild(CONVERT, merge).exitCode, 0);
    EXPECT_EQ(LastRunLogEntry(archive.folder(), "Y1999_0312.csv")->latitude, "36:15:0");
    EXPECT_EQ(SplitLines(DecodeCp932(TempFolder::Read(archive.File("kolvane-log.csv")))).size(), 5u);
}

} // namespace
} // namespace kolvane
