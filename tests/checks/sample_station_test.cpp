#include "checks/HourlyChecks.h"
#include "formats/MonthlyFile.h"
#include "model/FileIo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <map>
#include <string>

namespace kolvane {
namespace {

// The sample station is generated data, smooth but for two habits of the generator: a rainy day lowers
// the pressure and raises the humidity from its first hour on, so the pressure jumps at 1:00; and rain
// starting or stopping moves the humidity by 20 % or more within the hour, and the dew point with it.
// Those steps are all the checks may find there.
TEST(SampleStation, OnlyTheGeneratorsKnownSteps) {
    for (const char* yy : {"24", "25"}) {
        HourlyChecks checks(35.5);
        std::map<int64_t, HourlyRecord> rows; // by month, day and hour
        for (int month = 1; month <= 12; ++month) {
            const std::string path = std::string(KOLVANE_SOURCE_DATA) + "/Data/M" + yy +
                                     (month < 10 ? "0" : "") + std::to_string(month) + "_0101.csv";
            std::string bytes;
            if (ReadWholeFile(path, bytes)) continue;
            HourlyTable hourly;
            ParseMonthlyText(bytes, path, hourly);
            checks.Add(hourly);
            for (const HourlyRecord& r : hourly)
                rows[(r.month * 100 + r.day) * 100 + r.hour] = r;
        }
        ASSERT_GT(rows.size(), 2000u) << yy;

        int pressure = 0, dewPoint = 0;
        for (const Finding& f : checks.Finish()) {
            SCOPED_TRACE(std::string(yy) + "/" + std::to_string(f.month) + "/" + std::to_string(f.day) + " " +
                         std::to_string(f.hour) + ":00 " + f.explanation);
            ASSERT_EQ(f.kind, CheckKind::Step);
            if (f.column == 3) {
                EXPECT_EQ(f.hour, 1);
                ++pressure;
                continue;
            }
            ASSERT_EQ(f.column, 9u);
            ++dewPoint;
            const auto at = rows.find((f.month * 100 + f.day) * 100 + f.hour);
            ASSERT_NE(at, rows.begin());
            if (f.hour != 1) {
                EXPECT_NE(at->second.precip > 0, std::prev(at)->second.precip > 0);
            }
        }
        EXPECT_GT(pressure, 0);
        EXPECT_GT(dewPoint, 0);
    }
}

} // namespace
} // namespace kolvane
