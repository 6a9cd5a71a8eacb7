#pragma once

#include <cstdint>

namespace kolvane {

struct RadiationResult {
    double dayLength = 0;        // possible sunshine hours N, hours
    double sunshine = 0;         // sunshine duration n, hours
    double netRadiation = 0;     // Rn, MJ/m2 per day
    double extraterrestrial = 0; // Ra, MJ/m2 per day
};

// The sun's path on one day as the derived values see it: the declination from a day number of
// 30.36-day months, and the northern-hemisphere branch at the equinoxes. Angles in radians.
struct SolarDay {
    double latitude = 0;        // phi
    double declination = 0;     // delta
    double sunsetHourAngle = 0; // omega: half the day, from noon to sunset
    double eccentricity = 0;    // E0, the inverse relative sun-earth distance squared
};

SolarDay ComputeSolarDay(int32_t month, int32_t day, double latitude);

// Day length, sunshine duration and net radiation of one day from its aggregates and the latitude
// (decimal degrees, northern hemisphere). pi is taken as 3.1416 throughout, as the values in stored
// yearly files were computed that way.
RadiationResult ComputeRadiation(int32_t month, int32_t day, double latitude, double meanTemp,
                                 double meanHumidity, double solarSum);

// Saturation vapour pressure (hPa) at temperature t (degrees Celsius).
double SaturationVapourPressure(double t);

} // namespace kolvane
