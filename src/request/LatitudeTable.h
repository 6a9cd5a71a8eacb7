#pragma once

#include <map>
#include <string>
#include <vector>

namespace kolvane {

// The latitude of each station of a table the user keeps, as the parts a request takes.
struct LatitudeTable {
    std::string path;
    // Keyed by group ID and bucket ID as one text in lower case, e.g. "0312".
    std::map<std::string, std::vector<std::string>> rows;
    // The longitude of the rows that give one in a third column, keyed alike.
    std::map<std::string, std::vector<std::string>> longitudes;
};

// Reads a CSV table of "GGBB,latitude[,longitude]" rows (D:M:S or decimal degrees; a header line, blank
// lines, quotes and a UTF-8 byte order mark are allowed). Throws RequestError (Coordinates) naming the file,
// and the line of a row that cannot be used.
LatitudeTable ReadLatitudeTable(const std::string& path);

} // namespace kolvane
