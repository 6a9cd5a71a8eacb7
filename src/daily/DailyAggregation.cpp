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
#include <utility>

namespace kolvane {
namespace {

template <double HourlyRecord::*Source>
double MostFrequentSector(const HourlyTable& hourly, std::size_t first, std::size_t last) {
    std::array<int, 16> counts{};
    for (std::size_t i = first; i <= last; ++i) {
        int sector = WindSector(hourly[i].*Source);
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

constexpr std::size_t COLUMNS = YEARLY_VALUE_COLUMNS.size();
constexpr auto EACH_COLUMN = std::make_index_sequence<COLUMNS>{};

constexpr bool Runs(Aggregation a) {
    return a != Aggregation::Derived && a != Aggregation::MostFrequentDirection;
}

// Each column's place among those with a running value, and among those with a running peak, so the
// accumulator holds no unused slot (it is reset every day).
constexpr auto SlotsOf(bool peaks) {
    std::array<std::size_t, COLUMNS + 1> slot{}; // the last entry is the count
    std::size_t n = 0;
    for (std::size_t i = 0; i < COLUMNS; ++i) {
        const Aggregation a = YEARLY_VALUE_COLUMNS[i].aggregation;
        slot[i] = n;
        n += peaks ? a == Aggregation::DirectionAtMax : Runs(a);
    }
    slot[COLUMNS] = n;
    return slot;
}
constexpr auto SLOT = SlotsOf(false);
constexpr auto PEAK_SLOT = SlotsOf(true);

constexpr std::array<double, SLOT[COLUMNS]> StartValues() {
    std::array<double, SLOT[COLUMNS]> start{};
    for (std::size_t i = 0; i < COLUMNS; ++i) {
        const Aggregation a = YEARLY_VALUE_COLUMNS[i].aggregation;
        if (!Runs(a)) continue;
        start[SLOT[i]] = a == Aggregation::Max              ? -9999.0
                         : a == Aggregation::Min            ? 9999.0
                         : a == Aggregation::DirectionAtMax ? MISSING
                                                            : 0;
    }
    return start;
}

// The running values of one day. The columns are unrolled at compile time, so each hour costs what
// hand-written code for these columns would.
struct DayAccumulator {
    int count = 0;
    std::bitset<25> hours; // 0 to 24: a day may hold a sub-hourly 0:30 as well as 24:00
    std::array<double, SLOT[COLUMNS]> value = StartValues(); // a sum, a running extreme, or a direction
    std::array<double, PEAK_SLOT[COLUMNS]> peak = [] { // the highest `along`, for a direction at a maximum
        std::array<double, PEAK_SLOT[COLUMNS]> start{};
        start.fill(-9999.0);
        return start;
    }();
    std::size_t first = 0;
    bool hasFirst = false;

    template <std::size_t I> void AddColumn(const HourlyRecord& r) {
        constexpr YearlyColumn c = YEARLY_VALUE_COLUMNS[I];
        constexpr std::size_t S = SLOT[I];
        if constexpr (c.aggregation == Aggregation::Sum || c.aggregation == Aggregation::Mean) {
            value[S] += r.*c.source;
        } else if constexpr (c.aggregation == Aggregation::Max) {
            if (r.*c.source > value[S]) value[S] = r.*c.source;
        } else if constexpr (c.aggregation == Aggregation::Min) {
            if (r.*c.source < value[S]) value[S] = r.*c.source;
        } else if constexpr (c.aggregation == Aggregation::DirectionAtMax) {
            if (r.*c.along > peak[PEAK_SLOT[I]]) {
                peak[PEAK_SLOT[I]] = r.*c.along;
                value[S] = r.*c.source;
            }
        }
    }

    template <std::size_t I>
    void FinishColumn(DailyRecord& d, const HourlyTable& hourly, std::size_t last) const {
        constexpr YearlyColumn c = YEARLY_VALUE_COLUMNS[I];
        if constexpr (c.aggregation == Aggregation::Mean)
            d.*c.field = value[SLOT[I]] / count;
        else if constexpr (c.aggregation == Aggregation::MostFrequentDirection)
            d.*c.field = MostFrequentSector<c.source>(hourly, first, last);
        else if constexpr (c.aggregation != Aggregation::Derived)
            d.*c.field = value[SLOT[I]];
    }

    void Add(const HourlyRecord& r, std::size_t index) {
        ++count;
        if (r.hour >= 0 && r.hour <= 24) hours.set(static_cast<std::size_t>(r.hour));
        if (!hasFirst) {
            first = index;
            hasFirst = true;
        }
        [&]<std::size_t... I>(std::index_sequence<I...>) {
            (AddColumn<I>(r), ...);
        }
        (EACH_COLUMN);
    }

    void Finish(DailyRecord& d, const HourlyTable& hourly, std::size_t last) const {
        [&]<std::size_t... I>(std::index_sequence<I...>) {
            (FinishColumn<I>(d, hourly, last), ...);
        }
        (EACH_COLUMN);
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
    acc.Finish(d, hourly, last);

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

    if (!AllFinite(d)) {
        throw DayComputationError(d.year, d.month, d.day, message::NotANumberCause());
    }
    return d;
}

} // namespace

double MostFrequentDirection(const HourlyTable& hourly, std::size_t first, std::size_t last) {
    return MostFrequentSector<&HourlyRecord::windDir>(hourly, first, last);
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
