#include "engine/Engine.h"

#include "engine/Scheduler.h"
#include "model/Error.h"
#include "model/Messages.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

namespace kolvane {
namespace {

// One year of one station, in the order the years are written.
struct Task {
    std::size_t station;
    std::size_t year;
};

// Folder lookups list a folder once; each thread keeps its own, shared by every station it works on.
class Lookups {
  public:
    FolderLookup& For(const std::string& folder) {
        return lookups_.try_emplace(folder, folder).first->second;
    }

  private:
    std::map<std::string, FolderLookup> lookups_;
};

// The one pool of the program. Workers compute years in write order, at most `ahead` tasks beyond
// the last one taken; the calling thread takes them in that order and writes them. Without workers
// the calling thread computes each year as it takes it.
class Scheduler {
  public:
    Scheduler(const std::vector<StationPlan>& plans, const YearComputation& compute, std::vector<Task> tasks,
              unsigned threads)
        : plans_(plans), compute_(compute), tasks_(std::move(tasks)), slots_(tasks_.size()),
          skipped_(plans.size(), false), ahead_(2 * std::size_t{threads}) {
        if (threads <= 1) return;
        try {
            for (unsigned t = 0; t < threads; ++t)
                workers_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            // The system gave fewer threads than asked for: those started do the work, or with none
            // the calling thread.
        }
    }

    ~Scheduler() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        for (std::thread& w : workers_)
            w.join();
    }

    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    // The output of task k once computed; rethrows its failure.
    YearOutput Take(std::size_t k) {
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

    // The remaining years of a station will not be taken: they need not be computed.
    void SkipStation(std::size_t station, std::size_t lastTask) {
        {
            std::lock_guard lock(mutex_);
            skipped_[station] = true;
            taken_ = std::max(taken_, lastTask);
        }
        changed_.notify_all();
    }

  private:
    struct Slot {
        std::optional<YearOutput> output;
        std::exception_ptr error;
        bool done = false;
    };

    void Work() {
        Lookups lookups;
        while (true) {
            std::size_t k;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock,
                              [&] { return stop_ || next_ >= slots_.size() || next_ < taken_ + ahead_; });
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

    YearOutput Compute(const Task& task, Lookups& lookups) {
        const StationPlan& plan = plans_[task.station];
        return compute_(plan, task.year, lookups.For(plan.settings.monthlyFolder),
                        lookups.For(plan.settings.outputFolder));
    }

    const std::vector<StationPlan>& plans_;
    const YearComputation& compute_;
    const std::vector<Task> tasks_;
    std::vector<Slot> slots_;
    std::vector<bool> skipped_;
    const std::size_t ahead_;
    Lookups ownLookups_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;
    std::size_t taken_ = 0;
    bool stop_ = false;
    std::vector<std::thread> workers_;
};

// The message of a failed year, whatever was thrown.
std::string FailureMessage(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const KolvaneError& e) {
        return e.what();
    } catch (const std::exception& e) {
        return message::RunFailed(e.what());
    }
}

} // namespace

std::size_t ConversionOutcome::Written() const {
    std::size_t n = 0;
    for (const StationResult& s : stations)
        n += s.written.size();
    return n;
}

std::size_t ConversionOutcome::Failures() const {
    return static_cast<std::size_t>(std::count_if(
        stations.begin(), stations.end(), [](const StationResult& s) { return s.failure.has_value(); }));
}

ConversionOutcome RunConversion(const std::vector<StationPlan>& plans, ConversionObserver& observer,
                                unsigned threads) {
    return RunScheduled(
        plans,
        [](const StationPlan& plan, std::size_t year, FolderLookup& monthly, FolderLookup& output) {
            return ComputeYearRun(plan.runs[year], plan.settings, monthly, output);
        },
        observer, threads);
}

ConversionOutcome RunScheduled(const std::vector<StationPlan>& plans, const YearComputation& compute,
                               ConversionObserver& observer, unsigned threads) {
    std::vector<Task> tasks;
    std::vector<std::size_t> firstTask;
    for (std::size_t s = 0; s < plans.size(); ++s) {
        firstTask.push_back(tasks.size());
        for (std::size_t y = 0; y < plans[s].runs.size(); ++y)
            tasks.push_back({s, y});
    }
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, tasks.size()));

    ConversionOutcome outcome;
    outcome.stations.resize(plans.size());
    Scheduler scheduler(plans, compute, tasks, threads);
    std::size_t stationsDone = 0, yearsDone = 0;
    for (std::size_t s = 0; s < plans.size() && !outcome.cancelled; ++s) {
        StationResult& result = outcome.stations[s];
        for (std::size_t y = 0; y < plans[s].runs.size(); ++y) {
            if (observer.CancelRequested()) {
                outcome.cancelled = true;
                break;
            }
            observer.YearStarted(s, y);
            try {
                const YearOutput output = scheduler.Take(firstTask[s] + y);
                CommitYearOutput(output);
                result.written.push_back(output.YearlyPath());
            } catch (...) {
                result.failure = FailureMessage(std::current_exception());
                scheduler.SkipStation(s, firstTask[s] + plans[s].runs.size());
                break;
            }
            observer.FileWritten(s, result.written.back());
            observer.Progress(stationsDone, ++yearsDone);
        }
        if (outcome.cancelled) break;
        observer.StationDone(s, result);
        observer.Progress(++stationsDone, yearsDone);
    }
    return outcome;
}

} // namespace kolvane
