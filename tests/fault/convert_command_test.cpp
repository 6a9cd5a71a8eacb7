// kolvane-convert as a user runs it: arguments, output, exit codes, files.

#include "FaultSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <sstream>

namespace kolvane {
namespace {

using namespace kolvane::testing;

const std::string GOLDEN = std::string(KOLVANE_TEST_DATA) + "/golden/";

ChildResult RunConvert(const std::string& arguments) {
    std::istringstream words(arguments);
    std::vector<std::string> list{std::istream_iterator<std::string>(words), {}};
    return RunChild(CONVERT, list);
}

void CopyGoldenMonthly(const TempFolder& folder) {
    for (const char* name : {"M9912_0312.csv", "M0001_0312.csv", "Y2000_0312.csv"})
        folder.Write(name, TempFolder::Read(GOLDEN + "monthly/" + name));
}

TEST(ConvertCommand, ConvertsTwoYearsInMonthListOrderAndMergesTheEarlierYearlyFile) {
    TempFolder monthly, out;
    CopyGoldenMonthly(monthly);
    // Months given in any order are processed as the month list orders them: 2000 before 1999.
    ChildResult r = Convert(monthly, &out, {"1999/12", "2000/01"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, out.File("Y2000_0312.csv") + "\n" + out.File("Y1999_0312.csv") + "\n");
    for (const char* name : {"Y2000_0312.csv", "Y1999_0312.csv"})
        EXPECT_TRUE(TempFolder::Read(out.File(name)) == TempFolder::Read(GOLDEN + "expected/" + name))
            << name;

    // --all into the monthly folder itself (the default output), with the latitude in decimal degrees;
    // the second run reads the first one's file back and must give the same bytes.
    for (int run = 0; run < 2; ++run) {
        r = RunConvert("--monthly " + monthly.folder() + " --group 03 --bucket 12 --lat 35.5 --all");
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(TempFolder::Read(monthly.File("Y2000_0312.csv")) ==
                    TempFolder::Read(GOLDEN + "expected/Y2000_0312.csv"));
    }
}

TEST(ConvertCommand, ListsStationsAndMonths) {
    TempFolder monthly;
    CopyGoldenMonthly(monthly);
    monthly.Write("M0502_0101.csv", "");
    monthly.Write("M0513_0101.csv", ""); // no such month: never listed
    ChildResult r = RunConvert("--monthly " + monthly.folder() + " --list");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("グループID 03  バケットID 12  (2 か月)\n  2000/01 1999/12\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("グループID 01  バケットID 01  (1 か月)\n  2005/02\n"), std::string::npos) << r.out;
}

TEST(ConvertCommand, UsageErrorsExitTwoAndWriteNothing) {
    TempFolder monthly, scratch;
    CopyGoldenMonthly(monthly);
    const std::string base = "--monthly " + monthly.folder() + " --group 03 --bucket 12 ";
    for (const std::string& arguments :
         {std::string(""), base + "--all", base + "--lat 55:00:00 --all", base + "--lat 35:60:00 --all",
          base + "--lat 35:30 --all", base + "--lat north --all", base + "--lat 35:30:00",
          base + "--lat 35:30:00 --all 2000/01", base + "--lat 35:30:00 2070/01",
          base + "--lat 35:30:00 2000/13", base + "--lat 35:30:00 2000-01",
          "--monthly " + monthly.folder() + " --group 3 --bucket 12 --lat 35:0:0 --all",
          "--monthly " + monthly.File("none/") + " --list", base + "--lat 35:30:00 --all --frobnicate",
          "--monthly " + monthly.folder() + " --group 09 --bucket 09 --lat 35:0:0 --all"}) {
        SCOPED_TRACE(arguments);
        ChildResult r = RunConvert(arguments);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_FALSE(r.err.empty());
    }
    // A missing output folder, or one that is a file, is named before anything is written.
    const std::string notAFolder = scratch.Write("output.txt", "keep me");
    for (const std::string& output : {scratch.File("none"), notAFolder}) {
        SCOPED_TRACE(output);
        ChildResult r = RunConvert(base + "--lat 35:30:00 --all --output " + output);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_NE(r.err.find("年次ファイルを保存するフォルダ「" + output + "/」がありません。"),
                  std::string::npos)
            << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_EQ(TempFolder::Read(notAFolder), "keep me");
    EXPECT_EQ(monthly.EntryCount(), 3);
    EXPECT_EQ(RunConvert("--help").exitCode, 0);
}

TEST(ConvertCommand, AConversionErrorExitsOneWithTheMessageAndKeepsEarlierYears) {
    TempFolder monthly, out;
    CopyGoldenMonthly(monthly);
    // 1999 fails after 2000 has been written: its yearly file names a column twice.
    monthly.Write("Y1999_0312.csv",
                  TempFolder::Read(GOLDEN + "expected/Y1999_0312.csv").insert(0, "\x93\xFA\x8E\xCB,"));
    out.Write("Y1999_0312.csv", "previous");
    ChildResult r = Convert(monthly, &out, {"--all"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("「日射」が重複しています"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, out.File("Y2000_0312.csv") + "\n");
    EXPECT_EQ(TempFolder::Read(out.File("Y1999_0312.csv")), "previous");
    EXPECT_EQ(out.EntryCount(), 3); // and the companion of 2000

    // A month without its file is converted as empty, with a note.
    r = Convert(monthly, &out, {"2000/01", "2000/02"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("2000/02"), std::string::npos);
}

} // namespace
} // namespace kolvane
