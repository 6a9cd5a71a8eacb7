#pragma once

// Every text kolvane-convert itself shows; the core's own messages come from model/Messages.h.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kolvane::cli_text {

extern const char* const HELP;

// An error as the user sees it on stderr: after the program's name, so that it stands out in a script's
// log among other programs' lines.
std::string ErrorLine(std::string_view message);
std::string SeeHelp();
// A failure the program did not foresee, with its own description.
std::string Unexpected(std::string_view description);
std::string UnknownOption(std::string_view option);
std::string NoValue(std::string_view option);
// Two options (or an option and an argument) that cannot be given together.
std::string Conflict(std::string_view first, std::string_view second);
std::string BadJobs(std::string_view text);
std::string BadLatitude(std::string_view text);
std::string BadLongitude(std::string_view text);
std::string LatitudeRefused(std::string_view text, std::string_view reason);
std::string BadMonth(std::string_view text);
std::string BadId(std::string_view option);
std::string BadStation(std::string_view text);
std::string GroupAndBucketBoth();
std::string NoStation();
std::string NoLatitude();
std::string AllOrMonths();
std::string NoMonthly();
std::string MonthlyIsAFile(std::string_view folder);
std::string NoMonthlyFolder(std::string_view folder);
std::string OutputNotWritable(std::string_view folder, std::string_view reason, bool isMonthlyFolder);

std::string MissingMonths(std::string_view list);
std::string MissingMonthsNote(std::string_view list);
std::string ReplacedUnmerged(std::string_view list);
std::string StationsFailed(std::size_t failed, std::size_t stations);
std::string StationFailed(std::string_view station, std::string_view message);
std::string ProgressLine(std::size_t stations, std::size_t ofStations, std::size_t years,
                         std::size_t ofYears);

std::string NoMonthlyFiles(std::string_view folder);
std::string ListedStation(std::string_view group, std::string_view bucket, std::size_t months);

// `option` is the verb given it: --summary or --plot.
std::string NotAYearlyFile(std::string_view option, std::string_view path);
std::string SummaryHead(std::string_view path, std::size_t days, std::size_t withValues);
std::string SummaryClass(std::string_view name, int days);
std::string NoGap();
std::string LongestGap(int year, int month, int day, int days);
std::string NoCompanion(std::string_view path);
std::string LongestWithoutValues(int year, int month, int day, int days);
std::string PlotWithoutCompanion(std::string_view path);

std::string CheckCounts(int64_t total, const std::vector<std::pair<std::string_view, int64_t>>& byKind);
std::string SuspectValuesWritten(int64_t suspect, std::size_t files);
std::string SuspectValuesNotWritten(int64_t suspect);
std::string SummarySuspect(int64_t values, int days, int unknownDays);
std::string SummarySuspectUnknown();
std::string SummarySuspectFromFindings(int64_t values, int days);

std::string PlotArguments();
std::string PlotImageName(std::string_view image);
std::string PlotUnavailable();

} // namespace kolvane::cli_text
