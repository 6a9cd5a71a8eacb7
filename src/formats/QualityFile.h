#pragma once

#include "daily/Completeness.h"
#include "model/Records.h"
#include "model/YearlyProof.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// The companion of a yearly file: for every day of the year, how many hours made it and its class.
inline constexpr std::array<std::string_view, 3> QUALITY_HEADER = {"年月日", "時間数", "区分"};
// Then the number of suspect values the checks found in the day; companions written before the checks
// lack it.
inline constexpr std::string_view SUSPECT_COLUMN = "疑わしい値";

// The companion text of a year (CP932, CR LF): the quoted short date, the hours ("X" for a day kept
// from an earlier yearly file, whose hours are not known), the class name and the day's suspect values
// from `suspect`, one per day of `year` ("X" for a negative count: not known).
std::string FormatQualityText(const DailyTable& year, const std::vector<int32_t>& suspect);

struct DayQuality {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hours = -1; // -1: not known
    DayClass dayClass = DayClass::NoData;
    int32_t suspect = -1; // the day's suspect values; -1: not known

    bool operator==(const DayQuality&) const = default;
};

// Reads a companion text; lines that cannot be read are left out, as are columns after the known ones.
// Throws KolvaneError for a missing or repeated column.
std::vector<DayQuality> ParseQualityText(std::string_view bytes, const std::string& file);

// What a year's companion says at a glance: the days of each class (in the order of DAY_CLASSES) and
// the longest run of days without data.
struct QualitySummary {
    std::array<int, DAY_CLASSES.size()> days{};
    int longestGap = 0;  // days
    DayQuality gapStart; // its first day, when there is a gap
};

// The companion beside a yearly file; its rows are the days.
using Companion = BesideYearly<DayQuality>;

// Throws KolvaneError for a companion that exists but cannot be read, or (when it belongs) as
// ParseQualityText.
Companion ReadCompanionOf(const std::string& yearlyPath, std::string_view yearlyBytes);

// Removes the companion at `companionPath` unless it was written with this yearly file; a yearly file
// written without its companion must not keep one that describes another. True when it was removed.
bool RemoveCompanionNotOf(const std::string& companionPath, std::string_view yearlyName,
                          std::string_view yearlyBytes);

QualitySummary SummarizeQuality(const std::vector<DayQuality>& days);

} // namespace kolvane
