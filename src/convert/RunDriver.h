#pragma once

#include "convert/RunPlan.h"
#include "convert/YearRun.h"

#include <functional>
#include <string>
#include <vector>

namespace kolvane {

// Converts the year runs in order. Years may be computed in parallel, but what the user sees is the
// same as one year after the other: yearly files are replaced in run order, and nothing happens after
// the first failing year (its file and every later one untouched, earlier ones kept). `onWritten` is
// called with the path of each yearly file once it is in place. Throws KolvaneError at the first
// failure. `threads` 0 means one per processor.
void ConvertYearRuns(const std::vector<YearRun>& runs, const ConversionSettings& settings,
                     const std::function<void(const std::string& path)>& onWritten, unsigned threads = 0);

} // namespace kolvane
