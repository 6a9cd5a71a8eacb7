#pragma once

#include "model/Records.h"

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kolvane {

// Arithmetic that failed on impossible data for one day (a NaN or infinite result, or an evaporation
// iteration that does not converge). The caller names the file.
class DayComputationError : public std::runtime_error {
  public:
    DayComputationError(int32_t year, int32_t month, int32_t day, const std::string& cause)
        : std::runtime_error(cause), year(year), month(month), day(day) {}
    int32_t year, month, day;
};

// Centre in degrees of the most frequent of the 16 direction sectors of `windDir` over hourly rows
// first..last (inclusive, 0-based), or MISSING when no direction is countable.
double MostFrequentDirection(const HourlyTable& hourly, std::size_t first, std::size_t last);

// Groups the hourly rows into days (by day of month) and appends one daily row per day, with
// evaporation and radiation for the given latitude. Throws DayComputationError.
void BuildDailyRecords(const HourlyTable& hourly, double latitude, DailyTable& daily);

} // namespace kolvane
