#pragma once

#include "convert/RunDriver.h"
#include "convert/RunPlan.h"
#include "convert/YearRun.h"
#include "model/Error.h"

#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// What a front end asks to convert, as the user gave it. Both front ends fill one and let the core
// check it, so the window and the command line accept and refuse the same things.
struct RunRequest {
    // The latitude as the three box texts (degrees, minutes, seconds), or one text of decimal degrees.
    std::vector<std::string> latitude;
    // The longitude box texts. The conversion does not use the longitude, but the window asks for it
    // to be set; a front end without it leaves this empty.
    std::vector<std::string> longitude;
    StationKey station;
    std::vector<std::string> months; // month list entries "YYYY/MM", in list order
    std::string monthlyFolder;       // ends in "/"
    std::string outputFolder;        // ends in "/"; empty until chosen
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

// A latitude typed as one text, split at ":" into those parts ("35:30:00" -> three, "35.5" -> one),
// each as it stands.
std::vector<std::string> SplitLatitudeText(std::string_view text);

// The checked request as a conversion: the latitude in degrees and the year runs of the months.
// Throws RequestError, also for an output folder that is not a folder.
struct PlannedRun {
    ConversionSettings settings;
    std::vector<YearRun> runs;
};
PlannedRun PlanRun(const RunRequest& request);

// The yearly files the run would replace without having merged from them: those already in an output
// folder that is not the monthly folder (the earlier yearly file is read from the monthly folder).
// Empty when the two folders are the same. A front end asks before it lets the run replace them.
std::vector<std::string> YearlyFilesReplacedUnmerged(const PlannedRun& run);

} // namespace kolvane
