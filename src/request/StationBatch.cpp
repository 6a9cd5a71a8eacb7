#include "request/StationBatch.h"

#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/Text.h"

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

namespace kolvane {
namespace {

std::string_view Unquoted(std::string_view field) {
    field = TrimBlanks(field);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
        field = TrimBlanks(field.substr(1, field.size() - 2));
    return field;
}

// A table's latitude may have blanks around its parts.
std::vector<std::string> LatitudeParts(std::string_view text) {
    std::vector<std::string> parts = SplitLatitudeText(text);
    for (std::string& part : parts)
        part = std::string(TrimBlanks(part));
    return parts;
}

std::string Key(const StationKey& station) {
    return LowerAscii(StationName(station));
}

// The month list entries in list order: by two-digit year, then month, each once.
std::vector<std::string> InListOrder(std::vector<std::string> entries) {
    auto key = [](const std::string& e) { return e.substr(2); }; // "yy/mm"
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const auto& a, const auto& b) { return key(a) < key(b); });
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    return entries;
}

} // namespace

std::string StationName(const StationKey& station) {
    return station.group + station.bucket;
}

LatitudeTable ReadLatitudeTable(const std::string& path) {
    std::string bytes;
    if (int e = ReadWholeFile(path, bytes))
        throw RequestError(RequestField::Coordinates, message::LatitudeTableUnreadable(path, e));
    std::string_view text = bytes;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);

    LatitudeTable table{path, {}};
    std::optional<std::string> failure;
    ForEachLine(text, [&](std::string_view line, std::size_t number) {
        if (failure || TrimBlanks(line).empty()) return;
        auto bad = [&](std::string_view cause) {
            failure = message::LatitudeTableBadRow(path, number, cause);
        };
        const std::vector<std::string_view> fields = SplitFields(line);
        const std::string_view station = Unquoted(fields[0]);
        const bool stationLike = station.size() == 4;
        if (fields.size() < 2) {
            bad("観測点と緯度の 2 列がありません");
            return;
        }
        std::vector<std::string> latitude = LatitudeParts(Unquoted(fields[1]));
        try {
            LatitudeDegrees(latitude);
        } catch (const RequestError& e) {
            // The first line may name the columns.
            const std::string_view value = Unquoted(fields[1]);
            if (number == 1 && (value.empty() || !IsAsciiDigit(value[0]))) return;
            if (latitude.size() != 1 && latitude.size() != 3)
                bad("緯度は 度:分:秒 (例 35:30:00) または 10 進の度 (例 35.5) で書いて下さい");
            else
                bad(std::string(e.what()).substr(0, std::string(e.what()).rfind("。")));
            return;
        }
        if (!stationLike) {
            bad("観測点はグループID・バケットIDの 4 文字 (例 0312) で書いて下さい");
            return;
        }
        if (!table.rows.emplace(LowerAscii(station), std::move(latitude)).second)
            bad("観測点 " + std::string(station) + " が重複しています");
    });
    if (failure) throw RequestError(RequestField::Coordinates, *failure);
    return table;
}

std::vector<StationPlan> PlanStations(const BatchRequest& request) {
    // One listing of the folder serves every station.
    std::vector<StationMonths> found;
    if (int e = ListStations(request.monthlyFolder, found))
        throw KolvaneError(message::MonthlyFolderUnreadable(request.monthlyFolder, e));

    std::vector<StationKey> stations;
    if (request.allStations) {
        for (const StationMonths& s : found)
            stations.push_back({s.group, s.bucket});
        if (stations.empty())
            throw RequestError(RequestField::Station, message::NoMonthlyFiles(request.monthlyFolder));
    } else {
        for (const StationKey& s : request.stations) {
            auto same = [&](const StationKey& t) { return Key(t) == Key(s); };
            if (std::none_of(stations.begin(), stations.end(), same)) stations.push_back(s);
        }
    }
    if (stations.empty()) throw RequestError(RequestField::Station, message::StationNotChosen());
    const std::vector<std::string> selected = InListOrder(request.months);

    std::vector<StationPlan> plans;
    for (const StationKey& station : stations) {
        StationPlan plan;
        plan.station = station;
        auto it = std::find_if(found.begin(), found.end(), [&](const StationMonths& s) {
            return Key({s.group, s.bucket}) == Key(station);
        });
        const std::vector<std::string> listed = it == found.end() ? std::vector<std::string>{} : it->months;

        RunRequest run;
        run.station = station;
        run.monthlyFolder = request.monthlyFolder;
        run.outputFolder = request.outputFolder;
        if (!request.latitude.empty()) {
            run.latitude = request.latitude;
        } else if (request.table) {
            auto row = request.table->rows.find(Key(station));
            if (row == request.table->rows.end())
                throw RequestError(RequestField::Coordinates, message::StationWithoutLatitude(
                                                                  StationName(station), request.table->path));
            run.latitude = row->second;
        }
        if (selected.empty()) {
            if (listed.empty())
                throw RequestError(
                    RequestField::Months,
                    message::NoMonthlyFilesOfStation(station.group, station.bucket, request.monthlyFolder));
            run.months = listed;
        } else {
            run.months = selected;
            for (const std::string& m : selected) {
                if (std::find(listed.begin(), listed.end(), m) != listed.end()) continue;
                // A folder or pipe by the name is no typo: the run names it with its own message.
                std::error_code ec;
                const std::string path = request.monthlyFolder + MonthlyFileNameOfEntry(m, station);
                if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec)))
                    plan.missingMonths.push_back(m);
            }
        }
        plan.run = PlanRun(run);
        plan.run.settings.writeQuality = request.writeQuality;
        plans.push_back(std::move(plan));
    }
    return plans;
}

namespace {

// Workers take stations in order; the calling thread reports them in order as each is done.
class StationRunner {
  public:
    StationRunner(const std::vector<StationPlan>& plans, unsigned threads)
        : plans_(plans), slots_(plans.size()) {
        const unsigned workers = std::min<unsigned>(threads, static_cast<unsigned>(plans.size()));
        // Fewer stations than threads: the spare threads compute years of each station.
        yearThreads_ = std::max(1u, threads / std::max(1u, workers));
        for (unsigned t = 0; t < workers; ++t)
            workers_.emplace_back([this] { Work(); });
    }

    ~StationRunner() {
        for (std::thread& w : workers_)
            w.join();
    }

    StationRunner(const StationRunner&) = delete;
    StationRunner& operator=(const StationRunner&) = delete;

    std::vector<StationFailure> Follow(const BatchObserver& observer) {
        std::vector<StationFailure> failures;
        std::size_t reported = 0;
        std::size_t shownStations = SIZE_MAX, shownYears = SIZE_MAX;
        std::unique_lock lock(mutex_);
        while (reported < plans_.size()) {
            changed_.wait(lock, [&] {
                return slots_[reported].done || stationsDone_ != shownStations || yearsDone_ != shownYears;
            });
            std::vector<std::pair<std::size_t, Slot>> ready;
            while (reported < plans_.size() && slots_[reported].done) {
                ready.emplace_back(reported, std::move(slots_[reported]));
                ++reported;
            }
            shownStations = stationsDone_;
            shownYears = yearsDone_;
            lock.unlock();
            for (auto& [index, slot] : ready) {
                if (observer.stationDone) observer.stationDone(index, slot.written);
                if (slot.failure) failures.push_back({index, std::move(*slot.failure)});
            }
            if (observer.progress) observer.progress(shownStations, shownYears);
            lock.lock();
        }
        return failures;
    }

  private:
    struct Slot {
        std::vector<std::string> written;
        std::optional<std::string> failure;
        bool done = false;
    };

    void Work() {
        // Every station of a batch shares the folders.
        FolderLookup monthly(plans_.front().run.settings.monthlyFolder);
        FolderLookup output(plans_.front().run.settings.outputFolder);
        while (true) {
            std::size_t k;
            {
                std::lock_guard lock(mutex_);
                if (next_ >= plans_.size()) return;
                k = next_++;
            }
            Slot result;
            RunObserver observer;
            observer.written = [&](std::size_t, const std::string& path) {
                result.written.push_back(path);
                {
                    std::lock_guard lock(mutex_);
                    ++yearsDone_;
                }
                changed_.notify_all();
            };
            try {
                if (yearThreads_ > 1)
                    ConvertYearRuns(plans_[k].run.runs, plans_[k].run.settings, observer, yearThreads_);
                else // through the worker's lookups: a folder of many stations is listed once per worker
                    ConvertYearRunsInOrder(plans_[k].run.runs, plans_[k].run.settings, monthly, output,
                                           observer);
            } catch (const KolvaneError& e) {
                result.failure = e.what();
            } catch (const std::exception& e) {
                result.failure = message::RunFailed(e.what());
            }
            result.done = true;
            {
                std::lock_guard lock(mutex_);
                slots_[k] = std::move(result);
                ++stationsDone_;
            }
            changed_.notify_all();
        }
    }

    const std::vector<StationPlan>& plans_;
    std::vector<Slot> slots_;
    unsigned yearThreads_ = 1;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;
    std::size_t stationsDone_ = 0;
    std::size_t yearsDone_ = 0;
    std::vector<std::thread> workers_;
};

} // namespace

std::vector<StationFailure> ConvertStations(const std::vector<StationPlan>& plans,
                                            const BatchObserver& observer, unsigned threads) {
    if (plans.empty()) return {};
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    StationRunner runner(plans, threads);
    return runner.Follow(observer);
}

} // namespace kolvane
