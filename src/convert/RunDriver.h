#pragma once

#include "convert/RunPlan.h"
#include "convert/YearRun.h"

#include <functional>
#include <string>
#include <vector>

namespace kolvane {

// How a front end follows a run and stops it. Both are called on the thread that runs it.
struct RunObserver {
    // A yearly file is in place: the number of files written so far, and its path.
    std::function<void(std::size_t written, const std::string& path)> written = nullptr;
    // Asked before each yearly file is written; true ends the run there, with the files written so
    // far in place and the next one untouched.
    std::function<bool()> cancelled = nullptr;
};

struct RunOutcome {
    std::size_t written = 0;
    bool cancelled = false;
};

// Converts the year runs in order. Years may be computed in parallel, but what the user sees is the
// same as one year after the other: yearly files are replaced in run order, and nothing happens after
// the first failing year (its file and every later one untouched, earlier ones kept). Throws
// KolvaneError at the first failure. `threads` 0 means one per processor.
RunOutcome ConvertYearRuns(const std::vector<YearRun>& runs, const ConversionSettings& settings,
                           const RunObserver& observer = {}, unsigned threads = 0);

// The same one year after the other on the calling thread, with names looked up through the given
// folders of the settings, so that many runs over one folder list it once.
RunOutcome ConvertYearRunsInOrder(const std::vector<YearRun>& runs, const ConversionSettings& settings,
                                  FolderLookup& monthlyFolder, FolderLookup& outputFolder,
                                  const RunObserver& observer = {});

} // namespace kolvane
