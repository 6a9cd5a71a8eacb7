#include "checks/HourlyChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace kolvane {
namespace {

constexpr double PI = 3.14159265358979;

// The sun at a station of known longitude, from other formulas than the program's (Spencer's series for
// the declination and the equation of time, the real day of the year), to hold the checks' allowance
// for the unknown longitude against.
struct ReferenceSun {
    double latitude, declination, equationOfTime, eccentricity, longitude;

    ReferenceSun(int month, int day, double latitudeDeg, double longitudeDeg) : longitude(longitudeDeg) {
        using namespace std::chrono;
        const sys_days date{year{2023} / month / day};
        const double n = static_cast<double>((date - sys_days{year{2023} / January / 1}).count());
        const double g = 2 * PI * n / 365;
        latitude = latitudeDeg * PI / 180;
        declination = 0.006918 - 0.399912 * std::cos(g) + 0.070257 * std::sin(g) -
                      0.006758 * std::cos(2 * g) + 0.000907 * std::sin(2 * g) - 0.002697 * std::cos(3 * g) +
                      0.00148 * std::sin(3 * g);
        equationOfTime = 229.18 * (0.000075 + 0.001868 * std::cos(g) - 0.032077 * std::sin(g) -
                                   0.014615 * std::cos(2 * g) - 0.040849 * std::sin(2 * g));
        eccentricity = 1.000110 + 0.034221 * std::cos(g) + 0.001280 * std::sin(g) +
                       0.000719 * std::cos(2 * g) + 0.000077 * std::sin(2 * g);
    }

    // Sine of the sun's height at a Japan standard clock time (hours).
    double SineOfHeight(double clock) const {
        const double solar = clock + (longitude - 135) / 15 + equationOfTime / 60;
        return std::sin(latitude) * std::sin(declination) +
               std::cos(latitude) * std::cos(declination) * std::cos((solar - 12) * PI / 12);
    }

    // Radiation at the top of the atmosphere over the hour ending at `clock`, MJ/m2, minute by minute.
    double HourAtTop(double clock) const {
        double sum = 0;
        for (int m = 0; m < 60; ++m)
            sum += std::max(0.0, SineOfHeight(clock - 1 + (m + 0.5) / 60));
        return 1361 * eccentricity * sum * 60 / 1e6;
    }
};

// Across Japan's latitudes and its westernmost and easternmost stations, through the year, with the
// longitude unknown and known: no hour's radiation at the top of the atmosphere exceeds what the checks
// allow, and an hour they call dark has the sun well below the horizon all through it.
TEST(SunAllowance, HoldsForEveryStationInJapan) {
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int darkHours = 0, darkKnowingLongitude = 0;
    for (double latitude : {24.0, 35.5, 45.5}) {
        for (double longitude : {123.0, 135.0, 154.0}) {
            for (int month = 1; month <= 12; ++month) {
                for (int day = 1; day <= lengths[month - 1]; day += 3) {
                    const SolarDay solar = ComputeSolarDay(month, day, latitude);
                    const SunHours anywhere(solar), here(solar, SunClockAt(longitude));
                    const ReferenceSun reference(month, day, latitude, longitude);
                    for (int hour = 1; hour <= 24; ++hour) {
                        SCOPED_TRACE(testing::Message() << latitude << " N " << longitude << " E " << month
                                                        << "/" << day << " " << hour << ":00");
                        for (const SunHours* sun : {&anywhere, &here}) {
                            ASSERT_LE(reference.HourAtTop(hour), sun->TopOfAtmosphereMax(hour));
                            if (!sun->DownAllHour(hour)) continue;
                            ++(sun == &here ? darkKnowingLongitude : darkHours);
                            for (int m = 0; m <= 60; ++m) // 5 degrees below the horizon at least
                                ASSERT_LT(reference.SineOfHeight(hour - 1 + m / 60.0), -0.087);
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(darkHours, 9 * 122 * 5); // even in midsummer the hours around midnight are judged
    EXPECT_GT(darkKnowingLongitude, darkHours + 9 * 122); // and knowing where, about an hour more a day
}

} // namespace
} // namespace kolvane
