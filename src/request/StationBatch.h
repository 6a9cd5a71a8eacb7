#pragma once

#include "convert/Discovery.h"
#include "request/RunRequest.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kolvane {

// The latitude of each station of a table the user keeps, as the parts a RunRequest takes.
struct LatitudeTable {
    std::string path;
    // Keyed by group ID and bucket ID as one text in lower case, e.g. "0312".
    std::map<std::string, std::vector<std::string>> rows;
};

// Reads a CSV table of "GGBB,latitude" rows (D:M:S or decimal degrees; a header line, blank lines, quotes
// and a UTF-8 byte order mark are allowed). Throws RequestError (Coordinates) naming the file, and the line
// of a row that cannot be used.
LatitudeTable ReadLatitudeTable(const std::string& path);

// Many stations converted with the same months and folders, as the command line asks for them.
struct BatchRequest {
    std::vector<StationKey> stations;     // in the order given; ignored with allStations
    bool allStations = false;             // every station of the monthly folder, in list order
    std::vector<std::string> months;      // "YYYY/MM" in any order; empty means every month of each station
    std::vector<std::string> latitude;    // the parts of one latitude for every station, or empty
    const LatitudeTable* table = nullptr; // used when latitude is empty
    std::string monthlyFolder;            // ends in "/"
    std::string outputFolder;             // ends in "/"
    bool writeQuality = true;             // the companion file beside each yearly file
};

struct StationPlan {
    StationKey station;
    PlannedRun run;
    std::vector<std::string> missingMonths; // selected months of the station without a monthly file
};

// Checks the request and plans every station before anything is read or written. Stations named twice
// (ignoring letter case) are converted once. Throws RequestError, or KolvaneError for a monthly folder
// that cannot be listed.
std::vector<StationPlan> PlanStations(const BatchRequest& request);

// "0312": how a station is named to the user.
std::string StationName(const StationKey& station);

struct StationFailure {
    std::size_t index = 0; // of the station in the plans
    std::string message;
};

// How a front end follows many stations. Every call is made on the calling thread.
struct BatchObserver {
    // A station is done, in station order: the yearly files it wrote (all of them when it failed
    // part way, earlier years stay).
    std::function<void(std::size_t index, const std::vector<std::string>& written)> stationDone = nullptr;
    // Something finished: stations done and yearly files written so far, of the totals.
    std::function<void(std::size_t stationsDone, std::size_t yearsDone)> progress = nullptr;
};

// Converts the stations in parallel on about `threads` threads (0: one per processor). A failing station
// stops only itself. Returns the failures in station order.
std::vector<StationFailure> ConvertStations(const std::vector<StationPlan>& plans,
                                            const BatchObserver& observer = {}, unsigned threads = 0);

} // namespace kolvane
