#include "series/YearSeries.h"

#include "discovery/Discovery.h"
#include "formats/YearlyFile.h"
#include "model/DateText.h"
#include "model/Error.h"
#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/Text.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <utility>

namespace kolvane {
namespace {

std::optional<double> Value(double stored) {
    if (stored == MISSING) return std::nullopt;
    return stored;
}

// The yearly file's field behind each measure of a series day.
constexpr std::pair<std::optional<double> SeriesDay::*, double DailyRecord::*> MEASURES[] = {
    {&SeriesDay::tempMax, &DailyRecord::tempMax},
    {&SeriesDay::temp, &DailyRecord::temp},
    {&SeriesDay::tempMin, &DailyRecord::tempMin},
    {&SeriesDay::precip, &DailyRecord::precip},
    {&SeriesDay::solar, &DailyRecord::solar},
    {&SeriesDay::sunshine, &DailyRecord::sunshine},
    {&SeriesDay::evaporation, &DailyRecord::evaporation},
};

bool HasValue(const SeriesDay& d) {
    return std::any_of(std::begin(MEASURES), std::end(MEASURES),
                       [&](const auto& m) { return (d.*m.first).has_value(); });
}

// The place of a date in its year, or none for a date of another year or no date at all.
std::optional<std::size_t> DayIndex(const YearSeries& series, int32_t year, int32_t month, int32_t day) {
    if (year != series.year) return std::nullopt;
    return DayInYear(year, month, day);
}

} // namespace

bool IsIncomplete(const SeriesDay& day) {
    return day.dayClass == DayClass::QuasiNormal || day.dayClass == DayClass::Insufficient ||
           day.dayClass == DayClass::NoData;
}

YearTotals SummariseYear(const YearSeries& series) {
    YearTotals totals;
    totals.days = static_cast<int>(series.days.size());
    const auto add = [](YearSum& sum, const std::optional<double>& v) {
        if (!v) return;
        sum.sum += *v;
        ++sum.days;
    };
    const auto extreme = [](std::optional<YearExtreme>& best, const std::optional<double>& v,
                            const SeriesDay& d, bool higher) {
        if (!v || (best && (higher ? *v <= best->value : *v >= best->value))) return;
        best = YearExtreme{*v, d.month, d.day};
    };
    for (const SeriesDay& d : series.days) {
        add(totals.precip, d.precip);
        add(totals.temp, d.temp);
        add(totals.sunshine, d.sunshine);
        add(totals.evaporation, d.evaporation);
        extreme(totals.highest, d.tempMax, d, true);
        extreme(totals.lowest, d.tempMin, d, false);
    }
    return totals;
}

YearSeries EmptyYearSeries(int year) {
    using namespace std::chrono;
    YearSeries series;
    series.year = year;
    const sys_days first{std::chrono::year(year) / January / 1};
    const sys_days next{std::chrono::year(year + 1) / January / 1};
    for (sys_days d = first; d < next; d += days(1)) {
        const year_month_day date{d};
        SeriesDay day;
        day.month = static_cast<int>(static_cast<unsigned>(date.month()));
        day.day = static_cast<int>(static_cast<unsigned>(date.day()));
        day.dayClass = DayClass::NoData;
        series.days.push_back(day);
    }
    return series;
}

YearSeries BuildYearSeries(std::string_view bytes, const std::string& file, int year) {
    DailyTable rows;
    ParseYearlyText(bytes, file, rows);

    YearSeries series = EmptyYearSeries(year);
    for (const DailyRecord& row : rows) {
        const auto index = DayIndex(series, row.year, row.month, row.day);
        if (!index) continue;
        SeriesDay& d = series.days[*index];
        for (const auto& [measure, field] : MEASURES)
            d.*measure = Value(row.*field);
    }
    // Without its companion a day is only known to be a gap.
    for (SeriesDay& d : series.days)
        d.dayClass = HasValue(d) ? std::nullopt : std::optional(DayClass::NoData);
    return series;
}

void ApplyQuality(YearSeries& series, const std::vector<DayQuality>& days) {
    for (SeriesDay& d : series.days)
        d.dayClass = DayClass::NoData;
    for (const DayQuality& q : days)
        if (const auto index = DayIndex(series, q.year, q.month, q.day)) {
            series.days[*index].dayClass = q.dayClass;
            series.days[*index].suspect = q.suspect;
        }
    series.qualityKnown = true;
}

YearSeries ReadYearSeries(const std::string& path, int year) {
    std::string bytes;
    if (int e = ReadWholeFile(path, bytes))
        throw KolvaneError(message::CannotRead(FileKind::Yearly, path, e));
    YearSeries series = BuildYearSeries(bytes, path, year);
    // None beside a file written with --no-quality, or by another program.
    const Companion companion = ReadCompanionOf(path, bytes);
    if (companion.Belongs()) ApplyQuality(series, companion.rows);
    series.qualityNote = companion.Note();
    return series;
}

std::vector<YearlyFileEntry> ListYearlyFiles(const std::vector<std::string>& folders,
                                             const StationKey& station) {
    const std::string pattern = YearlyPattern(station);
    std::vector<YearlyFileEntry> entries;
    std::vector<std::string> names;
    for (const std::string& given : folders) {
        const std::string folder = WithTrailingSlash(given);
        if (folder.empty() || ListMatchingFiles(folder, pattern, names) != 0) continue;
        for (const std::string& name : names) {
            const std::optional<YearlyNameParts> parsed = ParseYearlyFileName(name);
            if (!parsed) continue;
            const std::optional<int> year = parsed->year;
            const bool known = std::any_of(entries.begin(), entries.end(),
                                           [&](const YearlyFileEntry& e) { return e.year == *year; });
            if (!known) entries.push_back({*year, folder + name});
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const YearlyFileEntry& a, const YearlyFileEntry& b) { return a.year < b.year; });
    return entries;
}

} // namespace kolvane
