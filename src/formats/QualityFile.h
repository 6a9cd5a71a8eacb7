#pragma once

#include "daily/Completeness.h"
#include "model/Records.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// The companion of a yearly file: for every day of the year, how many hours made it and its class.
inline constexpr std::array<std::string_view, 3> QUALITY_HEADER = {"年月日", "時間数", "区分"};

// The companion text of a year (CP932, CR LF): the quoted short date, the hours ("X" for a day kept
// from an earlier yearly file, whose hours are not known) and the class name.
std::string FormatQualityText(const DailyTable& year);

struct DayQuality {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hours = -1; // -1: not known
    DayClass dayClass = DayClass::NoData;

    bool operator==(const DayQuality&) const = default;
};

// Reads a companion text; lines that cannot be read are left out. Throws KolvaneError for a missing
// or repeated column.
std::vector<DayQuality> ParseQualityText(std::string_view bytes, const std::string& file);

// Reads and parses the companion file at `path`; none when there is no such file. Throws KolvaneError
// for a file that exists but cannot be read, and as ParseQualityText.
std::optional<std::vector<DayQuality>> ReadQualityFile(const std::string& path);

// What a year's companion says at a glance: the days of each class (in the order of DAY_CLASSES) and
// the longest run of days without data.
struct QualitySummary {
    std::array<int, DAY_CLASSES.size()> days{};
    int longestGap = 0;  // days
    DayQuality gapStart; // its first day, when there is a gap
};

QualitySummary SummarizeQuality(const std::vector<DayQuality>& days);

} // namespace kolvane
