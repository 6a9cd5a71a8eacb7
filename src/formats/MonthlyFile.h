#pragma once

#include "model/Csv.h"
#include "model/Records.h"

#include <string>
#include <string_view>

namespace kolvane {

// Reads the bytes of a monthly file (CP932) into `hourly`: the complete hours, in line order. Columns are
// found by header name (MONTHLY_HEADER of model/Columns.h); a line with another number of fields than
// the header, an empty or "X" value in one of the thirteen columns, or a date and time that cannot be
// read is left out; a line with one more field than the header, that field empty, is read without it
// (Excel ends data lines with a comma). `file` names the file in messages. Returns what became of the
// lines. Throws KolvaneError for a missing or repeated column or a number beyond a double.
LinesRead ParseMonthlyText(std::string_view bytes, const std::string& file, HourlyTable& hourly);

} // namespace kolvane
