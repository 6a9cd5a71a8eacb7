#include "checks/HourlyChecks.h"

#include "checks/Thresholds.h"
#include "model/Numbers.h"
#include "platform/PerThread.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <memory>
#include <span>
#include <tuple>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace kolvane {
namespace {

constexpr std::size_t COLUMNS = MONTHLY_VALUE_COLUMNS.size();

constexpr std::size_t COLUMN_OF_TEMP = MonthlyColumnOf(&HourlyRecord::temp),
                      COLUMN_OF_WIND_DIR = MonthlyColumnOf(&HourlyRecord::windDir),
                      COLUMN_OF_WIND_SPEED = MonthlyColumnOf(&HourlyRecord::windSpeed),
                      COLUMN_OF_GUST = MonthlyColumnOf(&HourlyRecord::gust),
                      COLUMN_OF_SOLAR = MonthlyColumnOf(&HourlyRecord::solar),
                      COLUMN_OF_DEW_POINT = MonthlyColumnOf(&HourlyRecord::dewPoint);

// Differences of values read with one or two decimals are not exact in binary: a step of exactly the
// tolerance must not pass it.
constexpr double SLACK = 1e-9;

double ValueOf(const HourlyRecord& row, std::size_t column) {
    return row.*MONTHLY_VALUE_COLUMNS[column].field;
}

int64_t DaysSince1970(int32_t year, int32_t month, int32_t day) {
    const std::chrono::sys_days date{std::chrono::year{year} /
                                     std::chrono::month{static_cast<unsigned>(month)} /
                                     std::chrono::day{static_cast<unsigned>(day)}};
    return date.time_since_epoch().count();
}

// A threshold or difference in the column's decimals.
std::string Amount(double value, std::size_t column, int decimals = -1) {
    if (decimals < 0) decimals = COLUMN_LIMITS[column].decimals;
    if (decimals == 0) return std::to_string(std::llround(value));
    return FormatFixed(value, decimals);
}

// A difference that exceeds the tolerance never reads as equal to it.
std::string Difference(double difference, double tolerance, std::size_t column) {
    std::string text = Amount(difference, column);
    if (ParseLeadingNumber(text).value <= tolerance) text = Amount(difference, column, 2);
    return text;
}

std::string WithUnit(std::string amount, std::size_t column) {
    return amount + " " + std::string(COLUMN_LIMITS[column].unit);
}

Finding FindingAt(const HourlyRecord& row, std::size_t column, CheckKind kind, std::string explanation) {
    return {row.year,
            row.month,
            row.day,
            row.hour,
            row.minute,
            column,
            ValueOf(row, column),
            kind,
            std::move(explanation)};
}

bool PersistsWhen(PersistWhen when, double value, bool dark) {
    switch (when) {
    case PersistWhen::Always:
        return true;
    case PersistWhen::BelowSaturation:
        return value < HUMIDITY_NEAR_SATURATION;
    case PersistWhen::NonZero:
        return value != 0;
    case PersistWhen::Daylight:
        return value > 0 && !dark;
    case PersistWhen::Never:
        break;
    }
    return false;
}

// A run's length: whole hours, or hours and minutes where the rows are closer.
std::string Duration(int64_t minutes) {
    std::string text = std::to_string(minutes / 60) + " 時間";
    if (minutes % 60 != 0) text += " " + std::to_string(minutes % 60) + " 分";
    return text;
}

// The sun is the same on a date every year: a station's years share the hours' radiation limits,
// worked out once per thread (stations run in threads of their own).
constexpr double DARK = -1;
using SunTable = std::array<std::array<double, 25>, 12 * 31>; // NaN: not worked out yet

SunTable& SunLimitsOf(double latitude, SunClock clock) {
    struct Cache {
        double latitude = NAN;
        SunClock clock{NAN, NAN};
        SunTable limits;
    };
    auto& cache = platform::PerThread<std::unique_ptr<Cache>>();
    if (!cache) cache = std::make_unique<Cache>();
    if (!(cache->latitude == latitude && cache->clock.behind == clock.behind &&
          cache->clock.ahead == clock.ahead)) {
        cache->latitude = latitude;
        cache->clock = clock;
        for (auto& day : cache->limits)
            day.fill(NAN);
    }
    return cache->limits;
}

// The values of a record, which are its doubles from `precip` on, all in a row.
static_assert(offsetof(HourlyRecord, groundTemp) - offsetof(HourlyRecord, precip) ==
              (COLUMNS - 1) * sizeof(double));

template <double ColumnLimits::*Limit> constexpr HourlyRecord LimitRow() {
    HourlyRecord row;
    for (std::size_t c = 0; c < COLUMNS; ++c)
        row.*MONTHLY_VALUE_COLUMNS[c].field = COLUMN_LIMITS[c].*Limit;
    return row;
}
constexpr HourlyRecord LOW_ROW = LimitRow<&ColumnLimits::low>(), HIGH_ROW = LimitRow<&ColumnLimits::high>();

// Whether a table may hold a value outside its range. Nearly every table has none, so each column's
// least and greatest are only gathered, two columns at a time; a suspect table has every value compared
// one by one. The reader gives no NaN: one would stand in for the least or greatest until the next row.
bool RangeSuspect(std::span<const HourlyRecord> rows) {
#ifdef __SSE2__
    // The last pair overlaps the one before it, so that every load holds two columns.
    constexpr std::array<std::size_t, 6> PAIRS = {0, 2, 4, 6, 8, COLUMNS - 2};
    const auto pair = [](const HourlyRecord& r, std::size_t first) {
        const char* values = reinterpret_cast<const char*>(&r) + offsetof(HourlyRecord, precip);
        return _mm_loadu_pd(reinterpret_cast<const double*>(values + sizeof(double) * first));
    };
    __m128d least[PAIRS.size()], greatest[PAIRS.size()];
    for (std::size_t k = 0; k < PAIRS.size(); ++k) {
        least[k] = pair(LOW_ROW, PAIRS[k]);
        greatest[k] = pair(HIGH_ROW, PAIRS[k]);
    }
    for (const HourlyRecord& row : rows)
        for (std::size_t k = 0; k < PAIRS.size(); ++k) {
            const __m128d values = pair(row, PAIRS[k]);
            least[k] = _mm_min_pd(least[k], values);
            greatest[k] = _mm_max_pd(greatest[k], values);
        }
    __m128d outside = _mm_setzero_pd();
    for (std::size_t k = 0; k < PAIRS.size(); ++k)
        outside = _mm_or_pd(outside, _mm_or_pd(_mm_cmplt_pd(least[k], pair(LOW_ROW, PAIRS[k])),
                                               _mm_cmpgt_pd(greatest[k], pair(HIGH_ROW, PAIRS[k]))));
    return _mm_movemask_pd(outside) != 0;
#else
    bool outside = false;
    for (const HourlyRecord& row : rows)
        for (std::size_t c = 0; c < COLUMNS; ++c)
            outside |= ValueOf(row, c) < COLUMN_LIMITS[c].low || ValueOf(row, c) > COLUMN_LIMITS[c].high;
    return outside;
#endif
}

} // namespace

std::string FormatMeasured(double value, std::size_t column) {
    const int decimals = COLUMN_LIMITS[column].decimals;
    if (decimals > 0 || (value == std::trunc(value) && std::fabs(value) < 1e15)) {
        std::string text = Amount(value, column);
        if (ParseLeadingNumber(text).value == value) return text;
    }
    char buffer[32];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

HourlyChecks::HourlyChecks(double latitude, double longitude)
    : latitude_(latitude), sunClock_(SunClockAt(longitude)) {}

void HourlyChecks::Add(const HourlyTable& rows) {
    AddRows(rows);
}

void HourlyChecks::AddRows(std::span<const HourlyRecord> rows) {
    sunLimits_ = &SunLimitsOf(latitude_, sunClock_);
    const bool rangeSuspect = RangeSuspect(rows);
    Cursor& c = s_.cursor;
    c.stampDay = 0; // the day's sun limits are looked up again in this thread's table
    for (const HourlyRecord& row : rows)
        AddRow(row, c, rangeSuspect);
    KeepRows();
}

// The rows a spike test still needs, out of a table that may be gone when the next one comes.
void HourlyChecks::KeepRows() {
    Cursor& c = s_.cursor;
    if (!c.current) return;
    const HourlyRecord before = c.before ? *c.before : HourlyRecord{}, current = *c.current;
    s_.kept = {before, current};
    c.before = c.before ? &s_.kept[0] : nullptr;
    c.current = &s_.kept[1];
}

inline int64_t HourlyChecks::StampOf(const HourlyRecord& row, Cursor& c) {
    if (row.day != c.stampDay || row.month != c.stampMonth || row.year != c.stampYear) [[unlikely]] {
        c.stampYear = row.year;
        c.stampMonth = row.month;
        c.stampDay = row.day;
        c.stampDay0 = DaysSince1970(row.year, row.month, row.day) * 1440;
        const bool known = row.month >= 1 && row.month <= 12 && row.day >= 1 && row.day <= 31;
        c.sunDay =
            known ? &(*sunLimits_)[static_cast<std::size_t>((row.month - 1) * 31 + row.day - 1)] : nullptr;
    }
    return c.stampDay0 + row.hour * 60 + row.minute;
}

// Inlined into the table's loop: the call's saved registers cost as much as a column's checks.
[[gnu::always_inline]] inline void HourlyChecks::AddRow(const HourlyRecord& row, Cursor& c,
                                                        bool rangeSuspect) {
    const int64_t stamp = StampOf(row, c);
    double sunLimit = 0;
    bool sunSuspect = false; // what the relations look for in radiation
    if (row.solar > 0) {
        sunLimit = SunLimit(row, c);
        sunSuspect = row.solar > (sunLimit == DARK ? SUN.nightRadiation : sunLimit) + SLACK;
    }
    const bool dark = sunLimit == DARK;
    if (rangeSuspect) [[unlikely]]
        for (std::size_t column = 0; column < COLUMNS; ++column)
            ReportRange(row, column);
    // A run of equal values always ends at the row before, so one gap serves every column.
    const int64_t gap = c.current ? stamp - c.currentStamp : 0;
    const bool follows = gap > 0 && gap <= 60;
    const HourlyRecord& previous = c.current ? *c.current : row; // with none, nothing follows
    [&]<std::size_t... C>(std::index_sequence<C...>) __attribute__((always_inline)) {
        (CheckColumn<C>(row, previous, stamp, gap, follows, dark, c), ...);
    }
    (std::make_index_sequence<COLUMNS>{});
    // What the relations look for, tested without a call first: nearly every row has none of it.
    if ((row.dewPoint > row.temp) | (row.gust < row.windSpeed) | (row.windSpeed == 0) | sunSuspect)
        [[unlikely]]
        CheckRelations(row, sunLimit);
    if (c.current) {
        c.subHourly |= gap > 0 && gap < 60;
        c.before = c.current;
    }
    c.beforeFollows = follows;
    c.current = &row;
    c.currentStamp = stamp;
    c.currentDark = dark;
}

std::vector<Finding> HourlyChecks::Finish() {
    for (std::size_t c = 0; c < COLUMNS; ++c)
        ReportRun(c, s_.runs[c], s_.cursor.runLengths[c]);
    if (s_.calmCodeSeen)
        s_.findings.insert(s_.findings.end(), std::make_move_iterator(s_.directionsWhileCalm.begin()),
                           std::make_move_iterator(s_.directionsWhileCalm.end()));
    std::vector<Finding> found = std::move(s_.findings);
    std::stable_sort(found.begin(), found.end(), [](const Finding& a, const Finding& b) {
        return std::tie(a.year, a.month, a.day, a.hour, a.minute, a.column, a.kind) <
               std::tie(b.year, b.month, b.day, b.hour, b.minute, b.column, b.kind);
    });
    s_ = State{};
    return found;
}

void HourlyChecks::Report(const HourlyRecord& row, std::size_t column, CheckKind kind,
                          std::string explanation) {
    if (keptYear_ == 0 || row.year == keptYear_)
        s_.findings.push_back(FindingAt(row, column, kind, std::move(explanation)));
}

// One column of a row: the spike of the row before, and the run of equal values the row extends or
// ends. A run of one row is not kept: it is the row before, when its value may persist. Unrolled per
// column at compile time, so a column without a check costs nothing.
template <std::size_t C>
[[gnu::always_inline]] inline void
HourlyChecks::CheckColumn(const HourlyRecord& row, const HourlyRecord& previous, int64_t stamp, int64_t gap,
                          bool follows, bool dark, Cursor& c) {
    constexpr ColumnLimits limits = COLUMN_LIMITS[C];
    constexpr auto field = MONTHLY_VALUE_COLUMNS[C].field;
    static_assert(limits.persistHours != 1, "a run of one row is not kept");
    const double v = row.*field, before = previous.*field;
    if constexpr (limits.spike > 0) {
        // Out from the row before that and back to this one; the way back first, nearly always small.
        constexpr double tolerance = limits.spike + SLACK;
        const double back = v - before;
        if (std::fabs(back) > tolerance && follows && c.beforeFollows) [[unlikely]] {
            const double out = before - c.before->*field;
            if (std::fabs(out) > tolerance && (out > 0) != (back > 0))
                ReportSpike(C, *c.before, previous, row);
        }
    }
    if constexpr (limits.persistHours > 0) {
        // The run's last row is the row before, so the value it holds is the row before's.
        const bool excluded = limits.persistWhen == PersistWhen::Daylight && dark;
        int32_t& length = c.runLengths[C];
        if (length != 0) {
            const Run& run = s_.runs[C];
            if (v == before && gap == run.spacing && !excluded) { // a run's spacing is a gap that follows
                ++length;
                return;
            }
            if (int64_t{run.spacing} * length >= limits.persistHours * 60) [[unlikely]]
                ReportRun(C, run, length);
            length = 0;
        } else if (v == before) [[unlikely]] {
            if (follows && !excluded && PersistsWhen(limits.persistWhen, before, c.currentDark)) {
                s_.runs[C] = {before, stamp - gap, static_cast<int32_t>(gap)};
                length = 2;
            }
        }
    }
}

void HourlyChecks::ReportRange(const HourlyRecord& row, std::size_t column) {
    const ColumnLimits& limits = COLUMN_LIMITS[column];
    if (!(ValueOf(row, column) < limits.low || ValueOf(row, column) > limits.high)) return;
    if (ValueOf(row, column) < limits.low)
        Report(row, column, CheckKind::Range,
               std::string(limits.lowReason) + " " + WithUnit(Amount(limits.low, column), column) + " 未満");
    else
        Report(row, column, CheckKind::Range,
               std::string(limits.highReason) + " " + WithUnit(Amount(limits.high, column), column) +
                   " を超える");
}

void HourlyChecks::CheckRelations(const HourlyRecord& row, double sunLimit) {
    if (row.dewPoint > row.temp)
        Report(row, COLUMN_OF_DEW_POINT, CheckKind::Consistency,
               "気温 " + WithUnit(FormatMeasured(row.temp, COLUMN_OF_TEMP), COLUMN_OF_TEMP) + " を超える");
    if (row.gust < row.windSpeed)
        Report(row, COLUMN_OF_GUST, CheckKind::Consistency,
               "平均風速 " +
                   WithUnit(FormatMeasured(row.windSpeed, COLUMN_OF_WIND_SPEED), COLUMN_OF_WIND_SPEED) +
                   " 未満");
    if (row.windSpeed == 0) {
        if (row.windDir == CONSISTENCY.calmDirection) {
            s_.calmCodeSeen = true;
        } else if (keptYear_ == 0 || row.year == keptYear_) {
            s_.directionsWhileCalm.push_back(
                FindingAt(row, COLUMN_OF_WIND_DIR, CheckKind::Consistency,
                          "平均風速 0.0 m/s で風向あり（静穏は " +
                              Amount(CONSISTENCY.calmDirection, COLUMN_OF_WIND_DIR) + "）"));
        }
    }
    if (sunLimit == DARK) {
        if (row.solar > SUN.nightRadiation + SLACK)
            Report(row, COLUMN_OF_SOLAR, CheckKind::Consistency,
                   "太陽が地平線の下にある時間に " +
                       WithUnit(Amount(SUN.nightRadiation, COLUMN_OF_SOLAR), COLUMN_OF_SOLAR) + " を超える");
    } else if (row.solar > sunLimit + SLACK) {
        Report(row, COLUMN_OF_SOLAR, CheckKind::Range,
               "大気上端の日射量 " + WithUnit(Amount(sunLimit, COLUMN_OF_SOLAR), COLUMN_OF_SOLAR) +
                   " を超える");
    }
}

// The hour's limit at the top of the atmosphere in the file's hundredths, rounded up (a value that reads
// as the limit passes), or DARK.
// Whole hours are worked out once.
inline double HourlyChecks::SunLimit(const HourlyRecord& row, const Cursor& c) {
    if (c.sunDay && row.minute == 0 && row.second == 0 && row.hour >= 1 && row.hour <= 24) {
        double& known = (*c.sunDay)[static_cast<std::size_t>(row.hour)];
        if (std::isnan(known)) known = WorkOutSunLimit(row);
        return known;
    }
    return WorkOutSunLimit(row);
}

double HourlyChecks::WorkOutSunLimit(const HourlyRecord& row) {
    if (row.month != s_.sunMonth || row.day != s_.sunDay) {
        s_.sun = SunHours(ComputeSolarDay(row.month, row.day, latitude_), sunClock_);
        s_.sunMonth = row.month;
        s_.sunDay = row.day;
    }
    const double endHour = row.hour + row.minute / 60.0 + row.second / 3600.0;
    return s_.sun.DownAllHour(endHour) ? DARK
                                       : std::ceil(s_.sun.TopOfAtmosphereMax(endHour) * 100 - SLACK) / 100;
}

// `current` against the rows either side, both at most an hour away.
void HourlyChecks::ReportSpike(std::size_t column, const HourlyRecord& before, const HourlyRecord& current,
                               const HourlyRecord& next) {
    const double tolerance = COLUMN_LIMITS[column].spike;
    // Either side must agree, or it is a change of level that went on.
    if (std::fabs(ValueOf(next, column) - ValueOf(before, column)) > tolerance / 2 + SLACK) return;
    const double out = ValueOf(current, column) - ValueOf(before, column);
    const double back = ValueOf(next, column) - ValueOf(current, column);
    Report(current, column, CheckKind::Step,
           "前後の時間との差 " + Difference(std::fabs(out), tolerance, column) + "・" +
               WithUnit(Difference(std::fabs(back), tolerance, column), column) + " > " +
               WithUnit(Amount(tolerance, column), column));
}

void HourlyChecks::ReportRun(std::size_t column, const Run& run, int32_t length) {
    const int32_t hours = COLUMN_LIMITS[column].persistHours;
    const int64_t lasting = int64_t{run.spacing} * length; // minutes
    if (hours > 0 && length > 0 && lasting >= hours * 60) {
        const std::string explanation =
            "同じ値が " + Duration(lasting) + " 続く（" + std::to_string(hours) + " 時間以上）";
        for (int32_t k = 0; k < length; ++k) {
            // Midnight is hour 24 of the day before, as the reader stamps it.
            int64_t stamp = run.first + int64_t{run.spacing} * k;
            int64_t days = stamp / 1440, minutes = stamp % 1440;
            if (minutes < 0) {
                minutes += 1440;
                --days;
            }
            if (minutes == 0) {
                minutes = 1440;
                --days;
            }
            const std::chrono::year_month_day date{std::chrono::sys_days{std::chrono::days{days}}};
            if (keptYear_ != 0 && static_cast<int32_t>(date.year()) != keptYear_) continue;
            s_.findings.push_back(
                {static_cast<int32_t>(date.year()), static_cast<int32_t>(static_cast<unsigned>(date.month())),
                 static_cast<int32_t>(static_cast<unsigned>(date.day())), static_cast<int32_t>(minutes / 60),
                 static_cast<int32_t>(minutes % 60), column, run.value, CheckKind::Persistence, explanation});
        }
    }
}

std::vector<Finding> CheckHours(const HourlyTable& rows, double latitude, double longitude) {
    HourlyChecks checks(latitude, longitude);
    checks.Add(rows);
    return checks.Finish();
}

} // namespace kolvane
