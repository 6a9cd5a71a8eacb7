#pragma once

#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace kolvane::cli {

constexpr int EXIT_CONVERSION_ERROR = 1;
constexpr int EXIT_USAGE_ERROR = 2;

// A command line that cannot be run as given: nothing has been read or written.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct HelpCommand {
    bool asked = true; // false: no arguments at all, which is a usage error
};

struct VersionCommand {};

struct ConvertCommand {
    std::string monthly;
    std::string output;
    std::string group;
    std::string bucket;
    std::vector<std::string> stations;
    bool allStations = false;
    std::string lat;
    std::string latTable;
    std::string lon;
    bool all = false;
    bool allowMissing = false;
    bool replace = false;
    bool mergeOutput = false;
    bool noQuality = false;
    bool check = false; // print the findings instead of writing files
    unsigned jobs = 0;
    std::vector<std::string> months;
};

struct ListCommand {
    std::string monthly;
};

struct SummaryCommand {
    std::string yearlyFile;
};

struct PlotCommand {
    std::string image;
    std::vector<std::string> yearlyFiles; // exactly one is drawn
};

using Command =
    std::variant<HelpCommand, VersionCommand, ConvertCommand, ListCommand, SummaryCommand, PlotCommand>;

// The command of the arguments. --list, --summary and --plot choose theirs, otherwise it converts;
// an option the chosen command does not take, or two that exclude each other, is refused naming both.
// Throws UsageError.
Command ParseCommand(int argc, char** argv);

} // namespace kolvane::cli
