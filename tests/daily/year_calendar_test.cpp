#include "daily/YearCalendar.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

DailyRecord Day(int year, int month, int day, double temp) {
    return {.year = year, .month = month, .day = day, .temp = temp};
}

TEST(YearCalendar, MergeReplacesEveryMatchAndAppendsTheRest) {
    DailyTable existing = {Day(2005, 1, 2, 10), Day(2005, 6, 1, 20), Day(2005, 1, 2, 11)};
    DailyTable daily = {Day(2005, 1, 2, 1), Day(2005, 1, 3, 2), Day(2005, 1, 3, 3)};
    MergeIntoYear(daily, existing);
    std::vector<double> temps;
    for (const DailyRecord& d : existing)
        temps.push_back(d.temp);
    EXPECT_EQ(temps, (std::vector<double>{1, 20, 1, 2, 3})); // new dates are compared with the old rows only
}

TEST(YearCalendar, SortOrdersByDateAndTheLastDuplicateAfterSortingWins) {
    DailyTable rows;
    for (int d = 28; d >= 1; --d)
        rows.push_back(Day(2005, 2, d, d));
    rows.push_back(Day(2004, 12, 31, -1));
    SortYearByDate(rows);
    EXPECT_EQ(rows.front().year, 2004);
    for (std::size_t i = 1; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].day, static_cast<int>(i));

    // Of two rows of one date the calendar takes the one that comes last in the sorted table.
    DailyTable year;
    BuildYearCalendar("05", {Day(2005, 1, 10, 100), Day(2005, 1, 10, 200)}, year);
    EXPECT_EQ(year[9].temp, 200);
    // The Shell sort is not stable: with gap 4 over these rows the two rows of 10 January change
    // places, so the row that came first in the file is the last after sorting, and wins.
    DailyTable dup = {Day(2005, 1, 10, 100), Day(2005, 1, 11, 0),   Day(2005, 1, 12, 0), Day(2005, 1, 13, 0),
                      Day(2005, 1, 14, 0),   Day(2005, 1, 10, 200), Day(2005, 1, 1, 0),  Day(2005, 1, 2, 0),
                      Day(2005, 1, 3, 0),    Day(2005, 1, 4, 0),    Day(2005, 1, 5, 0),  Day(2005, 1, 6, 0),
                      Day(2005, 1, 7, 0)};
    SortYearByDate(dup);
    BuildYearCalendar("05", dup, year);
    EXPECT_EQ(year[9].temp, 100);

    for (DailyTable few : {DailyTable{}, DailyTable{Day(2005, 3, 3, 1)}}) {
        const DailyTable before = few;
        SortYearByDate(few);
        EXPECT_EQ(few, before);
    }

    // The key is the two-digit year: 2070 reads back as 1970 in a short date, so it sorts before 2005.
    rows = {Day(2005, 1, 1, 1), Day(2070, 1, 1, 2)};
    SortYearByDate(rows);
    EXPECT_EQ(rows[0].year, 2070);
}

} // namespace
} // namespace kolvane
