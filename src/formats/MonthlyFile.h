#pragma once

#include "model/Records.h"

#include <string>
#include <string_view>

namespace kolvane {

// Reads the bytes of a monthly file (CP932) into `hourly`: the complete hours, in line order. Columns are
// found by header name (MONTHLY_HEADER of model/Columns.h); a line with another number of fields than
// the header, an empty or "X" value in one of the thirteen columns, or a date and time that cannot be
// read is left out. `file` names the file in messages. Throws KolvaneError for a missing or repeated
// column or a number beyond a double.
void ParseMonthlyText(std::string_view bytes, const std::string& file, HourlyTable& hourly);

} // namespace kolvane
