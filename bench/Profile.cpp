#include "Profile.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

namespace kolvane::bench {
namespace {

// A stage and the functions whose inclusive cost makes it up; the largest one found counts, so that a
// function renamed or inlined away still leaves its caller's figure.
struct Stage {
    const char* name;
    std::vector<const char*> functions;
};

const std::array<Stage, 10> STAGES = {{
    {"monthly files parsed", {"kolvane::ParseMonthlyText(", "kolvane::ParseMonthlyFile("}},
    {"plausibility checks", {"kolvane::HourlyChecks::Add(", "kolvane::RunChecks("}},
    {"daily values", {"kolvane::BuildDailyRecords("}},
    {"earlier yearly files", {"kolvane::ParseYearlyText("}},
    {"yearly text", {"kolvane::FormatYearlyText"}},
    {"companion text", {"kolvane::FormatQualityText"}},
    {"findings text", {"kolvane::FormatFindingsText"}},
    {"proof (CRC-32)", {"kolvane::ProofOf(", "kolvane::Crc32("}},
    {"files read", {"kolvane::ReadWholeFile("}},
    {"files written", {"kolvane::PendingFile::Prepare("}},
}};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

unsigned long long Count(std::string digits) {
    std::erase(digits, ',');
    return std::strtoull(digits.c_str(), nullptr, 10);
}

} // namespace

Profile ProfileConversion(const std::vector<std::string>& args, const std::string& scratch) {
    Profile profile;
    namespace fs = std::filesystem;
    const fs::path out = fs::path(scratch) / "callgrind.out";
    const fs::path annotated = fs::path(scratch) / "callgrind.txt";
    std::string command = "valgrind --tool=callgrind --callgrind-out-file=" + Quote(out.string());
    for (const std::string& a : args)
        command += " " + Quote(a);
    command += " >/dev/null 2>&1";
    if (std::system("valgrind --version >/dev/null 2>&1") != 0) {
        profile.note = "valgrind is not installed (Debian: valgrind)";
        return profile;
    }
    if (std::system(command.c_str()) != 0) {
        profile.note = "the conversion failed under valgrind";
        return profile;
    }
    const std::string annotate = "callgrind_annotate --inclusive=yes --threshold=100 " + Quote(out.string()) +
                                 " >" + Quote(annotated.string());
    if (std::system(annotate.c_str()) != 0) {
        profile.note = "callgrind_annotate failed";
        return profile;
    }
    std::ifstream in(annotated);
    const std::regex row(R"(^\s*([0-9,]+) \([ 0-9.]+%\)\s+(.*)$)");
    std::vector<unsigned long long> best(STAGES.size(), 0);
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (!std::regex_match(line, m, row)) continue;
        const unsigned long long n = Count(m[1]);
        const std::string what = m[2];
        if (what.find("PROGRAM TOTALS") != std::string::npos) profile.instructions = n;
        for (std::size_t s = 0; s < STAGES.size(); ++s)
            for (const char* f : STAGES[s].functions)
                if (what.find(f) != std::string::npos && n > best[s]) best[s] = n;
    }
    fs::remove(out);
    fs::remove(annotated);
    if (profile.instructions == 0) {
        profile.note = "no totals in callgrind's report";
        return profile;
    }
    profile.ran = true;
    for (std::size_t s = 0; s < STAGES.size(); ++s)
        profile.stages.push_back({STAGES[s].name, 100.0 * static_cast<double>(best[s]) /
                                                      static_cast<double>(profile.instructions)});
    return profile;
}

} // namespace kolvane::bench
