#pragma once

namespace kolvane {

struct EvaporationResult {
    double evaporation = 0; // E, mm per day, never negative
    double surfaceTemp = 0; // Ts, degrees Celsius
    double meanTemp = 0;    // Tm of the last iteration
    int iterations = 0;
    bool converged = false;        // false when 1000 iterations did not settle, or the arithmetic failed
    bool arithmeticFailed = false; // an estimate that is not a finite number
};

inline constexpr int EVAPORATION_MAX_ITERATIONS = 1000;

// Water-surface evaporation from daily mean air temperature ta (degrees Celsius), mean relative
// humidity rh (%), mean wind speed u (m/s) and solar sum rs (MJ/m2 per day): a linearised heat balance
// of the surface solved by fixed-point iteration, then a bulk transfer formula. The final transfer
// factor uses the mean of surface and air temperature without subtracting 20, which keeps new values
// consistent with yearly files made earlier.
EvaporationResult ComputeEvaporation(double ta, double rh, double u, double rs);

} // namespace kolvane
