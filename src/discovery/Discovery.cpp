#include "discovery/Discovery.h"

#include "model/FileIo.h"
#include "model/Text.h"

#include <algorithm>
#include <unordered_set>

namespace kolvane {
namespace {

template <typename Id> std::vector<std::string> Distinct(const std::vector<std::string>& names, Id id) {
    std::vector<std::string> ids;
    for (const std::string& name : names) {
        const std::optional<MonthlyNameParts> parts = ParseMonthlyFileName(name);
        if (!parts) continue;
        std::string value = id(parts->station);
        if (std::find(ids.begin(), ids.end(), value) == ids.end()) ids.push_back(std::move(value));
    }
    return ids;
}

} // namespace

int ListMatchingFiles(const std::string& folder, std::string_view pattern, std::vector<std::string>& names) {
    std::vector<std::string> all;
    names.clear();
    if (int e = ListRegularFiles(folder, all)) return e;
    for (std::string& name : all) {
        if (!MatchesPattern(name, pattern)) continue;
        if (!names.empty() && EqualsIgnoreAsciiCase(names.back(), name)) continue;
        names.push_back(std::move(name));
    }
    return 0;
}

std::vector<std::string> DistinctGroups(const std::vector<std::string>& names) {
    return Distinct(names, [](const StationKey& s) { return s.group; });
}

std::vector<std::string> DistinctBuckets(const std::vector<std::string>& names) {
    return Distinct(names, [](const StationKey& s) { return s.bucket; });
}

std::vector<std::string> MonthEntries(const std::vector<std::string>& names) {
    std::vector<std::string> entries;
    // A station of a century has 1,200 months: looked up, not searched for, before the run can start.
    std::unordered_set<std::string> seen;
    for (const std::string& name : names) {
        std::optional<std::string> entry = MonthEntryOfName(name);
        if (entry && seen.insert(*entry).second) entries.push_back(std::move(*entry));
    }
    return entries;
}

bool FolderHasRegularFile(const std::string& folder) {
    std::vector<std::string> names;
    return ListRegularFiles(folder, names) == 0 && !names.empty();
}

int ListGroups(const std::string& folder, std::vector<std::string>& groups) {
    std::vector<std::string> names;
    const int error = ListMatchingFiles(folder, MONTHLY_PATTERN, names);
    groups = DistinctGroups(names);
    return error;
}

int ListBuckets(const std::string& folder, std::string_view group, std::vector<std::string>& buckets) {
    std::vector<std::string> names;
    const int error = ListMatchingFiles(folder, GroupPattern(group), names);
    buckets = DistinctBuckets(names);
    return error;
}

int ListMonths(const std::string& folder, const StationKey& station, std::vector<std::string>& months) {
    std::vector<std::string> names;
    const int error = ListMatchingFiles(folder, StationPattern(station), names);
    months = MonthEntries(names);
    return error;
}

int ListStations(const std::string& folder, std::vector<StationMonths>& stations) {
    stations.clear();
    std::vector<std::string> all;
    if (int e = ListMatchingFiles(folder, MONTHLY_PATTERN, all)) return e;
    for (const std::string& group : DistinctGroups(all)) {
        std::vector<std::string> ofGroup;
        const std::string groupPattern = GroupPattern(group);
        std::copy_if(all.begin(), all.end(), std::back_inserter(ofGroup),
                     [&](const std::string& n) { return MatchesPattern(n, groupPattern); });
        for (const std::string& bucket : DistinctBuckets(ofGroup)) {
            std::vector<std::string> ofStation;
            const std::string stationPattern = StationPattern({group, bucket});
            std::copy_if(ofGroup.begin(), ofGroup.end(), std::back_inserter(ofStation),
                         [&](const std::string& n) { return MatchesPattern(n, stationPattern); });
            stations.push_back({group, bucket, MonthEntries(ofStation)});
        }
    }
    return 0;
}

} // namespace kolvane
