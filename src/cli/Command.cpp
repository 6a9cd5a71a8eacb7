#include "Command.h"

#include "Texts.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

namespace kolvane::cli {
namespace {

enum Verb : unsigned { CONVERT = 1, LIST = 2, SUMMARY = 4, PLOT = 8 };

// What the options of every command set, before the command is chosen.
struct Given {
    ConvertCommand convert; // its --monthly also serves --list
    std::string summary;
    std::string plot;
};

unsigned ParseJobs(const std::string& text) {
    unsigned jobs = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), jobs);
    if (ec != std::errc() || end != text.data() + text.size() || jobs < 1 || jobs > 1024)
        throw UsageError(cli_text::BadJobs(text));
    return jobs;
}

// Each option, whether it takes a value, the commands that take it and what it sets; --list, --summary
// and --plot also choose their command.
struct OptionRow {
    std::string_view name;
    bool takesValue;
    unsigned verbs;
    void (*set)(Given&, const std::string&);
    unsigned chooses = 0;
};

constexpr OptionRow OPTIONS[] = {
    {"--monthly", true, CONVERT | LIST, [](Given& g, const std::string& v) { g.convert.monthly = v; }},
    {"--output", true, CONVERT, [](Given& g, const std::string& v) { g.convert.output = v; }},
    {"--group", true, CONVERT, [](Given& g, const std::string& v) { g.convert.group = v; }},
    {"--bucket", true, CONVERT, [](Given& g, const std::string& v) { g.convert.bucket = v; }},
    {"--station", true, CONVERT, [](Given& g, const std::string& v) { g.convert.stations.push_back(v); }},
    {"--all-stations", false, CONVERT, [](Given& g, const std::string&) { g.convert.allStations = true; }},
    {"--lat", true, CONVERT, [](Given& g, const std::string& v) { g.convert.lat = v; }},
    {"--lat-table", true, CONVERT, [](Given& g, const std::string& v) { g.convert.latTable = v; }},
    {"--lon", true, CONVERT, [](Given& g, const std::string& v) { g.convert.lon = v; }},
    {"--all", false, CONVERT, [](Given& g, const std::string&) { g.convert.all = true; }},
    {"--allow-missing", false, CONVERT, [](Given& g, const std::string&) { g.convert.allowMissing = true; }},
    {"--replace", false, CONVERT, [](Given& g, const std::string&) { g.convert.replace = true; }},
    {"--merge-output", false, CONVERT, [](Given& g, const std::string&) { g.convert.mergeOutput = true; }},
    {"-j", true, CONVERT, [](Given& g, const std::string& v) { g.convert.jobs = ParseJobs(v); }},
    {"--no-quality", false, CONVERT, [](Given& g, const std::string&) { g.convert.noQuality = true; }},
    {"--check", false, CONVERT, [](Given& g, const std::string&) { g.convert.check = true; }},
    {"--list", false, LIST, nullptr, LIST},
    {"--summary", true, SUMMARY, [](Given& g, const std::string& v) { g.summary = v; }, SUMMARY},
    {"--plot", true, PLOT, [](Given& g, const std::string& v) { g.plot = v; }, PLOT},
    {"--help", false, 0, nullptr},
    {"--version", false, 0, nullptr},
};

// An argument as given: an option with its value, or a plain argument (name empty).
struct Argument {
    std::string name;
    std::string value;
    const OptionRow* row = nullptr;
};

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
            arguments.push_back({"", arg, nullptr});
            continue;
        }
        const auto option = std::find_if(std::begin(OPTIONS), std::end(OPTIONS),
                                         [&](const OptionRow& o) { return o.name == arg; });
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
        arguments.push_back({arg, value, &*option});
    }
    return arguments;
}

bool Has(const std::vector<Argument>& arguments, std::string_view name) {
    return std::any_of(arguments.begin(), arguments.end(), [&](const Argument& a) { return a.name == name; });
}

// The option that chose the command (none for a conversion), refusing a second one.
const OptionRow* ChosenBy(const std::vector<Argument>& arguments) {
    const OptionRow* chosen = nullptr;
    for (const Argument& a : arguments) {
        if (!a.row || !a.row->chooses) continue;
        if (chosen && chosen != a.row) throw UsageError(cli_text::Conflict(chosen->name, a.name));
        chosen = a.row;
    }
    return chosen;
}

void RefuseOthers(const std::vector<Argument>& arguments, const OptionRow* chosenBy, unsigned verb,
                  bool takesPlain) {
    const std::string_view by = chosenBy ? chosenBy->name : std::string_view("--monthly");
    for (const Argument& a : arguments) {
        if (a.name.empty() ? !takesPlain : (a.row->verbs & verb) == 0)
            throw UsageError(cli_text::Conflict(by, a.name.empty() ? a.value : a.name));
    }
}

ConvertCommand Convert(const std::vector<Argument>& arguments, ConvertCommand c) {
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
    const OptionRow* chosenBy = ChosenBy(arguments);
    const unsigned verb = chosenBy ? chosenBy->chooses : unsigned(CONVERT);
    RefuseOthers(arguments, chosenBy, verb, verb == CONVERT || verb == PLOT);
    Given given;
    std::vector<std::string> plain;
    for (const Argument& a : arguments) {
        if (!a.row)
            plain.push_back(a.value);
        else if (a.row->set)
            a.row->set(given, a.value);
    }
    if (verb == LIST) return ListCommand{given.convert.monthly};
    if (verb == SUMMARY) return SummaryCommand{given.summary};
    if (verb == PLOT) return PlotCommand{given.plot, plain};
    given.convert.months = plain;
    return Convert(arguments, std::move(given.convert));
}

} // namespace kolvane::cli
