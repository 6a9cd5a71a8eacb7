#include "daily/Evaporation.h"

#include <cmath>

namespace kolvane {
namespace {

// Saturated vapour density (g/cm3) at absolute temperature k.
double SaturatedDensity(double k) {
    return 4.85e-6 * std::exp(55.9483 - 5.6162 * std::log(k) - 6675.93 / k);
}

double DensitySlope(double k) {
    return (6675.93 / k - 5.6162) * SaturatedDensity(k) / k;
}

} // namespace

EvaporationResult ComputeEvaporation(double ta, double rh, double u, double rs) {
    const double h = rh / 100;
    const double rabs = 0.7 * rs * 0.2389e6 / 1e4;
    const double sigma = 1.355e-12 * 86400;
    const double latent = 585.8 * (1 - 9.83e-4 * (ta - 20));
    const double transfer = 3.855e3 * (1 + 3.149e-3 * (ta - 20));
    const double f = u >= 1 ? 13.73 * std::pow(u, 0.792) : 14.47 * std::pow(u, 0.555);
    const double rhoA = SaturatedDensity(ta + 273.15);

    const double q = rabs - transfer * latent * f * (1 - h) * rhoA;

    EvaporationResult r;
    double ts = ta;
    double tm = ta;
    while (true) {
        if (r.iterations == EVAPORATION_MAX_ITERATIONS) return r;
        ++r.iterations;
        tm = (ts + ta) / 2;
        const double km = tm + 273.15;
        const double km3 = km * km * km;
        const double next = ta + q / (4 * sigma * km3 + f + transfer * latent * f * DensitySlope(km));
        if (!std::isfinite(next)) {
            r.arithmeticFailed = true;
            return r;
        }
        if (std::fabs(next - ts) < 0.01) break;
        ts = next;
    }

    const double finalTransfer = 3.855e3 * (1 + 3.149e-3 * tm);
    double e = 10 * finalTransfer * f * (SaturatedDensity(ts + 273.15) - h * rhoA);
    if (e < 0) e = 0;
    r.evaporation = e;
    r.surfaceTemp = ts;
    r.meanTemp = tm;
    r.converged = true;
    return r;
}

} // namespace kolvane
