#include "engine/Engine.h"

#include "engine/RunLog.h"
#include "engine/StationLock.h"
#include "engine/YearPool.h"
#include "model/Error.h"
#include "model/Messages.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <exception>
#include <set>
#include <thread>
#include <tuple>

namespace kolvane {
namespace {

// Years of a station written together where the front end allows it: each batch costs a few flushes of
// the disk (the files' data, the folder, the run log), and the file system's flush also writes what other
// programs have pending there. As many as the pool's look-ahead holds: one batch for a station of up to 32
// years, while the workers compute the next batch meanwhile; the open files of a batch and of the years
// ahead stay under 200.
constexpr std::size_t kBatch = YearPool::kAhead;

// Whatever a year threw, as its station's failure.
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

// A station's next years, taken to be written together, and the failure that cut the taking short.
struct Batch {
    std::size_t first = 0;
    std::vector<YearOutput> outputs;
    std::optional<std::string> failure;
};

// One conversion on its way: the stations in plan order, each in batches of its years, each batch taken,
// committed and then reported.
class ConversionRun {
  public:
    ConversionRun(const std::vector<StationPlan>& plans, const YearComputation& compute,
                  ConversionObserver& observer, unsigned threads, const DurableCalls& calls)
        : plans_(plans), observer_(observer), calls_(calls), together_(observer.WriteReadyYearsTogether()),
          pool_(plans, compute, Tasks(), threads, calls) {
        outcome_.stations.resize(plans.size());
    }

    ConversionOutcome Run(std::vector<StationLock>& locks) {
        for (std::size_t s = 0; s < plans_.size() && !outcome_.cancelled; ++s) {
            RunStation(s);
            if (outcome_.cancelled) break;
            observer_.StationDone(s, outcome_.stations[s]);
            observer_.Progress(++stationsDone_, yearsDone_);
            locks[s].Release();
        }
        return std::move(outcome_);
    }

  private:
    std::vector<YearTask> Tasks() {
        std::vector<YearTask> tasks;
        for (std::size_t s = 0; s < plans_.size(); ++s) {
            firstTask_.push_back(tasks.size());
            for (std::size_t y = 0; y < plans_[s].runs.size(); ++y)
                tasks.push_back({s, y});
        }
        return tasks;
    }

    void RunStation(std::size_t s) {
        StationResult& result = outcome_.stations[s];
        const std::size_t years = plans_[s].runs.size();
        std::size_t y = 0;
        while (y < years && !result.failure && !outcome_.cancelled) {
            Batch batch = TakeBatch(s, y);
            std::vector<WrittenYear> written = CommitBatch(s, batch);
            y = batch.first + written.size();
            ReportBatch(s, written);
            if (batch.failure) {
                result.failure = std::move(batch.failure);
                pool_.SkipStation(s, firstTask_[s] + years);
            }
        }
    }

    // The station's next years from `first` on: one where the front end reports year by year, else up
    // to a batch. Stops short at a cancel or at a year that failed.
    Batch TakeBatch(std::size_t s, std::size_t first) {
        Batch batch;
        batch.first = first;
        const std::size_t limit = together_ ? kBatch : 1;
        for (std::size_t y = first; y < plans_[s].runs.size() && batch.outputs.size() < limit; ++y) {
            if (observer_.CancelRequested()) {
                outcome_.cancelled = true;
                break;
            }
            observer_.YearStarted(s, y);
            try {
                batch.outputs.push_back(pool_.Take(firstTask_[s] + y));
            } catch (...) {
                batch.failure = FailureMessage(std::current_exception());
                break;
            }
        }
        return batch;
    }

    // Logs the batch's years and puts their files in place in run order. Returns the years in place and
    // safe from a power cut; any failure goes to the batch. None counts as written before the folders of
    // its renames are synced.
    std::vector<WrittenYear> CommitBatch(std::size_t s, Batch& batch) {
        std::vector<WrittenYear> written;
        std::vector<std::string> renamedIn;
        try {
            SyncYearOutputs(batch.outputs);
            // Announced, with the proof of each yearly file, before any is put in place: a run cut off
            // anywhere leaves no yearly file without its line, and a line whose file never came is known
            // by its proof.
            if (!LogBatch(s, batch)) return written;
            for (YearOutput& output : batch.outputs) {
                CommitYearOutput(output, renamedIn, calls_);
                const std::size_t year = batch.first + written.size();
                written.push_back({output.YearlyPath(), output.suspectValues, plans_[s].runs[year].Year(),
                                   std::move(output.notes)});
            }
        } catch (...) {
            batch.failure = FailureMessage(std::current_exception());
        }
        if (int e = SyncFolders(renamedIn, calls_); e && !written.empty()) {
            // In place but not safe from a power cut: not reported written.
            batch.failure = message::CannotWrite(FileKind::Yearly, written.front().yearlyPath, e);
            written.clear();
        }
        for (std::size_t y = 0; y < written.size(); ++y)
            RemoveKeptCompanions(batch.outputs[y]);
        return written;
    }

    // False, with the failure in the batch, when the log could not take the lines: nothing is written.
    bool LogBatch(std::size_t s, Batch& batch) {
        std::string lines;
        for (std::size_t y = 0; y < batch.outputs.size(); ++y) {
            const YearOutput& output = batch.outputs[y];
            lines += FormatRunLogLine(RunLogEntryOf(plans_[s], batch.first + y, output.proof,
                                                    output.mergedFromOutput, std::time(nullptr)));
        }
        const std::string& folder = plans_[s].settings.outputFolder;
        const int e = AppendRunLog(folder, lines, calls_);
        if (e) {
            std::vector<std::string> paths;
            for (const YearOutput& output : batch.outputs)
                paths.push_back(output.YearlyPath());
            batch.failure = message::RunLogNotWritten(folder + std::string(RUN_LOG_FILE_NAME), e, paths);
        }
        return e == 0;
    }

    void ReportBatch(std::size_t s, const std::vector<WrittenYear>& written) {
        for (const WrittenYear& year : written) {
            outcome_.stations[s].written.push_back(year.yearlyPath);
            observer_.FileWritten(s, year);
            observer_.Progress(stationsDone_, ++yearsDone_);
        }
    }

    const std::vector<StationPlan>& plans_;
    ConversionObserver& observer_;
    const DurableCalls calls_;
    const bool together_;
    std::vector<std::size_t> firstTask_;
    YearPool pool_;
    ConversionOutcome outcome_;
    std::size_t stationsDone_ = 0, yearsDone_ = 0;
};

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
    std::size_t years = 0;
    for (const StationPlan& plan : plans)
        years += plan.runs.size();
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, years));

    std::vector<StationLock> locks;
    if (!LockStations(plans, observer, locks)) {
        ConversionOutcome outcome;
        outcome.stations.resize(plans.size());
        outcome.cancelled = true;
        return outcome;
    }
    std::set<std::string> outputFolders;
    for (const StationPlan& plan : plans)
        outputFolders.insert(plan.settings.outputFolder);
    for (const std::string& folder : outputFolders)
        RemoveStaleTemporaryFiles(folder);
    return ConversionRun(plans, compute, observer, threads, calls).Run(locks);
}

} // namespace kolvane
