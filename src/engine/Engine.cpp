#include "engine/Engine.h"

#include "engine/RunLog.h"
#include "engine/Scheduler.h"
#include "engine/StationLock.h"
#include "model/Error.h"
#include "model/Messages.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <exception>
#include <map>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <tuple>

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

// Years computed beyond the last one taken: enough that the workers go on while a batch is synced (a
// computed year holds its yearly text and its files open, not much).
constexpr std::size_t kAhead = 32;
// Years of a station written together where the front end allows it: each batch costs a few flushes of
// the disk (the files' data, the folder, the run log), and the file system's flush also writes what other
// programs have pending there. As many as the look-ahead (32) holds: one batch for a station of up to
// 32 years, while the workers compute the next batch meanwhile; the open files of a batch and of the
// years ahead stay under 200.
constexpr std::size_t kBatch = 32;

// The one pool of the program. Workers compute years in write order, at most `ahead` tasks beyond
// the last one taken; the calling thread takes them in that order and writes them. Without workers
// the calling thread computes each year as it takes it.
class Scheduler {
  public:
    Scheduler(const std::vector<StationPlan>& plans, const YearComputation& compute, std::vector<Task> tasks,
              unsigned threads, const DurableCalls& calls)
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
        YearOutput output = compute_(plan, task.year, lookups.For(plan.settings.monthlyFolder),
                                     lookups.For(plan.settings.outputFolder));
        // Written here, the files are on their way to disk while earlier years are synced and renamed.
        PrepareYearOutput(output, calls_);
        return output;
    }

    const std::vector<StationPlan>& plans_;
    const YearComputation& compute_;
    const DurableCalls calls_;
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
std::vector<std::string> PathsOf(const std::vector<WrittenYear>& years) {
    std::vector<std::string> paths;
    for (const WrittenYear& year : years)
        paths.push_back(year.yearlyPath);
    return paths;
}

std::string FailureMessage(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const KolvaneError& e) {
        return e.what();
    } catch (const std::exception& e) {
        return message::RunFailed(e.what());
    }
}

// Locks every station in its output folder before anything is read, taking the locks in one order
// (of the lock files themselves) so that two runs over several stations never wait for each other.
// False when the observer cancelled while waiting.
bool LockStations(const std::vector<StationPlan>& plans, ConversionObserver& observer,
                  std::vector<StationLock>& locks) {
    locks.resize(plans.size());
    std::vector<std::size_t> order;
    for (std::size_t s = 0; s < plans.size(); ++s) {
        // A folder where no run log can be made cannot take the yearly files either: the year's
        // write then says why, as it always has.
        if (!plans[s].runs.empty() && locks[s].Open(plans[s].settings.outputFolder, plans[s].station) == 0)
            order.push_back(s);
    }
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::tuple(locks[a].device(), locks[a].inode(), locks[a].offset()) <
               std::tuple(locks[b].device(), locks[b].inode(), locks[b].offset());
    });
    for (std::size_t s : order) {
        bool told = false;
        while (true) {
            const int e = locks[s].TryTake();
            // A file system without locks (ENOLCK) converts as before.
            if (e != EWOULDBLOCK) break;
            if (!told) observer.WaitingForStation(s, plans[s].settings.outputFolder);
            told = true;
            if (observer.CancelWhileWaiting()) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    return true;
}

// Syncs each folder named once. Returns 0 or the first errno.
int SyncFolders(std::vector<std::string>& folders, const DurableCalls& calls) {
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    int failed = 0;
    for (const std::string& folder : folders) {
        if (int e = SyncFolder(folder, calls); e && !failed) failed = e;
    }
    folders.clear();
    return failed;
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
                               ConversionObserver& observer, unsigned threads, const DurableCalls& calls) {
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
    std::vector<StationLock> locks;
    if (!LockStations(plans, observer, locks)) {
        outcome.cancelled = true;
        return outcome;
    }
    std::set<std::string> outputFolders;
    for (const StationPlan& plan : plans)
        outputFolders.insert(plan.settings.outputFolder);
    for (const std::string& folder : outputFolders)
        RemoveStaleTemporaryFiles(folder);

    Scheduler scheduler(plans, compute, tasks, threads, calls);
    const bool together = observer.WriteReadyYearsTogether();
    std::size_t stationsDone = 0, yearsDone = 0;
    for (std::size_t s = 0; s < plans.size() && !outcome.cancelled; ++s) {
        StationResult& result = outcome.stations[s];
        const std::size_t years = plans[s].runs.size();
        std::size_t y = 0;
        while (y < years && !result.failure && !outcome.cancelled) {
            // A batch: the next years of the station, synced together. None counts as written before
            // the folders of its renames are synced.
            const std::size_t first = y;
            std::vector<YearOutput> outputs;
            std::optional<std::string> failure;
            for (; y < years; ++y) {
                if (!outputs.empty() && (!together || outputs.size() >= kBatch)) break;
                if (observer.CancelRequested()) {
                    outcome.cancelled = true;
                    break;
                }
                try {
                    outputs.push_back(scheduler.Take(firstTask[s] + y));
                } catch (...) {
                    failure = FailureMessage(std::current_exception());
                    break;
                }
            }
            std::vector<WrittenYear> batch;
            std::vector<std::string> renamedIn;
            std::string logLines;
            try {
                SyncYearOutputs(outputs);
                for (YearOutput& output : outputs) {
                    CommitYearOutput(output, renamedIn);
                    logLines += FormatRunLogLine(RunLogEntryOf(plans[s], first + batch.size(),
                                                               output.mergedFromOutput, std::time(nullptr)));
                    batch.push_back({output.YearlyPath(), output.suspectValues});
                }
            } catch (...) {
                failure = FailureMessage(std::current_exception());
            }
            if (int e = SyncFolders(renamedIn, calls); e && !batch.empty()) {
                // In place but not safe from a power cut: not reported written.
                failure = message::CannotWrite(FileKind::Yearly, batch.front().yearlyPath, e);
                batch.clear();
            }
            y = first + batch.size();
            // The files are in place either way; a log that cannot say so stops the station, truthfully.
            const std::string& folder = plans[s].settings.outputFolder;
            if (int e = batch.empty() ? 0 : AppendRunLog(folder, logLines, calls))
                failure =
                    message::RunLogNotWritten(folder + std::string(RUN_LOG_FILE_NAME), e, PathsOf(batch)) +
                    (failure ? " " + *failure : std::string());
            for (std::size_t i = 0; i < batch.size(); ++i) {
                observer.YearStarted(s, first + i);
                result.written.push_back(batch[i].yearlyPath);
                observer.FileWritten(s, batch[i]);
                observer.Progress(stationsDone, ++yearsDone);
            }
            if (failure) {
                observer.YearStarted(s, y);
                result.failure = std::move(failure);
                scheduler.SkipStation(s, firstTask[s] + years);
            }
        }
        if (outcome.cancelled) break;
        observer.StationDone(s, result);
        observer.Progress(++stationsDone, yearsDone);
        locks[s].Release();
    }
    return outcome;
}

} // namespace kolvane
