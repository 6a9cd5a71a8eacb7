// Folder names as users have them: Japanese, with spaces, and written with the system's own separator.

#include "CliRun.h"
#include "model/FileIo.h"
#include "support/Golden.h"
#include "support/Said.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kolvane {
namespace {

using namespace kolvane::testing;

// A path as its system writes it: with "\" on Windows.
std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '/', platform::kSeparator);
    return path;
}

TEST(FolderNames, JapaneseNamesAndTheSystemsSeparatorAreKeptAndShownAsGiven) {
    TempFolder temp;
    const std::string monthly = Native(temp.File("観測データ")), out = Native(temp.File("出力 年次"));
    ASSERT_EQ(platform::MakePrivateFolder(monthly), 0);
    ASSERT_EQ(platform::MakePrivateFolder(out), 0);
    for (const char* name : {"M9912_0312.csv", "M0001_0312.csv", "Y2000_0312.csv"})
        ASSERT_EQ(WriteFileAtomically(WithTrailingSlash(monthly) + name,
                                      TempFolder::Read(GOLDEN + "monthly/" + name)),
                  0);

    // Another station's month, and a file of no month, which is never listed.
    for (const char* name : {"M0502_0101.csv", "M0513_0101.csv"})
        ASSERT_EQ(WriteFileAtomically(WithTrailingSlash(monthly) + name, ""), 0);
    const CliResult list = RunCli({"--monthly", monthly, "--list"});
    EXPECT_EQ(Printed(list, 0, "グループID 03  バケットID 12  (2 か月)\n  2000/01 1999/12\n"), "");
    EXPECT_EQ(Printed(list, 0, "グループID 01  バケットID 01  (1 か月)\n  2005/02\n"), "");

    const CliResult r = RunCli({"--monthly", monthly, "--output", out, "--group", "03", "--bucket", "12",
                                "--lat", "35:30:00", "--all"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string separator(1, platform::kSeparator);
    EXPECT_EQ(r.out, out + separator + "Y2000_0312.csv\n" + out + separator + "Y1999_0312.csv\n");
    // Byte for byte the files of a folder with a plain name.
    for (const char* name : {"Y2000_0312.csv", "Y1999_0312.csv", "Q2000_0312.csv", "Q1999_0312.csv"})
        EXPECT_TRUE(IsGolden(out + separator + name, name)) << name;
    std::vector<std::string> names;
    ASSERT_EQ(ListRegularFiles(WithTrailingSlash(out), names), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"kolvane-log.csv", "Q1999_0312.csv", "Q2000_0312.csv",
                                               "Y1999_0312.csv", "Y2000_0312.csv"}));
}

} // namespace
} // namespace kolvane
