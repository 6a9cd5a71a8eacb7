#pragma once

#include "engine/Plan.h"
#include "model/FileIo.h"
#include "model/YearlyProof.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// The log in each output folder of the yearly files written there: when, of which station and months,
// with which latitude and by which program. The yearly file itself has no room for the latitude.
inline constexpr std::string_view RUN_LOG_FILE_NAME = "kolvane-log.csv";

// Runs lock bytes of the log from here on (never written: far beyond any log's end): the first while one
// appends, the others for stations (StationLock).
inline constexpr std::uint64_t RUN_LOG_LOCKS = std::uint64_t{1} << 62;

// One line of the log, its fields as written (UTF-8 here, CP932 in the file).
struct RunLogEntry {
    std::string time;       // local time, "2025/03/14 09:05:00"
    std::string yearlyFile; // the name in the output folder
    std::string station;    // GGBB
    std::string months;     // "01-03,07", then " 結合:NAME" when the output folder's file was merged
    std::string latitude;   // as given: "35:30:00", or decimal degrees
    std::string program;    // "kolvane 0.1.0"
    // The size and CRC-32 of the yearly file the line announces (its name unused); none on lines of
    // versions that logged a file only once it was in place.
    std::optional<QualityProof> proof{};
};

// The header line, CP932 with CR LF.
std::string RunLogHeader();

// The entry of year `year` of `plan`, whose yearly file has `proof`, written at `now`; `mergedFromOutput`
// is the earlier yearly file of the output folder whose days were kept, or empty.
RunLogEntry RunLogEntryOf(const StationPlan& plan, std::size_t year, const QualityProof& proof,
                          std::string_view mergedFromOutput, std::time_t now);

// The month numbers as ranges in ascending order: {1,2,3,7,9,10} -> "01-03,07,09-10".
std::string CompactMonths(std::vector<int> months);

// One line of the log, CP932 with CR LF, fields quoted where they hold "," or a quote.
std::string FormatRunLogLine(const RunLogEntry& entry);

// Appends lines (FormatRunLogLine) to the log in `folder` (ending in "/"), made with its header when
// there is none yet, and syncs them (and the folder of a new log) before returning. Only ever appends:
// a log another program has written stays as it is, and a cut last line is ended first. Two runs at
// once each append whole lines (the log is locked while it is written). Returns 0 or an errno (as
// OpenRunLog); nothing is added then.
int AppendRunLog(const std::string& folder, std::string_view lines, const DurableCalls& calls = {});

// Opens the log in `folder` (ending in "/") to append to, made with its header (and its folder synced)
// when there is none. Returns 0 or an errno (platform::kIsPipe and the like for a name taken by
// something that is not a file).
int OpenRunLog(const std::string& folder, platform::File& out, const DurableCalls& calls = {});

// The entry of the log in `folder` that describes the yearly file named `yearlyFile` (ASCII case ignored)
// as it lies there: the last line whose proof matches the file's bytes, else the last line without a proof.
// A line whose proof does not match announced a file that was never put in place (its run was cut off
// before) or has been replaced since. None: no log, no such line, or a log whose header lacks the fields.
std::optional<RunLogEntry> LastRunLogEntry(const std::string& folder, std::string_view yearlyFile);

} // namespace kolvane
