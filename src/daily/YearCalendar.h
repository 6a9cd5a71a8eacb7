#pragma once

#include "model/Records.h"

#include <string_view>

namespace kolvane {

// Folds the new daily rows into the existing year: a daily row overwrites every existing row of its
// date; rows without a match are appended behind the old rows, in order.
void MergeIntoYear(const DailyTable& daily, DailyTable& existing);

// Shell sort by date (gaps 1, 4, 13, 40, 121, ...). The key is the short date read back with the
// century rule; the sort is not stable, which decides which of two rows of one date comes last.
void SortYearByDate(DailyTable& existing);

// Every day of the year of the two-digit text `yy`, all measures MISSING, then each existing
// row of a date copied over its day (the last one in table order wins).
void BuildYearCalendar(std::string_view yy, const DailyTable& existing, DailyTable& year);

} // namespace kolvane
