#include "engine/YearPool.h"

#include <algorithm>
#include <system_error>

namespace kolvane {
YearPool::YearPool(const std::vector<StationPlan>& plans, const YearComputation& compute,
                   std::vector<YearTask> tasks, unsigned threads, const DurableCalls& calls)
    : plans_(plans), compute_(compute), calls_(calls), tasks_(std::move(tasks)), slots_(tasks_.size()),
      skipped_(plans.size(), false), ahead_(std::max<std::size_t>(2 * std::size_t{threads}, kAhead)) {
    if (threads <= 1) return;
    try {
        for (unsigned t = 0; t < threads; ++t)
            workers_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // The system gave fewer threads than asked for: those started do the work, or with none
        // the calling thread.
    }
}

YearPool::~YearPool() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    for (std::thread& w : workers_)
        w.join();
}

YearOutput YearPool::Take(std::size_t k) {
    if (workers_.empty()) return Compute(tasks_[k], ownLookups_);
    YearOutput output;
    {
        std::unique_lock lock(mutex_);
        taken_ = std::max(taken_, k + 1);
        changed_.notify_all();
        changed_.wait(lock, [&] { return slots_[k].done; });
        Slot slot = std::move(slots_[k]);
        if (slot.error) std::rethrow_exception(slot.error);
        output = std::move(*slot.output);
    }
    changed_.notify_all();
    return output;
}

void YearPool::SkipStation(std::size_t station, std::size_t lastTask) {
    {
        std::lock_guard lock(mutex_);
        skipped_[station] = true;
        taken_ = std::max(taken_, lastTask);
    }
    changed_.notify_all();
}

void YearPool::Work() {
    Lookups lookups;
    while (true) {
        std::size_t k;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stop_ || next_ >= slots_.size() || next_ < taken_ + ahead_; });
            if (stop_ || next_ >= slots_.size()) return;
            k = next_++;
            if (skipped_[tasks_[k].station]) continue;
        }
        Slot result;
        try {
            result.output = Compute(tasks_[k], lookups);
        } catch (...) {
            result.error = std::current_exception();
        }
        result.done = true;
        {
            std::lock_guard lock(mutex_);
            slots_[k] = std::move(result);
        }
        changed_.notify_all();
    }
}

YearOutput YearPool::Compute(const YearTask& task, Lookups& lookups) {
    const StationPlan& plan = plans_[task.station];
    YearOutput output = compute_(plan, task.year, lookups.For(plan.settings.monthlyFolder),
                                 lookups.For(plan.settings.outputFolder));
    // Written here, the files are on their way to disk while earlier years are synced and renamed.
    PrepareYearOutput(output, calls_);
    return output;
}

} // namespace kolvane
