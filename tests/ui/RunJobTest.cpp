#include "UiTestSupport.h"

#include "model/Error.h"
#include "ui/RunJob.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <stdexcept>

namespace kolvane::testing {
namespace {

class RunJobTest : public UiFixture {
  protected:
    // Three years in list order, 2000, 2001 and 1999, converted beside their monthly files.
    RunRequest ThreeYears() {
        const std::string monthly = Folder("monthly");
        RunRequest request;
        request.latitude = {"35", "41", "0"};
        request.longitude = {"139", "45", "30"};
        request.station = {"01", "01"};
        for (int year : {2000, 2001, 1999}) {
            WriteMonthlyFile(monthly, year, 1, "0101");
            request.months.push_back(std::to_string(year) + "/01");
        }
        request.monthlyFolder = monthly;
        request.outputFolder = monthly;
        return request;
    }

    static bool Ends(const RunJob& job) {
        return QTest::qWaitFor([&] { return !job.running(); }, 60000);
    }
};

// A conversion of `files` that writes nothing and pays no heed to a cancel.
RunJob::Plan Pretend(const QStringList& files, std::function<void()> after = nullptr) {
    RunJob::Plan plan;
    plan.yearlyFiles = files;
    plan.convert = [files, after](const RunJob::Progress& progress) {
        for (qsizetype i = 0; i < files.size(); ++i) {
            progress.starting(static_cast<std::size_t>(i));
            progress.written(static_cast<std::size_t>(i + 1), files[i].toStdString(), 0);
        }
        if (after) after();
        return RunJob::Outcome{static_cast<std::size_t>(files.size()), false};
    };
    return plan;
}

TEST_F(RunJobTest, ReportsEachYearAndFileInOrderAndACancelOnSeeingAFileStopsBeforeTheNextYear) {
    const RunRequest request = ThreeYears();
    RunJob::Check(request);
    RunJob::Plan plan = RunJob::Prepare(request);
    EXPECT_EQ(plan.yearlyFiles, Strings({"Y2000_0101.csv", "Y2001_0101.csv", "Y1999_0101.csv"}));
    EXPECT_EQ(plan.outputFolder, request.outputFolder);
    EXPECT_TRUE(plan.replacedUnmerged.empty());

    RunJob job;
    QStringList seen;
    QObject::connect(&job, &RunJob::yearStarted, [&](int index, const QString& name) {
        seen << QStringLiteral("year %1 %2").arg(index).arg(name);
    });
    QObject::connect(&job, &RunJob::fileWritten, [&](int written, const QString& path) {
        seen << QStringLiteral("file %1 %2").arg(written).arg(QFileInfo(path).fileName());
        if (written == 2) job.Cancel();
    });
    QSignalSpy finished(&job, &RunJob::finished);
    QSignalSpy failed(&job, &RunJob::failed);
    job.Start(std::move(plan));
    EXPECT_TRUE(job.running());
    ASSERT_TRUE(Ends(job));
    EXPECT_EQ(seen, Strings({"year 0 Y2000_0101.csv", "file 1 Y2000_0101.csv", "year 1 Y2001_0101.csv",
                             "file 2 Y2001_0101.csv"}));
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished[0], QVariantList({2, true}));
    EXPECT_EQ(failed.size(), 0);
    EXPECT_EQ(Entries(request.monthlyFolder).filter(QStringLiteral("Y")),
              Strings({"Y2000_0101.csv", "Y2001_0101.csv"}));

    // A plan the core refuses is refused before anything starts, with the user's message.
    RunRequest elsewhere = request;
    elsewhere.outputFolder = request.monthlyFolder + "M2000_0101.csv/";
    EXPECT_THROW(RunJob::Prepare(elsewhere), KolvaneError);
}

TEST_F(RunJobTest, AFailureOfAnyKindEndsTheRunWithTheUsersMessage) {
    RunJob job;
    QSignalSpy finished(&job, &RunJob::finished);
    QSignalSpy failed(&job, &RunJob::failed);

    // The core's own error carries the whole message.
    job.Start(Pretend({}, [] { throw KolvaneError("月次ファイルが壊れています。"); }));
    ASSERT_TRUE(Ends(job));
    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed[0], QVariantList({QStringLiteral("月次ファイルが壊れています。"), 0}));

    // Any other failure is worded as a failed run, with the files written before it counted.
    job.Start(
        Pretend({QStringLiteral("/out/Y2000_0101.csv")}, [] { throw std::runtime_error("disk on fire"); }));
    ASSERT_TRUE(Ends(job));
    ASSERT_EQ(failed.size(), 2);
    EXPECT_EQ(failed[1],
              QVariantList({QStringLiteral("年次ファイルを作成できませんでした。\ndisk on fire"), 1}));
    EXPECT_EQ(finished.size(), 0);

    // The job is usable again afterwards.
    job.Start(Pretend({QStringLiteral("/out/Y2000_0101.csv")}));
    ASSERT_TRUE(Ends(job));
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished[0], QVariantList({1, false}));
}

TEST_F(RunJobTest, AStoppedRunSaysNothingMoreAndAJobThatGoesStopsItsRun) {
    RunJob job;
    QStringList written;
    QObject::connect(&job, &RunJob::fileWritten, [&](int, const QString& path) { written << path; });
    QSignalSpy finished(&job, &RunJob::finished);

    // Stopped without the event loop running: the first run's notices are still queued when the
    // second starts.
    job.Start(Pretend({QStringLiteral("/first/Y2000_0101.csv"), QStringLiteral("/first/Y2001_0101.csv")}));
    const RunJob::Result stopped = job.Stop();
    EXPECT_FALSE(job.running());
    EXPECT_FALSE(stopped.failure);
    job.Start(Pretend({QStringLiteral("/second/Y1999_0101.csv")}));
    ASSERT_TRUE(Ends(job));
    QTest::qWait(50); // anything else still queued
    EXPECT_EQ(written, Strings({"/second/Y1999_0101.csv"}));
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished[0], QVariantList({1, false}));

    // A job that goes while its run waits for the window (the program ends) stops the run first.
    auto doomed = std::make_unique<RunJob>();
    doomed->Start(Pretend({QStringLiteral("/third/Y2000_0101.csv")}));
    doomed.reset();
    QTest::qWait(50);
}

} // namespace
} // namespace kolvane::testing
