#include "UiTestSupport.h"

#include "model/Error.h"
#include "ui/RunJob.h"

#include <QSignalSpy>
#include <stdexcept>

namespace kolvane::testing {
namespace {

bool Ends(const RunJob& job) {
    return QTest::qWaitFor([&] { return !job.running(); }, RUN_WAIT_MS);
}

// A plan of years `yy` of station 0101 into `folder`.
StationPlan Years(const std::string& folder, const std::vector<std::string>& yy) {
    StationPlan plan;
    plan.station = plan.settings.key = {"01", "01"};
    plan.settings.outputFolder = folder;
    for (const std::string& y : yy)
        plan.runs.push_back({{}, y});
    return plan;
}

// A conversion that writes nothing and pays no heed to a cancel: it reports every year of the plan as
// written, then does `after`.
std::function<void()> after;
ConversionOutcome Pretend(const std::vector<StationPlan>& plans, ConversionObserver& observer) {
    ConversionOutcome outcome{{StationResult{}}, false};
    const StationPlan& plan = plans.front();
    for (std::size_t y = 0; y < plan.runs.size(); ++y) {
        observer.YearStarted(0, y);
        const std::string path = plan.settings.outputFolder + YearlyFileName(plan.runs[y].yy, plan.station);
        observer.FileWritten(0, {path, 0, plan.runs[y].Year(), {}});
        outcome.stations[0].written.push_back(path);
    }
    if (after) std::exchange(after, nullptr)();
    return outcome;
}

TEST(RunJob, AFailureOfAnyKindEndsTheRunWithTheUsersMessage) {
    RunJob job(nullptr, Pretend);
    QSignalSpy finished(&job, &RunJob::finished);
    QSignalSpy failed(&job, &RunJob::failed);

    // The core's own error carries the whole message.
    after = [] { throw KolvaneError("月次ファイルが壊れています。"); };
    job.Start(Years("/out/", {}));
    ASSERT_TRUE(Ends(job));
    EXPECT_EQ(failed, QList({QVariantList({QStringLiteral("月次ファイルが壊れています。"), 0})}));

    // Any other failure is worded as a failed run, with the files written before it counted.
    after = [] { throw std::runtime_error("disk on fire"); };
    job.Start(Years("/out/", {"00"}));
    ASSERT_TRUE(Ends(job));
    ASSERT_EQ(failed.size(), 2);
    EXPECT_EQ(failed[1],
              QVariantList({QStringLiteral("年次ファイルを作成できませんでした。\ndisk on fire"), 1}));
    EXPECT_EQ(finished.size(), 0);

    // The job is usable again afterwards.
    job.Start(Years("/out/", {"00"}));
    ASSERT_TRUE(Ends(job));
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished[0], QVariantList({1, false}));
}

TEST(RunJob, AStoppedRunSaysNothingMoreAndAJobThatGoesStopsItsRun) {
    RunJob job(nullptr, Pretend);
    QStringList written;
    QObject::connect(&job, &RunJob::fileWritten, [&](int, const QString& path) { written << path; });
    QSignalSpy finished(&job, &RunJob::finished);

    // Stopped without the event loop running: the first run's notices are still queued when the
    // second starts.
    job.Start(Years("/first/", {"00", "01"}));
    const ConversionOutcome stopped = job.Stop();
    EXPECT_FALSE(job.running());
    EXPECT_FALSE(stopped.stations.front().failure);
    job.Start(Years("/second/", {"99"}));
    ASSERT_TRUE(Ends(job));
    QTest::qWait(50); // anything else still queued
    EXPECT_EQ(written, Strings({"/second/Y1999_0101.csv"}));
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished[0], QVariantList({1, false}));

    // A job that goes while its run waits for the window (the program ends) stops the run first.
    auto doomed = std::make_unique<RunJob>(nullptr, Pretend);
    doomed->Start(Years("/third/", {"00"}));
    doomed.reset();
    QTest::qWait(50);
}

} // namespace
} // namespace kolvane::testing
