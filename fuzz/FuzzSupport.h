#pragma once

// Shared by the fuzz targets: a check that stops the fuzzer with a message, and the properties every
// table row must have whatever the input was.

#include "model/Error.h"
#include "model/WeatherRecord.h"
#include "model/Wind.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition);           \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace kolvane::fuzz {

inline bool IsRealDate(int32_t y, int32_t m, int32_t d) {
    if (m < 1 || m > 12 || d < 1 || d > 31) return false;
    return std::chrono::year_month_day{std::chrono::year{y}, std::chrono::month{static_cast<unsigned>(m)},
                                       std::chrono::day{static_cast<unsigned>(d)}}
        .ok();
}

// A message for the user names the file it is about.
inline void CheckNamesFile(const KolvaneError& e, const std::string& file) {
    FUZZ_CHECK(std::string(e.what()).find(file) != std::string::npos);
}

// The measures of a row as (value, decimals written, is a direction).
struct Measure {
    double WeatherRecord::*field;
    int decimals; // 0: a wind direction, written as a sector code
};

inline constexpr Measure YEARLY_MEASURES[] = {
    {&WeatherRecord::precip, 1},      {&WeatherRecord::temp, 1},       {&WeatherRecord::tempMax, 1},
    {&WeatherRecord::tempMin, 1},     {&WeatherRecord::humidity, 1},   {&WeatherRecord::pressure, 1},
    {&WeatherRecord::windDir, 0},     {&WeatherRecord::windSpeed, 1},  {&WeatherRecord::gust, 1},
    {&WeatherRecord::gustDir, 0},     {&WeatherRecord::solar, 2},      {&WeatherRecord::dewPoint, 1},
    {&WeatherRecord::sunshine, 1},    {&WeatherRecord::dayLength, 1},  {&WeatherRecord::netRadiation, 2},
    {&WeatherRecord::evaporation, 1}, {&WeatherRecord::groundTemp, 1},
};

// `read` is what the yearly reader made of the line written for `written`: the same day (the century
// comes back from the short date), and every value back to the precision it was written with.
inline void CheckReadsBack(const WeatherRecord& written, const WeatherRecord& read) {
    FUZZ_CHECK(read.valid == -1 && read.hour == 12 && read.minute == 0 && read.second == 0);
    FUZZ_CHECK(read.year >= 1970 && read.year <= 2069);
    FUZZ_CHECK(((read.year - written.year) % 100 + 100) % 100 == 0);
    FUZZ_CHECK(read.month == written.month && read.day == written.day);
    for (const Measure& m : YEARLY_MEASURES) {
        const double w = written.*m.field;
        const double r = read.*m.field;
        if (m.decimals == 0) {
            const int sector = WindSector(w);
            FUZZ_CHECK(r == (sector < 0 ? MISSING : 22.5 * sector));
        } else if (w == MISSING) {
            FUZZ_CHECK(r == MISSING);
        } else {
            const double half = m.decimals == 1 ? 0.05 : 0.005;
            FUZZ_CHECK(std::fabs(r - w) <= half * (1 + 1e-9) + std::fabs(w) * 1e-14);
        }
    }
}

inline void CheckFinite(const WeatherRecord& r) {
    for (const Measure& m : YEARLY_MEASURES)
        FUZZ_CHECK(std::isfinite(r.*m.field));
}

} // namespace kolvane::fuzz
