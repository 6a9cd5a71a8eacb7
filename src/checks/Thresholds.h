#pragma once

// Every threshold of the plausibility checks, with where it comes from. The README lists the same.

#include "model/Columns.h"

#include <array>
#include <limits>
#include <string_view>

namespace kolvane {

inline constexpr double NO_LIMIT = std::numeric_limits<double>::infinity();

// When a run of equal values counts as stuck.
enum class PersistWhen {
    Never,
    Always,          // the quantity always varies
    BelowSaturation, // humidity sits near saturation in cloud, fog and rain for days
    NonZero,         // no rain and calm are long runs of zero
    Daylight,        // radiation above zero while the sun is up; dark hours end a run
};

// Capacitive humidity sensors scatter and stick at 95-100 % near saturation (the WMO AWS guidelines accept
// readings up to 104 % there); a run at or above this is weather, not a stuck sensor.
inline constexpr double HUMIDITY_NEAR_SATURATION = 95;

struct ColumnLimits {
    std::string_view name; // the monthly file's column
    std::string_view unit;
    int decimals; // as monthly files write the value
    // Range: a value below `low` or above `high` is suspect; the reason names the limit.
    double low;
    std::string_view lowReason;
    double high;
    std::string_view highReason;
    double spike;     // a value further than this from the rows either side, which agree; 0: not checked
    int persistHours; // equal values in a row that are suspect; 0: not checked
    PersistWhen persistWhen;
};

// One row per monthly column, in the order of MONTHLY_VALUE_COLUMNS.
//  - Impossible values ("下限", "上限"): the physical range, as in the WMO guidelines on quality control of
//    data from automatic weather stations (Zahumenský 2004: humidity 0-100 %, direction 0-360, no negative
//    amount or speed). Radiation may read a little below zero at night: the BSRN physically possible
//    limits (Long and Dutton 2002) allow global radiation down to -4 W/m2, -0.01 MJ/m2 in an hour.
//  - "全国記録": beyond the JMA national records: 153 mm in one hour (Katori 1999, Nagauradake 1982),
//    41.8 °C (Isesaki 2025; 41.1 °C stood from 2018 to 2025), -41.0 °C (Asahikawa 1902), mean wind 69.8 m/s
//    (Muroto-misaki 1965), gust 91.0 m/s (Mt Fuji 1966).
//  - Station pressure: 600 hPa is below what the highest JMA station (Mt Fuji, 3,775 m) reads, 1060 hPa
//    above any sea-level pressure observed in Japan; the WMO station-level range 500-1100 hPa, narrowed.
//  - Dew point and soil temperature: the WMO guidelines' plausible ranges (-80 to 35 °C, -50 to 50 °C).
//  - Spike: the shape of the spike check of HadISD (Dunn et al. 2012): a value that leaves its neighbours
//    and comes back, the rows either side within half the tolerance of each other. A front or a sea
//    breeze changes the level and stays; a faulty reading returns. Tolerances start from the WMO time
//    consistency limits for consecutive hourly reports (WMO-No. 305, 4 °C, 4 °C, 3 hPa); on real,
//    quality-controlled hourly data a shower's outflow or a cloud on a mountain station still goes out
//    and back by 4-5 °C, and dew point in dry air by 5-6 °C, so temperature takes 5 °C and dew point 6 °C.
//    Soil temperature, 3 °C, is ours: a shallow soil layer warms at most about 2 °C an hour in full sun.
//  - Persistence: 12 equal hourly values, as agricultural plausibility checks flag 12 equal temperatures or
//    12 equal non-zero rain amounts in a row (the repetition test of dataresqc and the persistence test of
//    mesonet QC look for the same; HadISD's streak check asks for more at coarse resolution); applied
//    alike to dew point, pressure, humidity below HUMIDITY_NEAR_SATURATION and wind speed above calm.
//    Soil temperature moves slowly, so 24. Radiation in daylight changes with the sun's height every
//    hour, so 6 daylight hours of one value are a stuck sensor; night offsets are left to the night check.
//  - Radiation has no fixed upper limit: SUN below gives the top of the atmosphere for the hour.
inline constexpr std::array<ColumnLimits, MONTHLY_VALUE_COLUMNS.size()> COLUMN_LIMITS{{
    {"降水量", "mm", 1, 0.0, "下限", 153.0, "1時間降水量の全国記録", 0, 12, PersistWhen::NonZero},
    {"気温", "℃", 1, -41.0, "全国記録", 41.8, "全国記録", 5.0, 12, PersistWhen::Always},
    {"湿度", "%", 0, 0.0, "下限", 100.0, "上限", 0, 12, PersistWhen::BelowSaturation},
    {"気圧", "hPa", 1, 600.0, "観測点気圧の下限", 1060.0, "観測点気圧の上限", 3.0, 12, PersistWhen::Always},
    {"風向", "度", 0, 0.0, "下限", 360.0, "上限", 0, 0, PersistWhen::Never},
    {"平均風速", "m/s", 1, 0.0, "下限", 69.8, "全国記録", 0, 12, PersistWhen::NonZero},
    {"最大瞬間風速", "m/s", 1, 0.0, "下限", 91.0, "全国記録", 0, 0, PersistWhen::Never},
    {"最大時風向", "度", 0, 0.0, "下限", 360.0, "上限", 0, 0, PersistWhen::Never},
    {"日射量", "MJ/㎡", 2, -0.01, "下限", NO_LIMIT, "", 0, 6, PersistWhen::Daylight},
    {"露点温度", "℃", 1, -80.0, "下限", 35.0, "上限", 6.0, 12, PersistWhen::Always},
    {"地中温度", "℃", 1, -50.0, "下限", 50.0, "上限", 3.0, 24, PersistWhen::Always},
}};

// A new monthly column needs its row here, in the same place (a missing row would be all zeros).
static_assert([] {
    for (std::size_t i = 0; i < COLUMN_LIMITS.size(); ++i)
        if (COLUMN_LIMITS[i].name != MONTHLY_VALUE_COLUMNS[i].name) return false;
    return true;
}());

// The sun, for radiation above the top of the atmosphere and radiation at night. Files carry Japan
// standard time (135 E). Where the station's longitude is not known the sun's clock time is allowed every
// offset it has anywhere in Japan: from 123 E (Yonaguni) to 154 E (Minami-Torishima), with the equation
// of time (-14 to +16 minutes), solar time runs 1.1 h behind to 1.6 h ahead of the clock. At a known
// longitude only the equation of time is left open, rounded out to a quarter and three tenths of an hour.
// Twilight lights a sensor a little before sunrise and after sunset: half an hour more on either side.
struct SunLimits {
    double solarTimeBehind = 1.1;       // hours
    double solarTimeAhead = 1.6;        // hours
    double equationOfTimeBehind = 0.25; // hours
    double equationOfTimeAhead = 0.3;   // hours
    double twilight = 0.5;              // hours
    double solarConstant = 1365;        // W/m2, as the derived values use it
    // The derived values' declination, from months of 30.36 days, is up to about a degree off.
    double topOfAtmosphereFactor = 1.01;
    // MJ/m2 in an hour when the sun is down; more is suspect. Pyranometers show small offsets at night
    // (thermal offset, a warm dome): 0.02 MJ/m2 is 6 W/m2, the size BSRN's limits and real data show.
    double nightRadiation = 0.02;
};
inline constexpr SunLimits SUN{};

// Consistency within the hour: the physical relations (WMO internal-consistency checks; the gust check of
// mesonet QC). Values are compared as read, without tolerance: rounding both to the same decimals keeps
// their order.
struct ConsistencyLimits {
    double calmDirection = 0; // the direction monthly files give a calm hour (north is 360)
};
inline constexpr ConsistencyLimits CONSISTENCY{};

} // namespace kolvane
