#pragma once

#include <cstdint>
#include <vector>

namespace kolvane {

// In-memory mark of a measure without value. It meets the text "X" only where a file is read or
// written.
inline constexpr double MISSING = -999.0;

// One complete hour of a monthly file, stamped with the day and hour it belongs to (hours 1 to 24;
// a 0:00 observation is hour 24 of the day before).
struct HourlyRecord {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
    double precip = 0;
    double temp = 0;
    double humidity = 0;
    double pressure = 0;
    double windDir = 0;
    double windSpeed = 0;
    double gust = 0;
    double gustDir = 0;
    double solar = 0;
    double dewPoint = 0;
    double groundTemp = 0;

    bool operator==(const HourlyRecord&) const = default;
};

// Where a day's values came from: nowhere (the day has no data), its hours, or an earlier yearly file
// whose day was kept as it stood.
enum class DayOrigin : int8_t { None, Hours, Kept };

// One day of a yearly file: sums, means and extremes of its hours and the four derived values. A day
// stands for 12:00:00 of its date.
struct DailyRecord {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    double precip = 0;
    double temp = 0;
    double tempMax = 0;
    double tempMin = 0;
    double humidity = 0;
    double pressure = 0;
    double windDir = 0;
    double windSpeed = 0;
    double gust = 0;
    double gustDir = 0;
    double solar = 0;
    double dewPoint = 0;
    double sunshine = 0;
    double dayLength = 0;
    double netRadiation = 0;
    double evaporation = 0;
    double groundTemp = 0;
    // Not in the yearly file: how complete the day is.
    DayOrigin origin = DayOrigin::None;
    int32_t hours = 0; // distinct hours of the day that had complete rows, when made from hours

    bool operator==(const DailyRecord&) const = default;
};

using HourlyTable = std::vector<HourlyRecord>;
using DailyTable = std::vector<DailyRecord>;

inline bool SameDate(const DailyRecord& a, const DailyRecord& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

} // namespace kolvane
