#include "convert/YearSeries.h"

#include "convert/Discovery.h"
#include "convert/YearlyFile.h"
#include "model/Error.h"
#include "model/FileIo.h"
#include "model/WeatherRecord.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace kolvane {
namespace {

std::optional<double> Value(double stored) {
    if (stored == MISSING) return std::nullopt;
    return stored;
}

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

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
        series.days.push_back(day);
    }
    return series;
}

YearSeries BuildYearSeries(std::string_view bytes, const std::string& file, int year,
                           const std::vector<bool>* incomplete) {
    using namespace std::chrono;
    WeatherTable rows;
    ParseYearlyText(bytes, file, rows);

    YearSeries series = EmptyYearSeries(year);
    const sys_days first{std::chrono::year(year) / January / 1};
    for (const auto& row : rows) {
        if (row.year != year) continue;
        const year_month_day date{std::chrono::year(row.year), month(static_cast<unsigned>(row.month)),
                                  day(static_cast<unsigned>(row.day))};
        if (!date.ok()) continue;
        const auto index = static_cast<std::size_t>((sys_days(date) - first).count());
        if (index >= series.days.size()) continue;
        SeriesDay& d = series.days[index];
        d.tempMax = Value(row.tempMax);
        d.temp = Value(row.temp);
        d.tempMin = Value(row.tempMin);
        d.precip = Value(row.precip);
        d.solar = Value(row.solar);
        d.sunshine = Value(row.sunshine);
        d.evaporation = Value(row.evaporation);
    }
    if (incomplete) {
        const std::size_t n = std::min(incomplete->size(), series.days.size());
        for (std::size_t i = 0; i < n; ++i)
            series.days[i].incomplete = (*incomplete)[i];
    }
    return series;
}

YearSeries ReadYearSeries(const std::string& path, int year, const std::vector<bool>* incomplete) {
    std::string bytes;
    if (int e = ReadWholeFile(path, bytes))
        throw KolvaneError("年次ファイル「" + path + "」を読み込めません（" + DescribeSystemError(e) +
                           "）。");
    return BuildYearSeries(bytes, path, year, incomplete);
}

std::vector<YearlyFileEntry> ListYearlyFiles(const std::vector<std::string>& folders,
                                             const StationKey& station) {
    const std::string pattern = "Y????_" + station.group + station.bucket + ".csv";
    std::vector<YearlyFileEntry> entries;
    std::vector<std::string> names;
    for (const std::string& given : folders) {
        const std::string folder = WithTrailingSlash(given);
        if (folder.empty() || ListMatchingFiles(folder, pattern, names) != 0) continue;
        for (const std::string& name : names) {
            const std::string_view digits = std::string_view(name).substr(1, 4);
            if (!IsDigits(digits)) continue;
            const int year = std::stoi(std::string(digits));
            const bool known = std::any_of(entries.begin(), entries.end(),
                                           [year](const YearlyFileEntry& e) { return e.year == year; });
            if (!known) entries.push_back({year, folder + name});
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const YearlyFileEntry& a, const YearlyFileEntry& b) { return a.year < b.year; });
    return entries;
}

} // namespace kolvane
