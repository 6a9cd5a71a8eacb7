#pragma once

#include "checks/HourlyChecks.h"
#include "model/YearlyProof.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

inline constexpr std::array<std::string_view, 6> FINDINGS_HEADER = {"年月日", "時刻", "要素",
                                                                    "値",     "検査", "内容"};

// The findings file of a year (CP932, CR LF): one line per finding of that year, sorted by date, time and
// column; the date as the yearly file writes it, the time as H:MM (1:00 to 24:00). Findings of other years
// (the last hour of the year before, from a January file) are left out.
std::string FormatFindingsText(const std::vector<Finding>& findings, int32_t year);
// Its lines after the header, UTF-8 and without line ends.
std::vector<std::string> FindingLines(const std::vector<Finding>& findings, int32_t year);

// The findings on each day of the year, from 1 January (index 0) to 31 December.
std::vector<int32_t> CountFindingsPerDay(const std::vector<Finding>& findings, int32_t year);

// The findings of each kind, in the order of CHECK_KINDS.
std::array<int64_t, CHECK_KINDS.size()> CountFindingsByKind(const std::vector<Finding>& findings);

// Reads a findings text: lines that cannot be read (and the proof line) are left out. Throws KolvaneError
// for a missing or repeated column.
std::vector<Finding> ParseFindingsText(std::string_view bytes, const std::string& file);

// The findings file beside a yearly file; its rows are the findings.
using YearFindings = BesideYearly<Finding>;

// Absent is no finding only when the companion says so: a year without findings has no findings file.
// Throws KolvaneError for a findings file that exists but cannot be read, and (when it belongs) as
// ParseFindingsText.
YearFindings ReadFindingsOf(const std::string& yearlyPath, std::string_view yearlyBytes);

} // namespace kolvane
