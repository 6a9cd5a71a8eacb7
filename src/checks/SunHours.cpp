#include "checks/SunHours.h"

#include "checks/Thresholds.h"

#include <algorithm>
#include <cmath>

namespace kolvane {
namespace {

// The program's own pi, as the day length uses it.
constexpr double PI = 3.1416;

} // namespace

SunClock SunClockAt(double longitude) {
    if (std::isnan(longitude)) return {SUN.solarTimeBehind, SUN.solarTimeAhead};
    const double offset = (longitude - 135) / 15; // hours the mean sun runs ahead of the clock
    return {SUN.equationOfTimeBehind - offset, SUN.equationOfTimeAhead + offset};
}

SunHours::SunHours(const SolarDay& sun, SunClock clock)
    : clock_(clock), sinSin_(std::sin(sun.latitude) * std::sin(sun.declination)),
      cosCos_(std::cos(sun.latitude) * std::cos(sun.declination)), halfAngle_(sun.sunsetHourAngle),
      halfDay_(sun.sunsetHourAngle * 12 / PI),
      perRadian_(SUN.solarConstant * SUN.topOfAtmosphereFactor * sun.eccentricity * (12 * 3600 / PI) / 1e6) {}

double SunHours::Energy(double noon, double from, double to) const {
    const double w1 = std::clamp((from - noon) * PI / 12, -halfAngle_, halfAngle_);
    const double w2 = std::clamp((to - noon) * PI / 12, -halfAngle_, halfAngle_);
    if (!(w2 > w1)) return 0;
    return perRadian_ * (sinSin_ * (w2 - w1) + cosCos_ * (std::sin(w2) - std::sin(w1)));
}

double SunHours::TopOfAtmosphereMax(double endHour) const {
    if (!std::isfinite(halfDay_)) return NO_LIMIT; // no sunset worked out: judge nothing
    // The hour centred nearest noon gets the most; its centre may lie anywhere the offsets allow.
    const double lowest = endHour - 0.5 - clock_.behind - SUN.twilight;
    const double highest = endHour - 0.5 + clock_.ahead + SUN.twilight;
    double most = 0;
    for (double noon : {-12.0, 12.0, 36.0}) {
        const double centre = std::clamp(noon, lowest, highest);
        if (centre + 0.5 > noon - halfDay_ && centre - 0.5 < noon + halfDay_)
            most = std::max(most, Energy(noon, centre - 0.5, centre + 0.5));
    }
    return most;
}

bool SunHours::DownAllHour(double endHour) const {
    if (!std::isfinite(halfDay_)) return false; // no sunset worked out: judge nothing
    const double from = endHour - 1 - clock_.behind - SUN.twilight;
    const double to = endHour + clock_.ahead + SUN.twilight;
    for (double noon : {-12.0, 12.0, 36.0})
        if (from < noon + halfDay_ && to > noon - halfDay_) return false;
    return true;
}

} // namespace kolvane
