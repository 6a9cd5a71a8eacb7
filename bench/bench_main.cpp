// kolvane-bench: times kolvane-convert against the floor of merely reading the same files with cat, over a
// century of one station and over twenty years of fifty stations. It reports figures and never fails on them.

#include "Profile.h"
#include "WeatherGenerator.h"
#include "model/FileNames.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace kolvane::bench;

namespace {

constexpr double kTargetRatio = 3.0;
constexpr double kTargetMiB = 32.0;

constexpr const char* kUsage =
    "usage: kolvane-bench [--case one-station|many-stations|all] [--runs N] [--convert PROGRAM]\n"
    "                     [--baseline PROGRAM] [--profile yes] [--lat D:M:S]\n"
    "\n"
    "one-station: one station over 100 years (1970/01 to 2069/12, 1,200 monthly files), converted\n"
    "with --group 01 --bucket 01 --all.\n"
    "many-stations: 50 stations (groups 01-05, buckets 01-10) over 20 years (2000/01 to 2019/12,\n"
    "12,000 monthly files), converted in one call with --all-stations --all.\n"
    "Both target 3x the floor in wall time and a peak under 32 MiB.\n"
    "\n"
    "Each case's files are generated once into $TMPDIR/kolvane-bench-UID/<case> (reused while its\n"
    "stamp matches). Then, N times each (default 5): cat of all files to /dev/null, the floor; and\n"
    "PROGRAM (default: kolvane-convert beside this executable) with --monthly, --output (a new\n"
    "empty folder) and --lat (default 35:30:00). Reports best and median wall time, peak memory, throughput\n"
    "and the ratio to the floor. The default case is all. Never fails on a figure.\n"
    "Peak memory is the largest resident size of any round; start is that of PROGRAM --version, the\n"
    "libraries it loads (shared with other programs, most of them) before it converts anything.\n"
    "\n"
    "--baseline PROGRAM times another build in the same rounds, alternating which goes first, so that\n"
    "both meet the same load. --profile yes then runs each program once more under valgrind's callgrind\n"
    "with one thread (for many-stations, station 0101 alone) and prints the share of its instructions\n"
    "spent in each stage of a conversion.\n";

// One benchmark: the stations and months generated, and how kolvane-convert is asked to convert them.
struct Case {
    std::string name;
    std::string title;
    std::vector<kolvane::StationKey> stations;
    YearMonth first;
    YearMonth last;
    std::vector<std::string> selection; // the arguments naming stations and months
    std::vector<std::string> profiled;  // the same for the profile, small enough for callgrind
};

Case OneStation() {
    const std::vector<std::string> selection = {"--group", "01", "--bucket", "01", "--all"};
    return {
        "one-station", "one station, 1970/01 to 2069/12", {{"01", "01"}}, {1970, 1}, {2069, 12}, selection,
        selection};
}

Case ManyStations() {
    Case c{"many-stations",
           "50 stations, 2000/01 to 2019/12",
           {},
           {2000, 1},
           {2019, 12},
           {"--all-stations", "--all"},
           {"--station", "0101", "--all"}};
    for (int g = 1; g <= 5; ++g)
        for (int b = 1; b <= 10; ++b)
            c.stations.push_back(
                {(g < 10 ? "0" : "") + std::to_string(g), (b < 10 ? "0" : "") + std::to_string(b)});
    return c;
}

struct Options {
    std::string which = "all";
    int runs = 5;
    fs::path convert;
    fs::path baseline; // empty: none
    bool profile = false;
    std::string latitude = "35:30:00";
};

struct Dataset {
    fs::path folder;
    std::vector<std::string> files; // full paths in month order
    StationTotals totals;
    bool reused = false;
};

struct Run {
    double seconds = 0;
    double cpuSeconds = 0; // user and system, all threads
    double peakMiB = 0;
    int exitCode = 0; // 128 + signal when killed
};

std::string StampText(const Case& c, const StationTotals& totals) {
    std::ostringstream s;
    s << "kolvane-gen " << kGeneratorVersion << " seed 1 stations";
    for (const kolvane::StationKey& k : c.stations)
        s << ' ' << k.group << k.bucket;
    s << ' ' << c.first.year << '/' << c.first.month << '-' << c.last.year << '/' << c.last.month
      << " complete\n"
      << totals.files << ' ' << totals.dataLines << ' ' << totals.bytes << '\n';
    return s.str();
}

// The folder is reused only when it holds exactly the files its stamp describes, at the recorded size.
bool Reusable(const Case& c, Dataset& data, const fs::path& stamp) {
    std::ifstream in(stamp);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream s(text);
    std::string header;
    StationTotals recorded;
    std::getline(s, header);
    if (!(s >> recorded.files >> recorded.dataLines >> recorded.bytes)) return false;
    if (text != StampText(c, recorded) || recorded.files != data.files.size()) return false;

    std::error_code ec;
    std::uintmax_t bytes = 0;
    for (const std::string& file : data.files) {
        bytes += fs::file_size(file, ec);
        if (ec) return false;
    }
    std::size_t entries = 0;
    for (auto it = fs::directory_iterator(data.folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
        ++entries;
    if (ec || bytes != recorded.bytes || entries != recorded.files) return false;
    data.totals = recorded;
    return true;
}

Dataset PrepareData(const Case& c, const fs::path& work) {
    Dataset data;
    data.folder = work / c.name;
    for (const kolvane::StationKey& station : c.stations) {
        for (YearMonth ym = c.first;; ym = NextMonth(ym)) {
            data.files.push_back(
                (data.folder / kolvane::MonthlyFileName(ym.year, ym.month, station)).string());
            if (ym == c.last) break;
        }
    }
    const fs::path stamp = work / (c.name + ".stamp");
    if (Reusable(c, data, stamp)) {
        data.reused = true;
        return data;
    }
    std::printf("generating %zu monthly files into %s ...\n", data.files.size(), data.folder.c_str());
    std::fflush(stdout);
    fs::remove(stamp);
    fs::remove_all(data.folder);
    for (const kolvane::StationKey& station : c.stations) {
        const StationTotals t = WriteStation(data.folder, station.group, station.bucket, c.first, c.last,
                                             GeneratorOptions{1, false});
        data.totals.files += t.files;
        data.totals.dataLines += t.dataLines;
        data.totals.bytes += t.bytes;
    }
    std::ofstream out(stamp, std::ios::trunc);
    out << StampText(c, data.totals);
    if (!out.flush()) throw std::runtime_error("cannot write " + stamp.string());
    return data;
}

// Runs args[0] (searched in PATH) with stdout on /dev/null and stderr into `errorFile` when given.
Run Spawn(const std::vector<std::string>& args, const fs::path& errorFile) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const std::string errorPath = errorFile.string();

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error(std::string("fork failed: ") + std::strerror(errno));
    if (pid == 0) {
        int null = open("/dev/null", O_WRONLY);
        if (null >= 0) dup2(null, STDOUT_FILENO);
        if (!errorPath.empty()) {
            int err = open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (err >= 0) dup2(err, STDERR_FILENO);
        }
        execvp(argv[0], argv.data());
        std::fprintf(stderr, "cannot start %s: %s\n", argv[0], std::strerror(errno));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) throw std::runtime_error(std::string("wait4 failed: ") + std::strerror(errno));
    }
    const auto end = std::chrono::steady_clock::now();

    Run run;
    run.seconds = std::chrono::duration<double>(end - start).count();
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

struct Summary {
    double best = 0;
    double median = 0;
    double cpuMedian = 0;
    double peakMiB = 0;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

Summary Summarise(const std::vector<Run>& runs) {
    std::vector<double> times, cpu;
    Summary s;
    for (const Run& r : runs) {
        times.push_back(r.seconds);
        cpu.push_back(r.cpuSeconds);
        s.peakMiB = std::max(s.peakMiB, r.peakMiB);
    }
    s.best = *std::min_element(times.begin(), times.end());
    s.median = Median(times);
    s.cpuMedian = Median(cpu);
    return s;
}

// Of this bench alone: two benches may run at once.
fs::path OutputRoot(const fs::path& work) {
    return work / ("out-" + std::to_string(getpid()));
}

// Every conversion writes into a folder of its own, all removed when the bench ends: on a file system
// that passes over inodes freed in the last minute one by one (ext4 without a journal), emptying the
// previous round's output makes each later run's file creation slower than the round before.
fs::path FreshFolder(const fs::path& work) {
    static int made = 0;
    const fs::path folder = OutputRoot(work) / std::to_string(++made);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::size_t CountYearlyFiles(const fs::path& folder) {
    std::size_t n = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 5 && (name[0] == 'Y' || name[0] == 'y') && name.ends_with(".csv")) ++n;
    }
    return n;
}

std::string Tail(const fs::path& file) {
    std::ifstream in(file);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.size() > 2000) text = "..." + text.substr(text.size() - 2000);
    return text;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "kolvane-bench: unknown argument or missing value: %s\n\n%s", argv[i],
                         kUsage);
            return false;
        }
        std::string_view value = argv[++i];
        if (arg == "--case") {
            options.which = value;
            if (value != "one-station" && value != "many-stations" && value != "all") {
                std::fprintf(stderr, "kolvane-bench: --case must be one-station, many-stations or all\n");
                return false;
            }
        } else if (arg == "--runs") {
            auto r = std::from_chars(value.data(), value.data() + value.size(), options.runs);
            if (r.ec != std::errc() || r.ptr != value.data() + value.size() || options.runs < 1 ||
                options.runs > 1000) {
                std::fprintf(stderr, "kolvane-bench: --runs must be a number from 1 to 1000\n");
                return false;
            }
        } else if (arg == "--convert") {
            options.convert = value;
        } else if (arg == "--baseline") {
            options.baseline = value;
        } else if (arg == "--profile") {
            options.profile = value == "yes";
        } else if (arg == "--lat") {
            options.latitude = value;
        } else {
            std::fprintf(stderr, "kolvane-bench: unknown argument %s\n\n%s", argv[i - 1], kUsage);
            return false;
        }
    }
    if (options.convert.empty()) {
        std::error_code ec;
        fs::path self = fs::read_symlink("/proc/self/exe", ec);
        options.convert = ec ? fs::path("kolvane-convert") : self.parent_path() / "kolvane-convert";
    }
    return true;
}

const char* Verdict(bool met) {
    return met ? "met" : "NOT met";
}

// A program timed, and its runs.
struct Timed {
    std::string label;
    fs::path program;
    std::vector<Run> runs;
    double startMiB = 0; // resident with its libraries loaded, before any work
};

std::vector<std::string> ConvertArgs(const fs::path& program, const Dataset& data, const fs::path& output,
                                     const Options& options, const std::vector<std::string>& selection) {
    std::vector<std::string> args = {program.string(), "--monthly",           data.folder.string() + "/",
                                     "--output",       output.string() + "/", "--lat",
                                     options.latitude};
    args.insert(args.end(), selection.begin(), selection.end());
    return args;
}

void PrintRow(const char* label, const Summary& s, double floorMedian, double startMiB) {
    char start[16] = "-";
    if (startMiB > 0) std::snprintf(start, sizeof start, "%.1f", startMiB);
    std::printf("  %-20s %8.3f %9.3f %8.2f %9.1f %9s %8.1f\n", label, s.best, s.median, s.cpuMedian,
                s.peakMiB, start, s.median / floorMedian);
}

void PrintProfiles(const Case& c, const Dataset& data, const Options& options, const fs::path& work,
                   const std::vector<Timed>& timed) {
    std::printf("\n  profile (callgrind, one thread, %s): share of instructions\n",
                c.profiled == c.selection ? "the whole case" : "station 0101 alone");
    std::vector<Profile> profiles;
    for (const Timed& t : timed) {
        std::vector<std::string> args = ConvertArgs(t.program, data, FreshFolder(work), options, c.profiled);
        args.insert(args.end(), {"-j", "1"});
        profiles.push_back(ProfileConversion(args, work.string()));
        if (!profiles.back().ran) {
            std::printf("  (%s: no profile: %s)\n", t.label.c_str(), profiles.back().note.c_str());
            return;
        }
    }
    std::printf("  %-22s", "");
    for (const Timed& t : timed)
        std::printf(" %12s", t.label.c_str());
    std::printf("\n  %-22s", "instructions (M)");
    for (const Profile& p : profiles)
        std::printf(" %12.0f", static_cast<double>(p.instructions) / 1e6);
    std::printf("\n");
    for (std::size_t s = 0; s < profiles.front().stages.size(); ++s) {
        std::printf("  %-22s", profiles.front().stages[s].stage.c_str());
        for (const Profile& p : profiles)
            std::printf(" %11.1f%%", p.stages[s].percent);
        std::printf("\n");
    }
}

void PrintTargets(const Timed& t, const Summary& r, double floorMedian) {
    const double ratio = r.median / floorMedian;
    std::printf("  %-11s within %.0f x the floor: %s (%.1f x); peak < %.0f MiB: %s (%.1f MiB)\n",
                t.label.c_str(), kTargetRatio, Verdict(ratio <= kTargetRatio), ratio, kTargetMiB,
                Verdict(r.peakMiB < kTargetMiB), r.peakMiB);
}

int RunCase(const Case& c, const Options& options, const fs::path& work) {
    const Dataset data = PrepareData(c, work);
    const fs::path errors = work / "convert-stderr.txt";
    // A forked child starts with the harness's pages, which count in its peak; keep them few.
    // The floor's peak shows what is left.
    malloc_trim(0);

    std::vector<std::string> cat = {"cat"};
    cat.insert(cat.end(), data.files.begin(), data.files.end());
    std::vector<Timed> timed;
    if (!options.baseline.empty()) timed.push_back({"baseline", options.baseline, {}});
    timed.push_back({"conversion", options.convert, {}});

    // A build with the window links Qt for --plot: its libraries' pages count in every peak, converting
    // or not, and are what tells such a build's peak from one without.
    for (Timed& t : timed)
        t.startMiB = Spawn({t.program.string(), "--version"}, {}).peakMiB;
    Spawn(cat, {}); // warms the page cache for all
    std::vector<Run> floorRuns;
    std::size_t yearlyFiles = 0;
    for (int i = 0; i < options.runs; ++i) {
        Run floor = Spawn(cat, {});
        if (floor.exitCode != 0)
            throw std::runtime_error("cat failed with exit code " + std::to_string(floor.exitCode));
        floorRuns.push_back(floor);
        for (std::size_t k = 0; k < timed.size(); ++k) {
            // Alternating which goes first, so that neither always follows the other's writes.
            Timed& t = timed[(k + static_cast<std::size_t>(i)) % timed.size()];
            const fs::path output = FreshFolder(work);
            const std::vector<std::string> convert =
                ConvertArgs(t.program, data, output, options, c.selection);
            Run run = Spawn(convert, errors);
            if (run.exitCode != 0) {
                std::fprintf(stderr, "kolvane-bench: %s failed with exit code %d\n%s", convert[0].c_str(),
                             run.exitCode, Tail(errors).c_str());
                return 1;
            }
            t.runs.push_back(run);
            yearlyFiles = CountYearlyFiles(output);
        }
    }

    const Summary f = Summarise(floorRuns);
    const double mb = static_cast<double>(data.totals.bytes) / 1e6;
    std::printf("\nKolvane batch benchmark (%s): %s\n", c.name.c_str(), c.title.c_str());
    std::printf("  data        %s (%s)\n", data.folder.c_str(), data.reused ? "reused" : "generated");
    std::printf("  files       %zu monthly, %zu rows, %.1f MB\n", data.totals.files, data.totals.dataLines,
                mb);
    for (const Timed& t : timed)
        std::printf("  %-11s %s\n", t.label.c_str(), t.program.c_str());
    std::printf("  runs        %d each, in alternating order\n\n", options.runs);
    std::printf("  %-20s %8s %9s %8s %9s %9s %8s\n", "", "best s", "median s", "cpu s", "peak MiB",
                "start MiB", "x floor");
    PrintRow("floor (cat)", f, f.median, 0);
    for (const Timed& t : timed)
        PrintRow(t.label.c_str(), Summarise(t.runs), f.median, t.startMiB);
    std::printf("\n");
    for (const Timed& t : timed) {
        const Summary r = Summarise(t.runs);
        std::printf("  %-11s %.2f M rows/s, %.0f MB/s (median)\n", t.label.c_str(),
                    static_cast<double>(data.totals.dataLines) / r.median / 1e6, mb / r.median);
    }
    std::printf("  targets\n");
    for (const Timed& t : timed)
        PrintTargets(t, Summarise(t.runs), f.median);
    std::printf("  output      %zu yearly files written (%zu expected)\n", yearlyFiles,
                c.stations.size() * static_cast<std::size_t>(c.last.year - c.first.year + 1));
    if (options.profile) PrintProfiles(c, data, options, work, timed);
    return 0;
}

int Main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) return 2;

    const fs::path work = fs::temp_directory_path() / ("kolvane-bench-" + std::to_string(getuid()));
    std::vector<Case> cases;
    if (options.which != "many-stations") cases.push_back(OneStation());
    if (options.which != "one-station") cases.push_back(ManyStations());
    int e = 0;
    for (std::size_t i = 0; i < cases.size() && e == 0; ++i)
        e = RunCase(cases[i], options, work);
    fs::remove_all(OutputRoot(work));
    return e;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Main(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kolvane-bench: %s\n", e.what());
        return 1;
    }
}
