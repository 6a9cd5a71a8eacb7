#include "checks/HourlyChecks.h"
#include "checks/Thresholds.h"
#include "model/Columns.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kolvane {
namespace {

constexpr double LATITUDE = 35.5;

double Tenth(double v) {
    return std::round(v * 10) / 10;
}

// A plausible hour: every value changes from hour to hour, radiation only by day, and the relations hold.
HourlyRecord Hour(int32_t year, int32_t month, int32_t day, int32_t hour) {
    const double phase = 2 * 3.14159265 * (hour - 9) / 24;
    const int32_t k = day * 24 + hour;
    HourlyRecord r{.year = year, .month = month, .day = day, .hour = hour};
    r.precip = hour % 5 == 0 ? 0.5 * (1 + k % 3) : 0;
    r.temp = Tenth(15 + 5 * std::sin(phase) + 0.1 * (k % 3));
    r.humidity = 60 + k % 17;
    r.pressure = Tenth(1010 + 0.8 * std::sin(2 * phase) + 0.1 * (k % 4));
    r.windSpeed = Tenth(2 + 0.1 * (k % 7));
    r.windDir = 90 + 10 * (k % 5);
    r.gust = Tenth(r.windSpeed * 1.8);
    r.gustDir = r.windDir;
    r.solar = hour >= 9 && hour <= 16 ? 0.8 + 0.1 * (k % 3) : 0;
    r.dewPoint = Tenth(r.temp - 5 - 0.1 * (k % 2));
    r.groundTemp = Tenth(12 + 0.1 * (k % 5));
    return r;
}

// Every hour from the 1st of a month for `days` days (running on into the next month as a file of
// several months would).
HourlyTable Hours(int32_t year, unsigned month, int days) {
    using namespace std::chrono;
    HourlyTable rows;
    const sys_days first{std::chrono::year(year) / month / 1};
    for (sys_days d = first; d < first + std::chrono::days(days); d += std::chrono::days(1)) {
        const year_month_day date{d};
        for (int32_t h = 1; h <= 24; ++h)
            rows.push_back(
                Hour(year, static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), h));
    }
    return rows;
}

std::vector<Finding> OfKind(const std::vector<Finding>& findings, CheckKind kind) {
    std::vector<Finding> found;
    for (const Finding& f : findings)
        if (f.kind == kind) found.push_back(f);
    return found;
}

using Lines = std::vector<std::string>;

// Each finding in a line: where, which value, which check, and why.
Lines Described(const std::vector<Finding>& findings) {
    Lines lines;
    for (const Finding& f : findings) {
        std::ostringstream where;
        where << f.month << "/" << f.day << " " << f.hour << ":" << f.minute << " "
              << MONTHLY_VALUE_COLUMNS[f.column].name << " " << f.value << " " << CheckKindName(f.kind) << " "
              << f.explanation;
        lines.push_back(where.str());
    }
    return lines;
}

// What the checks find in one row alone.
Lines Found(const HourlyRecord& row, double latitude = LATITUDE) {
    return Described(CheckHours({row}, latitude));
}

TEST(HourlyChecks, PlausibleHoursGiveNoFinding) {
    // Two months fed apart, as the year computation reads them.
    HourlyChecks checks(LATITUDE);
    checks.Add(Hours(2024, 6, 30));
    checks.Add(Hours(2024, 7, 31));
    EXPECT_EQ(Described(checks.Finish()), Lines{});
    EXPECT_TRUE(CheckHours(Hours(2024, 12, 31), LATITUDE).empty());
}

TEST(HourlyChecks, RangeLimitsAreSuspectOnlyBeyondThem) {
    for (std::size_t c = 0; c < COLUMN_LIMITS.size(); ++c) {
        const ColumnLimits& limits = COLUMN_LIMITS[c];
        const double resolution = std::pow(10.0, -limits.decimals);
        for (double limit : {limits.low, limits.high}) {
            if (!std::isfinite(limit)) continue;
            const double outward = limit == limits.low ? -resolution : resolution;
            SCOPED_TRACE(std::string(limits.name) + " " + std::to_string(limit));
            HourlyRecord row = Hour(2024, 7, 17, 3);
            row.*MONTHLY_VALUE_COLUMNS[c].field = limit;
            EXPECT_TRUE(OfKind(CheckHours({row}, LATITUDE), CheckKind::Range).empty());

            row.*MONTHLY_VALUE_COLUMNS[c].field = limit + outward;
            std::vector<Finding> range = OfKind(CheckHours({row}, LATITUDE), CheckKind::Range);
            ASSERT_EQ(range.size(), 1u);
            EXPECT_EQ(range[0].column, c);
            EXPECT_DOUBLE_EQ(range[0].value, limit + outward);
            EXPECT_EQ(range[0].hour, 3);
        }
    }

    // A table with one value out of range has every value compared: the others, at their limits, pass.
    HourlyTable atLimits = {Hour(2024, 7, 17, 1), Hour(2024, 7, 17, 2), Hour(2024, 7, 17, 3)};
    for (std::size_t c = 0; c < COLUMN_LIMITS.size(); ++c) {
        const ColumnLimits& limits = COLUMN_LIMITS[c];
        atLimits[0].*MONTHLY_VALUE_COLUMNS[c].field = limits.low;
        atLimits[1].*MONTHLY_VALUE_COLUMNS[c].field = std::isfinite(limits.high) ? limits.high : limits.low;
    }
    atLimits[2].precip = 200;
    const std::vector<Finding> beyond = OfKind(CheckHours(atLimits, LATITUDE), CheckKind::Range);
    ASSERT_EQ(beyond.size(), 1u);
    EXPECT_EQ(beyond[0].hour, 3);

    HourlyRecord rain = Hour(2024, 7, 17, 3);
    rain.precip = 153.5;
    EXPECT_EQ(Found(rain), Lines{"7/17 3:0 降水量 153.5 範囲 1時間降水量の全国記録 153.0 mm を超える"});
    rain.precip = -0.5;
    EXPECT_EQ(Found(rain), Lines{"7/17 3:0 降水量 -0.5 範囲 下限 0.0 mm 未満"});
}

TEST(HourlyChecks, RadiationAboveTheTopOfTheAtmosphereOrAtNight) {
    const SunHours sun(ComputeSolarDay(6, 21, LATITUDE));
    const double noonLimit = std::ceil(sun.TopOfAtmosphereMax(13) * 100) / 100;
    EXPECT_GT(noonLimit, 4.5); // the sun nearly overhead
    EXPECT_LT(noonLimit, 5.0);

    HourlyRecord row = Hour(2024, 6, 21, 13);
    row.solar = noonLimit;
    EXPECT_EQ(Found(row), Lines{});
    row.solar = noonLimit + 0.01;
    EXPECT_EQ(Found(row), Lines{"6/21 13:0 日射量 4.7 範囲 大気上端の日射量 4.69 MJ/㎡ を超える"});

    // Midsummer night: 1:00-2:00 is dark however far east or west the station is; a sensor's small
    // offset passes there. 20:00-21:00 at 43 N is not sure to be dark, 21:00-22:00 is at Sapporo's longitude.
    row = Hour(2024, 6, 21, 2);
    row.solar = 0.02;
    EXPECT_EQ(Found(row), Lines{});
    row.solar = 0.03;
    EXPECT_EQ(Found(row),
              Lines{"6/21 2:0 日射量 0.03 整合 太陽が地平線の下にある時間に 0.02 MJ/㎡ を超える"});
    row = Hour(2024, 6, 21, 21);
    row.solar = 0.05;
    EXPECT_EQ(Found(row, 43.0), Lines{});
    row.hour = 22;
    EXPECT_TRUE(OfKind(CheckHours({row}, 43.0), CheckKind::Consistency).empty());
    EXPECT_EQ(OfKind(CheckHours({row}, 43.0, 141.35), CheckKind::Consistency).size(), 1u);

    // 18:00-19:00 in December is dark in Hokkaido, not in Okinawa: each station gets its own sun.
    row = Hour(2024, 12, 21, 19);
    row.solar = 0.03;
    for (int twice = 0; twice < 2; ++twice) {
        EXPECT_EQ(Found(row, 45.5).size(), 1u);
        EXPECT_EQ(Found(row, 24.0), Lines{});
    }
}

TEST(HourlyChecks, SpikesButNotChangesOfLevel) {
    HourlyTable rows = Hours(2024, 1, 2);
    for (HourlyRecord& r : rows) { // a level line, so only the planted change counts
        r.temp = 10 + 0.1 * ((r.hour / 2) % 2);
        r.dewPoint = 2 + 0.1 * (r.hour % 3);
    }

    // A front: the temperature jumps and stays, however far.
    HourlyTable front = rows;
    for (std::size_t i = 10; i < front.size(); ++i)
        front[i].temp += 9.0;
    EXPECT_TRUE(CheckHours(front, LATITUDE).empty());

    // Out and back: exactly the tolerance passes, more is one finding.
    rows[30].temp += 5.0;
    EXPECT_TRUE(CheckHours(rows, LATITUDE).empty());
    rows[30].temp += 0.1;
    EXPECT_EQ(Described(CheckHours(rows, LATITUDE)),
              Lines{"1/2 7:0 気温 15.2 急変 前後の時間との差 5.1・5.2 ℃ > 5.0 ℃"});
    // A difference just over the tolerance is said with the decimal that shows it over.
    HourlyTable near = rows;
    near[30].temp = 15.14;
    EXPECT_EQ(Described(CheckHours(near, LATITUDE)),
              Lines{"1/2 7:0 気温 15.14 急変 前後の時間との差 5.04・5.1 ℃ > 5.0 ℃"});

    // Back to a level more than half the tolerance away is a change that went on; across a missing
    // hour there is nothing to compare.
    HourlyTable settled = rows;
    for (std::size_t i = 31; i < settled.size(); ++i)
        settled[i].temp += 2.6;
    EXPECT_TRUE(CheckHours(settled, LATITUDE).empty());
    HourlyTable gap = rows;
    gap.erase(gap.begin() + 31);
    EXPECT_TRUE(CheckHours(gap, LATITUDE).empty());

    // Across the month end, the months fed apart; soil temperature and pressure have their own tolerances.
    HourlyTable january = Hours(2024, 1, 31), february = Hours(2024, 2, 1);
    for (HourlyTable* t : {&january, &february})
        for (HourlyRecord& r : *t) {
            r.groundTemp = 8 + 0.1 * ((r.hour / 2) % 2);
            r.pressure = 1010 + 0.1 * (r.hour % 3);
        }
    january.back().groundTemp += 3.2;
    january.back().pressure -= 12;
    HourlyChecks checks(LATITUDE);
    checks.Add(january);
    checks.Add(february);
    EXPECT_EQ(Described(checks.Finish()),
              (Lines{"1/31 24:0 気圧 998 急変 前後の時間との差 12.2・12.1 hPa > 3.0 hPa",
                     "1/31 24:0 地中温度 11.2 急変 前後の時間との差 3.1・3.2 ℃ > 3.0 ℃"}));
}

TEST(HourlyChecks, StuckValues) {
    // Temperature stuck from 18:00 over midnight: the 12 hours are reported, midnight as 24:00.
    HourlyTable rows = Hours(2024, 3, 3);
    for (std::size_t i = 41; i < 53; ++i)
        rows[i].temp = rows[i].dewPoint = 7.3;
    std::vector<Finding> found = OfKind(CheckHours(rows, LATITUDE), CheckKind::Persistence);
    ASSERT_EQ(found.size(), 24u);
    EXPECT_EQ(found.front().day * 100 + found.front().hour, 218);
    EXPECT_EQ(found[12].day * 100 + found[12].hour, 224);
    EXPECT_EQ(found.back().day * 100 + found.back().hour, 305);
    EXPECT_EQ(found[0].explanation, "同じ値が 12 時間 続く（12 時間以上）");

    // One hour less, or a missing hour inside, is not stuck.
    rows[52].temp = rows[52].dewPoint = 7.0;
    EXPECT_TRUE(OfKind(CheckHours(rows, LATITUDE), CheckKind::Persistence).empty());
    rows[52].temp = rows[52].dewPoint = rows[53].temp = rows[53].dewPoint = 7.3;
    rows.erase(rows.begin() + 45); // 12 equal values left, an hour missing among them
    EXPECT_TRUE(OfKind(CheckHours(rows, LATITUDE), CheckKind::Persistence).empty());

    // Long runs of zero rain, calm and dark, and of humidity near saturation, are normal; a stuck rain
    // amount, wind speed or humidity below 95 % is not.
    rows = Hours(2024, 3, 3);
    for (HourlyRecord& r : rows) {
        r.precip = 0;
        r.humidity = r.day == 1 ? 100 : 98;
        r.dewPoint = r.temp;
    }
    for (std::size_t i = 0; i < 30; ++i) {
        rows[i].windSpeed = 0;
        rows[i].windDir = 0;
    }
    EXPECT_TRUE(CheckHours(rows, LATITUDE).empty());
    for (std::size_t i = 20; i < 32; ++i) {
        rows[i].precip = 1.5;
        rows[i + 30].windSpeed = 3.3;
    }
    for (std::size_t i = 0; i < 12; ++i)
        rows[i].humidity = 94;
    std::map<std::size_t, int> stuck; // hours found stuck, by column
    for (const Finding& f : CheckHours(rows, LATITUDE))
        stuck[f.column] += f.kind == CheckKind::Persistence ? 1 : 100;
    EXPECT_EQ(stuck, (std::map<std::size_t, int>{{MonthlyColumnOf(&HourlyRecord::precip), 12},
                                                 {MonthlyColumnOf(&HourlyRecord::humidity), 12},
                                                 {MonthlyColumnOf(&HourlyRecord::windSpeed), 12}}));

    // A radiation offset through the night is the night check's; the same value all day is stuck.
    rows = Hours(2024, 3, 2);
    for (HourlyRecord& r : rows)
        r.solar = r.hour >= 9 && r.hour <= 16 ? 0.8 + 0.1 * (r.hour % 3) : 0.01;
    EXPECT_TRUE(CheckHours(rows, LATITUDE).empty());
    for (int h = 9; h <= 14; ++h)
        rows[static_cast<std::size_t>(h - 1)].solar = 0.9;
    EXPECT_EQ(OfKind(CheckHours(rows, LATITUDE), CheckKind::Persistence).size(), 6u);
}

TEST(HourlyChecks, ValuesThatContradictEachOther) {
    HourlyRecord row = Hour(2024, 7, 17, 3);
    row.dewPoint = row.temp;
    row.gust = row.windSpeed;
    EXPECT_EQ(Found(row), Lines{});

    row.dewPoint = row.temp + 0.1;
    row.gust = row.windSpeed - 0.1;
    EXPECT_EQ(Found(row), (Lines{"7/17 3:0 最大瞬間風速 2.4 整合 平均風速 2.5 m/s 未満",
                                 "7/17 3:0 露点温度 10.1 整合 気温 10.0 ℃ を超える"}));

    // A direction with zero wind, in files that mark calm hours with direction 0 (here only later on).
    HourlyTable rows = Hours(2024, 7, 2);
    rows[5].windSpeed = 0;
    rows[5].windDir = 200;
    EXPECT_TRUE(CheckHours(rows, LATITUDE).empty()); // no calm code: nothing to go by
    rows[40].windSpeed = 0;
    rows[40].windDir = 0;
    EXPECT_EQ(Described(CheckHours(rows, LATITUDE)),
              Lines{"7/1 6:0 風向 200 整合 平均風速 0.0 m/s で風向あり（静穏は 0）"});
}

} // namespace
} // namespace kolvane
