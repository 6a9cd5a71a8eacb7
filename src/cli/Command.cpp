#include "Command.h"

#include "Texts.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

namespace kolvane::cli {
namespace {

enum Verb : unsigned { CONVERT = 1, LIST = 2, SUMMARY = 4, PLOT = 8 };

// Each option, whether it takes a value, and the commands that take it.
struct OptionSpec {
    std::string_view name;
    bool takesValue;
    unsigned verbs;
};

constexpr OptionSpec OPTIONS[] = {
    {"--monthly", true, CONVERT | LIST},
    {"--output", true, CONVERT},
    {"--group", true, CONVERT},
    {"--bucket", true, CONVERT},
    {"--station", true, CONVERT},
    {"--all-stations", false, CONVERT},
    {"--lat", true, CONVERT},
    {"--lat-table", true, CONVERT},
    {"--all", false, CONVERT},
    {"--allow-missing", false, CONVERT},
    {"--replace", false, CONVERT},
    {"--merge-output", false, CONVERT},
    {"-j", true, CONVERT},
    {"--no-quality", false, CONVERT},
    {"--check", false, CONVERT},
    {"--list", false, LIST},
    {"--summary", true, SUMMARY},
    {"--plot", true, PLOT},
    {"--help", false, 0},
    {"--version", false, 0},
};

// An argument as given: an option with its value, or a plain argument (name empty).
struct Argument {
    std::string name;
    std::string value;
};

unsigned ParseJobs(const std::string& text) {
    unsigned jobs = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), jobs);
    if (ec != std::errc() || end != text.data() + text.size() || jobs < 1 || jobs > 1024)
        throw UsageError(cli_text::BadJobs(text));
    return jobs;
}

std::vector<Argument> Tokenize(int argc, char** argv) {
    std::vector<Argument> arguments;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::optional<std::string> inlineValue;
        if (arg.rfind("--", 0) == 0) {
            std::size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                inlineValue = arg.substr(eq + 1);
                arg.resize(eq);
            }
        } else if (arg.size() > 2 && arg.rfind("-j", 0) == 0) {
            inlineValue = arg.substr(2);
            arg = "-j";
        }
        if (arg == "--jobs") arg = "-j";
        if (arg == "-h") arg = "--help";
        if (arg.rfind("-", 0) != 0) {
            arguments.push_back({"", arg});
            continue;
        }
        const auto option = std::find_if(std::begin(OPTIONS), std::end(OPTIONS),
                                         [&](const OptionSpec& o) { return o.name == arg; });
        if (option == std::end(OPTIONS)) throw UsageError(cli_text::UnknownOption(arg));
        std::string value;
        if (option->takesValue) {
            // No value of ours starts with "-" (no negative numbers), so a word that does is the next
            // option and this one's value was left out; a path that really starts with "-" goes as
            // --option=value.
            if (inlineValue)
                value = *inlineValue;
            else if (i + 1 < argc && argv[i + 1][0] != '-')
                value = argv[++i];
            else
                throw UsageError(cli_text::NoValue(arg));
        }
        arguments.push_back({arg, value});
    }
    return arguments;
}

const OptionSpec& SpecOf(const std::string& name) {
    return *std::find_if(std::begin(OPTIONS), std::end(OPTIONS),
                         [&](const OptionSpec& o) { return o.name == name; });
}

bool Has(const std::vector<Argument>& arguments, std::string_view name) {
    return std::any_of(arguments.begin(), arguments.end(), [&](const Argument& a) { return a.name == name; });
}

// The option that chose the command (empty for a conversion), refusing a second one.
std::string ChosenBy(const std::vector<Argument>& arguments) {
    std::string chosen;
    for (const Argument& a : arguments) {
        if (a.name != "--list" && a.name != "--summary" && a.name != "--plot") continue;
        if (!chosen.empty() && chosen != a.name) throw UsageError(cli_text::Conflict(chosen, a.name));
        chosen = a.name;
    }
    return chosen;
}

void RefuseOthers(const std::vector<Argument>& arguments, const std::string& chosenBy, unsigned verb,
                  bool takesPlain) {
    const std::string_view by = chosenBy.empty() ? std::string_view("--monthly") : std::string_view(chosenBy);
    for (const Argument& a : arguments) {
        if (a.name.empty() ? !takesPlain : (SpecOf(a.name).verbs & verb) == 0)
            throw UsageError(cli_text::Conflict(by, a.name.empty() ? a.value : a.name));
    }
}

ConvertCommand Convert(const std::vector<Argument>& arguments) {
    ConvertCommand c;
    for (const Argument& a : arguments) {
        const std::string& n = a.name;
        if (n.empty())
            c.months.push_back(a.value);
        else if (n == "--monthly")
            c.monthly = a.value;
        else if (n == "--output")
            c.output = a.value;
        else if (n == "--group")
            c.group = a.value;
        else if (n == "--bucket")
            c.bucket = a.value;
        else if (n == "--station")
            c.stations.push_back(a.value);
        else if (n == "--all-stations")
            c.allStations = true;
        else if (n == "--lat")
            c.lat = a.value;
        else if (n == "--lat-table")
            c.latTable = a.value;
        else if (n == "--all")
            c.all = true;
        else if (n == "--allow-missing")
            c.allowMissing = true;
        else if (n == "--replace")
            c.replace = true;
        else if (n == "--merge-output")
            c.mergeOutput = true;
        else if (n == "-j")
            c.jobs = ParseJobs(a.value);
        else if (n == "--no-quality")
            c.noQuality = true;
        else if (n == "--check")
            c.check = true;
    }
    // One way of naming the stations, one latitude, one choice of months.
    for (const char* one : {"--group", "--bucket"}) {
        if (Has(arguments, one) && Has(arguments, "--station"))
            throw UsageError(cli_text::Conflict("--station", one));
        if (Has(arguments, one) && c.allStations) throw UsageError(cli_text::Conflict("--all-stations", one));
    }
    if (c.allStations && !c.stations.empty())
        throw UsageError(cli_text::Conflict("--all-stations", "--station"));
    if (!c.lat.empty() && !c.latTable.empty()) throw UsageError(cli_text::Conflict("--lat", "--lat-table"));
    if (c.replace && c.mergeOutput) throw UsageError(cli_text::Conflict("--replace", "--merge-output"));
    if (c.all && !c.months.empty()) throw UsageError(cli_text::Conflict("--all", c.months.front()));
    // Options about what is written mean nothing to a run that writes nothing.
    for (const char* writing : {"--replace", "--no-quality", "-j"})
        if (c.check && Has(arguments, writing)) throw UsageError(cli_text::Conflict("--check", writing));
    return c;
}

} // namespace

Command ParseCommand(int argc, char** argv) {
    if (argc <= 1) return HelpCommand{false};
    const std::vector<Argument> arguments = Tokenize(argc, argv);
    if (Has(arguments, "--help")) return HelpCommand{};
    if (Has(arguments, "--version")) return VersionCommand{};
    const std::string chosenBy = ChosenBy(arguments);
    auto value = [&](const char* name) {
        return std::find_if(arguments.begin(), arguments.end(),
                            [&](const Argument& a) { return a.name == name; })
            ->value;
    };
    if (chosenBy == "--list") {
        RefuseOthers(arguments, chosenBy, LIST, false);
        return ListCommand{value("--monthly")};
    }
    if (chosenBy == "--summary") {
        RefuseOthers(arguments, chosenBy, SUMMARY, false);
        return SummaryCommand{value("--summary")};
    }
    if (chosenBy == "--plot") {
        RefuseOthers(arguments, chosenBy, PLOT, true);
        PlotCommand plot{value("--plot"), {}};
        for (const Argument& a : arguments)
            if (a.name.empty()) plot.yearlyFiles.push_back(a.value);
        return plot;
    }
    RefuseOthers(arguments, chosenBy, CONVERT, true);
    return Convert(arguments);
}

} // namespace kolvane::cli
