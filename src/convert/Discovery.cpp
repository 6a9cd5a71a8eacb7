#include "convert/Discovery.h"

#include "model/DateText.h"
#include "model/FileIo.h"
#include "model/Text.h"

#include <algorithm>

namespace kolvane {
namespace {

std::vector<std::string> DistinctAt(const std::vector<std::string>& names, std::size_t pos) {
    std::vector<std::string> ids;
    for (const std::string& name : names) {
        std::string id = name.substr(pos, 2);
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(std::move(id));
    }
    return ids;
}

} // namespace

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    if (name.size() != pattern.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (pattern[i] != '?' && !EqualsIgnoreAsciiCase(name.substr(i, 1), pattern.substr(i, 1)))
            return false;
    }
    return true;
}

std::string GroupPattern(std::string_view group) {
    return "M????_" + std::string(group) + "??.csv";
}

std::string StationPattern(std::string_view group, std::string_view bucket) {
    return "M????_" + std::string(group) + std::string(bucket) + ".csv";
}

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
    return DistinctAt(names, 6);
}

std::vector<std::string> DistinctBuckets(const std::vector<std::string>& names) {
    return DistinctAt(names, 8);
}

std::vector<std::string> MonthEntries(const std::vector<std::string>& names) {
    std::vector<std::string> entries;
    for (const std::string& name : names) {
        if (name.size() < 5 || !IsAsciiDigit(name[1]) || !IsAsciiDigit(name[2]) || !IsAsciiDigit(name[3]) ||
            !IsAsciiDigit(name[4]))
            continue;
        int month = (name[3] - '0') * 10 + (name[4] - '0');
        if (month < 1 || month > 12) continue;
        std::string entry = FourDigitYear(std::string_view(name).substr(1, 2));
        entry += '/';
        entry += name.substr(3, 2);
        if (std::find(entries.begin(), entries.end(), entry) == entries.end())
            entries.push_back(std::move(entry));
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
    const int error = ListMatchingFiles(folder, StationPattern(station.group, station.bucket), names);
    months = MonthEntries(names);
    return error;
}

int ListStations(const std::string& folder, std::vector<StationMonths>& stations) {
    stations.clear();
    std::vector<std::string> all;
    if (int e = ListMatchingFiles(folder, MONTHLY_PATTERN, all)) return e;
    for (const std::string& group : DistinctGroups(all)) {
        std::vector<std::string> ofGroup;
        std::copy_if(all.begin(), all.end(), std::back_inserter(ofGroup),
                     [&](const std::string& n) { return MatchesPattern(n, GroupPattern(group)); });
        for (const std::string& bucket : DistinctBuckets(ofGroup)) {
            std::vector<std::string> ofStation;
            std::copy_if(
                ofGroup.begin(), ofGroup.end(), std::back_inserter(ofStation),
                [&](const std::string& n) { return MatchesPattern(n, StationPattern(group, bucket)); });
            stations.push_back({group, bucket, MonthEntries(ofStation)});
        }
    }
    return 0;
}

} // namespace kolvane
