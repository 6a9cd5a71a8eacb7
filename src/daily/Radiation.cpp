#include "daily/Radiation.h"

#include <cmath>

namespace kolvane {

double SaturationVapourPressure(double t) {
    const double t2 = t * t;
    const double t3 = t2 * t;
    const double t4 = t2 * t2;
    return std::exp(-3.86308e-9 * t4 + 1.18176e-6 * t3 - 3.00388e-4 * t2 + 0.0726615 * t + 1.80938);
}

SolarDay ComputeSolarDay(int32_t month, int32_t day, double latitude) {
    const double phi = latitude / 180 * 3.1416;
    const double j = (month - 1) * 30.36 + day;
    const double gamma = 6.2832 / 365 * j;
    const double lambda = gamma + 4.871 + 0.033 * std::sin(gamma);

    // Spring to autumn equinox by day number: the northern summer half of the year.
    const bool summerHalf = 80 < j && j <= 266;
    const double s = 0.398 * std::sin(lambda);
    const double delta0 = std::atan(std::sqrt(s * s / (1 - s * s)));
    const double delta = summerHalf ? delta0 : -delta0;

    const double c = -std::tan(phi) * std::tan(delta);
    const double omega0 = std::atan(std::sqrt((1 - c * c) / (c * c)));
    const double omega = summerHalf ? 3.1416 - omega0 : omega0;

    const double e0 = 1.00011 + 0.034221 * std::cos(gamma) + 0.00128 * std::sin(gamma) +
                      0.000719 * std::cos(2 * gamma) + 0.000077 * std::sin(2 * gamma);
    return {phi, delta, omega, e0};
}

RadiationResult ComputeRadiation(int32_t month, int32_t day, double latitude, double meanTemp,
                                 double meanHumidity, double solarSum) {
    const SolarDay sun = ComputeSolarDay(month, day, latitude);
    const double phi = sun.latitude;
    const double delta = sun.declination;
    const double omega = sun.sunsetHourAngle;
    const double e0 = sun.eccentricity;

    RadiationResult r;
    r.dayLength = 2 * omega * 24 / 6.2832;

    const double ra =
        (1365 / 3.1416) * e0 *
        (omega * std::sin(phi) * std::sin(delta) + std::cos(phi) * std::cos(delta) * std::sin(omega)) *
        86400 / 1e6;
    r.extraterrestrial = ra;

    const double rs = solarSum;
    if (0.118 * ra < rs) {
        r.sunshine = (rs / ra - 0.244) / 0.511 * r.dayLength;
        if (r.sunshine < 0) r.sunshine = 0;
    } else {
        r.sunshine = 0;
    }

    const double t = meanTemp;
    const double es = SaturationVapourPressure(t);
    const double ea = es * meanHumidity / 100;
    const double relative = rs / ra;
    const double k = t + 273.15;
    const double k4 = (k * k) * (k * k);
    const double rnl =
        3.402e-12 * k4 * ((202.6 * relative + 286.18) - (10.92 * relative + 45.24) * std::sqrt(ea));
    r.netRadiation = 0.85 * rs - rnl;
    return r;
}

} // namespace kolvane
