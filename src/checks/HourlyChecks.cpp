#include "checks/HourlyChecks.h"

#include "checks/Thresholds.h"
#include "model/Numbers.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <tuple>

namespace kolvane {
namespace {

constexpr std::size_t COLUMNS = MONTHLY_VALUE_COLUMNS.size();
constexpr std::size_t COLUMN_OF_TEMP = 1, COLUMN_OF_WIND_DIR = 4, COLUMN_OF_WIND_SPEED = 5,
                      COLUMN_OF_GUST = 6, COLUMN_OF_SOLAR = 8, COLUMN_OF_DEW_POINT = 9;
static_assert(MONTHLY_VALUE_COLUMNS[COLUMN_OF_TEMP].field == &HourlyRecord::temp &&
              MONTHLY_VALUE_COLUMNS[COLUMN_OF_WIND_DIR].field == &HourlyRecord::windDir &&
              MONTHLY_VALUE_COLUMNS[COLUMN_OF_WIND_SPEED].field == &HourlyRecord::windSpeed &&
              MONTHLY_VALUE_COLUMNS[COLUMN_OF_GUST].field == &HourlyRecord::gust &&
              MONTHLY_VALUE_COLUMNS[COLUMN_OF_SOLAR].field == &HourlyRecord::solar &&
              MONTHLY_VALUE_COLUMNS[COLUMN_OF_DEW_POINT].field == &HourlyRecord::dewPoint);

// Differences of values read with one or two decimals are not exact in binary: a step of exactly the
// tolerance must not pass it.
constexpr double SLACK = 1e-9;

// The program's own pi, as the day length uses it.
constexpr double PI = 3.1416;

double ValueOf(const HourlyRecord& row, std::size_t column) {
    return row.*MONTHLY_VALUE_COLUMNS[column].field;
}

int64_t MinutesSince1970(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute) {
    const std::chrono::sys_days date{std::chrono::year{year} /
                                     std::chrono::month{static_cast<unsigned>(month)} /
                                     std::chrono::day{static_cast<unsigned>(day)}};
    return static_cast<int64_t>(date.time_since_epoch().count()) * 1440 + hour * 60 + minute;
}

int64_t StampOf(const HourlyRecord& row) {
    return MinutesSince1970(row.year, row.month, row.day, row.hour, row.minute);
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

bool PersistsWhen(PersistWhen when, double value) {
    switch (when) {
    case PersistWhen::Always:
        return true;
    case PersistWhen::BelowHundred:
        return value < 100;
    case PersistWhen::NonZero:
        return value != 0;
    case PersistWhen::Never:
        break;
    }
    return false;
}

// Radiation at the top of the atmosphere over solar time t1..t2 (hours), MJ/m2 on a horizontal surface.
double TopOfAtmosphere(const SolarDay& sun, double noon, double t1, double t2) {
    const double half = sun.sunsetHourAngle;
    const double w1 = std::clamp((t1 - noon) * PI / 12, -half, half);
    const double w2 = std::clamp((t2 - noon) * PI / 12, -half, half);
    if (!(w2 > w1)) return 0;
    return SUN.solarConstant * SUN.topOfAtmosphereFactor * sun.eccentricity * (12 * 3600 / PI) / 1e6 *
           (std::sin(sun.latitude) * std::sin(sun.declination) * (w2 - w1) +
            std::cos(sun.latitude) * std::cos(sun.declination) * (std::sin(w2) - std::sin(w1)));
}

} // namespace

std::string_view CheckKindName(CheckKind kind) {
    switch (kind) {
    case CheckKind::Range:
        return "範囲";
    case CheckKind::Step:
        return "急変";
    case CheckKind::Persistence:
        return "持続";
    case CheckKind::Consistency:
        return "整合";
    }
    return {};
}

double TopOfAtmosphereMax(const SolarDay& sun, double endHour) {
    // The hour centred nearest noon gets the most; its centre may lie anywhere the offsets allow.
    const double lowest = endHour - 0.5 - SUN.solarTimeBehind - SUN.twilight;
    const double highest = endHour - 0.5 + SUN.solarTimeAhead + SUN.twilight;
    double most = 0;
    for (double noon : {-12.0, 12.0, 36.0}) {
        const double centre = std::clamp(noon, lowest, highest);
        most = std::max(most, TopOfAtmosphere(sun, noon, centre - 0.5, centre + 0.5));
    }
    return most;
}

bool SunDownAllHour(const SolarDay& sun, double endHour) {
    const double halfDay = sun.sunsetHourAngle * 12 / PI;
    if (!std::isfinite(halfDay)) return false; // no sunset worked out: judge nothing
    const double from = endHour - 1 - SUN.solarTimeBehind - SUN.twilight;
    const double to = endHour + SUN.solarTimeAhead + SUN.twilight;
    for (double noon : {-12.0, 12.0, 36.0})
        if (from < noon + halfDay && to > noon - halfDay) return false;
    return true;
}

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

HourlyChecks::HourlyChecks(double latitude) : latitude_(latitude) {}

void HourlyChecks::Add(const HourlyTable& rows) {
    for (const HourlyRecord& row : rows)
        Add(row);
}

void HourlyChecks::Add(const HourlyRecord& row) {
    const int64_t stamp = StampOf(row);
    CheckRow(row);
    ExtendRuns(row, stamp);
    bool follows = false;
    if (haveCurrent_) {
        follows = stamp == currentStamp_ + 60;
        CheckSteps(follows ? &row : nullptr);
        before_ = current_;
    }
    beforeFollows_ = follows;
    current_ = row;
    currentStamp_ = stamp;
    haveCurrent_ = true;
}

std::vector<Finding> HourlyChecks::Finish() {
    if (haveCurrent_) CheckSteps(nullptr);
    for (std::size_t c = 0; c < COLUMNS; ++c)
        CloseRun(c);
    if (calmCodeSeen_)
        findings_.insert(findings_.end(), std::make_move_iterator(directionsWhileCalm_.begin()),
                         std::make_move_iterator(directionsWhileCalm_.end()));
    std::vector<Finding> found = std::move(findings_);
    std::stable_sort(found.begin(), found.end(), [](const Finding& a, const Finding& b) {
        return std::tie(a.year, a.month, a.day, a.hour, a.minute, a.column, a.kind) <
               std::tie(b.year, b.month, b.day, b.hour, b.minute, b.column, b.kind);
    });
    *this = HourlyChecks(latitude_);
    return found;
}

void HourlyChecks::Report(const HourlyRecord& row, std::size_t column, CheckKind kind,
                          std::string explanation) {
    findings_.push_back(FindingAt(row, column, kind, std::move(explanation)));
}

void HourlyChecks::CheckRow(const HourlyRecord& row) {
    for (std::size_t c = 0; c < COLUMNS; ++c) {
        const ColumnLimits& limits = COLUMN_LIMITS[c];
        const double v = ValueOf(row, c);
        if (v < limits.low)
            Report(row, c, CheckKind::Range,
                   std::string(limits.lowReason) + " " + WithUnit(Amount(limits.low, c), c) + " 未満");
        else if (v > limits.high)
            Report(row, c, CheckKind::Range,
                   std::string(limits.highReason) + " " + WithUnit(Amount(limits.high, c), c) + " を超える");
    }

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
            calmCodeSeen_ = true;
        } else {
            directionsWhileCalm_.push_back(
                FindingAt(row, COLUMN_OF_WIND_DIR, CheckKind::Consistency,
                          "平均風速 0.0 m/s で風向あり（静穏は " +
                              Amount(CONSISTENCY.calmDirection, COLUMN_OF_WIND_DIR) + "）"));
        }
    }
    if (row.solar > 0) CheckSun(row);
}

void HourlyChecks::CheckSun(const HourlyRecord& row) {
    if (row.month != sunMonth_ || row.day != sunDay_) {
        sun_ = ComputeSolarDay(row.month, row.day, latitude_);
        sunMonth_ = row.month;
        sunDay_ = row.day;
    }
    const double endHour = row.hour + row.minute / 60.0 + row.second / 3600.0;
    if (SunDownAllHour(sun_, endHour)) {
        if (row.solar > SUN.nightRadiation)
            Report(row, COLUMN_OF_SOLAR, CheckKind::Consistency,
                   "太陽が地平線の下にある時間に " +
                       WithUnit(Amount(SUN.nightRadiation, COLUMN_OF_SOLAR), COLUMN_OF_SOLAR) + " を超える");
        return;
    }
    // In the file's hundredths, rounded up: a value that reads as the limit passes.
    const double limit = std::ceil(TopOfAtmosphereMax(sun_, endHour) * 100 - SLACK) / 100;
    if (row.solar > limit + SLACK)
        Report(row, COLUMN_OF_SOLAR, CheckKind::Range,
               "大気上端の日射量 " + WithUnit(Amount(limit, COLUMN_OF_SOLAR), COLUMN_OF_SOLAR) + " を超える");
}

void HourlyChecks::CheckSteps(const HourlyRecord* next) {
    uint32_t returns = 0;
    for (std::size_t c = 0; c < COLUMNS; ++c) {
        const double tolerance = COLUMN_LIMITS[c].step;
        const bool returning = returnsFromSpike_ & (1u << c);
        if (tolerance <= 0 || !beforeFollows_ || returning) continue;
        const double change = ValueOf(current_, c) - ValueOf(before_, c);
        if (!(std::fabs(change) > tolerance + SLACK)) continue;
        const std::string limit = WithUnit(Amount(tolerance, c), c);
        if (next) {
            // Far from both neighbours and back after one hour: one wrong value, not two steps.
            const double back = ValueOf(*next, c) - ValueOf(current_, c);
            if (std::fabs(back) > tolerance + SLACK && (change > 0) != (back > 0) &&
                std::fabs(ValueOf(*next, c) - ValueOf(before_, c)) <= tolerance + SLACK) {
                Report(current_, c, CheckKind::Step,
                       "前後の時間との差 " + Difference(std::fabs(change), tolerance, c) + "・" +
                           WithUnit(Difference(std::fabs(back), tolerance, c), c) + " > " + limit);
                returns |= 1u << c;
                continue;
            }
        }
        Report(current_, c, CheckKind::Step,
               "前時間との差 " + WithUnit(Difference(std::fabs(change), tolerance, c), c) + " > " + limit);
    }
    returnsFromSpike_ = returns;
}

void HourlyChecks::ExtendRuns(const HourlyRecord& row, int64_t stamp) {
    for (std::size_t c = 0; c < COLUMNS; ++c) {
        const ColumnLimits& limits = COLUMN_LIMITS[c];
        if (limits.persistHours <= 0) continue;
        Run& run = runs_[c];
        const double v = ValueOf(row, c);
        if (run.length > 0 && v == run.value && stamp == run.first + 60 * int64_t{run.length}) {
            ++run.length;
            continue;
        }
        CloseRun(c);
        if (PersistsWhen(limits.persistWhen, v)) run = {v, stamp, 1};
    }
}

void HourlyChecks::CloseRun(std::size_t column) {
    Run& run = runs_[column];
    const int32_t hours = COLUMN_LIMITS[column].persistHours;
    if (hours > 0 && run.length >= hours) {
        const std::string explanation =
            "同じ値が " + std::to_string(run.length) + " 時間続く（" + std::to_string(hours) + " 時間以上）";
        for (int32_t k = 0; k < run.length; ++k) {
            // Midnight is hour 24 of the day before, as the reader stamps it.
            int64_t stamp = run.first + 60 * int64_t{k};
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
            findings_.push_back(
                {static_cast<int32_t>(date.year()), static_cast<int32_t>(static_cast<unsigned>(date.month())),
                 static_cast<int32_t>(static_cast<unsigned>(date.day())), static_cast<int32_t>(minutes / 60),
                 static_cast<int32_t>(minutes % 60), column, run.value, CheckKind::Persistence, explanation});
        }
    }
    run.length = 0;
}

std::vector<Finding> CheckHours(const HourlyTable& rows, double latitude) {
    HourlyChecks checks(latitude);
    checks.Add(rows);
    return checks.Finish();
}

} // namespace kolvane
