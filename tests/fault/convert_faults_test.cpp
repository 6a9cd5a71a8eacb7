// What a user gets when a folder, a file or the disk fails them: one clear message, the previous
// yearly file as it was (unless a complete new one replaced it), and no temporary file left behind.

#include "FaultSupport.h"

#include "formats/YearlyFile.h"
#include "support/EngineRun.h"
#include "support/Golden.h"
#include "support/Said.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace kolvane {
namespace {

using namespace kolvane::testing;

constexpr char YEARLY[] = "Y2005_0312.csv";

void WriteTwoMonths(const TempFolder& monthly) {
    monthly.Write("M0502_0312.csv", MonthlyText(2005, 2, 1, 2));
    monthly.Write("M0503_0312.csv", MonthlyText(2005, 3, 1, 2));
}

TEST(OutputFaults, AnOutputThatFailsAtWriteTimeNamesTheFileAndCause) {
    // The folder checked before the run may be gone, or be a file, when the year is written; or the
    // yearly file's name may be taken by a folder.
    TempFolder monthly, out;
    WriteTwoMonths(monthly);
    const std::string file = out.Write("plain.txt", "x");
    std::filesystem::create_directory(out.File(YEARLY));
    for (const auto& [folder, cause] : std::vector<std::pair<std::string, std::string>>{
             {out.File("gone/"), "ファイルまたはフォルダが見つかりません"},
             {file + "/", "フォルダではありません"},
             {out.folder(), "ファイルではなくフォルダです"}}) {
        SCOPED_TRACE(folder);
        const std::string message = MessageOf([&] {
            ConvertYearRuns(PlanYearRuns({"2005/02"}, {"03", "12"}),
                            ConversionSettings{35.5, monthly.folder(), folder, {"03", "12"}});
        });
        EXPECT_EQ(
            Missing(message, "年次ファイル「" + folder + YEARLY + "」を書き込めません（" + cause + "）。"),
            "");
        EXPECT_TRUE(TemporaryFiles(out).empty());
    }
    EXPECT_TRUE(std::filesystem::is_directory(out.File(YEARLY)));
    EXPECT_EQ(TempFolder::Read(file), "x");
}

// Root may write anywhere: the child becomes nobody, for whom a folder without write permission is one.
void AsAnotherUser() {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(99);
}

TEST(OutputFaults, AMonthlyFolderThatCannotBeWrittenPointsToOutput) {
    TempFolder monthly, out;
    CopyGoldenMonthly(monthly);
    using std::filesystem::perms, std::filesystem::perm_options;
    std::filesystem::permissions(monthly.folder(),
                                 perms::owner_write | perms::group_write | perms::others_write,
                                 perm_options::remove);
    std::filesystem::permissions(out.folder(), perms::all, perm_options::add);
    std::vector<std::string> convert{"--monthly", monthly.folder(), "--station", "0312",
                                     "--lat",     "35:30:00",       "--all"};
    const ChildResult r = RunChild(CONVERT, convert, RLIM_INFINITY, AsAnotherUser);
    EXPECT_EQ(Refused(r, "年次ファイルを保存するフォルダ「" + monthly.folder() + "」に書き込めません（"), "");
    EXPECT_EQ(Missing(r.err, "）。--output で書き込めるフォルダを指定して下さい。\n"), "");
    convert.insert(convert.end(), {"--output", out.folder()});
    EXPECT_EQ(RunChild(CONVERT, convert, RLIM_INFINITY, AsAnotherUser).exitCode, 0);
    EXPECT_EQ(monthly.EntryCount(), 3);
    std::filesystem::permissions(monthly.folder(), perms::owner_write, perm_options::add);
}

TEST(WriteCutShort, YearsWrittenBeforeTheFailingOneStayComplete) {
    TempFolder monthly, first, out;
    monthly.Write("M0401_0312.csv", MonthlyText(2004, 1, 1, 1));
    WriteTwoMonths(monthly);
    ASSERT_EQ(Convert(monthly, &first, {"--all"}).exitCode, 0);
    const std::string y2004 = TempFolder::Read(first.File("Y2004_0312.csv"));
    const std::string y2005 = TempFolder::Read(first.File(YEARLY));
    // 2004 has a single day of values and is the smaller file, though it has a day more.
    ASSERT_LT(y2004.size(), y2005.size());

    out.Write(YEARLY, PreviousYearlyFile());
    ChildResult r = Convert(monthly, &out, {"--all"}, y2004.size());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, out.File("Y2004_0312.csv") + "\n");
    EXPECT_TRUE(TempFolder::Read(out.File("Y2004_0312.csv")) == y2004);
    EXPECT_TRUE(TempFolder::Read(out.File(YEARLY)) == PreviousYearlyFile());
    EXPECT_TRUE(TemporaryFiles(out).empty());
}

TEST(MonthlyFaults, AMonthlyFileThatIsAFolderOrAPipeStopsTheRunWithTheMessage) {
    for (const char* kind : {"folder", "pipe"}) {
        SCOPED_TRACE(kind);
        TempFolder monthly, out;
        monthly.Write("M0502_0312.csv", MonthlyText(2005, 2, 1, 2));
        const std::string odd = monthly.File("M0503_0312.csv");
        if (std::string(kind) == "folder")
            std::filesystem::create_directory(odd);
        else
            ASSERT_EQ(::mkfifo(odd.c_str(), 0600), 0);
        out.Write(YEARLY, PreviousYearlyFile());

        ChildResult r = Convert(monthly, &out, {"2005/02", "2005/03"});
        EXPECT_EQ(Said(r, 1, "月次ファイル「" + odd + "」を読み込めません（"), "") << "signal " << r.signal;
        EXPECT_TRUE(TempFolder::Read(out.File(YEARLY)) == PreviousYearlyFile());
        EXPECT_TRUE(TemporaryFiles(out).empty());
    }
}

TEST(MonthlyFaults, RunningOutOfMemoryNamesTheMonthlyFileAndKeepsTheYearlyFile) {
    if (kAddressSanitizer) GTEST_SKIP() << "AddressSanitizer cannot run under a limit of address space";
    TempFolder monthly, out;
    monthly.Write("M0502_0312.csv", MonthlyText(2005, 2, 1, 2));
    // Sparse: no disk is used, but reading it whole asks for 64 GiB, far past the child's limit.
    const std::string huge = monthly.File("M0503_0312.csv");
    monthly.Write("M0503_0312.csv", "");
    std::filesystem::resize_file(huge, std::uintmax_t{64} << 30);
    out.Write(YEARLY, PreviousYearlyFile());

    const ChildResult r =
        RunChild(CONVERT, ConvertArguments(monthly, &out, {"2005/02", "2005/03"}), RLIM_INFINITY, [] {
            const rlimit space{rlim_t{1} << 30, rlim_t{1} << 30};
            ::setrlimit(RLIMIT_AS, &space);
        });
    EXPECT_EQ(Said(r, 1, "月次ファイル「" + huge + "」を処理するためのメモリが不足しています。"), "")
        << "signal " << r.signal;
    EXPECT_TRUE(TempFolder::Read(out.File(YEARLY)) == PreviousYearlyFile());
    EXPECT_TRUE(TemporaryFiles(out).empty());
}

TEST(ExistingYearlyFaults, GarbageOrAnotherEncodingStopsTheRunAndLosesNothing) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919 + 13) % 256);
    // Which encoding is named is the reader's affair; here the run must stop and keep both the file it
    // reads and the one it would replace.
    const std::string utf16("\xFF\xFE\x74\x5E\x08\x67\xE5\x65\x2C\x00\r\x00\n\x00", 14);
    for (const std::string& bytes : {garbage, utf16}) {
        SCOPED_TRACE(bytes.size());
        TempFolder monthly, out;
        WriteTwoMonths(monthly);
        monthly.Write(YEARLY, bytes);
        out.Write(YEARLY, PreviousYearlyFile());
        ChildResult r = Convert(monthly, &out, {"--all"});
        EXPECT_EQ(Said(r, 1, "年次ファイル「" + monthly.File(YEARLY) + "」"), "");
        EXPECT_TRUE(TempFolder::Read(monthly.File(YEARLY)) == bytes);
        EXPECT_TRUE(TempFolder::Read(out.File(YEARLY)) == PreviousYearlyFile());
        EXPECT_TRUE(TemporaryFiles(monthly).empty() && TemporaryFiles(out).empty());
    }
}

} // namespace
} // namespace kolvane
