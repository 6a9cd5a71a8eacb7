#include "daily/YearCalendar.h"

#include "model/Columns.h"
#include "model/DateText.h"
#include "model/Numbers.h"

#include <chrono>
#include <unordered_map>

namespace kolvane {
namespace {

// Days since the epoch of the row's date as its short date reads back: the year reduced to two
// digits and completed by the century rule.
int64_t SortKey(const DailyRecord& r) {
    using namespace std::chrono;
    std::string yy = PadTwoDigits(r.year);
    int32_t y = static_cast<int32_t>(LeadingNumberOrZero(FourDigitYear(yy)));
    year_month_day ymd{year{y}, month{static_cast<unsigned>(r.month)}, day{static_cast<unsigned>(r.day)}};
    return sys_days{ymd}.time_since_epoch().count();
}

int64_t DateIndex(int32_t y, int32_t m, int32_t d) {
    return (static_cast<int64_t>(y) * 16 + m) * 32 + d;
}

} // namespace

void MergeIntoYear(const DailyTable& daily, DailyTable& existing) {
    // Index of every existing row by date; several rows may share a date and all of them are replaced.
    std::unordered_multimap<int64_t, std::size_t> byDate;
    byDate.reserve(existing.size());
    for (std::size_t i = 0; i < existing.size(); ++i)
        byDate.emplace(DateIndex(existing[i].year, existing[i].month, existing[i].day), i);

    DailyTable added;
    for (const DailyRecord& row : daily) {
        auto [begin, end] = byDate.equal_range(DateIndex(row.year, row.month, row.day));
        if (begin == end) {
            added.push_back(row);
            continue;
        }
        for (auto it = begin; it != end; ++it)
            existing[it->second] = row;
    }
    existing.insert(existing.end(), added.begin(), added.end());
}

void SortYearByDate(DailyTable& existing) {
    const std::size_t n = existing.size();
    std::vector<int64_t> keys(n);
    for (std::size_t i = 0; i < n; ++i)
        keys[i] = SortKey(existing[i]);

    std::size_t gap = 1;
    while (gap < n / 3)
        gap = 3 * gap + 1;
    for (; gap > 0; gap /= 3) {
        for (std::size_t i = gap; i < n; ++i) {
            DailyRecord row = existing[i];
            int64_t key = keys[i];
            std::size_t j = i;
            while (j >= gap && keys[j - gap] > key) {
                existing[j] = existing[j - gap];
                keys[j] = keys[j - gap];
                j -= gap;
            }
            existing[j] = row;
            keys[j] = key;
        }
    }
}

void BuildYearCalendar(std::string_view yy, const DailyTable& existing, DailyTable& year) {
    using namespace std::chrono;
    const auto y = static_cast<int32_t>(LeadingNumberOrZero(FourDigitYear(yy)));
    const bool leap = std::chrono::year{y}.is_leap();
    const int count = leap ? 366 : 365;

    DailyRecord missingDay;
    for (const YearlyColumn& column : YEARLY_VALUE_COLUMNS)
        missingDay.*column.field = MISSING;
    year.assign(static_cast<std::size_t>(count), missingDay);
    sys_days date{std::chrono::year{y} / January / 1};
    for (DailyRecord& row : year) {
        year_month_day ymd{date};
        row.year = y;
        row.month = static_cast<int32_t>(static_cast<unsigned>(ymd.month()));
        row.day = static_cast<int32_t>(static_cast<unsigned>(ymd.day()));
        date += days{1};
    }

    // Day of the year for a date of year y, or -1.
    const sys_days start{std::chrono::year{y} / January / 1};
    for (const DailyRecord& row : existing) {
        if (row.year != y || row.month < 1 || row.month > 12 || row.day < 1 || row.day > 31) continue;
        year_month_day ymd{std::chrono::year{y}, month{static_cast<unsigned>(row.month)},
                           day{static_cast<unsigned>(row.day)}};
        if (!ymd.ok()) continue;
        auto index = (sys_days{ymd} - start).count();
        year[static_cast<std::size_t>(index)] = row;
    }
}

} // namespace kolvane
