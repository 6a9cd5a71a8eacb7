#pragma once

#include "model/FileNames.h"

#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// The regular files of `folder` (ending in "/") whose names match `pattern`, ascending ignoring ASCII
// case; of names that differ only in letter case the first is listed, once. Returns 0 or an errno.
int ListMatchingFiles(const std::string& folder, std::string_view pattern, std::vector<std::string>& names);

// Distinct group IDs / bucket IDs of monthly file names, in order of first appearance.
std::vector<std::string> DistinctGroups(const std::vector<std::string>& names);
std::vector<std::string> DistinctBuckets(const std::vector<std::string>& names);

// Month list entries "YYYY/MM" of monthly file names, in their order, each once; names that could
// never be converted are left out.
std::vector<std::string> MonthEntries(const std::vector<std::string>& names);

// True when `folder` exists and holds at least one regular file.
bool FolderHasRegularFile(const std::string& folder);

// The lists the user chooses a station and its months from, each listing the folder anew, since files
// may come and go between two choices. Each returns 0 or the errno of a folder that cannot be listed.
int ListGroups(const std::string& folder, std::vector<std::string>& groups);
int ListBuckets(const std::string& folder, std::string_view group, std::vector<std::string>& buckets);
int ListMonths(const std::string& folder, const StationKey& station, std::vector<std::string>& months);

// A station found in a folder, with its month list.
struct StationMonths {
    std::string group;
    std::string bucket;
    std::vector<std::string> months;
};

// Every station of the folder in list order (groups, then buckets, as the window cascades them).
int ListStations(const std::string& folder, std::vector<StationMonths>& stations);

} // namespace kolvane
