#pragma once

#include <cstdint>
#include <vector>

namespace kolvane {

// In-memory mark of a measure without value; the yearly writer recognises it by exact comparison.
inline constexpr double MISSING = -999.0;

// The one record every table holds: an hour of a monthly file or a day of a yearly file.
struct WeatherRecord {
    int16_t valid = 0; // -1 = true, 0 = false
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
    double temp = 0;
    double tempMax = 0;
    double tempMin = 0;
    double humidity = 0;
    double dewPoint = 0;
    double precip = 0;
    double pressure = 0;
    double solar = 0;
    double windSpeed = 0;
    double windDir = 0;
    double gust = 0;
    double gustDir = 0;
    double groundTemp = 0;
    double sunshine = 0;
    double dayLength = 0;
    double netRadiation = 0;
    double evaporation = 0;

    bool operator==(const WeatherRecord&) const = default;
};

using WeatherTable = std::vector<WeatherRecord>;

inline bool SameDate(const WeatherRecord& a, const WeatherRecord& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

} // namespace kolvane
