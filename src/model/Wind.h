#pragma once

#include <string_view>

namespace kolvane {

// The sixteen direction sectors: sector k has the centre 22.5k degrees and holds
// (22.5k - 11.25, 22.5k + 11.25]; sector 0 holds [0, 11.25] and (348.75, 360].
// Returns the sector, or -1 for a direction below 0 or above 360 (MISSING included).
int WindSector(double degrees);

// The sector's code "N" ... "NNW", or "X" when the direction lies in no sector.
std::string_view WindSectorCode(double degrees);

// The centre of the sector whose code equals `code` exactly (case-sensitive), or MISSING.
double WindCodeDegrees(std::string_view code);

} // namespace kolvane
