#include "convert/RunDriver.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

namespace kolvane {
namespace {

// The one place yearly files are replaced: strictly in run order, each year taken when it is ready.
template <typename Take>
RunOutcome CommitInOrder(std::size_t count, Take&& take, const RunObserver& observer) {
    RunOutcome outcome;
    for (std::size_t k = 0; k < count; ++k) {
        if (observer.cancelled && observer.cancelled()) {
            outcome.cancelled = true;
            break;
        }
        const YearOutput output = take(k);
        CommitYearOutput(output);
        ++outcome.written;
        if (observer.written) observer.written(outcome.written, output.path);
    }
    return outcome;
}

// Workers compute years at most `ahead` runs beyond the last one committed; the calling thread
// commits them.
class ParallelRun {
  public:
    ParallelRun(const std::vector<YearRun>& runs, const ConversionSettings& settings, unsigned threads)
        : runs_(runs), settings_(settings), slots_(runs.size()), ahead_(2 * threads) {
        for (unsigned t = 0; t < threads; ++t)
            workers_.emplace_back([this] { Work(); });
    }

    ~ParallelRun() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        for (std::thread& w : workers_)
            w.join();
    }

    ParallelRun(const ParallelRun&) = delete;
    ParallelRun& operator=(const ParallelRun&) = delete;

    // The output of run k once computed; rethrows its failure.
    YearOutput Take(std::size_t k) {
        YearOutput output;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return slots_[k].done; });
            if (slots_[k].error) std::rethrow_exception(slots_[k].error);
            output = std::move(*slots_[k].output);
            slots_[k].output.reset();
            taken_ = k + 1;
        }
        changed_.notify_all();
        return output;
    }

  private:
    struct Slot {
        std::optional<YearOutput> output;
        std::exception_ptr error;
        bool done = false;
    };

    void Work() {
        FolderLookup monthlyFolder(settings_.monthlyFolder);
        FolderLookup outputFolder(settings_.outputFolder);
        while (true) {
            std::size_t k;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock,
                              [&] { return stop_ || next_ >= slots_.size() || next_ < taken_ + ahead_; });
                if (stop_ || next_ >= slots_.size()) return;
                k = next_++;
            }
            Slot result;
            try {
                result.output = ComputeYearRun(runs_[k], settings_, monthlyFolder, outputFolder);
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

    const std::vector<YearRun>& runs_;
    const ConversionSettings& settings_;
    std::vector<Slot> slots_;
    const std::size_t ahead_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;
    std::size_t taken_ = 0;
    bool stop_ = false;
    std::vector<std::thread> workers_;
};

} // namespace

RunOutcome ConvertYearRuns(const std::vector<YearRun>& runs, const ConversionSettings& settings,
                           const RunObserver& observer, unsigned threads) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = std::min<unsigned>(threads, static_cast<unsigned>(runs.size()));
    if (threads <= 1) {
        FolderLookup monthlyFolder(settings.monthlyFolder);
        FolderLookup outputFolder(settings.outputFolder);
        return ConvertYearRunsInOrder(runs, settings, monthlyFolder, outputFolder, observer);
    }
    ParallelRun parallel(runs, settings, threads);
    return CommitInOrder(
        runs.size(), [&](std::size_t k) { return parallel.Take(k); }, observer);
}

RunOutcome ConvertYearRunsInOrder(const std::vector<YearRun>& runs, const ConversionSettings& settings,
                                  FolderLookup& monthlyFolder, FolderLookup& outputFolder,
                                  const RunObserver& observer) {
    return CommitInOrder(
        runs.size(),
        [&](std::size_t k) { return ComputeYearRun(runs[k], settings, monthlyFolder, outputFolder); },
        observer);
}

} // namespace kolvane
