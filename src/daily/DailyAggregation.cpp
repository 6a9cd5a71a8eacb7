#include "daily/DailyAggregation.h"

#include "daily/Evaporation.h"
#include "daily/Radiation.h"
#include "model/DateText.h"
#include "model/Numbers.h"
#include "model/Wind.h"

#include <array>
#include <cmath>

namespace kolvane {
namespace {

struct DayAccumulator {
    int count = 0;
    double precip = 0, temp = 0, humidity = 0, pressure = 0, windSpeed = 0, solar = 0, dewPoint = 0,
           groundTemp = 0;
    double tempMax = -9999.0;
    double tempMin = 9999.0;
    double gust = -9999.0;
    double gustDir = MISSING;
    std::size_t first = 0;
    bool hasFirst = false;

    void Add(const WeatherRecord& r, std::size_t index) {
        ++count;
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

bool AllFinite(const WeatherRecord& r) {
    for (double v : {r.temp, r.tempMax, r.tempMin, r.humidity, r.dewPoint, r.precip, r.pressure, r.solar,
                     r.windSpeed, r.windDir, r.gust, r.gustDir, r.groundTemp, r.sunshine, r.dayLength,
                     r.netRadiation, r.evaporation}) {
        if (!std::isfinite(v)) return false;
    }
    return true;
}

WeatherRecord CompleteDay(const WeatherTable& hourly, const DayAccumulator& acc, std::size_t last,
                          double latitude) {
    const WeatherRecord& lastRow = hourly[last];
    WeatherRecord d;
    d.valid = -1;
    SetDateParts(d, {lastRow.year, lastRow.month, lastRow.day, 12, 0, 0});
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
        throw DayComputationError(
            d.year, d.month, d.day,
            evaporation.arithmeticFailed
                ? "計算結果が数値になりません。平均湿度・平均風速などの値を確認して下さい"
                : "水面蒸発の反復計算が" + std::to_string(EVAPORATION_MAX_ITERATIONS) + "回で収束しません");
    }
    d.evaporation = evaporation.evaporation;

    RadiationResult radiation = ComputeRadiation(d.month, d.day, latitude, d.temp, d.humidity, d.solar);
    d.sunshine = radiation.sunshine;
    d.dayLength = radiation.dayLength;
    d.netRadiation = radiation.netRadiation;
    d.groundTemp = acc.groundTemp / acc.count;

    if (!AllFinite(d)) {
        throw DayComputationError(d.year, d.month, d.day,
                                  "計算結果が数値になりません。平均湿度・平均風速などの値を確認して下さい");
    }
    return d;
}

} // namespace

double LatitudeFromTexts(std::string_view degrees, std::string_view minutes, std::string_view seconds) {
    return LeadingNumberOrZero(degrees) + LeadingNumberOrZero(minutes) / 60 +
           LeadingNumberOrZero(seconds) / 3600;
}

double MostFrequentDirection(const WeatherTable& hourly, std::size_t first, std::size_t last) {
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

void BuildDailyRecords(const WeatherTable& hourly, double latitude, WeatherTable& daily) {
    DayAccumulator acc;
    bool haveDay = false;
    int32_t currentDay = 0;
    std::size_t lastIndex = 0;
    for (std::size_t i = 0; i < hourly.size(); ++i) {
        const WeatherRecord& row = hourly[i];
        if (row.valid != -1) continue;
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
