// Micro-benchmarks of the helpers every monthly line passes through, of the daily aggregation, and of a
// year's computation beside its plausibility checks.

#include "WeatherGenerator.h"
#include "checks/HourlyChecks.h"
#include "daily/DailyAggregation.h"
#include "formats/MonthlyFile.h"
#include "formats/Year.h"
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

// A month of complete hours with values that change every hour.
kolvane::HourlyTable MonthOfHours() {
    kolvane::HourlyTable hours;
    for (int day = 1; day <= 31; ++day) {
        for (int hour = 1; hour <= 24; ++hour) {
            const double t = 10 + 8 * ((hour + day) % 24) / 24.0;
            hours.push_back({.year = 2024,
                             .month = 1,
                             .day = day,
                             .hour = hour,
                             .precip = hour % 7 == 0 ? 1.5 : 0,
                             .temp = t,
                             .humidity = 60.0 + hour % 20,
                             .pressure = 1010.0 + day % 5,
                             .windDir = 22.5 * ((hour * 3 + day) % 16),
                             .windSpeed = 1.0 + hour % 5,
                             .gust = 3.0 + (hour * 7 + day) % 11,
                             .gustDir = 22.5 * (hour % 16),
                             .solar = hour > 6 && hour < 18 ? 1.2 : 0,
                             .dewPoint = t - 6,
                             .groundTemp = 12});
        }
    }
    return hours;
}

void BM_BuildDailyRecords(benchmark::State& state) {
    const kolvane::HourlyTable hours = MonthOfHours();
    kolvane::DailyTable days;
    for (auto _ : state) {
        days.clear();
        kolvane::BuildDailyRecords(hours, 35.5, days);
        benchmark::DoNotOptimize(days.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(hours.size()));
}
BENCHMARK(BM_BuildDailyRecords);

// A generated year of the benchmark station, as monthly texts and as the rows the reader makes of them.
struct GeneratedYear {
    std::vector<kolvane::SourceFile> months;
    std::vector<kolvane::HourlyTable> rows;
    int64_t hours = 0;
};

const GeneratedYear& Year2024() {
    static const GeneratedYear year = [] {
        GeneratedYear y;
        for (int month = 1; month <= 12; ++month) {
            y.months.push_back({"M24", kolvane::bench::GenerateMonth({2024, month}, {}).bytes});
            kolvane::ParseMonthlyText(*y.months.back().bytes, "M24", y.rows.emplace_back());
            y.hours += static_cast<int64_t>(y.rows.back().size());
        }
        return y;
    }();
    return year;
}

// The year computation and the plausibility checks over the same year, to compare per row.
void BM_ComputeYear(benchmark::State& state) {
    const GeneratedYear& year = Year2024();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            kolvane::ComputeYear({.yy = "24", .latitude = 35.5, .monthly = year.months}));
    state.SetItemsProcessed(state.iterations() * year.hours);
}
BENCHMARK(BM_ComputeYear);

void BM_HourlyChecks(benchmark::State& state) {
    const GeneratedYear& year = Year2024();
    for (auto _ : state) {
        kolvane::HourlyChecks checks(35.5);
        for (const kolvane::HourlyTable& month : year.rows)
            checks.Add(month);
        benchmark::DoNotOptimize(checks.Finish());
    }
    state.SetItemsProcessed(state.iterations() * year.hours);
}
BENCHMARK(BM_HourlyChecks);

} // namespace

BENCHMARK_MAIN();
