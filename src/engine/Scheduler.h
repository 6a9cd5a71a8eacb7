#pragma once

#include "engine/Engine.h"
#include "engine/YearJob.h"

#include <functional>

namespace kolvane {

// What the scheduler runs for each year: the files of year `year` of the plan, through the calling
// thread's lookups of the plan's folders. Called on any thread of the pool.
using YearComputation = std::function<YearOutput(const StationPlan& plan, std::size_t year,
                                                 FolderLookup& monthlyFolder, FolderLookup& outputFolder)>;

// RunConversion with the year's computation given, and the calls that make its writes durable: it
// schedules, writes in order and reports exactly as RunConversion does.
ConversionOutcome RunScheduled(const std::vector<StationPlan>& plans, const YearComputation& compute,
                               ConversionObserver& observer, unsigned threads,
                               const DurableCalls& calls = {});

} // namespace kolvane
