#include "model/Wind.h"

#include "model/Records.h"

#include <array>

namespace kolvane {
namespace {

constexpr std::array<std::string_view, 16> CODES = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                                    "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};

} // namespace

int WindSector(double degrees) {
    if (!(degrees >= 0 && degrees <= 360)) return -1;
    // Every hour's direction comes through here: one division guesses the sector, and its bounds, multiples
    // of 0.25 and so exact in binary, move a guess that rounding put beside a bound.
    int k = static_cast<int>((degrees + 11.25) / 22.5);
    if (degrees > 22.5 * k + 11.25)
        ++k;
    else if (k > 0 && degrees <= 22.5 * k - 11.25)
        --k;
    return k % 16; // above 348.75 is north again
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
