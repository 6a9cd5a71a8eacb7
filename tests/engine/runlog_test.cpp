#include "engine/Engine.h"
#include "engine/RunLog.h"
#include "model/Csv.h"
#include "model/Messages.h"
#include "model/Text.h"
#include "support/EngineRun.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sys/stat.h>

namespace kolvane {
namespace {

using testing::MonthlyText;
using testing::PlanStation0312;
using testing::RunThrough;
using testing::TempFolder;

// Station 03/12 converted on one thread.
ConversionOutcome Convert(const TempFolder& monthly, const TempFolder& out, std::vector<std::string> months) {
    ConversionObserver observer;
    return RunThrough(PlanStation0312(monthly.folder(), out.folder(), std::move(months)), observer, {});
}

std::vector<std::vector<std::string>> LogLines(const TempFolder& out) {
    std::vector<std::vector<std::string>> lines;
    const std::string text = DecodeCp932(TempFolder::Read(out.File("kolvane-log.csv")));
    for (std::string_view line : SplitLines(text))
        lines.push_back(SplitQuotedFields(line));
    return lines;
}

TEST(RunLog, FieldsAreCompactQuotedWhereNeededAndReadBack) {
    EXPECT_EQ(RunLogHeader(), EncodeCp932("日時,年次ファイル,観測点,月,緯度,プログラム,バイト数,CRC32\r\n"));
    const RunLogEntry entry{
        "2025/03/14 09:05:00", "Y2024_0312.csv",   "0312", "01-03,07 結合:Y2024_0312.csv", "35:30:00",
        "kolvane 0.1.0",       ProofOf("", "year")};
    const std::string line = FormatRunLogLine(entry);
    EXPECT_EQ(line, EncodeCp932("2025/03/14 09:05:00,Y2024_0312.csv,0312,\"01-03,07 結合:Y2024_0312.csv\","
                                "35:30:00,kolvane 0.1.0,4,CRC32:" +
                                FormatCrc(Crc32("year")).substr(6) + "\r\n"));

    // The line that describes the file in place is the last whose proof matches it; a later one announced
    // a file that never came. Lines without a proof (of earlier versions) count when none matches.
    TempFolder out;
    EXPECT_FALSE(LastRunLogEntry(out.folder(), "Y2024_0312.csv"));
    const auto with = [&](const char* latitude, std::optional<QualityProof> proof) {
        RunLogEntry e = entry;
        e.latitude = latitude;
        e.proof = proof;
        return FormatRunLogLine(e);
    };
    ASSERT_EQ(AppendRunLog(out.folder(), with("20:00:00", {}) + line +
                                             with("36:00:00", ProofOf("", "other")) + with("21:00:00", {})),
              0);
    const struct {
        const char* bytes; // of the yearly file in place; null: none
        const char* latitude;
    } CASES[] = {{"year", "35:30:00"}, {"other", "36:00:00"}, {"changed", "21:00:00"}, {nullptr, "21:00:00"}};
    for (const auto& c : CASES) {
        SCOPED_TRACE(c.latitude);
        std::filesystem::remove(out.File("Y2024_0312.csv"));
        if (c.bytes) out.Write("Y2024_0312.csv", c.bytes);
        const std::optional<RunLogEntry> last = LastRunLogEntry(out.folder(), "Y2024_0312.csv");
        ASSERT_TRUE(last);
        EXPECT_EQ(last->latitude, c.latitude);
        EXPECT_EQ(last->months, entry.months);
    }
    EXPECT_EQ(LastRunLogEntry(out.folder(), "y2024_0312.CSV")->latitude, "21:00:00");
    EXPECT_FALSE(LastRunLogEntry(out.folder(), "Y2023_0312.csv"));

    // A log begun by an earlier version, without the proof columns: the proof is read after its fields.
    TempFolder old;
    old.Write("kolvane-log.csv",
              EncodeCp932("日時,年次ファイル,観測点,月,緯度,プログラム\r\n") + line + with("21:00:00", {}));
    old.Write("Y2024_0312.csv", "year");
    EXPECT_EQ(LastRunLogEntry(old.folder(), "Y2024_0312.csv")->latitude, "35:30:00");
}

TEST(RunLog, EachYearlyFileGetsALineAndALaterRunAddsItsOwn) {
    TempFolder monthly, out;
    for (int month : {1, 2, 3, 5, 6})
        monthly.Write("M050" + std::to_string(month) + "_0312.csv", MonthlyText(2005, month, 1, 3));
    monthly.Write("M0412_0312.csv", MonthlyText(2004, 12, 1, 3));
    const ConversionOutcome first =
        Convert(monthly, out, {"2005/01", "2005/02", "2005/03", "2005/05", "2005/06", "2004/12"});
    ASSERT_EQ(first.Written(), 2u);

    std::vector<std::vector<std::string>> lines = LogLines(out);
    ASSERT_EQ(lines.size(), 3u);
    const std::regex time(R"(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2})");
    EXPECT_TRUE(std::regex_match(lines[1][0], time)) << lines[1][0];
    const std::string y2004 = TempFolder::Read(out.File("Y2004_0312.csv"));
    EXPECT_EQ(lines[1], (std::vector<std::string>{lines[1][0], "Y2004_0312.csv", "0312", "12", "35:30:00",
                                                  "kolvane-convert 0.1.0", std::to_string(y2004.size()),
                                                  FormatCrc(Crc32(y2004))}));
    EXPECT_EQ(lines[2][1], "Y2005_0312.csv");
    EXPECT_EQ(lines[2][3], "01-03,05-06");

    // A second run adds its line under the same header.
    ASSERT_EQ(Convert(monthly, out, {"2004/12"}).Written(), 1u);
    lines = LogLines(out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3][1], "Y2004_0312.csv");
}

TEST(RunLog, ALogNotOursIsOnlyAppendedToAndOneThatCannotBeWrittenIsSaid) {
    TempFolder monthly, out;
    monthly.Write("M0501_0312.csv", MonthlyText(2005, 1, 1, 3));

    // Someone's own notes, their last line cut: kept byte for byte, our line starts on a line of its own.
    const std::string notes = "memo\r\nnot ended";
    out.Write("kolvane-log.csv", notes);
    ASSERT_EQ(Convert(monthly, out, {"2005/01"}).Written(), 1u);
    const std::string log = TempFolder::Read(out.File("kolvane-log.csv"));
    EXPECT_EQ(log.substr(0, notes.size() + 2), notes + "\r\n");
    EXPECT_EQ(SplitLines(log).size(), 3u);
    EXPECT_EQ(SplitQuotedFields(SplitLines(log)[2]).at(1), "Y2005_0312.csv");

    // The name taken by a folder, or by a pipe no one reads (which must not hang the run): no yearly
    // file can be announced, so none is written, and the station fails saying so.
    TempFolder taken, piped;
    std::filesystem::create_directory(taken.File("kolvane-log.csv"));
    ASSERT_EQ(::mkfifo(piped.File("kolvane-log.csv").c_str(), 0600), 0);
    for (const auto& [folder, error] : {std::pair{&taken, EISDIR}, std::pair{&piped, platform::kIsPipe}}) {
        const ConversionOutcome run = Convert(monthly, *folder, {"2005/01"});
        EXPECT_EQ(run.Written(), 0u);
        EXPECT_EQ(run.stations[0].failure, message::RunLogNotWritten(folder->File("kolvane-log.csv"), error,
                                                                     {folder->File("Y2005_0312.csv")}));
        EXPECT_EQ(folder->EntryCount(), 0);
    }
}

// A station code may hold a quote, and a merged file's name a comma; a code with a line end is refused
// before anything is written, so each yearly file keeps one line of its own and reads back as written.
TEST(RunLog, FieldsHoldingQuotesStayOneLineAndReadBackAndLineEndsNeverReachIt) {
    TempFolder out;
    std::vector<RunLogEntry> entries;
    for (const char* station : {"0\"12", "\"\"12", "0,12"}) {
        const std::string name = "Y2024_" + std::string(station) + ".csv";
        entries.push_back(
            {"2025/03/14 09:05:00", name, station, "01 結合:" + name, "35:30:00", "kolvane 0.1.0"});
    }
    std::string lines;
    for (const RunLogEntry& e : entries)
        lines += FormatRunLogLine(e);
    ASSERT_EQ(AppendRunLog(out.folder(), lines), 0);
    const std::string log = TempFolder::Read(out.File("kolvane-log.csv"));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1 + static_cast<long>(entries.size()));
    for (const RunLogEntry& e : entries) {
        SCOPED_TRACE(e.station);
        const std::optional<RunLogEntry> read = LastRunLogEntry(out.folder(), e.yearlyFile);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->station, e.station);
        EXPECT_EQ(read->months, e.months);
    }
    for (const char* code : {"0\n", "\r2", "\t1", "0\x7f"})
        EXPECT_FALSE(IsUsableStationCode(code)) << code;
}

} // namespace
} // namespace kolvane
