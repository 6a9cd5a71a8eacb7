#include "model/Wind.h"

#include "model/Records.h"

#include <array>

namespace kolvane {
namespace {

constexpr std::array<std::string_view, 16> CODES = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                                    "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};

} // namespace

int WindSector(double degrees) {
    // The bounds are multiples of 0.25 and so exact in binary.
    if (!(degrees >= 0 && degrees <= 360)) return -1;
    if (degrees <= 11.25 || degrees > 348.75) return 0;
    for (int k = 1; k < 16; ++k) {
        if (degrees <= 22.5 * k + 11.25) return k;
    }
    return -1;
}

std::string_view WindSectorCode(double degrees) {
    int sector = WindSector(degrees);
    return sector < 0 ? std::string_view("X") : CODES[static_cast<std::size_t>(sector)];
}

double WindCodeDegrees(std::string_view code) {
    for (std::size_t k = 0; k < CODES.size(); ++k) {
        if (CODES[k] == code) return 22.5 * static_cast<double>(k);
    }
    return MISSING;
}

} // namespace kolvane
