#include "checks/HourlyChecks.h"
#include "formats/MonthlyFile.h"
#include "model/FileIo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace kolvane {
namespace {

// Real, quality-controlled hourly observations (tests/data/observations/README.md). Their clock is
// UTC+8: against a clock of Japan standard time the same sun stands 15 degrees further east.
struct Station {
    const char* file;
    double latitude, longitude;
};
constexpr Station XINWU{"M2107_0209.csv", 25.00674, 121.047 + 15};

HourlyTable Read(const char* file) {
    const std::string path = std::string(KOLVANE_TEST_DATA) + "/observations/" + file;
    std::string bytes;
    EXPECT_EQ(ReadWholeFile(path, bytes), 0) << path;
    HourlyTable rows;
    ParseMonthlyText(bytes, path, rows);
    return rows;
}

HourlyRecord& At(HourlyTable& rows, int day, int hour, int minute = 0) {
    for (HourlyRecord& r : rows)
        if (r.day == day && r.hour == hour && r.minute == minute) return r;
    throw std::runtime_error("no such hour");
}

using Lines = std::vector<std::string>;

// Each finding in a line: day, time, column, value, check and why; a run of equal values in one line,
// from its first row to its last, with the number of its rows.
Lines Described(const std::vector<Finding>& findings) {
    Lines lines;
    std::map<std::string, std::tuple<std::string, std::string, int>> runs; // first, last, rows
    for (const Finding& f : findings) {
        std::ostringstream when, what;
        when << f.day << " " << f.hour << ":" << f.minute;
        what << MONTHLY_VALUE_COLUMNS[f.column].name << " " << f.value << " " << CheckKindName(f.kind) << " "
             << f.explanation;
        if (f.kind != CheckKind::Persistence) {
            lines.push_back(when.str() + " " + what.str());
            continue;
        }
        auto& [first, last, rows] = runs[what.str()];
        if (rows++ == 0) first = when.str();
        last = when.str();
    }
    for (const auto& [what, run] : runs) {
        const auto& [first, last, rows] = run;
        lines.push_back(first + "-" + last + " " + what + " x" + std::to_string(rows));
    }
    return lines;
}

// A month fed in two tables, as a year's months are: a spike or a run may lie across the seam.
Lines Checked(const HourlyTable& rows, const Station& station = XINWU) {
    HourlyChecks checks(station.latitude, station.longitude);
    const auto seam =
        std::find_if(rows.begin(), rows.end(), [](const HourlyRecord& r) { return r.day == 16; });
    checks.Add(HourlyTable(rows.begin(), seam));
    checks.Add(HourlyTable(seam, rows.end()));
    return Described(checks.Finish());
}

// Each column's range: at its limit nothing, a step of the file's resolution beyond it is suspect.
TEST(RealObservations, RangeLimitsOfEveryColumn) {
    HourlyTable month = Read(XINWU.file);
    using R = HourlyRecord;
    const std::tuple<double R::*, double, double, const char*> limits[] = {
        {&R::precip, 153, 153.1, "降水量 153.1 範囲 1時間降水量の全国記録 153.0 mm を超える"},
        {&R::precip, 0, -0.1, "降水量 -0.1 範囲 下限 0.0 mm 未満"},
        {&R::temp, 41.8, 41.9, "気温 41.9 範囲 全国記録 41.8 ℃ を超える"},
        {&R::temp, -41, -41.1, "気温 -41.1 範囲 全国記録 -41.0 ℃ 未満"},
        {&R::humidity, 100, 101, "湿度 101 範囲 上限 100 % を超える"},
        {&R::humidity, 0, -1, "湿度 -1 範囲 下限 0 % 未満"},
        {&R::pressure, 1060, 1060.1, "気圧 1060.1 範囲 観測点気圧の上限 1060.0 hPa を超える"},
        {&R::pressure, 600, 599.9, "気圧 599.9 範囲 観測点気圧の下限 600.0 hPa 未満"},
        {&R::windDir, 360, 361, "風向 361 範囲 上限 360 度 を超える"},
        {&R::windDir, 0, -1, "風向 -1 範囲 下限 0 度 未満"},
        {&R::windSpeed, 69.8, 69.9, "平均風速 69.9 範囲 全国記録 69.8 m/s を超える"},
        {&R::windSpeed, 0, -0.1, "平均風速 -0.1 範囲 下限 0.0 m/s 未満"},
        {&R::gust, 91, 91.1, "最大瞬間風速 91.1 範囲 全国記録 91.0 m/s を超える"},
        {&R::gust, 0, -0.1, "最大瞬間風速 -0.1 範囲 下限 0.0 m/s 未満"},
        {&R::gustDir, 360, 361, "最大時風向 361 範囲 上限 360 度 を超える"},
        {&R::gustDir, 0, -1, "最大時風向 -1 範囲 下限 0 度 未満"},
        {&R::solar, -0.01, -0.02, "日射量 -0.02 範囲 下限 -0.01 MJ/㎡ 未満"},
        {&R::dewPoint, 35, 35.1, "露点温度 35.1 範囲 上限 35.0 ℃ を超える"},
        {&R::dewPoint, -80, -80.1, "露点温度 -80.1 範囲 下限 -80.0 ℃ 未満"},
        {&R::groundTemp, 50, 50.1, "地中温度 50.1 範囲 上限 50.0 ℃ を超える"},
        {&R::groundTemp, -50, -50.1, "地中温度 -50.1 範囲 下限 -50.0 ℃ 未満"},
    };
    const auto range = [](const HourlyTable& rows) {
        std::vector<Finding> all = CheckHours(rows, XINWU.latitude, XINWU.longitude);
        std::erase_if(all, [](const Finding& f) { return f.kind != CheckKind::Range; });
        return Described(all);
    };
    // A table with a value beyond a limit has each value compared: the others, at every limit, pass.
    HourlyTable atLimits = {At(month, 17, 2), At(month, 17, 3), At(month, 17, 4)}; // dark hours
    for (const auto& [field, limit, beyond, found] : limits) {
        SCOPED_TRACE(found);
        HourlyTable rows = {At(month, 17, 3), At(month, 17, 4)};
        rows[0].*field = limit;
        rows[1].*field = beyond;
        EXPECT_EQ(range(rows), Lines{std::string("17 4:0 ") + found});
        atLimits[beyond < limit ? 0 : 1].*field = limit;
    }
    atLimits[2].precip = 200;
    EXPECT_EQ(range(atLimits), Lines{"17 4:0 降水量 200 範囲 1時間降水量の全国記録 153.0 mm を超える"});
}

// The faults a logger really produces, and the edges of each check, planted in a month the checks find
// clean: each is found where it was planted, said as it must be, and nothing else is.
TEST(RealObservations, EveryPlantedFaultIsFoundAndNothingElse) {
    const HourlyTable clean = Read(XINWU.file);
    ASSERT_GT(clean.size(), 700u);
    EXPECT_EQ(Checked(clean), Lines{});

    using R = HourlyRecord;
    struct Edit { // a value in the hours of a day; NaN: those hours are missing
        int day, fromHour, toHour;
        double R::*field;
        double value;
    };
    struct Plant {
        const char* what;
        std::vector<Edit> edits;
        Lines expected;
    };
    const Plant plants[] = {
        {"temperature spike",
         {{15, 4, 4, &R::temp, 35.5}},
         {"15 4:0 気温 35.5 急変 前後の時間との差 8.2・8.4 ℃ > 5.0 ℃"}},
        {"a spike of the tolerance passes; just over it is said with the decimals that show it",
         {{15, 3, 5, &R::temp, 27.7},
          {15, 4, 4, &R::temp, 32.7},
          {17, 3, 3, &R::temp, 31.74},
          {17, 4, 4, &R::temp, 26.7}},
         {"17 3:0 気温 31.74 急変 前後の時間との差 5.04・5.04 ℃ > 5.0 ℃"}},
        {"a change of level that stays, or settles more than half the tolerance away",
         {{15, 12, 19, &R::temp, 37.0}, {16, 3, 3, &R::temp, 36.4}, {16, 4, 4, &R::temp, 31.0}},
         {}},
        {"no spike across a missing hour",
         {{17, 3, 3, &R::temp, 34.5},
          {17, 4, 4, &R::temp, NAN},
          {19, 3, 3, &R::temp, 35.4},
          {19, 2, 2, &R::temp, NAN}},
         {}},
        {"pressure spike at the seam",
         {{15, 24, 24, &R::pressure, 995.2}},
         {"15 24:0 気圧 995.2 急変 前後の時間との差 12.2・11.7 hPa > 3.0 hPa"}},
        {"soil temperature and dew point spikes, each by its own tolerance",
         {{17, 3, 3, &R::groundTemp, 32.1}, {17, 14, 14, &R::dewPoint, 32.2}},
         {"17 3:0 地中温度 32.1 急変 前後の時間との差 3.1・3.3 ℃ > 3.0 ℃",
          "17 14:0 露点温度 32.2 急変 前後の時間との差 7.4・6.4 ℃ > 6.0 ℃"}},
        {"temperature stuck for 12 hours, to midnight",
         {{16, 13, 24, &R::temp, 31.3}},
         {"16 13:0-16 24:0 気温 31.3 持続 同じ値が 12 時間 続く（12 時間以上） x12"}},
        {"11 hours, or 12 around a missing hour, are not stuck",
         {{16, 14, 24, &R::temp, 31.3}, {18, 1, 13, &R::temp, 27.5}, {18, 7, 7, &R::temp, NAN}},
         {}},
        {"humidity stuck below saturation, not near it",
         {{18, 1, 12, &R::humidity, 94}, {19, 1, 12, &R::humidity, 95}},
         {"18 1:0-18 12:0 湿度 94 持続 同じ値が 12 時間 続く（12 時間以上） x12"}},
        {"the same rain every hour",
         {{20, 1, 12, &R::precip, 1.5}},
         {"20 1:0-20 12:0 降水量 1.5 持続 同じ値が 12 時間 続く（12 時間以上） x12"}},
        {"wind speed stuck, not calm",
         {{21, 1, 12, &R::windSpeed, 0}, {21, 1, 12, &R::windDir, 0}, {23, 1, 12, &R::windSpeed, 3.3}},
         {"23 1:0-23 12:0 平均風速 3.3 持続 同じ値が 12 時間 続く（12 時間以上） x12"}},
        {"soil temperature stuck for 24 hours, not 23",
         {{24, 1, 24, &R::groundTemp, 28.0}, {27, 1, 23, &R::groundTemp, 29.5}},
         {"24 1:0-24 24:0 地中温度 28 持続 同じ値が 24 時間 続く（24 時間以上） x24"}},
        {"stuck daytime radiation; a night offset through the night is neither stuck nor suspect",
         {{20, 9, 14, &R::solar, 1.23}, {20, 20, 24, &R::solar, 0.02}, {21, 1, 5, &R::solar, 0.02}},
         {"20 9:0-20 14:0 日射量 1.23 持続 同じ値が 6 時間 続く（6 時間以上） x6"}},
        {"radiation in a dark hour",
         {{18, 2, 2, &R::solar, 0.8}, {19, 2, 2, &R::solar, 0.03}},
         {"18 2:0 日射量 0.8 整合 太陽が地平線の下にある時間に 0.02 MJ/㎡ を超える",
          "19 2:0 日射量 0.03 整合 太陽が地平線の下にある時間に 0.02 MJ/㎡ を超える"}},
        {"radiation after dusk, dark only where the longitude is known",
         {{19, 21, 21, &R::solar, 0.05}},
         {"19 21:0 日射量 0.05 整合 太陽が地平線の下にある時間に 0.02 MJ/㎡ を超える"}},
        {"radiation above the top of the atmosphere, not at it",
         {{17, 13, 13, &R::solar, 4.79}, {18, 13, 13, &R::solar, 4.78}},
         {"17 13:0 日射量 4.79 範囲 大気上端の日射量 4.78 MJ/㎡ を超える"}},
        {"dew point above the air temperature, gust below the mean wind; not at them in a calm hour",
         {{21, 23, 23, &R::dewPoint, 28.5},
          {19, 14, 14, &R::gust, 3.0},
          {21, 22, 22, &R::dewPoint, 27.5},
          {21, 22, 22, &R::windSpeed, 0},
          {21, 22, 22, &R::gust, 0},
          {21, 22, 22, &R::windDir, 0}},
         {"19 14:0 最大瞬間風速 3 整合 平均風速 10.5 m/s 未満",
          "21 23:0 露点温度 28.5 整合 気温 25.5 ℃ を超える"}},
        {"a direction in a calm hour where calm hours are 0",
         {{19, 5, 8, &R::windSpeed, 0}, {19, 5, 5, &R::windDir, 200}, {19, 6, 8, &R::windDir, 0}},
         {"19 5:0 風向 200 整合 平均風速 0.0 m/s で風向あり（静穏は 0）"}},
        {"a direction in a calm hour where no hour says what calm is",
         {{19, 5, 5, &R::windSpeed, 0}, {19, 5, 5, &R::windDir, 200}},
         {}},
        {"humidity 150 %, pressure 1500 hPa",
         {{17, 3, 3, &R::humidity, 150}, {17, 5, 5, &R::pressure, 1500}},
         {"17 3:0 湿度 150 範囲 上限 100 % を超える",
          "17 5:0 気圧 1500 範囲 観測点気圧の上限 1060.0 hPa を超える",
          "17 5:0 気圧 1500 急変 前後の時間との差 496.3・496.2 hPa > 3.0 hPa"}},
    };
    for (const Plant& p : plants) {
        SCOPED_TRACE(p.what);
        HourlyTable rows = clean;
        for (const Edit& e : p.edits)
            for (int h = e.fromHour; h <= e.toHour; ++h)
                if (std::isnan(e.value))
                    std::erase_if(rows, [&](const R& r) { return r.day == e.day && r.hour == h; });
                else
                    At(rows, e.day, h).*e.field = e.value;
        EXPECT_EQ(Checked(rows), p.expected);
    }
}

// What the quality control of the weather service let through, and the checks find, whether the
// station's longitude is known or not.
TEST(RealObservations, TheFaultsTheDataHold) {
    const Lines stuck = {"8 10:0-8 15:0 日射量 0.6 持続 同じ値が 6 時間 続く（6 時間以上） x6"},
                night = {"24 1:0 日射量 0.23 整合 太陽が地平線の下にある時間に 0.02 MJ/㎡ を超える"};
    const std::tuple<Station, Lines, Lines> cases[] = {
        // known longitude, unknown
        // Banqiao, 8 June 2020: 0.60 MJ/m2 from 10:00 to 15:00, a stuck value under a changing sky.
        {{"M2006_0201.csv", 24.99765, 121.442 + 15}, stuck, stuck},
        // Matsu, 24 October 2021, 1:00: 0.23 MJ/m2 at night.
        {{"M2110_0231.csv", 26.16927, 119.923 + 15}, night, night},
        // Tianzhong, 18 June 2020, 16:00: 4.72 MJ/m2, more than the top of the atmosphere gets then.
        {{"M2006_0213.csv", 23.87380, 120.575 + 15},
         {"18 16:0 日射量 4.72 範囲 大気上端の日射量 3.77 MJ/㎡ を超える"},
         {"18 16:0 日射量 4.72 範囲 大気上端の日射量 4.31 MJ/㎡ を超える"}},
    };
    for (const auto& [station, known, unknown] : cases) {
        SCOPED_TRACE(station.file);
        const HourlyTable rows = Read(station.file);
        EXPECT_EQ(Checked(rows, station), known);
        EXPECT_EQ(Described(CheckHours(rows, station.latitude)), unknown);
    }
}

// A logger's 10-minute file, made from the real hours (levels interpolated, amounts and winds held): it
// is as clean as its hours, and a spike or a stuck sensor is found in it as in hourly rows.
TEST(RealObservations, TenMinuteRowsAreCheckedAsHourlyOnes) {
    const HourlyTable hours = Read(XINWU.file);
    HourlyTable rows;
    for (std::size_t i = 0; i + 1 < hours.size() && i < 24 * 5; ++i) {
        const HourlyRecord &a = hours[i], &b = hours[i + 1];
        rows.push_back(a);
        for (int k = 1; k < 6; ++k) {
            HourlyRecord r = a;
            std::tie(r.year, r.month, r.day, r.hour, r.minute) =
                std::tuple(b.year, b.month, b.day, b.hour - 1, 10 * k);
            for (double HourlyRecord::*f :
                 {&HourlyRecord::temp, &HourlyRecord::humidity, &HourlyRecord::pressure,
                  &HourlyRecord::dewPoint, &HourlyRecord::groundTemp})
                r.*f = std::round((a.*f + (b.*f - a.*f) * k / 6) * 10) / 10;
            rows.push_back(r);
        }
    }
    HourlyChecks checks(XINWU.latitude, XINWU.longitude);
    checks.Add(rows);
    EXPECT_TRUE(checks.SawSubHourlyRows());
    EXPECT_TRUE(checks.Finish().empty());
    checks.Add(hours);
    EXPECT_FALSE(checks.SawSubHourlyRows());
    checks.Finish();

    HourlyTable spike = rows;
    At(spike, 2, 3, 20).temp += 8;
    EXPECT_EQ(Described(CheckHours(spike, XINWU.latitude, XINWU.longitude)),
              Lines{"2 3:20 気温 35.6 急変 前後の時間との差 7.9・8.0 ℃ > 5.0 ℃"});

    HourlyTable stuck = rows;
    const std::size_t from = 6 * (24 * 2 + 4); // 3 July 5:00
    for (std::size_t i = from; i < from + 6 * 12 + 1; ++i)
        stuck[i].temp = stuck[from - 1].temp + 0.2;
    EXPECT_EQ(Described(CheckHours(stuck, XINWU.latitude, XINWU.longitude)),
              Lines{"3 5:0-3 17:0 気温 26.6 持続 同じ値が 12 時間 10 分 続く（12 時間以上） x73"});
    stuck[from + 1].temp += 0.1; // 71 rows: 12 hours less 10 minutes
    EXPECT_EQ(Described(CheckHours(stuck, XINWU.latitude, XINWU.longitude)), Lines{});

    // Four hourly rows, then 10-minute ones, of one value: two runs, neither 12 hours long.
    std::erase_if(stuck, [](const HourlyRecord& r) { return r.day == 4 && r.hour < 4 && r.minute != 0; });
    for (HourlyRecord& r : stuck)
        if (r.day == 4 && r.hour >= 1 && r.hour < 14) r.temp = 27.0;
    EXPECT_EQ(Described(CheckHours(stuck, XINWU.latitude, XINWU.longitude)), Lines{});
}

} // namespace
} // namespace kolvane
