#pragma once

#include "model/Csv.h"
#include "model/Records.h"

#include <string>
#include <string_view>

namespace kolvane {

// Appends one day line without its line end: the quoted short date and the values of
// YEARLY_VALUE_COLUMNS ("X" for MISSING, wind directions as codes).
void AppendYearlyLine(std::string& out, const DailyRecord& row);

// The whole yearly file: the header and one line per row, CP932, CR LF after every line.
std::string FormatYearlyText(const DailyTable& year);

// Reads the bytes of a yearly file (CP932) into `existing`: the acceptable day lines, in line order.
// "X" reads as MISSING, and so does an unknown direction code. A line with another number of fields
// than the header, an empty value, a 29 February of a year not divisible by 4, or a date that cannot
// be read is left out. Returns what became of the lines (those of blanks and commas alone hold no values
// and are not counted). Throws KolvaneError for a missing or repeated column or a number beyond a double.
LinesRead ParseYearlyText(std::string_view bytes, const std::string& file, DailyTable& existing);

} // namespace kolvane
