// kolvane-convert as a user runs it: arguments, output, exit codes, files.

#include "CliRun.h"
#include "cli/Texts.h"
#include "engine/RunLog.h"
#include "support/Golden.h"
#include "support/Said.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <tuple>

namespace kolvane {
namespace {

using namespace kolvane::testing;

TEST(ConvertCommand, SummaryCountsTheClassesOrSaysWhatTheValuesAloneShow) {
    TempFolder bare;
    const std::string golden = GOLDEN + "expected/Y2000_0312.csv";
    bare.Write("Y2000_0312.csv", TempFolder::Read(golden));
    CliResult r = RunCli({"--summary", golden}); // a path with blanks stays one argument
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
    r = RunCli("--summary " + bare.File("Y2001_0312.csv"));
    EXPECT_EQ(Said(r, 1, "kolvane-convert: 年次ファイル「" + bare.File("Y2001_0312.csv")), "");
}

TEST(ConvertCommand, UsageErrorsExitTwoSayWhatIsWrongAndWriteNothing) {
    TempFolder monthly, scratch;
    CopyGoldenMonthly(monthly);
    const std::string m = "--monthly " + monthly.folder(), base = m + " --group 03 --bucket 12 ";
    const std::string convert = m + " --output " + scratch.folder() + " --lat 35:30:00 --all ";
    const std::string form = "--lat には度:分:秒 (例 35:30:00)", none = scratch.File("none");
    const std::string month = "月は 1970/01 から 2069/12 までを YYYY/MM の形で指定して下さい";
    const std::string notAFolder = scratch.Write("output.txt", "keep me");
    const std::string file = monthly.File("M0001_0312.csv"), yearly = GOLDEN + "expected/Y2000_0312.csv";
    const auto noOutputFolder = [](const std::string& output) {
        return "年次ファイルを保存するフォルダ「" + WithTrailingSlash(output) + "」がありません。";
    };
    const auto both = [](const std::string& first, const std::string& second) {
        return first + " と " + second + " は併用できません。";
    };
    for (const auto& [arguments, message] : std::vector<std::pair<std::string, std::string>>{
             {base + "--lat 35:60:00 --all", "--lat 35:60:00: 緯度(分)には0-59"},
             {base + "--lat 36°04′ --all", form},
             {base + "--lat 35:3x --all", form},
             {base + "--all", "--lat (または --lat-table) で緯度を指定して下さい。"},
             {base + "--lat 35:30:00", "--all か、変換する月 (YYYY/MM) のどちらかを指定して下さい。"},
             {base + "--lat 35:30:00 2070/01", month},
             {base + "--lat 35:30:00 2000-01", month},
             {base + "--lat 35:30:00 --all --frobnicate", "不明なオプションです: --frobnicate"},
             {m + " --group 3 --bucket 12 --lat 35:0:0 --all", "--group には 2 文字の ID"},
             {m + " --group 09 --bucket 09 --lat 35:0:0 --all",
              "グループID 09・バケットID 09 の月次ファイルが"},
             // A station code that would name files outside the folder.
             {m + " --station /../ --lat 35:0:0 --all", "グループID・バケットID「/.」は「/」を含むか"},
             {"--summary " + file, "--summary には年次ファイル"},
             {"--list", "--monthly を指定して下さい。"},
             {"--station 0312 --lat 35:30:00 --all --check", "--monthly を指定して下さい。"},
             // A missing output folder, or one that is a file, is named before anything is written.
             {base + "--lat 35:30:00 --all --output " + none, noOutputFolder(none)},
             {base + "--lat 35:30:00 --all --output " + notAFolder, noOutputFolder(notAFolder)},
             // A file given as the monthly folder is called a file, under the name the user typed.
             {"--monthly " + file + " --list",
              "--monthly に指定した「" + file + "」はフォルダではなくファイルです"},
             // A value that does start with "-" is given joined to its option.
             {"--monthly=-none --list",
              "月次ファイルのフォルダ「-none" + std::string(1, platform::kSeparator) + "」がありません"},
             // Options that cannot go together are named both.
             {m + " --list --lat 35:30:00", both("--list", "--lat")},
             {m + " --list 2000/01", both("--list", "2000/01")},
             {m + " --list --summary " + yearly, both("--list", "--summary")},
             {m + " --summary " + yearly, both("--summary", "--monthly")},
             {"--plot " + scratch.File("a.png") + " " + yearly + " --no-quality",
              both("--plot", "--no-quality")},
             {convert + "--group 03 --bucket 12 --station 0312", both("--station", "--group")},
             {convert + "--station 0312 --bucket 12", both("--station", "--bucket")},
             {convert + "--all-stations --station 0312", both("--all-stations", "--station")},
             {convert + "--station 0312 --lat-table " + yearly, both("--lat", "--lat-table")},
             {convert + "--station 0312 2000/01", both("--all", "2000/01")},
             {convert + "--station 0312 --merge-output --replace", both("--replace", "--merge-output")},
             {convert + "--station 0312 --check -j 2", both("--check", "-j")},
             {convert + "--station 0312 --check --no-quality", both("--check", "--no-quality")},
             {convert + "--station 0312 --replace --check", both("--check", "--replace")}}) {
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
TEST(ConvertCommand, EveryOptionLeftWithoutItsValueIsNamed) {
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
}

// What merging gives is the engine's to show; here, that the command asks before it replaces another
// output folder's yearly file, does as it is told and logs it as given.
TEST(ConvertCommand, AYearlyFileOfAnotherOutputFolderIsReplacedOrMergedOnlyWhenAsked) {
    TempFolder monthly, archive;
    CopyGoldenMonthly(monthly);
    const std::string kept = archive.File("Y2000_0312.csv");
    std::filesystem::rename(monthly.File("Y2000_0312.csv"), kept);
    const std::string before = TempFolder::Read(kept);
    const std::string base = "--monthly " + monthly.folder() + " --output " + archive.folder() +
                             " --station 0312 --lat 35:30 --all";
    CliResult r = RunCli(base);
    EXPECT_EQ(Said(r, 2, kept), "");
    EXPECT_NE(r.err.find("(置き換えるには --replace、その値を引き継ぐには --merge-output)"),
              std::string::npos)
        << r.err;
    // Refused before any year: not even 1999, which replaces nothing, is written.
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(TempFolder::Read(kept) == before);
    EXPECT_EQ(archive.EntryCount(), 1);

    // Merged, its days are kept as if it lay in the monthly folder; replaced, they are gone.
    ASSERT_EQ(RunCli(base + " --merge-output").exitCode, 0);
    EXPECT_TRUE(IsGolden(kept, "Y2000_0312.csv"));
    const std::optional<RunLogEntry> merged = LastRunLogEntry(archive.folder(), "Y2000_0312.csv");
    ASSERT_TRUE(merged);
    EXPECT_EQ(merged->months, "01 結合:Y2000_0312.csv");
    EXPECT_EQ(merged->latitude, "35:30:0"); // as typed, with the seconds the run took
    EXPECT_EQ(merged->program, "kolvane-convert 0.1.0");
    ASSERT_EQ(RunCli(base + " --replace").exitCode, 0);
    EXPECT_FALSE(IsGolden(kept, "Y2000_0312.csv"));
}

TEST(ConvertCommand, AMonthWithoutItsFileIsAUsageErrorUnlessAllowedAndALinkLoopIsNamed) {
    TempFolder monthly, out;
    CopyGoldenMonthly(monthly);
    const std::string base =
        "--monthly " + monthly.folder() + " --output " + out.folder() + " --station 0312 --lat 35:30:00 ";
    const std::string missing = monthly.File("M0002_0312.csv");
    EXPECT_EQ(Said(RunCli(base + "2000/01 2000/02"), 2, missing), "");
    EXPECT_EQ(out.EntryCount(), 0);
    const CliResult r = RunCli(base + "--allow-missing --no-quality 2000/01 2000/02");
    EXPECT_EQ(Said(r, 0, "2000/02"), "");
    EXPECT_EQ(r.out, out.File("Y2000_0312.csv") + "\n");

    // A link to nothing is missing too; a loop is no missing file: the run names it and says why.
    std::error_code linked;
    std::filesystem::create_symlink(monthly.File("gone.csv"), missing, linked);
    if (linked) GTEST_SKIP() << "no symbolic links can be made here: " << linked.message();
    EXPECT_EQ(Said(RunCli(base + "2000/01 2000/02"), 2, missing), "");
    const std::string loop = monthly.File("M0003_0312.csv");
    std::filesystem::create_symlink(loop, loop);
    EXPECT_EQ(Said(RunCli(base + "--allow-missing --replace 2000/03"), 1,
                   "月次ファイル「" + loop + "」を読み込めません（シンボリックリンクが循環しています）"),
              "");
}

TEST(ConvertCommand, AllStationsTakeTheirLatitudeFromTheTable) {
    TempFolder monthly, out, tables;
    CopyGoldenMonthly(monthly);
    for (const char* station : {"0101", "0102", "0201", "0901", "0902"})
        monthly.Write(std::string("M0001_") + station + ".csv",
                      TempFolder::Read(GOLDEN + "monthly/M0001_0312.csv"));
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

// The synopsis without blanks, each use starting with the program's name: --help's 使い方, or the manual
// page's in roff (macro names, font escapes, quotes and line breaks left out).
std::string HelpSynopsis() {
    const std::string help = cli_text::HELP;
    const std::size_t start = help.find('\n') + 1;
    return std::regex_replace(help.substr(start, help.find("\n\n") - start), std::regex("[ \n]"), "");
}

std::string ManualSynopsis() {
    std::istringstream manual(TempFolder::Read(KOLVANE_MANUAL));
    std::string line, text;
    while (std::getline(manual, line) && line != ".SH SYNOPSIS") {
    }
    while (std::getline(manual, line) && !line.starts_with(".SH"))
        if (line != ".br") text += line.substr(line.find(' ') + 1);
    return std::regex_replace(text, std::regex(R"(\\f.|\\|"| )"), "");
}

TEST(ConvertCommand, TheManualPageListsTheSameUsesAsTheHelp) {
    const std::string help = HelpSynopsis();
    const std::regex use("kolvane-convert--");
    EXPECT_GE(std::distance(std::sregex_iterator(help.begin(), help.end(), use), std::sregex_iterator()), 8);
    EXPECT_EQ(ManualSynopsis(), help);
}

} // namespace
} // namespace kolvane
