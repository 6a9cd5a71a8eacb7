#include "ui/RunJob.h"

#include "model/Error.h"
#include "model/Messages.h"
#include "ui/Layout.h"

#include <QThread>
#include <condition_variable>
#include <mutex>

namespace kolvane {

// What a run shares between the job and its thread. The thread writes `outcome`; the job reads it only
// after the thread has ended.
struct RunJob::Active {
    StationPlan plan;
    std::unique_ptr<QThread> thread;
    std::mutex mutex;
    std::condition_variable changed;
    bool cancel = false;   // guarded by `mutex`
    bool held = false;     // guarded by `mutex`
    std::size_t shown = 0; // written notices delivered, guarded by `mutex`
    ConversionOutcome outcome;
};

// The engine's notices, on the worker thread, as the job's signals (posted: the observer is gone by the
// time they arrive). The run gets no further ahead of the
// window than one file: what the bar shows is on disk, and a cancel pressed on seeing a file stops before
// the next one.
class RunJob::Observer : public ConversionObserver {
  public:
    using Post = std::function<void(std::function<void()>)>;
    Observer(RunJob& job, std::shared_ptr<Active> run, Post post)
        : job_(job), run_(*run), keep_(std::move(run)), post_(std::move(post)) {}

    bool CancelRequested() override {
        std::unique_lock lock(run_.mutex);
        run_.changed.wait(lock, [&] { return !run_.held || run_.cancel; });
        return run_.cancel;
    }
    void YearStarted(std::size_t, std::size_t year) override {
        const QString name = FromCore(YearlyFileName(run_.plan.runs.at(year).yy, run_.plan.settings.key));
        post_([job = &job_, year, name] { emit job->yearStarted(static_cast<int>(year), name); });
    }
    void FileWritten(std::size_t, const WrittenYear& year) override {
        for (const std::string& note : year.notes)
            post_([job = &job_, note = FromCore(note)] { emit job->noted(note); });
        written.push_back(year.yearlyPath);
        const std::size_t count = written.size();
        // The notice holds the run: a slot of fileWritten may stop it and end the job's hold on it.
        post_([job = &job_, run = keep_, count, path = FromCore(year.yearlyPath),
               suspect = year.suspectValues, y = year.year] {
            emit job->fileWritten(static_cast<int>(count), path, static_cast<qint64>(suspect), y);
            {
                const std::lock_guard lock(run->mutex);
                run->shown = count;
            }
            run->changed.notify_all();
        });
        std::unique_lock lock(run_.mutex);
        run_.changed.wait(lock, [&] { return run_.shown >= count || run_.cancel; });
    }
    void WaitingForStation(std::size_t, const std::string& folder) override {
        const QString notice = FromCore(message::WaitingForStation(StationName(run_.plan.station), folder));
        post_([job = &job_, notice] { emit job->waiting(notice); });
    }
    bool CancelWhileWaiting() override { return Cancelled(); }
    bool WriteReadyYearsTogether() override { return false; }

    std::vector<std::string> written; // kept when the conversion throws

  private:
    bool Cancelled() {
        const std::lock_guard lock(run_.mutex);
        return run_.cancel;
    }

    RunJob& job_;
    Active& run_;
    std::shared_ptr<Active> keep_;
    Post post_;
};

RunJob::RunJob(QObject* parent, Conversion conversion)
    : QObject(parent),
      conversion_(conversion ? std::move(conversion) : [](const auto& plans, auto& observer) {
          return RunConversion(plans, observer);
      }) {}

RunJob::~RunJob() {
    if (run_) Stop();
}

StationPlan RunJob::Prepare(const ConversionRequest& request) {
    try {
        return PlanRun(request);
    } catch (const KolvaneError&) {
        throw;
    } catch (const std::exception& error) {
        throw KolvaneError(message::RunFailed(error.what()));
    }
}

void RunJob::Start(StationPlan plan) {
    if (run_) return;
    run_ = std::make_shared<Active>();
    const std::shared_ptr<Active> run = run_;
    run->plan = std::move(plan);
    const unsigned generation = ++generation_;

    // Notices from the thread come back through the job's event queue, in the order sent; one of a
    // run that has ended meanwhile is dropped. The job outlives its thread (it stops it when it goes).
    auto post = [this, generation](std::function<void()> action) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, action = std::move(action)] {
                if (run_ && generation == generation_) action();
            },
            Qt::QueuedConnection);
    };
    run->thread.reset(QThread::create([this, run, post] {
        Observer observer(*this, run, post);
        try {
            run->outcome = conversion_({run->plan}, observer);
        } catch (const std::exception& error) {
            // Whatever escaped the engine ends the run as its one station's failure.
            run->outcome = ConversionOutcome{};
            const KolvaneError* known = dynamic_cast<const KolvaneError*>(&error);
            run->outcome.stations = {
                {observer.written, known ? std::string(known->what()) : message::RunFailed(error.what())}};
        }
        if (run->outcome.stations.empty()) run->outcome.stations.resize(1);
        post([this] {
            last_ = Join();
            const StationResult& station = last_.stations.front();
            if (station.failure)
                emit failed(QString::fromUtf8(*station.failure), static_cast<int>(station.written.size()));
            else
                emit finished(static_cast<int>(station.written.size()), last_.cancelled);
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

ConversionOutcome RunJob::Stop() {
    if (!run_) return ConversionOutcome{{StationResult{}}, false};
    Cancel();
    return Join();
}

ConversionOutcome RunJob::Join() {
    const std::shared_ptr<Active> run = std::move(run_);
    run->thread->wait();
    return std::move(run->outcome);
}

} // namespace kolvane
