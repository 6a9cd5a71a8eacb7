#pragma once

// Shared by the fuzz targets: a check that stops the fuzzer with a message, and the properties every
// table row must have whatever the input was.

#include "model/Columns.h"
#include "model/Error.h"
#include "model/Records.h"
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

// `read` is what the yearly reader made of the line written for `written`: the same day (the century
// comes back from the short date), and every value back to the precision it was written with.
inline void CheckReadsBack(const DailyRecord& written, const DailyRecord& read) {
    FUZZ_CHECK(read.year >= 1970 && read.year <= 2069);
    FUZZ_CHECK(((read.year - written.year) % 100 + 100) % 100 == 0);
    FUZZ_CHECK(read.month == written.month && read.day == written.day);
    for (const YearlyColumn& m : YEARLY_VALUE_COLUMNS) {
        const double w = written.*m.field;
        const double r = read.*m.field;
        if (m.format == ValueFormat::Direction) {
            const int sector = WindSector(w);
            FUZZ_CHECK(r == (sector < 0 ? MISSING : 22.5 * sector));
        } else if (w == MISSING) {
            FUZZ_CHECK(r == MISSING);
        } else {
            const double half = m.format == ValueFormat::OneDecimal ? 0.05 : 0.005;
            FUZZ_CHECK(std::fabs(r - w) <= half * (1 + 1e-9) + std::fabs(w) * 1e-14);
        }
    }
}

inline void CheckFinite(const DailyRecord& r) {
    for (const YearlyColumn& m : YEARLY_VALUE_COLUMNS)
        FUZZ_CHECK(std::isfinite(r.*m.field));
}

inline void CheckFinite(const HourlyRecord& r) {
    for (const MonthlyColumn& m : MONTHLY_VALUE_COLUMNS)
        FUZZ_CHECK(std::isfinite(r.*m.field));
}

} // namespace kolvane::fuzz
