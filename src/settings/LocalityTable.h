#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// The table of localities per prefecture, beside the executable:
// prefecture,code,name,latDeg,latMin,latSec,lonDeg,lonMin,lonSec (CP932, CR LF or LF, no header).
//
// Every operation reads the file afresh. An unreadable table behaves as an empty one; nothing here
// is ever reported to the user. Lines with fewer than nine fields, or whose prefecture field is not
// a number, are skipped. Of rows that match alike, the first in file order counts.
inline constexpr std::string_view LOCALITY_TABLE_FILE_NAME = "locale.dat";

// The table's path in `folder` (a "/" is added when the folder lacks one).
std::string LocalityTablePath(const std::string& folder);

struct LocalityList {
    std::vector<std::string> names; // in file order
    int selection = 0;              // position to select when `names` is not empty
};

// The names of a prefecture's localities. The prefecture field is compared as a number (blanks
// around it allowed, so "013" and " 13" are 13). `selection` is the position of the first listed row
// whose code equals `localityCode` exactly, else 0. Index 0 (the blank prefecture) lists nothing.
LocalityList ListLocalities(const std::string& tablePath, int prefectureIndex, std::string_view localityCode);

// The six box texts of a locality, in box order: latitude and longitude, each degrees, minutes,
// seconds.
struct LocalityCoordinates {
    std::array<std::string, 3> latitude;
    std::array<std::string, 3> longitude;
};

// Formats one coordinate field for its box. A whole number is zero-padded to `width` digits ("5" ->
// "05", 98 -> "098" for width 3). Any other field (a fraction, a word, an empty field) is passed on
// with the blanks around it removed, for the box's range check to judge: a fraction in range is
// kept as it stands instead of being rounded, anything else gets the box's message.
std::string FormatCoordinateField(std::string_view field, int width);

// The coordinates of the first row whose prefecture field is exactly the plain decimal text of the
// index and whose name equals `shownName` exactly. Nothing for index 0, no match or no table.
std::optional<LocalityCoordinates> FindLocalityCoordinates(const std::string& tablePath, int prefectureIndex,
                                                           std::string_view shownName);

// The name of the first row whose coordinates are `coordinates` (each field compared as its box shows
// it), a row of `preferredPrefecture` before any other; nothing when no row is at that place.
std::optional<std::string> FindLocalityAt(const std::string& tablePath,
                                          const LocalityCoordinates& coordinates, int preferredPrefecture);

// The code of that same row, or nothing.
std::optional<std::string> FindLocalityCode(const std::string& tablePath, int prefectureIndex,
                                            std::string_view shownName);

} // namespace kolvane
