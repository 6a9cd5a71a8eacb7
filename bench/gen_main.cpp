// kolvane-gen: writes synthetic monthly files of one station.

#include "WeatherGenerator.h"

#include <charconv>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "usage: kolvane-gen --out DIR --group GG --bucket BB --from YYYY/MM --to YYYY/MM [--seed N] "
    "[--no-blemishes] [--planted-faults]\n"
    "\n"
    "Writes one monthly file M{yy}{mm}_{GG}{BB}.csv per month from --from to --to (1970/01 to 2069/12)\n"
    "into DIR, creating it when needed. The files depend only on the seed (default 1) and the month.\n"
    "By default each file has one \"X\" field and one left-out hour, and about half of them one empty\n"
    "field; --no-blemishes writes every hour complete. --planted-faults adds the faults the sample station\n"
    "carries on purpose for the plausibility checks (a temperature and a pressure spike, stuck radiation,\n"
    "radiation at night, a gust below the mean wind).\n";

int Usage(const std::string& message) {
    std::fprintf(stderr, "kolvane-gen: %s\n\n%s", message.c_str(), kUsage);
    return 2;
}

// Two ASCII letters or digits: the ids end up in file names.
bool IsStationId(std::string_view id) {
    if (id.size() != 2) return false;
    for (char c : id) {
        bool alnum = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!alnum) return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    using namespace kolvane::bench;
    std::string out, group, bucket, from, to;
    GeneratorOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--no-blemishes") {
            options.blemishes = false;
            continue;
        }
        if (arg == "--planted-faults") {
            options.plantedFaults = true;
            continue;
        }
        std::string* target = arg == "--out"      ? &out
                              : arg == "--group"  ? &group
                              : arg == "--bucket" ? &bucket
                              : arg == "--from"   ? &from
                              : arg == "--to"     ? &to
                                                  : nullptr;
        if (arg == "--seed") {
            if (i + 1 >= argc) return Usage("--seed needs a value");
            std::string_view value = argv[++i];
            auto r = std::from_chars(value.data(), value.data() + value.size(), options.seed);
            if (r.ec != std::errc() || r.ptr != value.data() + value.size())
                return Usage("--seed must be a whole number, not \"" + std::string(value) + "\"");
            continue;
        }
        if (target == nullptr) return Usage("unknown argument \"" + std::string(arg) + "\"");
        if (i + 1 >= argc) return Usage(std::string(arg) + " needs a value");
        *target = argv[++i];
    }
    if (out.empty()) return Usage("--out is required");
    if (!IsStationId(group)) return Usage("--group must be two letters or digits");
    if (!IsStationId(bucket)) return Usage("--bucket must be two letters or digits");
    auto first = ParseYearMonth(from);
    auto last = ParseYearMonth(to);
    if (!first) return Usage("--from must be YYYY/MM between 1970/01 and 2069/12");
    if (!last) return Usage("--to must be YYYY/MM between 1970/01 and 2069/12");
    if (last->year * 12 + last->month < first->year * 12 + first->month)
        return Usage("--to lies before --from");

    try {
        StationTotals totals = WriteStation(out, group, bucket, *first, *last, options);
        std::printf("%zu files, %zu data lines, %ju bytes written to %s\n", totals.files, totals.dataLines,
                    totals.bytes, out.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kolvane-gen: %s\n", e.what());
        return 1;
    }
    return 0;
}
