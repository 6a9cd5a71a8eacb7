#pragma once

#include "engine/Engine.h"
#include "engine/Scheduler.h"
#include "engine/YearJob.h"
#include "model/Error.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kolvane::testing {

// One station's year runs through the engine, as the window runs them: the first failing year is thrown
// as its message, after the years before it are written (each told to `written`).
inline void ConvertYearRuns(const std::vector<YearRun>& runs, const ConversionSettings& settings,
                            std::function<void(const std::string& path)> written = nullptr,
                            unsigned threads = 0) {
    struct Observer : ConversionObserver {
        std::function<void(const std::string&)> written;
        void FileWritten(std::size_t, const WrittenYear& year) override {
            if (written) written(year.yearlyPath);
        }
    } observer;
    observer.written = std::move(written);
    const ConversionOutcome outcome =
        RunConversion({StationPlan{settings.key, settings, runs, {}, {}}}, observer, threads);
    if (outcome.stations.front().failure) throw KolvaneError(*outcome.stations.front().failure);
}

// Station 03/12's plan, as the front ends make it.
inline std::vector<StationPlan> PlanStation0312(const std::string& monthly, const std::string& output,
                                                std::vector<std::string> months,
                                                std::vector<std::string> latitude = {"35", "30", "00"}) {
    ConversionRequest request;
    request.stations = {{"03", "12"}};
    request.months = std::move(months);
    request.latitude = std::move(latitude);
    request.monthlyFolder = monthly;
    request.outputFolder = output;
    return PlanConversion(request);
}

// RunConversion's work on one thread, its writes made durable through `calls`.
inline ConversionOutcome RunThrough(const std::vector<StationPlan>& plans, ConversionObserver& observer,
                                    const DurableCalls& calls) {
    const auto compute = [](const StationPlan& plan, std::size_t year, FolderLookup& m, FolderLookup& o) {
        return ComputeYearRun(plan.runs[year], plan.settings, m, o);
    };
    return RunScheduled(plans, compute, observer, 1, calls);
}

// Station 03/12 converted on one thread in the folder of its monthly files: its failure, or "".
inline std::string ConvertInPlace(const std::string& folder, std::vector<std::string> months,
                                  std::vector<std::string> latitude = {"35", "30", "00"},
                                  const DurableCalls& calls = {}) {
    ConversionObserver observer;
    return RunThrough(PlanStation0312(folder, folder, std::move(months), std::move(latitude)), observer,
                      calls)
        .stations.front()
        .failure.value_or("");
}

} // namespace kolvane::testing
