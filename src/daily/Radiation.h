#pragma once

#include <cstdint>

namespace kolvane {

struct RadiationResult {
    double dayLength = 0;        // possible sunshine hours N, hours
    double sunshine = 0;         // sunshine duration n, hours
    double netRadiation = 0;     // Rn, MJ/m2 per day
    double extraterrestrial = 0; // Ra, MJ/m2 per day
};

// Day length, sunshine duration and net radiation of one day from its aggregates and the latitude
// (decimal degrees, northern hemisphere). pi is taken as 3.1416 throughout, as the values in stored
// yearly files were computed that way.
RadiationResult ComputeRadiation(int32_t month, int32_t day, double latitude, double meanTemp,
                                 double meanHumidity, double solarSum);

// Saturation vapour pressure (hPa) at temperature t (degrees Celsius).
double SaturationVapourPressure(double t);

} // namespace kolvane
