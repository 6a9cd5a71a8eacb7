#pragma once

#include "model/FileNames.h"
#include "request/RunRequest.h"

#include <limits>
#include <string>
#include <vector>

namespace kolvane {

// The monthly files of one calendar year, and the two year characters of that year.
struct YearRun {
    std::vector<std::string> monthlyNames;
    std::string yy;
};

// Cuts month list entries ("YYYY/MM", in list order) into year runs: consecutive names with the same
// two year characters form one run.
std::vector<YearRun> PlanYearRuns(const std::vector<std::string>& selectedEntries, const StationKey& key);

// Where and with what one station is converted.
struct ConversionSettings {
    double latitude = 0;       // decimal degrees, north positive
    std::string monthlyFolder; // ends in "/"; also where an earlier yearly file is looked up
    std::string outputFolder;  // ends in "/"
    StationKey key;
    bool writeQuality = true; // the companion files beside each yearly file
    // An earlier yearly file in the output folder is merged in place of the monthly folder's.
    bool mergeOutput = false;
    std::string latitudeText{}; // as given (degrees:minutes:seconds, or decimal degrees), for the run log
    std::string program{};      // the front end, for the run log
    double longitude = std::numeric_limits<double>::quiet_NaN(); // degrees east, NaN when not known
};

// One station's conversion, planned before anything is read or written.
struct StationPlan {
    StationKey station;
    ConversionSettings settings;
    std::vector<YearRun> runs;
    // Selected months of the station without a monthly file (only when months were selected).
    std::vector<std::string> missingMonths;
    // The yearly files the run would replace without having merged from them: those already in an
    // output folder that is not the monthly folder (the earlier yearly file is read from the monthly
    // folder), unless mergeOutput. A front end asks, or refuses, before it lets the run replace them.
    std::vector<std::string> replacedUnmerged;
};

// Checks the request and plans every station before anything is read or written. Stations named twice
// (ignoring letter case) are converted once. Throws RequestError, or KolvaneError for a monthly folder
// that cannot be listed.
std::vector<StationPlan> PlanConversion(const ConversionRequest& request);

// The window's one station from its checked request, the output folder chosen. Throws RequestError, also
// for an output folder that is not a folder.
StationPlan PlanRun(const RunRequest& request);

// One station with the given months (in list order) and latitude parts, without listing the monthly
// folder: no missing months are looked for. Throws RequestError.
StationPlan PlanStation(const ConversionRequest& request, const StationKey& station,
                        const std::vector<std::string>& months, const std::vector<std::string>& latitude);

} // namespace kolvane
