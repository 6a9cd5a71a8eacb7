// The monthly reader and the day computation behind it. Whatever the bytes, the reader either stops
// with a message naming the file or gives complete hours with real dates and times; the days made
// from them are finite or stop with a message; and the yearly file made of those days reads back
// whole, to the precision it was written with.

#include "FuzzSupport.h"

#include "daily/DailyAggregation.h"
#include "daily/YearCalendar.h"
#include "formats/MonthlyFile.h"
#include "formats/YearlyFile.h"
#include "model/DateText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace kolvane;
using namespace kolvane::fuzz;

namespace {

void CheckHour(const HourlyRecord& r) {
    FUZZ_CHECK(IsRealDate(r.year, r.month, r.day));
    // Midnight is hour 24 of the day before; 0:30 stays hour 0.
    FUZZ_CHECK(r.hour >= 0 && r.hour <= 24);
    FUZZ_CHECK(r.hour != 0 || r.minute != 0);
    FUZZ_CHECK(r.hour != 24 || r.minute == 0);
    FUZZ_CHECK(r.minute >= 0 && r.minute <= 59 && r.second >= 0 && r.second <= 59);
    CheckFinite(r);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string file = "M0504_0312.csv";

    HourlyTable hourly;
    try {
        ParseMonthlyText(bytes, file, hourly);
    } catch (const KolvaneError& e) {
        CheckNamesFile(e, file);
        return 0;
    }
    // The header is never an hour.
    FUZZ_CHECK(hourly.size() <= static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')));
    for (const HourlyRecord& r : hourly)
        CheckHour(r);

    DailyTable daily;
    try {
        BuildDailyRecords(hourly, 35.5, daily);
    } catch (const DayComputationError& e) {
        FUZZ_CHECK(IsRealDate(e.year, e.month, e.day));
        return 0;
    }
    FUZZ_CHECK(daily.size() <= hourly.size());
    for (const DailyRecord& d : daily) {
        FUZZ_CHECK(IsRealDate(d.year, d.month, d.day));
        FUZZ_CHECK(d.origin == DayOrigin::Hours && d.hours >= 1 && d.hours <= 24);
        CheckFinite(d);
    }
    if (daily.empty()) return 0;

    // The days fill their year's calendar, and their lines read back by the next run.
    DailyTable existing, year, back;
    MergeIntoYear(daily, existing);
    SortYearByDate(existing);
    BuildYearCalendar(PadTwoDigits(daily.front().year), existing, year);
    FUZZ_CHECK(year.size() == 365 || year.size() == 366);
    try {
        ParseYearlyText(FormatYearlyText(daily), "Y2005_0312.csv", back);
    } catch (const KolvaneError&) {
        FUZZ_CHECK(!"a yearly file we wrote cannot be read back");
    }
    FUZZ_CHECK(back.size() == daily.size());
    for (std::size_t i = 0; i < daily.size(); ++i)
        CheckReadsBack(daily[i], back[i]);
    return 0;
}
