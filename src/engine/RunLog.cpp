#include "engine/RunLog.h"

#include "model/Csv.h"
#include "model/DateText.h"
#include "model/FileNames.h"
#include "model/Text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>

#ifndef KOLVANE_VERSION
#define KOLVANE_VERSION "0"
#endif

namespace kolvane {
namespace {

constexpr std::array<std::string_view, 8> FIELDS = {"日時", "年次ファイル", "観測点",   "月",
                                                    "緯度", "プログラム",   "バイト数", "CRC32"};
constexpr std::size_t kSizeField = 6, kCrcField = 7;

std::string LocalTime(std::time_t now) {
    const std::tm local = platform::LocalTime(now);
    char text[32];
    const std::size_t n = std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
    return std::string(text, n);
}

// Opens the log for appending. A pipe or device by its name is refused before it is opened: opening
// one for writing could wait for ever.
int OpenExistingLog(const std::string& path, platform::File& out) {
    platform::Status st;
    if (int e = platform::Stat(path, st)) return e;
    if (int e = platform::NotRegularFile(st.kind)) return e;
    if (st.kind == platform::Kind::Missing) return ENOENT;
    if (int e = platform::OpenToAppend(path, false, out)) return e;
    // Replaced between the look and the opening.
    if (int e = platform::StatOf(out.get(), st)) return e;
    return platform::NotRegularFile(st.kind == platform::Kind::Missing ? platform::Kind::Other : st.kind);
}

// The header of a log that has none yet, under the lock of the appends. Returns 0 or an errno.
int WriteHeaderOfEmptyLog(platform::Handle log, const DurableCalls& calls) {
    platform::Status st;
    if (int e = platform::StatOf(log, st)) return e;
    if (st.size != 0) return 0;
    if (int e = platform::WriteAll(log, RunLogHeader())) return e;
    return calls.syncFile(log) == 0 ? 0 : errno;
}

// The byte of the log locked while a run appends to it: far beyond any end, so that no data is ever
// locked, and apart from the stations' bytes.
constexpr std::uint64_t kAppendLock = RUN_LOG_LOCKS;

// Holds the lock of one byte while it lives. Where it cannot be taken (a file system without locks)
// the log is written without.
class LockByte {
  public:
    LockByte(platform::Handle file, std::uint64_t offset)
        : file_(file), offset_(offset),
          held_(platform::LockByte(file, offset, platform::LockWait::Yes) == 0) {}
    ~LockByte() {
        if (held_) platform::UnlockByte(file_, offset_);
    }
    LockByte(const LockByte&) = delete;
    LockByte& operator=(const LockByte&) = delete;

  private:
    platform::Handle file_;
    std::uint64_t offset_;
    bool held_;
};

// The proof a line carries: in the header's columns, or, in a log begun by a version without them, as
// the two fields after the header's.
std::optional<QualityProof> ProofOfLine(const std::vector<std::string>& fields, const HeaderColumns& columns,
                                        std::size_t headerFields) {
    std::optional<std::size_t> size = columns.optional[kSizeField], crc = columns.optional[kCrcField];
    if (!size || !crc) {
        size = headerFields;
        crc = headerFields + 1;
    }
    if (*size >= fields.size() || *crc >= fields.size()) return std::nullopt;
    QualityProof proof;
    const std::string& digits = fields[*size];
    const auto read = std::from_chars(digits.data(), digits.data() + digits.size(), proof.size);
    const std::optional<uint32_t> crcValue = ParseCrc(fields[*crc]);
    if (digits.empty() || read.ec != std::errc() || read.ptr != digits.data() + digits.size() || !crcValue)
        return std::nullopt;
    proof.crc = *crcValue;
    return proof;
}

} // namespace

std::string RunLogHeader() {
    return EncodeCp932(HeaderLine(FIELDS));
}

std::string CompactMonths(std::vector<int> months) {
    std::sort(months.begin(), months.end());
    months.erase(std::unique(months.begin(), months.end()), months.end());
    std::string text;
    for (std::size_t i = 0; i < months.size();) {
        std::size_t j = i;
        while (j + 1 < months.size() && months[j + 1] == months[j] + 1)
            ++j;
        if (!text.empty()) text += ",";
        text += PadTwoDigits(months[i]);
        if (j > i) text += "-" + PadTwoDigits(months[j]);
        i = j + 1;
    }
    return text;
}

RunLogEntry RunLogEntryOf(const StationPlan& plan, std::size_t year, const QualityProof& proof,
                          std::string_view mergedFromOutput, std::time_t now) {
    const YearRun& run = plan.runs.at(year);
    std::vector<int> months;
    for (const std::string& name : run.monthlyNames) {
        if (auto parts = ParseMonthlyFileName(name)) months.push_back(std::stoi(std::string(parts->mm)));
    }
    RunLogEntry entry;
    entry.time = LocalTime(now);
    entry.yearlyFile = YearlyFileName(run.yy, plan.settings.key);
    entry.station = StationName(plan.station);
    entry.months = CompactMonths(std::move(months));
    if (!mergedFromOutput.empty()) entry.months += " 結合:" + std::string(FileNameOf(mergedFromOutput));
    entry.latitude = plan.settings.latitudeText;
    entry.program = (plan.settings.program.empty() ? std::string("kolvane") : plan.settings.program) +
                    " " KOLVANE_VERSION;
    entry.proof = proof;
    return entry;
}

std::string FormatRunLogLine(const RunLogEntry& entry) {
    std::string line;
    CsvWriter writer(line);
    for (const std::string* field :
         {&entry.time, &entry.yearlyFile, &entry.station, &entry.months, &entry.latitude, &entry.program})
        writer.AddEscaped(*field);
    if (entry.proof) {
        writer.Add(std::to_string(entry.proof->size));
        writer.Add(FormatCrc(entry.proof->crc));
    }
    writer.EndLine();
    return EncodeCp932(line);
}

int OpenRunLog(const std::string& folder, platform::File& out, const DurableCalls& calls) {
    const std::string path = folder + std::string(RUN_LOG_FILE_NAME);
    while (true) {
        const int e = OpenExistingLog(path, out);
        if (e != ENOENT) return e;
        // Another run made it meanwhile: open that one.
        if (const int made = platform::OpenToAppend(path, true, out); made != EEXIST) {
            if (made) return made;
            break;
        }
    }
    // Whoever appends first writes the header, so that it is written once.
    LockByte appending(out.get(), kAppendLock);
    if (int e = WriteHeaderOfEmptyLog(out.get(), calls)) return e;
    return SyncFolder(folder, calls);
}

int AppendRunLog(const std::string& folder, std::string_view lines, const DurableCalls& calls) {
    if (lines.empty()) return 0;
    platform::File log;
    if (int e = OpenRunLog(folder, log, calls)) return e;
    // A file system without locks still gets whole lines from one write each.
    LockByte appending(log.get(), kAppendLock);
    platform::Status st;
    if (int e = platform::StatOf(log.get(), st)) return e;
    std::string bytes;
    if (st.size == 0) {
        bytes = RunLogHeader();
    } else {
        char last = '\n';
        // Unreadable: taken as ended, since nothing can be learnt without reading.
        if (platform::ReadByteAt(log.get(), st.size - 1, last) == 0 && last != '\n') bytes = "\r\n";
    }
    bytes += lines;
    if (int e = platform::WriteAll(log.get(), bytes)) {
        // Under the lock no one else has appended: the log goes back to what it was.
        (void)platform::Truncate(log.get(), st.size);
        return e;
    }
    return calls.syncFile(log.get()) == 0 ? 0 : errno;
}

std::optional<RunLogEntry> LastRunLogEntry(const std::string& folder, std::string_view yearlyFile) {
    std::string bytes;
    if (ReadWholeFile(folder + std::string(RUN_LOG_FILE_NAME), bytes) != 0) return std::nullopt;
    const std::string text = DecodeCp932(bytes);
    std::string yearly;
    const std::optional<QualityProof> inPlace = ReadWholeFile(folder + std::string(yearlyFile), yearly) == 0
                                                    ? std::optional(ProofOf(yearlyFile, yearly))
                                                    : std::nullopt;
    // Only the file's name must be there; a field the header lacks is empty.
    static constexpr std::array<std::string_view, 1> NAME = {FIELDS[1]};
    HeaderColumns columns;
    std::size_t headerFields = 0;
    bool usable = false;
    std::vector<std::string> fields;
    std::optional<RunLogEntry> proven, unproven;
    ForEachLine(text, [&](std::string_view line, std::size_t number) {
        SplitQuotedFieldsInto(line, fields);
        if (number == 1) {
            const std::vector<std::string_view> names(fields.begin(), fields.end());
            usable = LocateColumns(names, NAME, FIELDS, columns).kind == ColumnProblem::None;
            headerFields = fields.size();
            return;
        }
        const std::size_t name = columns.required[0];
        if (!usable || name >= fields.size() || !EqualsIgnoreAsciiCase(fields[name], yearlyFile)) return;
        auto field = [&](std::size_t c) {
            const std::optional<std::size_t> at = columns.optional[c];
            return at && *at < fields.size() ? fields[*at] : std::string();
        };
        RunLogEntry entry{field(0), field(1), field(2), field(3), field(4), field(5)};
        entry.proof = ProofOfLine(fields, columns, headerFields);
        if (!entry.proof)
            unproven = std::move(entry);
        else if (inPlace && entry.proof->size == inPlace->size && entry.proof->crc == inPlace->crc)
            proven = std::move(entry);
    });
    return proven ? proven : unproven;
}

} // namespace kolvane
