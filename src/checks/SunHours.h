#pragma once

#include "daily/Radiation.h"

#include <limits>

namespace kolvane {

inline constexpr double UNKNOWN_LONGITUDE = std::numeric_limits<double>::quiet_NaN();

// How far the sun's time may stand behind or ahead of the files' clock (Japan standard time), hours.
struct SunClock {
    double behind;
    double ahead;
};

// At a known longitude (degrees east) only the equation of time is left open; unknown (NaN), every
// offset a station in Japan has (Thresholds.h, SUN).
SunClock SunClockAt(double longitude);

// The sun over an hour of one day. `endHour` is the clock time the hour ends, 0 to 24.
class SunHours {
  public:
    explicit SunHours(const SolarDay& sun, SunClock clock = SunClockAt(UNKNOWN_LONGITUDE));

    // The most radiation that can reach a horizontal surface at the top of the atmosphere, MJ/m2.
    double TopOfAtmosphereMax(double endHour) const;
    // Whether the sun stays below the horizon the whole hour, twilight included.
    bool DownAllHour(double endHour) const;

  private:
    double Energy(double noon, double from, double to) const;

    SunClock clock_;
    double sinSin_, cosCos_; // of latitude and declination
    double halfAngle_;       // sunset hour angle, radians
    double halfDay_;         // hours
    double perRadian_;       // MJ/m2 per radian of hour angle with the sun overhead
};

} // namespace kolvane
