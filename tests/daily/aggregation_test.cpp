#include "daily/DailyAggregation.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

HourlyRecord Hour(int month, int day, int hour, double temp, double windDir = 90) {
    const double solar = hour > 6 && hour < 18 ? 1.25 : 0;
    // Date and time, rain, temperature, humidity, pressure, wind, gust, radiation, dew point, ground.
    return {2005,    month,          day, hour, 0,     0,        0.5, temp, 60.0 + hour, 1000.0 + hour,
            windDir, 2 + 0.1 * hour, 5,   180,  solar, temp - 5, 10};
}

TEST(DailyAggregation, DaysOfTheRowsPresent) {
    HourlyTable hourly;
    // 31 March hour 24 (a row stamped 0:00 on 1 April), 1 April with hours 3 and 4 missing, and a
    // final day of a single row.
    hourly.push_back(Hour(3, 31, 24, 4.0));
    for (int h = 1; h <= 24; ++h)
        if (h != 3 && h != 4) hourly.push_back(Hour(4, 1, h, h == 14 ? 15.0 : 5.0 + h * 0.1));
    hourly.push_back(Hour(4, 2, 1, 7.5));

    DailyTable daily;
    BuildDailyRecords(hourly, 35.5, daily);
    ASSERT_EQ(daily.size(), 3u);
    EXPECT_EQ((std::vector{daily[0].day, daily[0].hours, daily[1].day, daily[1].hours, daily[2].day,
                           daily[2].hours}),
              (std::vector{31, 1, 1, 22, 2, 1}));
    EXPECT_EQ(daily[0].temp, 4);
    EXPECT_DOUBLE_EQ(daily[1].temp, 147.9 / 22); // divided by the rows present
    EXPECT_EQ(daily[1].solar, 11 * 1.25);        // a sum, not a mean

    // Nothing in, nothing out; rows already in the table stay.
    BuildDailyRecords({}, 35.5, daily);
    EXPECT_EQ(daily.size(), 3u);
}

TEST(MostFrequentDirection, CountsNeighbourhoodAndTies) {
    auto of = [](std::initializer_list<double> dirs) {
        HourlyTable t;
        for (double d : dirs)
            t.push_back(Hour(1, 1, 1, 0, d));
        return MostFrequentDirection(t, 0, t.size() - 1);
    };
    EXPECT_EQ(of({90, 90, 90, 270, 270, 270}), 90);  // equal scores: the lower sector
    EXPECT_EQ(of({0, 0, 180, 180, 157.5}), 180);     // a neighbour decides
    EXPECT_EQ(of({337.5, 337.5, 90, 90, 0}), 337.5); // the neighbour across north counts too
    EXPECT_EQ(of({360, 348.76, 11.25, 348.75}), 0);  // 360, 348.76 and 11.25 are north
    EXPECT_EQ(of({348.75, 348.75, 0}), 337.5);       // 348.75 is the last of NNW
    EXPECT_EQ(of({-1, 361, MISSING}), MISSING);      // nothing countable
    EXPECT_EQ(of({-1, 361, 200}), 202.5);

    // Only the rows of the range count.
    HourlyTable t = {Hour(1, 1, 1, 0, 270), Hour(1, 1, 2, 0, 90), Hour(1, 1, 3, 0, 90),
                     Hour(1, 1, 4, 0, 270)};
    EXPECT_EQ(MostFrequentDirection(t, 1, 2), 90);
}

} // namespace
} // namespace kolvane
