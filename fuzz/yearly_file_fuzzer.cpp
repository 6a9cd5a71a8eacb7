// The reader of existing yearly files. Whatever the bytes, it stops with a message naming the file or
// gives day rows with real dates; what it read, written and read again, comes back to the
// precision it was written with; a second write is the same text as the first; and the year calendar
// made of the rows holds every day of the year once, in order.

#include "FuzzSupport.h"

#include "daily/YearCalendar.h"
#include "formats/YearlyFile.h"
#include "model/DateText.h"

#include <cstddef>
#include <cstdint>

using namespace kolvane;
using namespace kolvane::fuzz;

namespace {

DailyTable ReadOwnFile(const std::string& text) {
    DailyTable rows;
    try {
        ParseYearlyText(text, "Y2005_0312.csv", rows);
    } catch (const KolvaneError&) {
        FUZZ_CHECK(!"a yearly file we wrote cannot be read back");
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string file = "Y2005_0312.csv";

    DailyTable rows;
    try {
        ParseYearlyText(bytes, file, rows);
    } catch (const KolvaneError& e) {
        CheckNamesFile(e, file);
        return 0;
    }
    for (const DailyRecord& r : rows) {
        FUZZ_CHECK(IsRealDate(r.year, r.month, r.day));
        FUZZ_CHECK(r.windDir == MISSING || WindSector(r.windDir) * 22.5 == r.windDir);
        FUZZ_CHECK(r.gustDir == MISSING || WindSector(r.gustDir) * 22.5 == r.gustDir);
        CheckFinite(r);
    }
    if (rows.empty()) return 0;

    const std::string first = FormatYearlyText(rows);
    const DailyTable again = ReadOwnFile(first);
    FUZZ_CHECK(again.size() == rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        CheckReadsBack(rows[i], again[i]);
    // Written values are already rounded: writing them again changes nothing more.
    const std::string second = FormatYearlyText(again);
    FUZZ_CHECK(FormatYearlyText(ReadOwnFile(second)) == second);

    const std::string yy = PadTwoDigits(rows.front().year);
    DailyTable merged = rows, year;
    MergeIntoYear({}, merged);
    SortYearByDate(merged);
    BuildYearCalendar(yy, merged, year);
    FUZZ_CHECK(year.size() == 365 || year.size() == 366);
    FUZZ_CHECK(year.front().month == 1 && year.front().day == 1 && year.back().month == 12 &&
               year.back().day == 31);
    // Each row of the year is on its own day of the calendar (which of two rows of a day wins is the
    // sort's business).
    for (const DailyRecord& r : rows) {
        if (r.year != year.front().year) continue;
        const auto index = (std::chrono::sys_days{std::chrono::year_month_day{
                                std::chrono::year{r.year}, std::chrono::month{static_cast<unsigned>(r.month)},
                                std::chrono::day{static_cast<unsigned>(r.day)}}} -
                            std::chrono::sys_days{std::chrono::year{r.year} / 1 / 1})
                               .count();
        FUZZ_CHECK(SameDate(year[static_cast<std::size_t>(index)], r));
    }
    return 0;
}
