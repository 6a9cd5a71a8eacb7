#include "ui/RunJob.h"

#include "engine/Engine.h"
#include "model/Messages.h"
#include "ui/Layout.h"

#include <QThread>
#include <condition_variable>
#include <mutex>

namespace kolvane {
namespace {

// The engine's notices as the job's progress: one station, its years in order.
class JobObserver : public ConversionObserver {
  public:
    JobObserver(const RunJob::Progress& progress, StationKey station)
        : progress_(progress), station_(std::move(station)) {}
    bool CancelRequested() override { return progress_.starting(next_++); }
    void FileWritten(std::size_t, const WrittenYear& year) override {
        progress_.written(++written_, year.yearlyPath, year.suspectValues);
        subHourly_ |= year.subHourly;
    }
    bool SubHourly() const { return subHourly_; }
    void WaitingForStation(std::size_t, const std::string& folder) override {
        notice_ = message::WaitingForStation(StationName(station_), folder);
    }
    bool CancelWhileWaiting() override { return progress_.waiting && progress_.waiting(notice_); }
    // A cancel pressed on seeing a file stops before the next one.
    bool WriteReadyYearsTogether() override { return false; }

  private:
    const RunJob::Progress& progress_;
    StationKey station_;
    std::string notice_;
    std::size_t next_ = 0;
    std::size_t written_ = 0;
    bool subHourly_ = false;
};

} // namespace

// What a run shares between the job and its thread. The thread writes `outcome` and `failure`; the
// job reads them only after the thread has ended.
struct RunJob::Active {
    Plan plan;
    std::unique_ptr<QThread> thread;
    std::mutex mutex;
    std::condition_variable changed;
    bool cancel = false;   // guarded by `mutex`
    bool held = false;     // guarded by `mutex`
    std::size_t shown = 0; // written notices delivered, guarded by `mutex`
    Outcome outcome;
    std::optional<QString> failure;

    // Waits while the run is held; true when it is to stop.
    bool CancelledAfterHold() {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return !held || cancel; });
        return cancel;
    }
};

RunJob::RunJob(QObject* parent) : QObject(parent) {}

RunJob::~RunJob() {
    if (run_) Stop();
}

void RunJob::Check(const RunRequest& request) {
    CheckRunRequest(request);
}

RunJob::Plan RunJob::Prepare(const RunRequest& request) {
    try {
        auto planned = std::make_shared<const StationPlan>(PlanRun(request));
        Plan plan;
        for (const YearRun& year : planned->runs)
            plan.yearlyFiles << FromCore(YearlyFileName(year.yy, planned->settings.key));
        plan.outputFolder = planned->settings.outputFolder;
        plan.replacedUnmerged = planned->replacedUnmerged;
        plan.convert = [planned](const Progress& progress) {
            JobObserver observer(progress, planned->station);
            const ConversionOutcome outcome = RunConversion({*planned}, observer);
            const StationResult& station = outcome.stations.front();
            // The files before the failing year stay, and were counted as they were written.
            if (station.failure) throw KolvaneError(*station.failure);
            return Outcome{station.written.size(), outcome.cancelled, observer.SubHourly()};
        };
        return plan;
    } catch (const KolvaneError&) {
        throw;
    } catch (const std::exception& error) {
        throw KolvaneError(message::RunFailed(error.what()));
    }
}

void RunJob::Start(Plan plan) {
    if (run_) return;
    run_ = std::make_shared<Active>();
    const std::shared_ptr<Active> run = run_;
    run->plan = std::move(plan);
    const unsigned generation = ++generation_;

    // Notices from the thread come back through the job's event queue, in the order sent; one of a
    // run that has ended meanwhile is dropped. The job outlives its thread (it stops it when it goes).
    auto post = [this, generation](auto action) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, action = std::move(action)] {
                if (run_ && generation == generation_) action();
            },
            Qt::QueuedConnection);
    };
    run->thread.reset(QThread::create([this, run, post] {
        Progress progress;
        progress.starting = [&](std::size_t year) {
            if (run->CancelledAfterHold()) return true;
            post([this, year, name = run->plan.yearlyFiles.value(static_cast<qsizetype>(year))] {
                emit yearStarted(static_cast<int>(year), name);
            });
            return false;
        };
        progress.written = [&](std::size_t written, const std::string& path, int64_t suspect) {
            run->outcome.written = written; // kept when a later year fails
            post([this, run, written, path = FromCore(path), suspect] {
                emit fileWritten(static_cast<int>(written), path, static_cast<qint64>(suspect));
                {
                    const std::lock_guard lock(run->mutex);
                    run->shown = written;
                }
                run->changed.notify_all();
            });
            // The run gets no further ahead of the window than one file: what the bar shows is on
            // disk, and a cancel pressed on seeing a file stops before the next one.
            std::unique_lock lock(run->mutex);
            run->changed.wait(lock, [&] { return run->shown >= written || run->cancel; });
        };
        std::string shownNotice;
        progress.waiting = [&](const std::string& notice) {
            if (notice != shownNotice) post([this, notice = FromCore(notice)] { emit waiting(notice); });
            shownNotice = notice;
            const std::lock_guard lock(run->mutex);
            return run->cancel;
        };
        try {
            run->outcome = run->plan.convert(progress);
        } catch (const KolvaneError& error) {
            run->failure = QString::fromUtf8(error.what());
        } catch (const std::exception& error) {
            run->failure = FromCore(message::RunFailed(error.what()));
        }
        post([this] {
            const Result result = Join();
            if (result.failure)
                emit failed(*result.failure, static_cast<int>(result.outcome.written));
            else
                emit finished(static_cast<int>(result.outcome.written), result.outcome.cancelled);
        });
    }));
    run->thread->start();
}

void RunJob::Cancel() {
    if (!run_) return;
    {
        const std::lock_guard lock(run_->mutex);
        run_->cancel = true;
    }
    run_->changed.notify_all();
}

void RunJob::Hold(bool held) {
    if (!run_) return;
    {
        const std::lock_guard lock(run_->mutex);
        run_->held = held;
    }
    run_->changed.notify_all();
}

RunJob::Result RunJob::Stop() {
    if (!run_) return {};
    Cancel();
    return Join();
}

RunJob::Result RunJob::Join() {
    const std::shared_ptr<Active> run = std::move(run_);
    run->thread->wait();
    return {run->outcome, run->failure};
}

} // namespace kolvane
