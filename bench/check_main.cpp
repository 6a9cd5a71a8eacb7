// kolvane-checkbench: what the plausibility checks cost beside the year computation, and what they find,
// over a generated century of one station or over the monthly files of a folder. Reports; never fails on
// a figure.

#include "WeatherGenerator.h"
#include "checks/FindingsFile.h"
#include "formats/MonthlyFile.h"
#include "formats/Year.h"
#include "model/Columns.h"
#include "model/FileIo.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: kolvane-checkbench [--monthly DIR --group GG --bucket BB] [--lat DEGREES] [--lon DEGREES]\n"
    "                          [--runs N] [--examples N]\n"
    "\n"
    "Without --monthly, the generated station of the benchmarks over 100 years (1970/01 to 2069/12, seed 1)\n"
    "is made in memory. Times, best of N runs (default 5): the year computation of every year, with the\n"
    "checks and without them, and the checks alone over the same rows read beforehand; then counts the\n"
    "findings of each kind and column and prints the first N (default 3) of each kind. --lon gives the\n"
    "checks the station's longitude (degrees east, for a clock of Japan standard time).\n";

struct Year {
    std::string yy;
    std::vector<kolvane::SourceFile> months;
};

using Clock = std::chrono::steady_clock;

template <typename F> double BestSeconds(int runs, F&& work) {
    double best = 1e300;
    for (int r = 0; r < runs; ++r) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

std::vector<Year> GeneratedCentury() {
    using namespace kolvane::bench;
    std::vector<Year> years;
    for (YearMonth ym{1970, 1}; ym.year <= 2069; ym = NextMonth(ym)) {
        const std::string yy = std::to_string(ym.year % 100 + 100).substr(1);
        if (years.empty() || years.back().yy != yy) years.push_back({yy, {}});
        years.back().months.push_back({"M" + yy, GenerateMonth(ym, GeneratorOptions{}).bytes});
    }
    return years;
}

std::vector<Year> FolderStation(const std::string& folder, const std::string& group,
                                const std::string& bucket) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == 14 && name[0] == 'M' && name.substr(5, 5) == "_" + group + bucket &&
            name.ends_with(".csv"))
            names.push_back(name);
    }
    // M{yy}{mm}: the century rule puts 70-99 before 00-69.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        auto key = [](const std::string& n) { return (n[1] >= '7' ? "19" : "20") + n.substr(1, 4); };
        return key(a) < key(b);
    });
    std::vector<Year> years;
    for (const std::string& name : names) {
        const std::string yy = name.substr(1, 2);
        if (years.empty() || years.back().yy != yy) years.push_back({yy, {}});
        std::string bytes;
        if (int e = kolvane::ReadWholeFile(folder + "/" + name, bytes)) {
            std::fprintf(stderr, "kolvane-checkbench: cannot read %s (error %d)\n", name.c_str(), e);
            std::exit(1);
        }
        years.back().months.push_back({name, std::move(bytes)});
    }
    return years;
}

} // namespace

int main(int argc, char** argv) {
    std::string folder, group, bucket;
    double latitude = 35.5, longitude = kolvane::UNKNOWN_LONGITUDE;
    int runs = 5, examples = 3;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--monthly" && hasValue)
            folder = argv[++i];
        else if (arg == "--group" && hasValue)
            group = argv[++i];
        else if (arg == "--bucket" && hasValue)
            bucket = argv[++i];
        else if (arg == "--lat" && hasValue)
            latitude = std::atof(argv[++i]);
        else if (arg == "--lon" && hasValue)
            longitude = std::atof(argv[++i]);
        else if (arg == "--runs" && hasValue)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--examples" && hasValue)
            examples = std::max(0, std::atoi(argv[++i]));
        else {
            std::fputs(kUsage, arg == "--help" ? stdout : stderr);
            return arg == "--help" ? 0 : 2;
        }
    }
    if (!folder.empty() && (group.empty() || bucket.empty())) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    const std::vector<Year> years =
        folder.empty() ? GeneratedCentury() : FolderStation(folder, group, bucket);
    std::size_t rows = 0;
    {
        kolvane::HourlyTable hourly;
        for (const Year& y : years)
            for (const kolvane::SourceFile& m : y.months) {
                kolvane::ParseMonthlyText(*m.bytes, m.path, hourly);
                rows += hourly.size();
            }
    }
    std::printf("%s: %zu years, %zu complete hourly rows, latitude %.2f\n",
                folder.empty() ? "generated station 1970-2069" : folder.c_str(), years.size(), rows,
                latitude);

    // With and without the checks in turn, so that a busy machine slows both alike.
    double yearSeconds = 1e300, withoutSeconds = 1e300;
    for (int r = 0; r < runs; ++r)
        for (bool check : {true, false}) {
            double& best = check ? yearSeconds : withoutSeconds;
            best = std::min(best, BestSeconds(1, [&] {
                                for (const Year& y : years)
                                    kolvane::ComputeYear({.yy = y.yy,
                                                          .latitude = latitude,
                                                          .longitude = longitude,
                                                          .check = check,
                                                          .monthly = y.months});
                            }));
        }
    // The checks over the rows as the reader gives them, read once beforehand.
    std::vector<std::vector<kolvane::HourlyTable>> tables(years.size());
    for (std::size_t y = 0; y < years.size(); ++y)
        for (const kolvane::SourceFile& m : years[y].months)
            kolvane::ParseMonthlyText(*m.bytes, m.path, tables[y].emplace_back());
    std::vector<kolvane::Finding> findings;
    const double checkSeconds = BestSeconds(runs, [&] {
        findings.clear();
        for (const std::vector<kolvane::HourlyTable>& months : tables) {
            kolvane::HourlyChecks checks(latitude, longitude);
            for (const kolvane::HourlyTable& month : months)
                checks.Add(month);
            std::vector<kolvane::Finding> found = checks.Finish();
            findings.insert(findings.end(), found.begin(), found.end());
        }
    });
    std::printf("year computation (read, days, checks, merge, the three files' texts): %8.1f ms\n",
                yearSeconds * 1e3);
    std::printf("the same without the checks:                                         %8.1f ms (%+.1f %% "
                "with them)\n",
                withoutSeconds * 1e3, 100 * (yearSeconds - withoutSeconds) / std::max(withoutSeconds, 1e-9));
    std::printf("the checks alone:                                                    %8.1f ms\n",
                checkSeconds * 1e3);
    std::printf("the checks: %.1f ns a row\n",
                checkSeconds * 1e9 / static_cast<double>(std::max<std::size_t>(rows, 1)));

    const auto byKind = kolvane::CountFindingsByKind(findings);
    std::printf("\nfindings: %zu\n", findings.size());
    std::map<std::pair<std::size_t, int>, int64_t> byColumn;
    for (const kolvane::Finding& f : findings)
        ++byColumn[{f.column, static_cast<int>(f.kind)}];
    for (kolvane::CheckKind kind : kolvane::CHECK_KINDS) {
        std::printf("  %s %lld", std::string(kolvane::CheckKindName(kind)).c_str(),
                    static_cast<long long>(byKind[static_cast<std::size_t>(kind)]));
        for (const auto& [key, count] : byColumn)
            if (key.second == static_cast<int>(kind))
                std::printf("  %s %lld", std::string(kolvane::MONTHLY_VALUE_COLUMNS[key.first].name).c_str(),
                            static_cast<long long>(count));
        std::printf("\n");
        int shown = 0;
        for (const kolvane::Finding& f : findings) {
            if (f.kind != kind || shown++ >= examples) continue;
            std::printf("    %04d/%02d/%02d %d:%02d %s %s %s\n", f.year, f.month, f.day, f.hour, f.minute,
                        std::string(kolvane::MONTHLY_VALUE_COLUMNS[f.column].name).c_str(),
                        kolvane::FormatMeasured(f.value, f.column).c_str(), f.explanation.c_str());
        }
    }
    return 0;
}
