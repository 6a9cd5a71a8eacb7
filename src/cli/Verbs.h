#pragma once

#include "Command.h"

#include "engine/Plan.h"

#include <string>
#include <string_view>
#include <vector>

namespace kolvane::cli {

// The whole command line: parses, runs the verb and reports on std::cout and std::cerr; returns the
// exit status. Nothing escapes it.
int RunCommandLine(int argc, char** argv);

// Each returns the exit status; a refusal throws UsageError, a failure KolvaneError.
int RunConvert(ConvertCommand command);
int RunList(const ListCommand& command);
int RunSummary(const SummaryCommand& command);
int RunPlot(const PlotCommand& command);
// --check: the findings of the planned conversion, printed; nothing is written.
int RunCheck(const std::vector<StationPlan>& plans);

// Refuses a file whose name is not a yearly file's (a monthly file, a companion), for every verb alike.
void RequireYearlyFileName(std::string_view option, const std::string& path);

// The --monthly folder as given, with its trailing "/"; refused unless it is a folder.
std::string MonthlyFolder(const std::string& given);

} // namespace kolvane::cli
