#pragma once

// The window's way into the engine until it runs a conversion job of its own: one station, the
// first failing year thrown as its message.

#include "engine/Plan.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kolvane {

// The window's checked request as a conversion: the latitude in degrees and the year runs.
struct PlannedRun {
    ConversionSettings settings;
    std::vector<YearRun> runs;
    std::vector<std::string> replacedUnmerged;
};
// Throws RequestError, also for an output folder that is not a folder.
PlannedRun PlanRun(const RunRequest& request);

// The yearly files the run would replace without having merged from them (see StationPlan).
std::vector<std::string> YearlyFilesReplacedUnmerged(const PlannedRun& run);

// How the window follows a run and stops it. Both are called on the thread that runs it.
struct RunObserver {
    // A yearly file is in place: the number of files written so far, and its path.
    std::function<void(std::size_t written, const std::string& path)> written = nullptr;
    // Asked before each yearly file is written; true ends the run there.
    std::function<bool()> cancelled = nullptr;
};

struct RunOutcome {
    std::size_t written = 0;
    bool cancelled = false;
};

// Converts the year runs of one station (see RunConversion). Throws KolvaneError with the message of
// the first failing year, after the years before it are written.
RunOutcome ConvertYearRuns(const std::vector<YearRun>& runs, const ConversionSettings& settings,
                           const RunObserver& observer = {}, unsigned threads = 0);

} // namespace kolvane
