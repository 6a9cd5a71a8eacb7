#pragma once

#include "model/Error.h"
#include "model/FileNames.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// The window's request for its one station, as the user gave it.
struct RunRequest {
    // The latitude as the three box texts (degrees, minutes, seconds), or one text of decimal degrees.
    std::vector<std::string> latitude;
    // The longitude box texts, or one text of decimal degrees: the sun's hour for the plausibility
    // checks. The window asks for it to be set; a front end without it leaves this empty.
    std::vector<std::string> longitude;
    StationKey station;
    std::vector<std::string> months; // month list entries "YYYY/MM", in list order
    std::string monthlyFolder;       // ends in "/"
    std::string outputFolder;        // ends in "/"; empty until chosen
    // Keep the days of a yearly file already in another output folder, as if it lay in the monthly
    // folder, instead of replacing it.
    bool mergeOutput = false;
    std::string program = "kolvane"; // the front end, named in the run log
};

struct LatitudeTable;

// What a front end asks to convert, as the user gave it: the window one station, the command line
// any number. Both fill one and let the core check and plan it, so they accept and refuse the same
// things.
struct ConversionRequest {
    std::vector<StationKey> stations; // in the order given; ignored with allStations
    bool allStations = false;         // every station of the monthly folder, in list order
    // Month list entries "YYYY/MM" in any order (planned in list order); empty means every month of
    // each station.
    std::vector<std::string> months;
    // The latitude as the three box texts (degrees, minutes, seconds), or one text of decimal degrees,
    // for every station; empty to take each station's from `table`.
    std::vector<std::string> latitude;
    const LatitudeTable* table = nullptr;
    // The longitude as the three box texts, or one text of decimal degrees, where a table row has none;
    // empty when not known.
    std::vector<std::string> longitude;
    std::string monthlyFolder; // ends in "/"; also where an earlier yearly file is looked up
    std::string outputFolder;  // ends in "/"
    bool writeQuality = true;  // the companion files beside each yearly file
    // Keep the days of a yearly file already in another output folder, as if it lay in the monthly
    // folder, instead of replacing it.
    bool mergeOutput = false;
    std::string program = "kolvane-convert"; // the front end, named in the run log
};

// What of a request was refused. Nothing has been read or written when it is thrown.
enum class RequestField { Coordinates, Station, Months, OutputFolder };

class RequestError : public KolvaneError {
  public:
    RequestError(RequestField field, const std::string& message) : KolvaneError(message), field(field) {}
    RequestField field;
};

// Checks what can be checked before the output folder is chosen: the coordinates set and in range,
// the station, at least one month. Throws RequestError.
void CheckRunRequest(const RunRequest& request);

// The latitude parts of a request (three box texts, or one text of decimal degrees) in decimal degrees.
// Throws RequestError (Coordinates) with the range message of the first part refused.
double LatitudeDegrees(const std::vector<std::string>& parts);

// The longitude parts (three box texts, or one text of decimal degrees) in decimal degrees east, when
// they are a longitude the boxes accept (120-155 degrees); nothing when empty, half-typed or out of range.
std::optional<double> LongitudeDegrees(const std::vector<std::string>& parts);

// A latitude typed as one text, split at ":" into those parts ("35:30:00" -> three, "35.5" -> one),
// each as it stands.
std::vector<std::string> SplitLatitudeText(std::string_view text);

} // namespace kolvane
