#include "daily/Evaporation.h"
#include "daily/Radiation.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

// Relative agreement to four significant digits and better.
// The worked values are given to three decimals.
void ExpectClose(double expected, double actual) {
    EXPECT_NEAR(actual, expected, 0.0005 + 1e-12);
}

TEST(Radiation, WorkedDaysReproduce) {
    struct Case {
        int month, day;
        double latitude, t, rh, rs, n, ra, sunshine, rn;
    };
    const Case cases[] = {
        {6, 21, 35.5, 22.0, 75, 20.0, 14.404, 41.610, 6.671, 12.900},
        {1, 15, 35.5, 5.0, 60, 8.0, 9.852, 17.759, 3.981, 1.450},
        {3, 21, 35.5, 10.0, 65, 15.0, 12.059, 31.126, 5.614, 7.476},
        {12, 31, 43.0, -3.0, 70, 5.0, 8.868, 11.874, 3.073, -0.809},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.month << "/" << c.day);
        RadiationResult r = ComputeRadiation(c.month, c.day, c.latitude, c.t, c.rh, c.rs);
        ExpectClose(c.n, r.dayLength);
        ExpectClose(c.ra, r.extraterrestrial);
        ExpectClose(c.sunshine, r.sunshine);
        ExpectClose(c.rn, r.netRadiation);
    }
    EXPECT_NEAR(SaturationVapourPressure(20), 23.37, 0.01);
}

TEST(Radiation, DeclinationSideFollowsDayNumberAndSunshineIsNotCapped) {
    // 19 March (J 79.72) has a short day, 20 March (J 80.72) a day longer than 12 hours; likewise the
    // autumn switch between 23 and 24 September.
    EXPECT_LT(ComputeRadiation(3, 19, 35.5, 10, 60, 10).dayLength, 12);
    EXPECT_GT(ComputeRadiation(3, 20, 35.5, 10, 60, 10).dayLength, 12);
    EXPECT_GT(ComputeRadiation(9, 23, 35.5, 10, 60, 10).dayLength, 12);
    EXPECT_LT(ComputeRadiation(9, 24, 35.5, 10, 60, 10).dayLength, 12);

    RadiationResult bright = ComputeRadiation(6, 21, 35.5, 22, 75, 40);
    EXPECT_GT(bright.sunshine, bright.dayLength); // not capped
}

TEST(Evaporation, WorkedDaysReproduce) {
    struct Case {
        double ta, rh, u, rs;
        int iterations;
        double ts, tm, e;
    };
    const Case cases[] = {
        {22.0, 75, 3.0, 20.0, 2, 21.793, 21.896, 6.247},
        {5.0, 60, 0.5, 8.0, 3, 7.471, 6.235, 1.515},
        {25.0, 80, 1.0, 0.0, 3, 22.763, 23.881, 1.059},
        {10.0, 65, 2.0, 15.0, 3, 11.168, 10.584, 3.798},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ta << " " << c.rh << " " << c.u << " " << c.rs);
        EvaporationResult r = ComputeEvaporation(c.ta, c.rh, c.u, c.rs);
        ASSERT_TRUE(r.converged);
        EXPECT_EQ(r.iterations, c.iterations);
        ExpectClose(c.ts, r.surfaceTemp);
        ExpectClose(c.tm, r.meanTemp);
        ExpectClose(c.e, r.evaporation);
    }
}

} // namespace
} // namespace kolvane
