#pragma once

#include "engine/Scheduler.h"

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kolvane {

// One year of one station, in the order the years are written.
struct YearTask {
    std::size_t station;
    std::size_t year;
};

// The one pool of the program. Workers compute years in write order, at most `ahead` tasks beyond
// the last one taken; the calling thread takes them in that order and writes them. Without workers
// the calling thread computes each year as it takes it.
class YearPool {
  public:
    // Years computed beyond the last one taken (at least): enough that the workers go on while a batch is
    // synced (a computed year holds its yearly text and its files open, not much).
    static constexpr std::size_t kAhead = 32;

    YearPool(const std::vector<StationPlan>& plans, const YearComputation& compute,
             std::vector<YearTask> tasks, unsigned threads, const DurableCalls& calls);
    ~YearPool();
    YearPool(const YearPool&) = delete;
    YearPool& operator=(const YearPool&) = delete;

    // The output of task k once computed; rethrows its failure.
    YearOutput Take(std::size_t k);
    // The remaining years of a station will not be taken: they need not be computed.
    void SkipStation(std::size_t station, std::size_t lastTask);

  private:
    // Folder lookups list a folder once; each thread keeps its own, shared by every station it works on.
    class Lookups {
      public:
        FolderLookup& For(const std::string& folder) {
            return lookups_.try_emplace(folder, folder).first->second;
        }

      private:
        std::map<std::string, FolderLookup> lookups_;
    };
    struct Slot {
        std::optional<YearOutput> output;
        std::exception_ptr error;
        bool done = false;
    };

    void Work();
    YearOutput Compute(const YearTask& task, Lookups& lookups);

    const std::vector<StationPlan>& plans_;
    const YearComputation& compute_;
    const DurableCalls calls_;
    const std::vector<YearTask> tasks_;
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

} // namespace kolvane
