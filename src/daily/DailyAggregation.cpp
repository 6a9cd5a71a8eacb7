#include "daily/DailyAggregation.h"

#include "daily/Completeness.h"
#include "daily/Evaporation.h"
#include "daily/Radiation.h"
#include "model/Columns.h"
#include "model/Messages.h"
#include "model/Wind.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>

namespace kolvane {
namespace {

struct DayAccumulator {
    int count = 0;
    std::bitset<25> hours; // 0 to 24: a day may hold a sub-hourly 0:30 as well as 24:00
    double precip = 0, temp = 0, humidity = 0, pressure = 0, windSpeed = 0, solar = 0, dewPoint = 0,
           groundTemp = 0;
    double tempMax = -9999.0;
    double tempMin = 9999.0;
    double gust = -9999.0;
    double gustDir = MISSING;
    std::size_t first = 0;
    bool hasFirst = false;

    void Add(const HourlyRecord& r, std::size_t index) {
        ++count;
        if (r.hour >= 0 && r.hour <= 24) hours.set(static_cast<std::size_t>(r.hour));
        if (!hasFirst) {
            first = index;
            hasFirst = true;
        }
        precip += r.precip;
        temp += r.temp;
        humidity += r.humidity;
        pressure += r.pressure;
        windSpeed += r.windSpeed;
        solar += r.solar;
        dewPoint += r.dewPoint;
        groundTemp += r.groundTemp;
        if (r.temp > tempMax) tempMax = r.temp;
        if (r.temp < tempMin) tempMin = r.temp;
        if (r.gust > gust) {
            gust = r.gust;
            gustDir = r.gustDir;
        }
    }
};

bool AllFinite(const DailyRecord& r) {
    for (const YearlyColumn& column : YEARLY_VALUE_COLUMNS)
        if (!std::isfinite(r.*column.field)) return false;
    return true;
}

DailyRecord CompleteDay(const HourlyTable& hourly, const DayAccumulator& acc, std::size_t last,
                        double latitude) {
    const HourlyRecord& lastRow = hourly[last];
    DailyRecord d{.year = lastRow.year, .month = lastRow.month, .day = lastRow.day};
    d.origin = DayOrigin::Hours;
    d.hours = std::min(static_cast<int32_t>(acc.hours.count()), HOURS_PER_DAY);
    d.precip = acc.precip;
    d.temp = acc.temp / acc.count;
    d.tempMax = acc.tempMax;
    d.tempMin = acc.tempMin;
    d.humidity = acc.humidity / acc.count;
    d.pressure = acc.pressure / acc.count;
    d.windDir = MostFrequentDirection(hourly, acc.first, last);
    d.windSpeed = acc.windSpeed / acc.count;
    d.gust = acc.gust;
    d.gustDir = acc.gustDir;
    d.solar = acc.solar;
    d.dewPoint = acc.dewPoint / acc.count;

    EvaporationResult evaporation = ComputeEvaporation(d.temp, d.humidity, d.windSpeed, d.solar);
    if (!evaporation.converged) {
        throw DayComputationError(d.year, d.month, d.day,
                                  evaporation.arithmeticFailed
                                      ? message::NotANumberCause()
                                      : message::NotConvergedCause(EVAPORATION_MAX_ITERATIONS));
    }
    d.evaporation = evaporation.evaporation;

    RadiationResult radiation = ComputeRadiation(d.month, d.day, latitude, d.temp, d.humidity, d.solar);
    d.sunshine = radiation.sunshine;
    d.dayLength = radiation.dayLength;
    d.netRadiation = radiation.netRadiation;
    d.groundTemp = acc.groundTemp / acc.count;

    if (!AllFinite(d)) {
        throw DayComputationError(d.year, d.month, d.day, message::NotANumberCause());
    }
    return d;
}

} // namespace

double MostFrequentDirection(const HourlyTable& hourly, std::size_t first, std::size_t last) {
    std::array<int, 16> counts{};
    for (std::size_t i = first; i <= last; ++i) {
        int sector = WindSector(hourly[i].windDir);
        if (sector >= 0) ++counts[sector];
    }
    int most = 0;
    for (int c : counts)
        most = std::max(most, c);
    if (most == 0) return MISSING;

    int best = -1;
    int bestScore = -1;
    for (int k = 0; k < 16; ++k) {
        if (counts[k] != most) continue;
        int score = counts[(k + 15) % 16] + counts[k] + counts[(k + 1) % 16];
        if (score > bestScore) {
            best = k;
            bestScore = score;
        }
    }
    return 22.5 * best;
}

void BuildDailyRecords(const HourlyTable& hourly, double latitude, DailyTable& daily) {
    DayAccumulator acc;
    bool haveDay = false;
    int32_t currentDay = 0;
    std::size_t lastIndex = 0;
    for (std::size_t i = 0; i < hourly.size(); ++i) {
        const HourlyRecord& row = hourly[i];
        if (haveDay && row.day != currentDay) {
            daily.push_back(CompleteDay(hourly, acc, lastIndex, latitude));
            acc = DayAccumulator{};
        }
        acc.Add(row, i);
        haveDay = true;
        currentDay = row.day;
        lastIndex = i;
    }
    if (haveDay) daily.push_back(CompleteDay(hourly, acc, lastIndex, latitude));
}

} // namespace kolvane
