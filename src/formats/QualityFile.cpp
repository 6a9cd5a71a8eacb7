#include "formats/QualityFile.h"

#include "model/Csv.h"
#include "model/DateText.h"
#include "model/FileIo.h"
#include "model/FileNames.h"
#include "model/Messages.h"
#include "model/Numbers.h"
#include "model/Text.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace kolvane {
namespace {

// Eleven values of 24 hours, each found by at most every check: far above any real count, and
// small enough for an int.
constexpr double MAX_SUSPECT_OF_A_DAY = 24 * 11 * 8;

} // namespace

std::string FormatQualityText(const DailyTable& year, const std::vector<int32_t>& suspect) {
    static constexpr std::array<std::string_view, 4> WRITTEN = {QUALITY_HEADER[0], QUALITY_HEADER[1],
                                                                QUALITY_HEADER[2], SUSPECT_COLUMN};
    std::string text = HeaderLine(WRITTEN);
    CsvWriter line(text);
    for (std::size_t i = 0; i < year.size(); ++i) {
        const DailyRecord& day = year[i];
        const DayClass c = ClassifyDay(day);
        line.AddQuotedDate(day.year, day.month, day.day);
        line.Add(c == DayClass::Kept ? std::string("X") : std::to_string(day.hours));
        line.Add(DayClassName(c));
        line.Add(i < suspect.size() && suspect[i] >= 0 ? std::to_string(suspect[i]) : std::string("X"));
        line.EndLine();
    }
    return EncodeCp932(text);
}

namespace {

// A whole number of a field within [0, most]; -1 (not known) for anything else.
int32_t CountOf(std::optional<std::string_view> field, double most) {
    const std::optional<double> n = field ? ConvertWholeNumber(*field) : std::nullopt;
    return n && *n >= 0 && *n <= most && std::trunc(*n) == *n ? static_cast<int32_t>(*n) : -1;
}

} // namespace

std::vector<DayQuality> ParseQualityText(std::string_view bytes, const std::string& file) {
    std::vector<DayQuality> days;
    std::string buffer;
    HeaderColumns columns;
    std::vector<std::string_view> fields;
    // Columns after the known ones (added by a later version) are passed over, not a reason to skip.
    ForEachLine(bytes, [&](std::string_view line, std::size_t number) {
        if (number == 1) {
            columns = MapHeader(line, QUALITY_HEADER, std::array{SUSPECT_COLUMN}, FileKind::Quality, file);
            return;
        }
        SplitFieldsInto(line, fields);
        if (fields.size() < columns.needed) return;
        const auto at = [&](std::size_t c) { return fields[columns.required[c]]; };
        const auto when = ParseObservationTime(StripQuotes(at(0), buffer));
        if (!when) return;
        const std::string name = DecodeCp932(at(2));
        const auto c = std::find_if(DAY_CLASSES.begin(), DAY_CLASSES.end(),
                                    [&](DayClass d) { return DayClassName(d) == name; });
        if (c == DAY_CLASSES.end()) return;
        const std::chrono::year_month_day ymd{when->date};
        const std::optional<std::size_t> suspectAt = columns.optional[0];
        days.push_back(
            {static_cast<int32_t>(ymd.year()), static_cast<int32_t>(static_cast<unsigned>(ymd.month())),
             static_cast<int32_t>(static_cast<unsigned>(ymd.day())), CountOf(at(1), HOURS_PER_DAY), *c,
             CountOf(suspectAt && *suspectAt < fields.size() ? std::optional(fields[*suspectAt])
                                                             : std::nullopt,
                     MAX_SUSPECT_OF_A_DAY)});
    });
    return days;
}

Companion ReadCompanionOf(const std::string& yearlyPath, std::string_view yearlyBytes) {
    return ReadBesideYearly<DayQuality>(FileKind::Quality, QualityPathOf(yearlyPath), yearlyPath, yearlyBytes,
                                        ParseQualityText);
}

bool RemoveCompanionNotOf(const std::string& companionPath, std::string_view yearlyName,
                          std::string_view yearlyBytes) {
    std::string bytes;
    if (ReadWholeFile(companionPath, bytes) != 0 || ProvesYearly(bytes, yearlyName, yearlyBytes))
        return false;
    return RemoveFile(companionPath) == 0;
}

QualitySummary SummarizeQuality(const std::vector<DayQuality>& days) {
    QualitySummary summary;
    int run = 0;
    for (std::size_t i = 0; i < days.size(); ++i) {
        ++summary.days[static_cast<std::size_t>(days[i].dayClass)];
        run = days[i].dayClass == DayClass::NoData ? run + 1 : 0;
        if (run > summary.longestGap) {
            summary.longestGap = run;
            summary.gapStart = days[i + 1 - static_cast<std::size_t>(run)];
        }
    }
    return summary;
}

} // namespace kolvane
