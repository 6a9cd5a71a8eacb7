#pragma once

// The one place that makes and reads the names of the monthly, yearly and companion files. Every
// character position of a name lives here; nobody else cuts a name apart.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kolvane {

// The station: two-character group ID and bucket ID, verbatim from the monthly file names.
struct StationKey {
    std::string group;
    std::string bucket;
};

// "0312": how a station is named to the user and typed on the command line.
std::string StationName(const StationKey& station);
// The station of such a four-character text; none for another length.
std::optional<StationKey> StationOfName(std::string_view name);
// A group or bucket ID that can stand in a file name without naming another folder or file: one that
// holds "/" or a control character (NUL, a line end; on Windows also "\\", ":" and the other characters
// no name there may hold), or is "." or "..", cannot.
bool IsUsableStationCode(std::string_view code);
// Two keys of one station: the file system is taken as ignoring letter case.
bool SameStation(const StationKey& a, const StationKey& b);

// "M" yy mm "_" group bucket ".csv", e.g. 2005/04 of 03/12 -> M0504_0312.csv.
std::string MonthlyFileName(int32_t year, int32_t month, const StationKey& key);
// The same for a month list entry "YYYY/MM" (read leniently: a part without a number counts as 0).
std::string MonthlyFileNameOfEntry(std::string_view entry, const StationKey& key);

// "Y" four-digit year (century rule on yy) "_" group bucket ".csv", e.g. Y2005_0312.csv.
std::string YearlyFileName(std::string_view yy, const StationKey& key);

// "Q" four-digit year "_" group bucket ".csv": the completeness of every day of the yearly file.
std::string QualityFileName(std::string_view yy, const StationKey& key);

// The companion's name of a yearly file name (Y2005_0312.csv -> Q2005_0312.csv, the case kept).
std::string QualityFileNameOf(std::string_view yearlyFileName);
// The companion's path of a yearly file's path: beside it, under QualityFileNameOf its name.
std::string QualityPathOf(const std::string& yearlyPath);
// "C" four-digit year "_" group bucket ".csv": the suspect values the checks found in the year's hours.
std::string FindingsFileName(std::string_view yy, const StationKey& key);
std::string FindingsFileNameOf(std::string_view yearlyFileName);
std::string FindingsPathOf(const std::string& yearlyPath);
// Where a companion that still belongs to the yearly file in place is kept while a new yearly file and
// its companions replace them: beside it, "." name ".kept" (Q2005_0312.csv -> .Q2005_0312.csv.kept).
std::string KeptCompanionPathOf(std::string_view companionPath);
// The last part of a path, the file's name.
std::string_view FileNameOf(std::string_view path);

// The parts of a monthly file name, as they stand in it.
struct MonthlyNameParts {
    std::string_view yy;
    std::string_view mm;
    StationKey station;
};
// None for a name that is not of the monthly pattern.
std::optional<MonthlyNameParts> ParseMonthlyFileName(std::string_view name);

// The parts of a yearly file name ("Y2005_0312.csv", letter case ignored).
struct YearlyNameParts {
    int year = 0;
    StationKey station;
};
// None for a name that is not a yearly file name with a four-digit year.
std::optional<YearlyNameParts> ParseYearlyFileName(std::string_view name);
// True for a name that begins as a yearly file name does ("Y", either case), as a yearly file renamed
// by a user may still be named.
bool HasYearlyPrefix(std::string_view name);

// The two year characters of a monthly file name ("M0504_0312.csv" -> "05").
std::string_view YearCharsOfMonthlyName(std::string_view name);

// The month list entry "YYYY/MM" of a monthly file name; none unless its year and month are digits
// with a month 01 to 12 (others could never be converted).
std::optional<std::string> MonthEntryOfName(std::string_view name);
// The key that orders month list entries as the list does: by two-digit year, then month ("yy/mm").
std::string_view MonthEntryOrderKey(std::string_view entry);

// Patterns for MatchesPattern: every monthly file, those of a group, those of a station, and the
// yearly files of a station.
inline constexpr std::string_view MONTHLY_PATTERN = "M????_????.csv";
inline constexpr std::string_view YEARLY_FILE_PATTERN = "Y????_????.csv";
std::string GroupPattern(std::string_view group);
std::string StationPattern(const StationKey& station);
std::string YearlyPattern(const StationKey& station);

// Same length, "?" matches any one character, other characters equal ignoring ASCII case.
bool MatchesPattern(std::string_view name, std::string_view pattern);

} // namespace kolvane
