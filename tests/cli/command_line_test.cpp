// kolvane-convert as a user runs it: arguments, output, exit codes, files.

#include "CliRun.h"
#include "cli/Texts.h"
#include "engine/RunLog.h"
#include "support/Golden.h"
#include "support/Said.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <tuple>

namespace kolvane {
namespace {

using namespace kolvane::testing;

// Station 03/12 at 35:30:00, replacing the output folder's yearly files.
CliResult Convert(const TempFolder& monthly, const TempFolder* output,
                  const std::vector<std::string>& months) {
    std::vector<std::string> arguments{"--monthly", monthly.folder()};
    if (output) arguments.insert(arguments.end(), {"--output", output->folder(), "--replace"});
    arguments.insert(arguments.end(), {"--group", "03", "--bucket", "12", "--lat", "35:30:00"});
    arguments.insert(arguments.end(), months.begin(), months.end());
    return RunCli(arguments);
}

TEST(ConvertCommand, ConvertsTwoYearsInMonthListOrderAndMergesTheEarlierYearlyFile) {
    TempFolder monthly, out;
    CopyGoldenMonthly(monthly);
    // Months given in any order are processed as the month list orders them: 2000 before 1999.
    CliResult r = Convert(monthly, &out, {"1999/12", "2000/01"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, out.File("Y2000_0312.csv") + "\n" + out.File("Y1999_0312.csv") + "\n");
    for (const char* name : {"Y2000_0312.csv", "Y1999_0312.csv", "Q2000_0312.csv", "Q1999_0312.csv"})
        EXPECT_TRUE(IsGolden(out.File(name), name)) << name;

    // --all into the monthly folder itself (the default output), with the latitude in decimal degrees,
    // then as degrees:minutes; the second run reads the first one's file back and must give the same bytes.
    for (const char* lat : {"35.5", "35:30"}) {
        r = RunCli("--monthly " + monthly.folder() + " --group 03 --bucket 12 --lat " + lat + " --all");
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(IsGolden(monthly.File("Y2000_0312.csv"), "Y2000_0312.csv"));
    }
}

TEST(ConvertCommand, CompanionFilesAreLeftOutWhenAskedAndSummarised) {
    TempFolder monthly, bare;
    CopyGoldenMonthly(monthly);
    CliResult r = Convert(monthly, &bare, {"--all", "--no-quality"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(bare.EntryCount(), 2); // the two yearly files alone

    const std::string golden = GOLDEN + "expected/Y2000_0312.csv";
    r = RunCli({"--summary", golden}); // a path with blanks stays one argument
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              golden +
                  ": 366 日 (値のある日 4 日)\n  正常 0 日\n  準正常 0 日\n  資料不足 2 日\n  欠測 362 日\n"
                  "  既存 2 日\n  最も長い欠測: 2000/03/01 から 306 日\n"
                  "  疑わしい値 0 個 (0 日)、分からない日 2 日\n");
    // Without its companion the summary says which file it lacks and what the values alone show,
    // as --plot draws such a year without shading: neither is an error.
    r = RunCli("--summary " + bare.File("Y2000_0312.csv"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, bare.File("Y2000_0312.csv") + ": 366 日 (値のある日 4 日)\n  品質ファイル「" +
                         bare.File("Q2000_0312.csv") +
                         "」がないため、区分ごとの日数は分かりません\n"
                         "  値のない日が最も長く続く期間: 2000/03/01 から 306 日\n");
    EXPECT_EQ(Printed(RunCli("--summary " + bare.File("Y1999_0312.csv")), 0,
                      "  値のない日が最も長く続く期間: 1999/01/01 から "),
              "");
    r = RunCli("--summary " + bare.File("Y2001_0312.csv"));
    EXPECT_EQ(Said(r, 1, "kolvane-convert: 年次ファイル「" + bare.File("Y2001_0312.csv")), "");
}

TEST(ConvertCommand, ListsStationsAndMonths) {
    TempFolder monthly;
    CopyGoldenMonthly(monthly);
    monthly.Write("M0502_0101.csv", "");
    monthly.Write("M0513_0101.csv", ""); // no such month: never listed
    CliResult r = RunCli("--monthly " + monthly.folder() + " --list");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("グループID 03  バケットID 12  (2 か月)\n  2000/01 1999/12\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("グループID 01  バケットID 01  (1 か月)\n  2005/02\n"), std::string::npos) << r.out;
}

TEST(ConvertCommand, UsageErrorsExitTwoSayWhatIsWrongAndWriteNothing) {
    TempFolder monthly, scratch;
    CopyGoldenMonthly(monthly);
    const std::string m = "--monthly " + monthly.folder(), base = m + " --group 03 --bucket 12 ";
    const std::string form = "--lat には度:分:秒 (例 35:30:00)", none = scratch.File("none");
    const std::string notAFolder = scratch.Write("output.txt", "keep me");
    const auto noOutputFolder = [](const std::string& output) {
        return "年次ファイルを保存するフォルダ「" + WithTrailingSlash(output) + "」がありません。";
    };
    // An empty message: only that it is a usage error (its wording is another test's).
    for (const auto& [arguments, message] : std::vector<std::pair<std::string, std::string>>{
             {base + "--lat 35:60:00 --all", ""},
             {base + "--lat 35:30:00:00 --all", ""},
             {base + "--lat 35:30:00", ""},
             {base + "--lat 35:30:00 2070/01", ""},
             {base + "--lat 35:30:00 2000/13", ""},
             {base + "--lat 35:30:00 2000-01", ""},
             {m + " --group 3 --bucket 12 --lat 35:0:0 --all", ""},
             {base + "--lat 35:30:00 --all --frobnicate", ""},
             {m + " --group 09 --bucket 09 --lat 35:0:0 --all", ""},
             {base + "--lat 36°04′ --all", form},
             {base + "--lat 36.5.3 --all", form},
             {base + "--lat 35:3x --all", form},
             {base + "--all", "--lat (または --lat-table) で緯度を指定して下さい。"},
             {"--summary " + monthly.File("M0001_0312.csv"), "--summary には年次ファイル"},
             // A missing output folder, or one that is a file, is named before anything is written.
             {base + "--lat 35:30:00 --all --output " + none, noOutputFolder(none)},
             {base + "--lat 35:30:00 --all --output " + notAFolder, noOutputFolder(notAFolder)},
             // A value that does start with "-" is given joined to its option.
             {"--monthly=-none --list",
              "月次ファイルのフォルダ「-none" + std::string(1, platform::kSeparator) + "」がありません"}}) {
        SCOPED_TRACE(arguments);
        EXPECT_EQ(Refused(RunCli(arguments), message), "");
    }
    EXPECT_EQ(Said(RunCli(""), 2, "使い方:"), "");
    EXPECT_EQ(TempFolder::Read(notAFolder), "keep me");
    EXPECT_EQ(scratch.EntryCount(), 1);
    EXPECT_EQ(monthly.EntryCount(), 3);
    EXPECT_EQ(RunCli("--help").exitCode, 0);
}

// Under AddressSanitizer this also shows that the parser never reads past its arguments.
TEST(ConvertCommand, EveryOptionLeftWithoutItsValueAndEveryVerbWithoutMonthlyIsNamed) {
    for (const char* option : {"--monthly", "--output", "--group", "--bucket", "--station", "--lat",
                               "--lat-table", "-j", "--summary", "--plot"}) {
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{option}, {option, "--all"}, {"--all", option}}) {
            SCOPED_TRACE(option + std::string(" at ") + std::to_string(arguments.size()));
            EXPECT_EQ(Refused(RunCli(arguments), option + std::string(" に値がありません")), "");
        }
    }
    // The option that follows is never taken as a folder or file, here or in the working folder.
    EXPECT_FALSE(std::filesystem::exists("--all"));
    EXPECT_FALSE(std::filesystem::exists("--all/"));
    for (const char* arguments :
         {"--list", "--station 0312 --lat 35:30:00 --all", "--station 0312 --lat 35:30:00 --all --check"}) {
        SCOPED_TRACE(arguments);
        EXPECT_EQ(Refused(RunCli(std::string(arguments)), "--monthly を指定して下さい。"), "");
    }
}

TEST(ConvertCommand, OptionsThatCannotGoTogetherAreRefusedNamingBoth) {
    TempFolder monthly, out;
    CopyGoldenMonthly(monthly);
    const std::string m = "--monthly " + monthly.folder() + " ";
    const std::string convert = m + "--output " + out.folder() + " --lat 35:30:00 --all ";
    const std::string yearly = GOLDEN + "expected/Y2000_0312.csv";
    for (const auto& [arguments, first, second] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {m + "--list --lat 35:30:00", "--list", "--lat"},
             {m + "--list 2000/01", "--list", "2000/01"},
             {m + "--list --summary " + yearly, "--list", "--summary"},
             {m + "--summary " + yearly, "--summary", "--monthly"},
             {"--plot " + out.File("a.png") + " " + yearly + " --no-quality", "--plot", "--no-quality"},
             {convert + "--group 03 --bucket 12 --station 0312", "--station", "--group"},
             {convert + "--station 0312 --bucket 12", "--station", "--bucket"},
             {convert + "--all-stations --station 0312", "--all-stations", "--station"},
             {convert + "--station 0312 --lat-table " + yearly, "--lat", "--lat-table"},
             {convert + "--station 0312 2000/01", "--all", "2000/01"},
             {convert + "--station 0312 --merge-output --replace", "--replace", "--merge-output"},
             {convert + "--station 0312 --check -j 2", "--check", "-j"},
             {convert + "--station 0312 --check --no-quality", "--check", "--no-quality"},
             {convert + "--station 0312 --replace --check", "--check", "--replace"}}) {
        SCOPED_TRACE(arguments);
        EXPECT_EQ(Refused(RunCli(arguments), first + " と " + second + " は併用できません。"), "");
    }
    EXPECT_EQ(out.EntryCount(), 0);
    EXPECT_EQ(monthly.EntryCount(), 3);
}

TEST(ConvertCommand, AYearlyFileOfAnotherOutputFolderIsReplacedOnlyWithReplace) {
    TempFolder monthly, out;
    CopyGoldenMonthly(monthly);
    const std::string kept = out.Write("Y2000_0312.csv", "kept by hand");
    const std::string base = "--monthly " + monthly.folder() + " --output " + out.folder() +
                             " --group 03 --bucket 12 --lat 35:30:00 --all";
    CliResult r = RunCli(base);
    EXPECT_EQ(Said(r, 2, kept), "");
    EXPECT_NE(r.err.find("--replace"), std::string::npos) << r.err;
    // Refused before any year: not even 1999, which replaces nothing, is written.
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(TempFolder::Read(kept), "kept by hand");
    EXPECT_EQ(out.EntryCount(), 1);

    ASSERT_EQ(RunCli(base + " --replace").exitCode, 0);
    EXPECT_TRUE(IsGolden(kept, "Y2000_0312.csv"));
}

// What merging gives is the engine's to show; here, that the command asks for it and logs it as given.
TEST(ConvertCommand, AnArchivesYearlyFileIsMergedOnlyWhenAskedAndTheLogSaysSo) {
    TempFolder monthly, archive;
    CopyGoldenMonthly(monthly);
    std::filesystem::rename(monthly.File("Y2000_0312.csv"), archive.File("Y2000_0312.csv"));
    std::vector<std::string> merge = {"--monthly",      monthly.folder(), "--output",
                                      archive.folder(), "--station",      "0312",
                                      "--lat",          "36:15",          "--all"};
    EXPECT_EQ(Said(RunCli(merge), 2, "--merge-output"), "");

    merge.push_back("--merge-output");
    const CliResult r = RunCli(merge);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::optional<RunLogEntry> merged = LastRunLogEntry(archive.folder(), "Y2000_0312.csv");
    ASSERT_TRUE(merged);
    EXPECT_EQ(merged->months, "01 結合:Y2000_0312.csv");
    EXPECT_EQ(merged->latitude, "36:15:0"); // as typed, with the seconds the run took
    EXPECT_EQ(merged->program, "kolvane-convert 0.1.0");
    EXPECT_EQ(LastRunLogEntry(archive.folder(), "Y1999_0312.csv")->months, "12");
}

TEST(ConvertCommand, AMonthWithoutItsFileIsAUsageErrorUnlessAllowed) {
    TempFolder monthly, out;
    CopyGoldenMonthly(monthly);
    const std::string base = "--monthly " + monthly.folder() + " --output " + out.folder() +
                             " --group 03 --bucket 12 --lat 35:30:00 ";
    CliResult r = RunCli(base + "2000/01 2000/02");
    EXPECT_EQ(Said(r, 2, monthly.File("M0002_0312.csv")), "");
    EXPECT_NE(r.err.find("2000/02"), std::string::npos) << r.err;
    EXPECT_EQ(out.EntryCount(), 0);

    r = RunCli(base + "--allow-missing 2000/01 2000/02");
    EXPECT_EQ(Said(r, 0, "2000/02"), "");
    EXPECT_EQ(r.out, out.File("Y2000_0312.csv") + "\n");

    // A file given as the monthly folder is called a file, under the name the user typed.
    const std::string file = monthly.File("M0001_0312.csv");
    EXPECT_EQ(Refused(RunCli("--monthly " + file + " --list"),
                      "--monthly に指定した「" + file + "」はフォルダではなくファイルです"),
              "");
}

TEST(ConvertCommand, HalfTypedLatitudesAndPathLikeStationCodesAreRefused) {
    TempFolder monthly, out, tableFolder;
    CopyGoldenMonthly(monthly);
    const std::string m = "--monthly " + monthly.folder() + " --output " + out.folder() + " ";
    // The table's row names the cause inside its own sentence.
    const std::string degreesRange = "緯度(度)には20-49の範囲の半角数字を入力して下さい";
    const std::string table = tableFolder.Write("lat.csv", "0312,2:31:6\r\n");
    const std::string pathTable = tableFolder.Write("path.csv", "..12,35.5\r\n");
    for (const auto& [arguments, expected] : std::vector<std::pair<std::string, std::string>>{
             {"--station 0312 --lat 3:0:0 --all", degreesRange},
             {"--station 0312 --lat 4 --all", degreesRange},
             {"--station 0312 --lat-table " + table + " --all", degreesRange},
             {"--station /../ --lat 35:30:00 --all", "「/.」は「/」を含むか"},
             {"--all-stations --lat-table " + pathTable + " --all", "「..」は「/」を含むか"}}) {
        SCOPED_TRACE(arguments);
        const CliResult r = RunCli(m + arguments);
        EXPECT_EQ(Said(r, 2, expected), "");
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
    EXPECT_EQ(out.EntryCount(), 0);
    EXPECT_EQ(monthly.EntryCount(), 3);
    EXPECT_EQ(tableFolder.EntryCount(), 2);
}

TEST(ConvertCommand, AMonthlyFileThatIsALinkToNothingIsMissingAndALinkLoopIsNamed) {
    TempFolder monthly, out;
    CopyGoldenMonthly(monthly);
    const std::string dangling = monthly.File("M0002_0312.csv");
    std::error_code linked;
    std::filesystem::create_symlink(monthly.File("gone.csv"), dangling, linked);
    if (linked) GTEST_SKIP() << "no symbolic links can be made here: " << linked.message();
    const std::string base =
        "--monthly " + monthly.folder() + " --output " + out.folder() + " --station 0312 --lat 35:30:00 ";
    EXPECT_EQ(Said(RunCli(base + "2000/01 2000/02"), 2, dangling), "");
    EXPECT_EQ(out.EntryCount(), 0);
    // Noted as missing.
    EXPECT_EQ(Said(RunCli(base + "--allow-missing --no-quality 2000/01 2000/02"), 0, dangling), "");
    EXPECT_EQ(out.EntryCount(), 1);

    // A loop is no missing file: the run names it and says why it cannot be read.
    const std::string loop = monthly.File("M0003_0312.csv");
    std::filesystem::create_symlink(loop, loop);
    EXPECT_EQ(Said(RunCli(base + "--allow-missing --replace 2000/03"), 1,
                   "月次ファイル「" + loop + "」を読み込めません（シンボリックリンクが循環しています）"),
              "");
}

// Stations 03/12 (two years, from the golden files) and `others`, each one month of 2000/01.
void WriteStations(const TempFolder& monthly, const std::vector<std::string>& others) {
    CopyGoldenMonthly(monthly);
    for (const std::string& station : others)
        monthly.Write("M0001_" + station + ".csv", TempFolder::Read(GOLDEN + "monthly/M0001_0312.csv"));
}

TEST(ConvertCommand, SeveralStationsPrintInStationOrderAndAFailureStopsOnlyItsStation) {
    TempFolder monthly, out;
    WriteStations(monthly, {"0101", "0202", "0505"});
    monthly.Write("M0001_0202.csv", "not,a,monthly,header\r\n");
    CliResult r = RunCli("--monthly " + monthly.folder() + " --output " + out.folder() +
                         " --station 0505 --station 0202 --station 0312 --station 0101"
                         " --lat 35:30:00 --all -j 2");
    // The list of failed stations is made of error lines like any other (after the golden yearly file's
    // note on its line with an empty value).
    EXPECT_EQ(
        Said(r, 1,
             "\nkolvane-convert: 次の観測点を変換できませんでした (1/4):\nkolvane-convert: 観測点 0202: "),
        "");
    EXPECT_EQ(r.out, out.File("Y2000_0505.csv") + "\n" + out.File("Y2000_0312.csv") + "\n" +
                         out.File("Y1999_0312.csv") + "\n" + out.File("Y2000_0101.csv") + "\n");
    EXPECT_NE(r.err.find("M0001_0202.csv"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("観測点 0101:"), std::string::npos) << r.err;
    EXPECT_EQ(out.EntryCount(), 8); // each with its companion
}

TEST(ConvertCommand, AllStationsTakeTheirLatitudeFromTheTable) {
    TempFolder monthly, out, tables;
    WriteStations(monthly, {"0101", "0102", "0201", "0901", "0902"});
    const std::string base = "--monthly " + monthly.folder() + " --output " + out.folder() +
                             " --all-stations --all -j 2 --lat-table ";
    // A CP932 header; 03/12 at the latitude of the golden files, the others wherever.
    const std::string good = "\x8A\xCF\x91\xAA\x93\x5F,\x88\xDC\x93\x78\r\n"
                             "0312,35:30:00\r\n0101,35.5\r\n\"0102\",\"40:00:00\"\r\n"
                             "0201,36\r\n\r\n0901,44:10:10\r\n";

    // A table problem (here a bad row; a missing station is refused the same way) writes nothing.
    const std::string bad = tables.Write("bad.csv", good + "0902,35:61:00\r\n");
    EXPECT_EQ(Said(RunCli(base + bad), 2, "「" + bad + "」の8行目"), "");
    EXPECT_EQ(out.EntryCount(), 0);

    const CliResult r = RunCli(base + tables.Write("good.csv", good + "0902,29.9\r\n"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string expected;
    for (const char* name :
         {"Y2000_0101", "Y2000_0102", "Y2000_0201", "Y2000_0312", "Y1999_0312", "Y2000_0901", "Y2000_0902"})
        expected += out.File(std::string(name) + ".csv") + "\n";
    EXPECT_EQ(r.out, expected);
    EXPECT_TRUE(IsGolden(out.File("Y2000_0312.csv"), "Y2000_0312.csv"));
    // Another latitude gives other derived values.
    EXPECT_FALSE(TempFolder::Read(out.File("Y2000_0102.csv")) ==
                 TempFolder::Read(out.File("Y2000_0101.csv")));
}

// Each synopsis line without its blanks: a line of --help's 使い方, or one of the manual page's, set in
// roff between .br (macro names, font escapes and quotes left out).
std::vector<std::string> HelpSynopsis() {
    std::vector<std::string> lines;
    std::istringstream help(cli_text::HELP);
    std::string line;
    std::getline(help, line); // 使い方:
    while (std::getline(help, line) && !line.empty()) {
        if (line.starts_with("  kolvane-convert")) lines.emplace_back();
        std::erase_if(line, [](char c) { return c == ' '; });
        lines.back() += line;
    }
    return lines;
}

std::vector<std::string> ManualSynopsis() {
    std::istringstream manual(TempFolder::Read(KOLVANE_MANUAL));
    std::vector<std::string> lines{""};
    std::string line;
    while (std::getline(manual, line) && line != ".SH SYNOPSIS") {
    }
    while (std::getline(manual, line) && !line.starts_with(".SH")) {
        if (line == ".br") {
            lines.emplace_back();
            continue;
        }
        line = line.substr(line.find(' ') + 1);
        for (const char* escape : {"\\fI", "\\fR", "\\fB", "\""})
            for (std::size_t at; (at = line.find(escape)) != std::string::npos;)
                line.erase(at, std::string_view(escape).size());
        for (std::size_t at; (at = line.find("\\-")) != std::string::npos;)
            line.erase(at, 1);
        std::erase_if(line, [](char c) { return c == ' '; });
        lines.back() += line;
    }
    return lines;
}

TEST(ConvertCommand, TheManualPageListsTheSameUsesAsTheHelp) {
    const std::vector<std::string> help = HelpSynopsis();
    EXPECT_GE(help.size(), 8u);
    EXPECT_EQ(ManualSynopsis(), help);
}

} // namespace
} // namespace kolvane
