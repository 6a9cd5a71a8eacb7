// Micro-benchmarks of the helpers every monthly line passes through.

#include "model/DateText.h"
#include "model/Numbers.h"

#include <array>
#include <benchmark/benchmark.h>
#include <string>
#include <string_view>

namespace {

using kolvane::AppendFixed;
using kolvane::ParseLeadingNumber;
using kolvane::ParseObservationTime;

// Fields as they occur in monthly files, with a few oddities the reader must also get through.
constexpr std::array<std::string_view, 10> kFields = {"0.0",   "-2.4", "1012.3", "315", "3.1",
                                                      "12.75", "67",   " 8.5",   "X",   "1.5e1"};

void BM_ParseLeadingNumber(benchmark::State& state) {
    for (auto _ : state) {
        for (std::string_view field : kFields)
            benchmark::DoNotOptimize(ParseLeadingNumber(field));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kFields.size()));
}
BENCHMARK(BM_ParseLeadingNumber);

constexpr std::array<double, 8> kValues = {0.0, -2.35, 1012.25, 17.0 / 3.0, 2.675, -0.04, 28.6, 1234.5678};

void BM_AppendFixed(benchmark::State& state) {
    const int decimals = static_cast<int>(state.range(0));
    std::string out;
    out.reserve(256);
    for (auto _ : state) {
        out.clear();
        for (double v : kValues)
            AppendFixed(out, v, decimals);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kValues.size()));
}
BENCHMARK(BM_AppendFixed)->Arg(1)->Arg(2);

constexpr std::array<std::string_view, 6> kTimes = {"2024/01/31 1:00",    "2024/01/31 24:00",
                                                    "98/04/01 13:00",     "2024/2/29 5:07:09",
                                                    " 2025/12/31 23:59 ", "2024/13/01 1:00"};

void BM_ParseObservationTime(benchmark::State& state) {
    for (auto _ : state) {
        for (std::string_view text : kTimes)
            benchmark::DoNotOptimize(ParseObservationTime(text));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kTimes.size()));
}
BENCHMARK(BM_ParseObservationTime);

} // namespace

BENCHMARK_MAIN();
