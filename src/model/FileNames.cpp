#include "model/FileNames.h"

#include "model/DateText.h"
#include "model/Numbers.h"
#include "model/Text.h"
#include "platform/System.h"

#include <algorithm>

namespace kolvane {
namespace {

// "M" yy mm "_" group bucket ".csv"
constexpr std::size_t MONTHLY_YY = 1;
constexpr std::size_t MONTHLY_MM = 3;
constexpr std::size_t MONTHLY_GROUP = 6;
constexpr std::size_t MONTHLY_BUCKET = 8;
constexpr std::size_t ID_LENGTH = 2;
constexpr std::string_view SUFFIX = ".csv";
// "Y" yyyy "_" group bucket ".csv"
constexpr std::size_t YEARLY_YEAR = 1;
constexpr std::size_t YEARLY_GROUP = 6;
constexpr std::size_t YEARLY_BUCKET = 8;
// "YYYY/MM": the two-digit year starts after the century.
constexpr std::size_t ENTRY_YY = 2;

bool Digits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), IsAsciiDigit);
}

} // namespace

std::string StationName(const StationKey& station) {
    return station.group + station.bucket;
}

std::optional<StationKey> StationOfName(std::string_view name) {
    if (name.size() != 2 * ID_LENGTH) return std::nullopt;
    return StationKey{std::string(name.substr(0, ID_LENGTH)), std::string(name.substr(ID_LENGTH))};
}

bool IsUsableStationCode(std::string_view code) {
    // A control character (a line end, above all) would also split the run log's line for the file.
    const bool control = std::any_of(
        code.begin(), code.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
    return code != "." && code != ".." && !control && std::none_of(code.begin(), code.end(), [](char c) {
               return c == '/' || platform::kSeparators.find(c) != std::string_view::npos ||
                      platform::IsReservedInName(c);
           });
}

bool SameStation(const StationKey& a, const StationKey& b) {
    return EqualsIgnoreAsciiCase(StationName(a), StationName(b));
}

std::string MonthlyFileName(int32_t year, int32_t month, const StationKey& key) {
    return "M" + PadTwoDigits(year) + PadTwoDigits(month) + "_" + StationName(key) + std::string(SUFFIX);
}

std::string MonthlyFileNameOfEntry(std::string_view entry, const StationKey& key) {
    const std::size_t slash = entry.find('/');
    const auto year = static_cast<int32_t>(LeadingNumberOrZero(entry.substr(0, slash)));
    const auto month = static_cast<int32_t>(
        slash == std::string_view::npos ? 0 : LeadingNumberOrZero(entry.substr(slash + 1)));
    return MonthlyFileName(year, month, key);
}

std::string YearlyFileName(std::string_view yy, const StationKey& key) {
    return "Y" + FourDigitYear(yy) + "_" + StationName(key) + std::string(SUFFIX);
}

std::string QualityFileName(std::string_view yy, const StationKey& key) {
    return QualityFileNameOf(YearlyFileName(yy, key));
}

namespace {

// A companion's name is the yearly file's with another first letter, in the same case.
std::string CompanionNameOf(std::string_view yearlyFileName, char upper) {
    std::string name(yearlyFileName);
    if (!name.empty()) name[0] = name[0] == 'y' ? static_cast<char>(upper - 'A' + 'a') : upper;
    return name;
}

std::string CompanionPathOf(const std::string& yearlyPath, char upper) {
    const std::string_view name = FileNameOf(yearlyPath);
    return yearlyPath.substr(0, yearlyPath.size() - name.size()) + CompanionNameOf(name, upper);
}

} // namespace

std::string QualityFileNameOf(std::string_view yearlyFileName) {
    return CompanionNameOf(yearlyFileName, 'Q');
}

std::string FindingsFileName(std::string_view yy, const StationKey& key) {
    return FindingsFileNameOf(YearlyFileName(yy, key));
}

std::string FindingsFileNameOf(std::string_view yearlyFileName) {
    return CompanionNameOf(yearlyFileName, 'C');
}

std::string FindingsPathOf(const std::string& yearlyPath) {
    return CompanionPathOf(yearlyPath, 'C');
}

std::string_view FileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of(platform::kSeparators);
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string QualityPathOf(const std::string& yearlyPath) {
    return CompanionPathOf(yearlyPath, 'Q');
}

std::string KeptCompanionPathOf(std::string_view companionPath) {
    const std::string_view name = FileNameOf(companionPath);
    return std::string(companionPath.substr(0, companionPath.size() - name.size())) + "." +
           std::string(name) + ".kept";
}

std::optional<MonthlyNameParts> ParseMonthlyFileName(std::string_view name) {
    if (!MatchesPattern(name, MONTHLY_PATTERN)) return std::nullopt;
    return MonthlyNameParts{name.substr(MONTHLY_YY, 2),
                            name.substr(MONTHLY_MM, 2),
                            {std::string(name.substr(MONTHLY_GROUP, ID_LENGTH)),
                             std::string(name.substr(MONTHLY_BUCKET, ID_LENGTH))}};
}

std::optional<YearlyNameParts> ParseYearlyFileName(std::string_view name) {
    if (!MatchesPattern(name, YEARLY_FILE_PATTERN)) return std::nullopt;
    const std::string_view digits = name.substr(YEARLY_YEAR, 4);
    if (!Digits(digits)) return std::nullopt;
    return YearlyNameParts{std::stoi(std::string(digits)),
                           {std::string(name.substr(YEARLY_GROUP, ID_LENGTH)),
                            std::string(name.substr(YEARLY_BUCKET, ID_LENGTH))}};
}

bool HasYearlyPrefix(std::string_view name) {
    return !name.empty() && (name[0] == 'Y' || name[0] == 'y');
}

std::string_view YearCharsOfMonthlyName(std::string_view name) {
    return name.substr(MONTHLY_YY, 2);
}

std::optional<std::string> MonthEntryOfName(std::string_view name) {
    const std::optional<MonthlyNameParts> parts = ParseMonthlyFileName(name);
    if (!parts || !Digits(parts->yy) || !Digits(parts->mm)) return std::nullopt;
    const int month = (parts->mm[0] - '0') * 10 + (parts->mm[1] - '0');
    if (month < 1 || month > 12) return std::nullopt;
    return FourDigitYear(parts->yy) + "/" + std::string(parts->mm);
}

std::string_view MonthEntryOrderKey(std::string_view entry) {
    return entry.size() < ENTRY_YY ? std::string_view() : entry.substr(ENTRY_YY);
}

std::string GroupPattern(std::string_view group) {
    return "M????_" + std::string(group) + "??" + std::string(SUFFIX);
}

std::string StationPattern(const StationKey& station) {
    return "M????_" + StationName(station) + std::string(SUFFIX);
}

std::string YearlyPattern(const StationKey& station) {
    return "Y????_" + StationName(station) + std::string(SUFFIX);
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    if (name.size() != pattern.size()) return false;
    // Every name of a folder is matched, several times for a folder of many stations: the same character
    // is settled without the case-blind comparison.
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (pattern[i] != '?' && name[i] != pattern[i] &&
            !EqualsIgnoreAsciiCase(name.substr(i, 1), pattern.substr(i, 1)))
            return false;
    }
    return true;
}

} // namespace kolvane
