#include "engine/RunLog.h"

#include "model/Csv.h"
#include "model/DateText.h"
#include "model/FileNames.h"
#include "model/Text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef KOLVANE_VERSION
#define KOLVANE_VERSION "0"
#endif

namespace kolvane {
namespace {

constexpr std::array<std::string_view, 6> FIELDS = {"日時", "年次ファイル", "観測点",
                                                    "月",   "緯度",         "プログラム"};

std::string LocalTime(std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    const std::size_t n = std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
    return std::string(text, n);
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Opens the log for appending, making it when there is none. A pipe or device by its name is refused
// before it is opened: opening one for writing could wait for ever.
int OpenLog(const std::string& path, bool& created) {
    created = false;
    while (true) {
        struct stat st;
        if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            errno = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
            return -1;
        }
        // Read access, where there is any, lets a cut last line be found.
        int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
        if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (fd >= 0 || errno != ENOENT) return fd;
        fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) created = true;
        // Another run made it meanwhile: open that one.
        if (fd >= 0 || errno != EEXIST) return fd;
    }
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

RunLogEntry RunLogEntryOf(const StationPlan& plan, std::size_t year, std::string_view mergedFromOutput,
                          std::time_t now) {
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
    return entry;
}

std::string FormatRunLogLine(const RunLogEntry& entry) {
    std::string line;
    CsvWriter writer(line);
    for (const std::string* field :
         {&entry.time, &entry.yearlyFile, &entry.station, &entry.months, &entry.latitude, &entry.program})
        writer.AddEscaped(*field);
    writer.EndLine();
    return EncodeCp932(line);
}

int AppendRunLog(const std::string& folder, std::string_view lines, const DurableCalls& calls) {
    if (lines.empty()) return 0;
    const std::string path = folder + std::string(RUN_LOG_FILE_NAME);
    bool created = false;
    Fd log(OpenLog(path, created));
    if (log.get() < 0) return errno;
    // A file system without locks still gets whole lines from one write each.
    while (::flock(log.get(), LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat st;
    if (::fstat(log.get(), &st) != 0) return errno;
    std::string bytes;
    if (st.st_size == 0) {
        bytes = RunLogHeader();
    } else {
        char last = '\n';
        // Unreadable: taken as ended, since nothing can be learnt without reading.
        if (::pread(log.get(), &last, 1, st.st_size - 1) == 1 && last != '\n') bytes = "\r\n";
    }
    bytes += lines;
    if (int e = WriteAll(log.get(), bytes)) {
        // Under the lock no one else has appended: the log goes back to what it was.
        [[maybe_unused]] const int restored = ::ftruncate(log.get(), st.st_size);
        return e;
    }
    if (calls.syncFile(log.get()) != 0) return errno;
    return created ? SyncFolder(folder, calls) : 0;
}

std::optional<RunLogEntry> LastRunLogEntry(const std::string& folder, std::string_view yearlyFile) {
    std::string bytes;
    if (ReadWholeFile(folder + std::string(RUN_LOG_FILE_NAME), bytes) != 0) return std::nullopt;
    const std::string text = DecodeCp932(bytes);
    // Only the file's name must be there; a field the header lacks is empty.
    static constexpr std::array<std::string_view, 1> NAME = {FIELDS[1]};
    HeaderColumns columns;
    bool usable = false;
    std::vector<std::string> fields;
    std::optional<RunLogEntry> found;
    ForEachLine(text, [&](std::string_view line, std::size_t number) {
        SplitQuotedFieldsInto(line, fields);
        if (number == 1) {
            const std::vector<std::string_view> names(fields.begin(), fields.end());
            usable = LocateColumns(names, NAME, FIELDS, columns).kind == ColumnProblem::None;
            return;
        }
        const std::size_t name = columns.required[0];
        if (!usable || name >= fields.size() || !EqualsIgnoreAsciiCase(fields[name], yearlyFile)) return;
        auto field = [&](std::size_t c) {
            const std::optional<std::size_t> at = columns.optional[c];
            return at && *at < fields.size() ? fields[*at] : std::string();
        };
        found = RunLogEntry{field(0), field(1), field(2), field(3), field(4), field(5)};
    });
    return found;
}

} // namespace kolvane
