// What a user gets when a folder, a file or the disk fails them: one clear message, the previous
// yearly file as it was (unless a complete new one replaced it), and no temporary file left behind.

#include "FaultSupport.h"

#include "convert/Discovery.h"
#include "convert/RunDriver.h"
#include "convert/YearlyFile.h"
#include "model/Error.h"
#include "model/Text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iconv.h>
#include <sys/stat.h>

namespace kolvane {
namespace {

using namespace kolvane::testing;

constexpr char YEARLY[] = "Y2005_0312.csv";

void WriteTwoMonths(const TempFolder& monthly) {
    monthly.Write("M0502_0312.csv", MonthlyText(2005, 2, 1, 2));
    monthly.Write("M0503_0312.csv", MonthlyText(2005, 3, 1, 2));
}

std::string Utf16Le(const std::string& utf8) {
    iconv_t cd = ::iconv_open("UTF-16LE", "UTF-8");
    std::string out(utf8.size() * 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    char* dst = out.data();
    std::size_t inLeft = utf8.size(), outLeft = out.size();
    ::iconv(cd, &in, &inLeft, &dst, &outLeft);
    ::iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

// Empty when `text` holds `part`, else what to show.
std::string Missing(const std::string& text, const std::string& part) {
    return text.find(part) == std::string::npos ? "missing 「" + part + "」 in: " + text : "";
}

TEST(OutputFaults, AMissingOrNonFolderOutputIsRefusedBeforeAnythingIsWritten) {
    TempFolder monthly, scratch;
    WriteTwoMonths(monthly);
    const std::string notAFolder = scratch.Write("output.txt", "keep me");

    for (const std::string& output : {scratch.File("none"), notAFolder}) {
        SCOPED_TRACE(output);
        ChildResult r = RunChild(CONVERT, {"--monthly", monthly.folder(), "--output", output, "--group", "03",
                                           "--bucket", "12", "--lat", "35:30:00", "--all"});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(Missing(r.err, "年次ファイルを保存するフォルダ「" + output + "/」がありません。"), "");
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_EQ(TempFolder::Read(notAFolder), "keep me");
    EXPECT_EQ(monthly.EntryCount(), 2);
}

TEST(OutputFaults, AnOutputThatFailsAtWriteTimeNamesTheFileAndCause) {
    // The folder checked before the run may be gone, or be a file, when the year is written; or the
    // yearly file's name may be taken by a folder.
    TempFolder monthly, out;
    WriteTwoMonths(monthly);
    const std::string file = out.Write("plain.txt", "x");
    std::filesystem::create_directory(out.File(YEARLY));
    struct Case {
        std::string folder;
        std::string cause;
    };
    for (const Case& c :
         {Case{out.File("gone/"), "ファイルまたはフォルダが見つかりません"},
          Case{file + "/", "フォルダではありません"}, Case{out.folder(), "ファイルではなくフォルダです"}}) {
        SCOPED_TRACE(c.folder);
        try {
            ConvertYearRuns(PlanYearRuns({"2005/02"}, {"03", "12"}),
                            ConversionSettings{35.5, monthly.folder(), c.folder, {"03", "12"}}, {});
            ADD_FAILURE() << "the write did not fail";
        } catch (const KolvaneError& e) {
            EXPECT_EQ(Missing(e.what(), "年次ファイル「" + c.folder + YEARLY + "」を書き込めません（" +
                                            c.cause + "）。"),
                      "");
        }
        EXPECT_TRUE(TemporaryFiles(out).empty());
    }
    EXPECT_TRUE(std::filesystem::is_directory(out.File(YEARLY)));
    EXPECT_EQ(TempFolder::Read(file), "x");
}

TEST(WriteCutShort, AFileSizeLimitStopsTheYearWithTheMessageAndKeepsThePreviousFile) {
    TempFolder monthly, out;
    WriteTwoMonths(monthly);
    const std::string previous = PreviousYearlyFile();
    out.Write(YEARLY, previous);
    monthly.Write(YEARLY, previous);

    // Into another folder, and into the monthly folder, where the file read is the one replaced.
    const TempFolder* none = nullptr;
    for (const TempFolder* output : {static_cast<const TempFolder*>(&out), none}) {
        const TempFolder& folder = output ? out : monthly;
        SCOPED_TRACE(folder.folder());
        ChildResult r = Convert(monthly, output, {"--all"}, 4096);
        EXPECT_EQ(r.signal, 0) << "killed instead of told";
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(Missing(r.err, "年次ファイル「" + folder.File(YEARLY) +
                                     "」を書き込めません（ファイルサイズの上限を超えました）。"),
                  "");
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_TRUE(TempFolder::Read(folder.File(YEARLY)) == previous);
        EXPECT_TRUE(TemporaryFiles(folder).empty());
    }
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

TEST(MonthlyFaults, AMonthlyFileThatVanishedAfterTheListingReadsAsEmpty) {
    TempFolder monthly, out;
    WriteTwoMonths(monthly);
    monthly.Write(YEARLY, PreviousYearlyFile());
    std::vector<std::string> names;
    ASSERT_EQ(ListMatchingFiles(monthly.folder(), StationPattern("03", "12"), names), 0);
    const std::vector<YearRun> runs = PlanYearRuns(MonthEntries(names), {"03", "12"});
    std::filesystem::remove(monthly.File("M0503_0312.csv"));

    ConvertYearRuns(runs, ConversionSettings{35.5, monthly.folder(), out.folder(), {"03", "12"}}, {});
    WeatherTable year;
    ParseYearlyText(TempFolder::Read(out.File(YEARLY)), YEARLY, year);
    ASSERT_EQ(year.size(), 365u);
    EXPECT_NE(year[31].temp, MISSING); // 1 February, converted
    EXPECT_EQ(year[59].precip, 12.5);  // 1 March, kept from the earlier yearly file
    EXPECT_EQ(year[60].temp, MISSING); // 2 March: no file, no earlier value
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

        // Only regular files are listed, so --all converts February alone.
        ChildResult all = Convert(monthly, &out, {"--all"});
        EXPECT_EQ(all.exitCode, 0) << all.err;

        out.Write(YEARLY, PreviousYearlyFile());
        ChildResult r = Convert(monthly, &out, {"2005/02", "2005/03"});
        EXPECT_EQ(r.exitCode, 1) << "signal " << r.signal;
        EXPECT_EQ(Missing(r.err, "月次ファイル「" + odd + "」を読み込めません（"), "");
        EXPECT_TRUE(TempFolder::Read(out.File(YEARLY)) == PreviousYearlyFile());
        EXPECT_TRUE(TemporaryFiles(out).empty());
    }
}

TEST(ExistingYearlyFaults, ATruncatedYearlyFileKeepsTheDaysBeforeTheCut) {
    TempFolder monthly, out;
    WriteTwoMonths(monthly);
    std::string previous = PreviousYearlyFile();
    // Cut in the middle of 2 March's line: 1 March survives, 2 March has too few fields.
    const std::size_t secondMarch = previous.find("\"05/03/02\"");
    monthly.Write(YEARLY, previous.substr(0, secondMarch + 20));
    monthly.Write("M0503_0312.csv", MonthlyText(2005, 3, 3, 1));

    ChildResult r = Convert(monthly, &out, {"--all"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    WeatherTable year;
    ParseYearlyText(TempFolder::Read(out.File(YEARLY)), YEARLY, year);
    ASSERT_EQ(year.size(), 365u);
    EXPECT_EQ(year[59].precip, 12.5);  // 1 March, from the old file
    EXPECT_EQ(year[60].temp, MISSING); // 2 March, the cut line
    EXPECT_NE(year[61].temp, MISSING); // 3 March, converted
}

TEST(ExistingYearlyFaults, GarbageOrAnotherEncodingStopsTheRunAndLosesNothing) {
    const std::string good = EncodeCp932(
        "年月日,降水量,平均気温,最高気温,最低気温,湿度,気圧,最多風向,平均風速,最大瞬間風速,最大時風向,日射,"
        "露点温度,日照,可照時間,純放射,水面蒸発,地中温度\r\n"
        "\"05/03/01\",12.5,4.2,9.1,-0.4,71.0,1008.8,NW,3.4,11.2,WNW,9.87,-1.1,4.5,11.5,3.21,1.4,6.6\r\n");
    const std::string utf8 = DecodeCp932(good);
    const std::string utf16 = "\xFF\xFE" + Utf16Le(utf8);
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919 + 13) % 256);

    struct Case {
        const char* what;
        std::string bytes;
        std::string message;
    };
    for (const Case& c : {Case{"garbage", garbage, "の見出し行に列「年月日」がありません。"},
                          Case{"UTF-8", utf8, "は UTF-8 で保存されています"},
                          Case{"UTF-8 with BOM", "\xEF\xBB\xBF" + utf8, "は UTF-8 で保存されています"},
                          Case{"UTF-16", utf16, "は UTF-16 で保存されています"}}) {
        SCOPED_TRACE(c.what);
        // Into another folder, and into the monthly folder itself.
        for (bool separateOutput : {true, false}) {
            TempFolder monthly, out;
            WriteTwoMonths(monthly);
            monthly.Write(YEARLY, c.bytes);
            out.Write(YEARLY, PreviousYearlyFile());
            ChildResult r = Convert(monthly, separateOutput ? &out : nullptr, {"--all"});
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_EQ(Missing(r.err, "年次ファイル「" + monthly.File(YEARLY) + "」" + c.message), "");
            EXPECT_TRUE(TempFolder::Read(monthly.File(YEARLY)) == c.bytes);
            EXPECT_TRUE(TempFolder::Read(out.File(YEARLY)) == PreviousYearlyFile());
            EXPECT_TRUE(TemporaryFiles(monthly).empty() && TemporaryFiles(out).empty());
        }
    }

    // A monthly file saved in another encoding is told the same way.
    TempFolder monthly;
    monthly.Write("M0502_0312.csv", DecodeCp932(MonthlyText(2005, 2, 1, 1)));
    ChildResult r = Convert(monthly, nullptr, {"--all"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(
        Missing(r.err, "月次ファイル「" + monthly.File("M0502_0312.csv") + "」は UTF-8 で保存されています"),
        "");
    EXPECT_FALSE(std::filesystem::exists(monthly.File(YEARLY)));
}

} // namespace
} // namespace kolvane
