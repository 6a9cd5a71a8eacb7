#include "checks/HourlyChecks.h"
#include "checks/Thresholds.h"
#include "formats/MonthlyFile.h"
#include "model/FileIo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
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

using Key = std::tuple<int, int, int, std::size_t, CheckKind>; // day, hour, minute, column, kind

std::set<Key> KeysOf(const std::vector<Finding>& findings) {
    std::set<Key> keys;
    for (const Finding& f : findings)
        keys.insert({f.day, f.hour, f.minute, f.column, f.kind});
    return keys;
}

// The faults a logger really produces, each planted alone in a month the checks find clean: each is
// found where it was planted, and nothing else is.
TEST(RealObservations, EveryPlantedFaultIsFoundAndNothingElse) {
    const HourlyTable clean = Read(XINWU.file);
    ASSERT_GT(clean.size(), 700u);
    EXPECT_TRUE(CheckHours(clean, XINWU.latitude, XINWU.longitude).empty());
    EXPECT_TRUE(CheckHours(clean, XINWU.latitude).empty());

    struct Plant {
        const char* what;
        std::function<void(HourlyTable&)> plant;
        double HourlyRecord::*field;
        CheckKind kind;
        int day, firstHour, lastHour; // where it must be reported, and all that may be
    };
    const Plant plants[] = {
        {"temperature spike", [](HourlyTable& r) { At(r, 15, 4).temp += 8; }, &HourlyRecord::temp,
         CheckKind::Step, 15, 4, 4},
        {"pressure spike", [](HourlyTable& r) { At(r, 15, 10).pressure -= 12; }, &HourlyRecord::pressure,
         CheckKind::Step, 15, 10, 10},
        {"temperature stuck for 14 hours",
         [](HourlyTable& r) {
             for (int h = 7; h <= 20; ++h)
                 At(r, 16, h).temp = At(r, 16, 6).temp;
         },
         &HourlyRecord::temp, CheckKind::Persistence, 16, 6, 20},
        {"humidity 150 %", [](HourlyTable& r) { At(r, 17, 3).humidity = 150; }, &HourlyRecord::humidity,
         CheckKind::Range, 17, 3, 3},
        {"pressure 1500 hPa", [](HourlyTable& r) { At(r, 17, 5).pressure = 1500; }, &HourlyRecord::pressure,
         CheckKind::Range, 17, 5, 5},
        {"negative rain", [](HourlyTable& r) { At(r, 17, 7).precip = -1; }, &HourlyRecord::precip,
         CheckKind::Range, 17, 7, 7},
        {"300 mm of rain", [](HourlyTable& r) { At(r, 17, 9).precip = 300; }, &HourlyRecord::precip,
         CheckKind::Range, 17, 9, 9},
        {"radiation in a dark hour", [](HourlyTable& r) { At(r, 18, 2).solar = 0.8; }, &HourlyRecord::solar,
         CheckKind::Consistency, 18, 2, 2},
        {"dew point above the air temperature",
         [](HourlyTable& r) { At(r, 18, 14).dewPoint = At(r, 18, 14).temp + 3; }, &HourlyRecord::dewPoint,
         CheckKind::Consistency, 18, 14, 14},
        {"gust below the mean wind",
         [](HourlyTable& r) {
             At(r, 19, 14).windSpeed = 4.0;
             At(r, 19, 14).gust = 3.0;
         },
         &HourlyRecord::gust, CheckKind::Consistency, 19, 14, 14},
        {"direction 999", [](HourlyTable& r) { At(r, 19, 16).windDir = 999; }, &HourlyRecord::windDir,
         CheckKind::Range, 19, 16, 16},
        {"stuck daytime radiation",
         [](HourlyTable& r) {
             for (int h = 9; h <= 14; ++h)
                 At(r, 20, h).solar = 1.23;
         },
         &HourlyRecord::solar, CheckKind::Persistence, 20, 9, 14},
    };
    for (const Plant& p : plants) {
        SCOPED_TRACE(p.what);
        HourlyTable rows = clean;
        p.plant(rows);
        const std::set<Key> found = KeysOf(CheckHours(rows, XINWU.latitude, XINWU.longitude));
        EXPECT_TRUE(found.contains({p.day, p.firstHour, 0, MonthlyColumnOf(p.field), p.kind}));
        for (const auto& [day, hour, minute, column, kind] : found)
            EXPECT_TRUE(day == p.day && hour >= p.firstHour && hour <= p.lastHour)
                << day << " " << hour << ":00 " << MONTHLY_VALUE_COLUMNS[column].name << " "
                << CheckKindName(kind);
    }
}

// What the quality control of the weather service let through, and the checks find.
TEST(RealObservations, TheFaultsTheDataHold) {
    struct Case {
        Station station;
        std::set<Key> expected;
    };
    const std::size_t solar = MonthlyColumnOf(&HourlyRecord::solar);
    std::set<Key> stuck;
    for (int hour = 10; hour <= 15; ++hour)
        stuck.insert({8, hour, 0, solar, CheckKind::Persistence});
    const Case cases[] = {
        // Banqiao, 8 June 2020: 0.60 MJ/m2 from 10:00 to 15:00, a stuck value under a changing sky.
        {{"M2006_0201.csv", 24.99765, 121.442 + 15}, stuck},
        // Matsu, 24 October 2021, 1:00: 0.23 MJ/m2 at night.
        {{"M2110_0231.csv", 26.16927, 119.923 + 15}, {{24, 1, 0, solar, CheckKind::Consistency}}},
        // Tianzhong, 18 June 2020, 16:00: 4.72 MJ/m2, more than the top of the atmosphere gets then.
        {{"M2006_0213.csv", 23.87380, 120.575 + 15}, {{18, 16, 0, solar, CheckKind::Range}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.station.file);
        const HourlyTable rows = Read(c.station.file);
        EXPECT_EQ(KeysOf(CheckHours(rows, c.station.latitude, c.station.longitude)), c.expected);
        EXPECT_EQ(KeysOf(CheckHours(rows, c.station.latitude)), c.expected); // longitude unknown
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

    const std::size_t temp = MonthlyColumnOf(&HourlyRecord::temp);
    HourlyTable spike = rows;
    At(spike, 2, 3, 20).temp += 40;
    EXPECT_EQ(KeysOf(CheckHours(spike, XINWU.latitude, XINWU.longitude)),
              (std::set<Key>{{2, 3, 20, temp, CheckKind::Range}, {2, 3, 20, temp, CheckKind::Step}}));

    HourlyTable stuck = rows;
    const std::size_t from = 6 * (24 * 2 + 4); // 3 July 5:00
    const double value = stuck[from - 1].temp + 0.2;
    for (std::size_t i = from; i < from + 6 * 12; ++i)
        stuck[i].temp = value;
    std::vector<Finding> found = CheckHours(stuck, XINWU.latitude, XINWU.longitude);
    for (const Finding& f : found)
        EXPECT_EQ(f.kind, CheckKind::Persistence)
            << f.day << " " << f.hour << ":" << f.minute << " " << f.explanation;
    ASSERT_EQ(found.size(), 72u);
    EXPECT_EQ(found.front().hour * 100 + found.front().minute, 500);
    EXPECT_EQ(found.back().hour * 100 + found.back().minute, 1650);
    EXPECT_EQ(found.front().explanation, "同じ値が 12 時間 続く（12 時間以上）");
    stuck[from].temp += 0.1; // 11 hours 50 minutes
    EXPECT_TRUE(CheckHours(stuck, XINWU.latitude, XINWU.longitude).empty());
}

} // namespace
} // namespace kolvane
