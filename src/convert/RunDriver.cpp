#include "convert/RunDriver.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

namespace kolvane {
namespace {

struct Slot {
    std::optional<YearOutput> output;
    std::exception_ptr error;
    bool done = false;
};

// Years are computed by workers, at most `ahead` runs beyond the last one written, and committed by
// the calling thread strictly in run order.
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

    void CommitAll(const std::function<void(const std::string&)>& onWritten) {
        for (std::size_t k = 0; k < slots_.size(); ++k) {
            YearOutput output;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return slots_[k].done; });
                if (slots_[k].error) std::rethrow_exception(slots_[k].error);
                output = std::move(*slots_[k].output);
                slots_[k].output.reset();
            }
            CommitYearOutput(output);
            if (onWritten) onWritten(output.path);
            {
                std::lock_guard lock(mutex_);
                committed_ = k + 1;
            }
            changed_.notify_all();
        }
    }

  private:
    void Work() {
        Conversion conversion(settings_);
        while (true) {
            std::size_t k;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock,
                              [&] { return stop_ || next_ >= slots_.size() || next_ < committed_ + ahead_; });
                if (stop_ || next_ >= slots_.size()) return;
                k = next_++;
            }
            Slot result;
            try {
                result.output = conversion.ComputeYearRun(runs_[k].monthlyNames, runs_[k].yy);
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
    std::size_t committed_ = 0;
    bool stop_ = false;
    std::vector<std::thread> workers_;
};

} // namespace

void ConvertYearRuns(const std::vector<YearRun>& runs, const ConversionSettings& settings,
                     const std::function<void(const std::string& path)>& onWritten, unsigned threads) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    if (threads > runs.size()) threads = static_cast<unsigned>(runs.size());
    if (threads <= 1) {
        Conversion conversion(settings);
        for (const YearRun& run : runs) {
            YearOutput output = conversion.ComputeYearRun(run.monthlyNames, run.yy);
            CommitYearOutput(output);
            if (onWritten) onWritten(output.path);
        }
        return;
    }
    ParallelRun parallel(runs, settings, threads);
    parallel.CommitAll(onWritten);
}

} // namespace kolvane
