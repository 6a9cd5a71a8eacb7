#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// The station: two-character group ID and bucket ID, verbatim from the monthly file names.
struct StationKey {
    std::string group;
    std::string bucket;
};

// "M" yy mm "_" group bucket ".csv", e.g. 2005/04 of 03/12 -> M0504_0312.csv.
std::string MonthlyFileName(int32_t year, int32_t month, const StationKey& key);
// The same for a month list entry "YYYY/MM" (read leniently: a part without a number counts as 0).
std::string MonthlyFileNameOfEntry(std::string_view entry, const StationKey& key);

// "Y" four-digit year (century rule on yy) "_" group bucket ".csv", e.g. Y2005_0312.csv.
std::string YearlyFileName(std::string_view yy, const StationKey& key);

// "Q" four-digit year "_" group bucket ".csv": the completeness of every day of the yearly file.
std::string QualityFileName(std::string_view yy, const StationKey& key);

// The companion's name of a yearly file name (Y2005_0312.csv -> Q2005_0312.csv, the case kept).
std::string QualityFileNameOf(std::string_view yearlyFileName);
// The companion's path of a yearly file's path: beside it, under QualityFileNameOf its name.
std::string QualityPathOf(const std::string& yearlyPath);

// The monthly files of one calendar year, and the two year characters of that year.
struct YearRun {
    std::vector<std::string> monthlyNames;
    std::string yy;
};

// Cuts the selected month list entries ("YYYY/MM", in list order) into year runs: consecutive names
// with the same two year characters form one run.
std::vector<YearRun> PlanYearRuns(const std::vector<std::string>& selectedEntries, const StationKey& key);

} // namespace kolvane
