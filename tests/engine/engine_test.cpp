#include "engine/Engine.h"
#include "engine/RunLog.h"
#include "engine/Scheduler.h"
#include "engine/StationLock.h"
#include "model/Messages.h"
#include "support/DurableLog.h"
#include "support/EngineRun.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <string_view>
#include <sys/mman.h>
#include <sys/resource.h>
#include <thread>
#include <utility>

namespace kolvane {
namespace {

using testing::DURABLE_LOG;
using testing::DurableLog;
using testing::MonthlyText;
using testing::PlanStation0312;
using testing::RunThrough;
using testing::TempFolder;

// Every notice, in the order it came, each after a "|".
class Recorder : public ConversionObserver {
  public:
    std::string notices;
    std::size_t cancelAfter = SIZE_MAX; // asks answered "no" before the first "yes"
    bool oneByOne = false;

    bool WriteReadyYearsTogether() override { return !oneByOne; }

    bool CancelRequested() override { return cancelAfter-- == 0; }
    void YearStarted(std::size_t s, std::size_t y) override { Add("start ", s, "." + std::to_string(y)); }
    void FileWritten(std::size_t s, const WrittenYear& year) override {
        Add("file ", s, " " + std::string(FileNameOf(year.yearlyPath)));
    }
    void StationDone(std::size_t s, const StationResult& r) override {
        Add("done ", s, r.failure ? " failed" : " " + std::to_string(r.written.size()));
    }
    void Progress(std::size_t stations, std::size_t years) override {
        notices += "|progress " + std::to_string(stations) + "/" + std::to_string(years);
    }

  private:
    void Add(const char* what, std::size_t station, const std::string& rest) {
        notices += std::string("|") + what + std::to_string(station) + rest;
    }
};

std::vector<StationPlan> PlanAll(const TempFolder& monthly, const TempFolder& out,
                                 std::vector<StationKey> stations) {
    ConversionRequest request;
    request.stations = std::move(stations);
    request.latitude = {"35.5"};
    request.monthlyFolder = monthly.folder();
    request.outputFolder = out.folder();
    return PlanConversion(request);
}

// `years` years of one station, for a computation of the test's own, its lock taken in `out`.
std::vector<StationPlan> Years(const TempFolder& out, std::size_t years) {
    std::vector<StationPlan> plans(1);
    plans[0].runs.resize(years);
    plans[0].settings.outputFolder = out.folder();
    return plans;
}

TEST(Engine, StationsAreWrittenInOrderAndAFailingYearStopsOnlyItsStation) {
    // Year by year, each year is started before it is written; written together, a batch's years are
    // all started before the first of them is in place.
    const std::string yearByYear =
        "start 0.0|file 0 Y2005_0101.csv|progress 0/1|start 0.1|file 0 Y2006_0101.csv|progress 0/2|"
        "done 0 2|progress 1/2|start 1.0|file 1 Y2005_0312.csv|progress 1/3|start 1.1|done 1 failed|"
        "progress 2/3|start 2.0|file 2 Y2005_0202.csv|progress 2/4|done 2 1|progress 3/4";
    const std::string together =
        "start 0.0|start 0.1|file 0 Y2005_0101.csv|progress 0/1|file 0 Y2006_0101.csv|progress 0/2|"
        "done 0 2|progress 1/2|start 1.0|start 1.1|file 1 Y2005_0312.csv|progress 1/3|done 1 failed|"
        "progress 2/3|start 2.0|file 2 Y2005_0202.csv|progress 2/4|done 2 1|progress 3/4";
    for (auto [threads, oneByOne] : {std::pair{1u, false}, {3u, false}, {1u, true}, {3u, true}}) {
        SCOPED_TRACE(std::to_string(threads) + (oneByOne ? " one by one" : " together"));
        TempFolder monthly, out;
        monthly.Write("M0501_0101.csv", MonthlyText(2005, 1, 5, 1));
        monthly.Write("M0601_0101.csv", MonthlyText(2006, 1, 5, 1));
        monthly.Write("M0501_0312.csv", MonthlyText(2005, 1, 5, 1));
        monthly.Write("M0601_0312.csv", MonthlyText(2006, 1, 7, 1, "-2.0")); // impossible wind speed
        monthly.Write("M0701_0312.csv", MonthlyText(2007, 1, 9, 1));
        monthly.Write("M0501_0202.csv", MonthlyText(2005, 1, 5, 1));
        out.Write("Y2006_0312.csv", "old");
        out.Write("Y2007_0312.csv", "old");

        Recorder recorder;
        recorder.oneByOne = oneByOne;
        const ConversionOutcome outcome = RunConversion(
            PlanAll(monthly, out, {{"01", "01"}, {"03", "12"}, {"02", "02"}}), recorder, threads);
        EXPECT_EQ(recorder.notices, "|" + (oneByOne ? yearByYear : together));
        EXPECT_FALSE(outcome.cancelled);
        EXPECT_EQ(outcome.Written(), 4u);
        EXPECT_EQ(outcome.Failures(), 1u);
        EXPECT_EQ(outcome.stations[1].failure,
                  "月次ファイル「" + monthly.File("M0601_0312.csv") +
                      "」の2006年1月7日の値を計算できません（計算結果が数値になりません。"
                      "平均湿度・平均風速などの値を確認して下さい）。");
        // The failing year and the later one are untouched; the year before stays written.
        EXPECT_EQ(TempFolder::Read(out.File("Y2006_0312.csv")), "old");
        EXPECT_EQ(TempFolder::Read(out.File("Y2007_0312.csv")), "old");
        EXPECT_EQ(outcome.stations[1].written, std::vector<std::string>{out.File("Y2005_0312.csv")});
        EXPECT_EQ(out.EntryCount(), 2 + 3 * 4); // four years with both companions; no temporary file
    }
}

TEST(Engine, ACancelStopsBeforeTheNextYearlyFileOfAnyStation) {
    for (unsigned threads : {1u, 2u}) {
        SCOPED_TRACE(threads);
        TempFolder monthly, out;
        for (const char* station : {"0101", "0312"})
            for (int yy : {5, 6})
                monthly.Write("M0" + std::to_string(yy) + "01_" + station + ".csv",
                              MonthlyText(2000 + yy, 1, 5, 1));
        out.Write("Y2005_0312.csv", "old");

        Recorder recorder;
        recorder.cancelAfter = 2; // the third year is not written
        const ConversionOutcome outcome =
            RunConversion(PlanAll(monthly, out, {{"01", "01"}, {"03", "12"}}), recorder, threads);
        EXPECT_TRUE(outcome.cancelled);
        EXPECT_EQ(outcome.Written(), 2u);
        EXPECT_TRUE(recorder.notices.ends_with("|progress 1/2")) << recorder.notices;
        EXPECT_EQ(TempFolder::Read(out.File("Y2005_0312.csv")), "old");
        EXPECT_EQ(out.EntryCount(), 1 + 3 * 2);
    }
}

TEST(Engine, AnyFailureInsideAYearIsItsStationsFailureNotACrash) {
    // Years that throw what the core never throws on purpose: out of memory, a library's error.
    TempFolder monthly, out;
    std::vector<StationPlan> plans;
    for (int s = 0; s < 3; ++s) {
        plans.push_back(Years(out, 3).front());
        plans.back().station = {"0" + std::to_string(s), "01"};
    }
    const YearComputation compute = [&](const StationPlan& plan, std::size_t year, FolderLookup&,
                                        FolderLookup&) {
        if (plan.station.group == "00" && year == 1) throw std::bad_alloc();
        if (plan.station.group == "01" && year == 0) throw std::runtime_error("broken");
        const std::string name = StationName(plan.station) + "_" + std::to_string(year);
        return YearOutput{.files = {{FileKind::Yearly, out.File(name), name}}};
    };
    for (unsigned threads : {1u, 4u}) {
        SCOPED_TRACE(threads);
        Recorder recorder;
        const ConversionOutcome outcome = RunScheduled(plans, compute, recorder, threads);
        EXPECT_EQ(outcome.stations[0].failure, message::RunFailed(std::bad_alloc().what()));
        EXPECT_EQ(outcome.stations[0].written, std::vector<std::string>{out.File("0001_0")});
        EXPECT_EQ(outcome.stations[1].failure, message::RunFailed("broken"));
        EXPECT_TRUE(outcome.stations[1].written.empty());
        EXPECT_EQ(outcome.stations[2].written.size(), 3u);
        EXPECT_FALSE(outcome.stations[2].failure);
        EXPECT_EQ(TempFolder::Read(out.File("0201_2")), "0201_2");
    }
}

// The durable steps in their order: the data (with the whole file system, or file by file where that
// cannot report a failure), the run log's lines, the renames (each companion before its yearly file, years
// in run order even when a later one is ready first), the folder, and only then the reports.
TEST(Engine, EveryDurableStepComesInOrderAndTheReportsLast) {
    TempFolder monthly, out, fake, fresh;
    monthly.Write("M0501_0312.csv", MonthlyText(2005, 1, 1, 3));
    monthly.Write("M0412_0312.csv", MonthlyText(2004, 12, 1, 3));
    struct Reporter : ConversionObserver {
        void FileWritten(std::size_t, const WrittenYear& year) override {
            DurableLog::Note("file " + std::string(FileNameOf(year.yearlyPath)));
        }
    } reporter;
    std::atomic<bool> laterDone = false;
    const YearComputation laterFirst = [&](const StationPlan&, std::size_t year, FolderLookup&,
                                           FolderLookup&) {
        // Bounded, should the pool not run the first two side by side.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (year == 0 && !laterDone && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (year == 1) laterDone = true;
        return YearOutput{.files = {{FileKind::Yearly, fake.File(std::to_string(year)), "x"}}};
    };
    const auto convert = [&](std::vector<std::string> months) {
        RunThrough(PlanStation0312(monthly.folder(), out.folder(), std::move(months)), reporter, DURABLE_LOG);
    };
    const auto folderOf = [](const TempFolder& f) {
        return "sync folder " + std::filesystem::path(f.folder()).parent_path().filename().string();
    };
    const std::string renames = "rename Q2004_0312.csv|rename C2004_0312.csv|rename Y2004_0312.csv|";
    const std::string renames05 = "rename Q2005_0312.csv|rename C2005_0312.csv|rename Y2005_0312.csv|";
    const std::string reports = folderOf(out) + "|file Y2004_0312.csv|file Y2005_0312.csv";
    const struct {
        const char* name;
        int fileSystemError;
        std::function<void()> run;
        std::string calls;
    } ROWS[] = {
        {"a later year ready first", 0,
         [&] { RunScheduled(Years(fake, 4), laterFirst, reporter, 2, DURABLE_LOG); },
         "sync all|sync kolvane-log.csv|rename 0|rename 1|rename 2|rename 3|" + folderOf(fake) +
             "|file 0|file 1|file 2|file 3"},
        {"two years in one batch", 0,
         [&] {
             convert({"2005/01", "2004/12"});
         },
         "sync all|sync kolvane-log.csv|" + renames + renames05 + reports},
        {"file by file", ENOSYS,
         [&] {
             convert({"2005/01", "2004/12"});
         },
         "sync all|sync Y2004_0312.csv|sync all|sync C2004_0312.csv|sync all|sync Q2004_0312.csv|sync all|"
         "sync Y2005_0312.csv|sync all|sync C2005_0312.csv|sync all|sync Q2005_0312.csv|sync "
         "kolvane-log.csv|" +
             renames + renames05 + reports},
        // A new log has its header and its folder entry on disk before it is used.
        {"a new log", 0,
         [&] {
             platform::File log;
             ASSERT_EQ(OpenRunLog(fresh.folder(), log, DURABLE_LOG), 0);
         },
         "sync kolvane-log.csv|" + folderOf(fresh)},
    };
    for (const auto& row : ROWS) {
        SCOPED_TRACE(row.name);
        DurableLog::syncFileSystemError = row.fileSystemError;
        DurableLog::Take();
        row.run();
        std::string calls;
        for (const std::string& call : DurableLog::Take())
            calls += (calls.empty() ? "" : "|") + call;
        EXPECT_EQ(calls, row.calls);
    }
    DurableLog::syncFileSystemError = 0;
}

// A disk that fails the data or the folder: the files may be in place, but none is reported written, and
// no temporary file is left.
TEST(Engine, AYearIsNotReportedWrittenWhenTheDiskFailsItsDataOrFolder) {
    TempFolder out;
    const std::vector<StationPlan> plans = Years(out, 4);
    const YearComputation compute = [&](const StationPlan&, std::size_t year, FolderLookup&, FolderLookup&) {
        return YearOutput{.files = {{FileKind::Yearly, out.File(std::to_string(year)), "x"}}};
    };
    for (int* error : {&DurableLog::syncFileSystemError, &DurableLog::syncFolderError}) {
        DurableLog::syncFileSystemError = DurableLog::syncFolderError = 0;
        *error = EIO;
        Recorder recorder;
        const ConversionOutcome outcome = RunScheduled(plans, compute, recorder, 1, DURABLE_LOG);
        EXPECT_EQ(outcome.Written(), 0u);
        EXPECT_EQ(outcome.stations[0].failure, message::CannotWrite(FileKind::Yearly, out.File("0"), EIO));
        EXPECT_EQ(out.Outputs(true), out.Outputs(false)); // nothing hidden
    }
    DurableLog::syncFileSystemError = DurableLog::syncFolderError = 0;
}

TEST(Engine, ARunWaitsForAnotherRunOnTheSameStationAndCanBeCancelledMeanwhile) {
    TempFolder monthly, out;
    monthly.Write("M0501_0312.csv", MonthlyText(2005, 1, 5, 1));
    const std::vector<StationPlan> plans = PlanAll(monthly, out, {{"03", "12"}});

    // Another run's lock: another open file of the same lock file, as another process would hold it.
    StationLock other;
    ASSERT_EQ(other.Open(out.folder(), {"03", "12"}), 0);
    ASSERT_EQ(other.TryTake(), 0);

    struct Waiter : Recorder {
        int asked = 0, cancelAt = 3; // polls answered "no" before the first "yes"
        std::function<void()> onPoll;
        void WaitingForStation(std::size_t s, const std::string& folder) override {
            notices += "|wait " + std::to_string(s) + " " + folder;
        }
        bool CancelWhileWaiting() override {
            if (onPoll) onPoll();
            return ++asked > cancelAt;
        }
    };
    Waiter cancelled;
    const ConversionOutcome stopped = RunConversion(plans, cancelled, 2);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(stopped.Written(), 0u);
    EXPECT_EQ(cancelled.asked, 4);
    EXPECT_EQ(cancelled.notices, "|wait 0 " + out.folder());
    EXPECT_FALSE(std::filesystem::exists(out.File("Y2005_0312.csv")));

    // Once the other run ends, the waiting one goes on and writes.
    Waiter patient;
    patient.cancelAt = 1000;
    patient.onPoll = [&] {
        if (patient.asked == 2) other.Release();
    };
    EXPECT_EQ(RunConversion(plans, patient, 2).Written(), 1u);
    EXPECT_TRUE(patient.notices.starts_with("|wait 0 " + out.folder() + "|start")) << patient.notices;
    EXPECT_TRUE(std::filesystem::exists(out.File("Y2005_0312.csv")));

    // A station of its own, or the same station in another folder, does not wait.
    ASSERT_EQ(other.Open(out.folder(), {"03", "12"}), 0);
    ASSERT_EQ(other.TryTake(), 0);
    TempFolder elsewhere;
    Waiter free;
    EXPECT_EQ(RunConversion(PlanAll(monthly, elsewhere, {{"03", "12"}}), free, 2).Written(), 1u);
    EXPECT_TRUE(free.notices.starts_with("|start")) << free.notices;
}

TEST(Engine, FewerThreadsThanAskedForStillConvertEveryYear) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer reserves more address space than the limit this test sets";
#else
    TempFolder out;
    const std::vector<StationPlan> plans = Years(out, 400);
    const YearComputation compute = [&](const StationPlan&, std::size_t year, FolderLookup&, FolderLookup&) {
        return YearOutput{.files = {{FileKind::Yearly, out.File(std::to_string(year)), "x"}}};
    };
    // Room for a few thread stacks only, so that most of the 400 threads asked for cannot start. The last
    // one started leaves less than a stack's room, so a reserve is set aside and given back once every
    // thread has been tried (the first question to the observer): the years must not be what runs out.
    const auto convertWithLittleRoom = [&] {
        std::size_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t limit = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (64 << 20);
        const rlimit room{limit, limit};
        setrlimit(RLIMIT_AS, &room);
        constexpr std::size_t RESERVE = 32 << 20;
        struct GivesRoomBack : Recorder {
            void* reserve = ::mmap(nullptr, RESERVE, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            bool CancelRequested() override {
                if (reserve != MAP_FAILED) ::munmap(std::exchange(reserve, MAP_FAILED), RESERVE);
                return Recorder::CancelRequested();
            }
        } recorder;
        if (recorder.reserve == MAP_FAILED) std::exit(2);
        std::exit(RunScheduled(plans, compute, recorder, 400).Written() == 400 ? 0 : 1);
    };
    EXPECT_EXIT(convertWithLittleRoom(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(out.EntryCount(), 400);
#endif
}

} // namespace
} // namespace kolvane
