// A companion file beside a yearly file it was not written with, through kolvane-convert as a user runs
// it: --summary never counts from it, --no-quality removes it, and a write cut between the two files
// is said truthfully and mended by the next run.

#include "FaultSupport.h"
#include "support/Golden.h"
#include "support/Said.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kolvane {
namespace {

using namespace kolvane::testing;

// Both years of station 03/12 into `out`; another latitude changes the derived values, so the yearly
// files differ from those of 35:30:00.
ChildResult ConvertAt(const TempFolder& monthly, const TempFolder& out, const std::string& latitude,
                      const std::vector<std::string>& months = {"--all"},
                      rlim_t fileSizeLimit = RLIM_INFINITY) {
    return RunChild(CONVERT, ConvertArguments(monthly, &out, months, latitude), fileSizeLimit);
}

ChildResult Summary(const std::string& yearly) {
    return RunChild(CONVERT, {"--summary", yearly});
}

TEST(CompanionCommand, SummaryCountsOnlyFromACompanionWrittenWithItsYearlyFile) {
    TempFolder monthly, out;
    CopyGoldenMonthly(monthly);
    ASSERT_EQ(ConvertAt(monthly, out, "35:30:00").exitCode, 0);
    const std::string yearly = out.File("Y2000_0312.csv"), quality = out.File("Q2000_0312.csv");
    const std::string older = TempFolder::Read(quality);
    EXPECT_EQ(Printed(Summary(yearly), 0, "  既存 2 日\n"), "");

    ASSERT_EQ(ConvertAt(monthly, out, "40:00:00").exitCode, 0);
    const std::string proven = TempFolder::Read(quality);
    ASSERT_FALSE(proven == older);
    const std::string head = yearly + ": 366 日 (値のある日 4 日)\n";
    const std::string notBelonging = "品質ファイル「" + quality + "」はこの年次ファイルのものではありません";
    const std::string notProven = "品質ファイル「" + quality + "」はこの年次ファイルのものか確かめられません";
    struct Case {
        const char* what;
        std::string companion;
        std::string message;
    };
    for (const Case& c : {
             Case{"the companion of the yearly file it replaced", older, notBelonging},
             Case{"cut off in the middle", proven.substr(0, proven.size() / 2), notProven},
         }) {
        SCOPED_TRACE(c.what);
        out.Write("Q2000_0312.csv", c.companion);
        const ChildResult r = Summary(yearly);
        EXPECT_EQ(Said(r, 1, c.message), "");
        // All that the yearly file alone says (as without any companion), and not one class count.
        EXPECT_EQ(r.out, head + "  値のない日が最も長く続く期間: 2000/03/01 から 306 日\n");
#ifdef KOLVANE_HAVE_PLOT
        // The plot is drawn as without a companion, and says why.
        EXPECT_EQ(Said(RunChild(CONVERT, {"--plot", out.File("year.png"), yearly}), 0, c.message), "");
#endif
    }
    out.Write("Q2000_0312.csv", proven);
    EXPECT_EQ(Printed(Summary(yearly), 0, "  既存 2 日\n"), "");
}

TEST(CompanionCommand, WithoutCompanionsOneThatNoLongerMatchesIsRemoved) {
    TempFolder monthly, out;
    CopyGoldenMonthly(monthly);
    ASSERT_EQ(ConvertAt(monthly, out, "35:30:00").exitCode, 0);
    const std::string companion = TempFolder::Read(out.File("Q2000_0312.csv"));

    // The same yearly files again: each companion still describes its file byte for byte, and stays.
    ASSERT_EQ(ConvertAt(monthly, out, "35:30:00", {"--all", "--no-quality"}).exitCode, 0);
    EXPECT_EQ(out.EntryCount(), 4);
    EXPECT_TRUE(TempFolder::Read(out.File("Q2000_0312.csv")) == companion);

    // Other yearly files: the companions would describe files that are gone.
    ASSERT_EQ(ConvertAt(monthly, out, "40:00:00", {"--all", "--no-quality"}).exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(out.File("Q2000_0312.csv")));
    EXPECT_FALSE(std::filesystem::exists(out.File("Q1999_0312.csv")));
    EXPECT_EQ(out.EntryCount(), 2);
}

TEST(CompanionCommand, AFailureBetweenTheTwoFilesKeepsTheOldYearlyFileAndIsSaid) {
    TempFolder monthly, out;
    CopyGoldenMonthly(monthly);
    ASSERT_EQ(ConvertAt(monthly, out, "35:30:00").exitCode, 0);
    const std::string yearly = out.File("Y2000_0312.csv");
    const std::string old = TempFolder::Read(yearly);
    const std::string oldCompanion = TempFolder::Read(out.File("Q2000_0312.csv"));

    // Room for the companion (about 7 kB) but not for the yearly file (17 kB): every file of the year is
    // written beside its target before any is put in place, so the pair stays the old one.
    ChildResult r = ConvertAt(monthly, out, "40:00:00", {"--all"}, 12000);
    EXPECT_EQ(
        Said(r, 1, "年次ファイル「" + yearly + "」を書き込めません（ファイルサイズの上限を超えました）"), "");
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(TempFolder::Read(yearly) == old);
    EXPECT_TRUE(TempFolder::Read(out.File("Q2000_0312.csv")) == oldCompanion);
    EXPECT_TRUE(TemporaryFiles(out).empty());
    EXPECT_EQ(Summary(yearly).exitCode, 0);

    // The next run writes both again.
    ASSERT_EQ(ConvertAt(monthly, out, "40:00:00").exitCode, 0);
    EXPECT_FALSE(TempFolder::Read(yearly) == old);
    EXPECT_EQ(Summary(yearly).exitCode, 0);

    // The companion cannot be written: the yearly file is not touched, and the message says so.
    TempFolder blocked;
    std::filesystem::create_directory(blocked.File("Q2000_0312.csv"));
    EXPECT_EQ(Said(ConvertAt(monthly, blocked, "35:30:00"), 1,
                   "年次ファイル「" + blocked.File("Y2000_0312.csv") +
                       "」を書き込めません（ファイルではなくフォルダです）。品質ファイル「" +
                       blocked.File("Q2000_0312.csv") +
                       "」を先に書き込めなかったため、年次ファイルは元のままです。"),
              "");
    EXPECT_EQ(blocked.EntryCount(), 1);
}

} // namespace
} // namespace kolvane
