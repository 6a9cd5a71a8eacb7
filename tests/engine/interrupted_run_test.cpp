// A run killed at any of its durable steps (a file's or the file system's sync, a rename, the folder's
// sync), once or twice: the next run ends as if nothing had happened, and meanwhile every yearly file in
// place has its log line and its companions.

#include "checks/FindingsFile.h"
#include "engine/RunLog.h"
#include "formats/QualityFile.h"
#include "support/DurableLog.h"
#include "support/EngineRun.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

namespace kolvane {
namespace {

using testing::ConvertInPlace;
using testing::DURABLE_LOG;
using testing::MonthlyText;
using testing::TempFolder;

constexpr int kKilled = 77;
int stepsSoFar = 0;
int killAt = 0; // the step the process dies before; 0: none

void Step() {
    if (++stepsSoFar == killAt) ::_exit(kKilled);
}

// Station 03/12, converted in the folder of its monthly files: both years of a month go in one batch.
const std::vector<std::string> JULY = {"2023/07", "2024/07"}, AUGUST = {"2023/08", "2024/08"};
const std::vector<std::string> OLD_LATITUDE = {"35", "30", "00"}, NEW_LATITUDE = {"36", "00", "00"};

// Two years whose July is converted, with findings (the hours repeat), before August is.
void Prepare(const TempFolder& folder) {
    for (int year : {2023, 2024})
        for (int month : {7, 8})
            folder.Write("M" + std::to_string(year % 100) + "0" + std::to_string(month) + "_0312.csv",
                         MonthlyText(year, month, 1, 3));
    ASSERT_EQ(ConvertInPlace(folder.folder(), JULY, OLD_LATITUDE), "");
}

// The names of the files that are not the same in both, or not in both.
std::string Differing(const std::map<std::string, std::string>& a,
                      const std::map<std::string, std::string>& b) {
    std::string names;
    for (const auto& [name, bytes] : a)
        if (!b.contains(name) || b.at(name) != bytes) names += name + " ";
    for (const auto& [name, bytes] : b)
        if (!a.contains(name)) names += name + " ";
    return names;
}

// Each yearly file in place has the log line of the run that wrote it (August's when it is the one
// the uninterrupted run gives) and companions that belong to it.
void ExpectEachYearlyFileDescribed(const TempFolder& folder, const std::map<std::string, std::string>& done) {
    for (const char* name : {"Y2023_0312.csv", "Y2024_0312.csv"}) {
        SCOPED_TRACE(name);
        const std::string yearly = TempFolder::Read(folder.File(name));
        const bool august = yearly == done.at(name);
        const std::optional<RunLogEntry> line = LastRunLogEntry(folder.folder(), name);
        ASSERT_TRUE(line && line->proof);
        EXPECT_EQ(line->months, august ? "08" : "07");
        EXPECT_EQ(line->latitude, august ? "36:00:00" : "35:30:00");
        EXPECT_TRUE(ReadCompanionOf(folder.File(name), yearly).Belongs());
        EXPECT_TRUE(ReadFindingsOf(folder.File(name), yearly).Belongs());
    }
}

TEST(InterruptedRun, AKillAtAnyDurableStepLeavesAStateTheNextRunCompletesAsIfUninterrupted) {
    testing::DurableLog::before = Step;
    TempFolder uninterrupted;
    Prepare(uninterrupted);
    stepsSoFar = 0;
    ASSERT_EQ(ConvertInPlace(uninterrupted.folder(), AUGUST, NEW_LATITUDE, DURABLE_LOG), "");
    const int steps = stepsSoFar;
    const std::map<std::string, std::string> done = uninterrupted.Outputs(true);
    ASSERT_EQ(done.size(), 6u); // Y, Q and C of each year, nothing aside
    ASSERT_GT(steps, 6);        // at least the renames into place

    // Each step once, and the run again killed at another step (the last ones first) before the clean
    // run, as a user who kills twice does.
    for (int k = 1; k <= steps; ++k) {
        SCOPED_TRACE("killed before step " + std::to_string(k) + " of " + std::to_string(steps));
        TempFolder folder;
        Prepare(folder);
        for (const auto& [at, first] : {std::pair{k, true}, std::pair{steps + 1 - k, false}}) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                killAt = at;
                stepsSoFar = 0;
                ConvertInPlace(folder.folder(), AUGUST, NEW_LATITUDE, DURABLE_LOG);
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            // A run that finds some of its work done takes fewer steps and may end before the second kill.
            ASSERT_TRUE(WIFEXITED(status) && (WEXITSTATUS(status) == kKilled || !first)) << status;
            ExpectEachYearlyFileDescribed(folder, done);
        }
        ASSERT_EQ(ConvertInPlace(folder.folder(), AUGUST, NEW_LATITUDE), "");
        EXPECT_EQ(Differing(folder.Outputs(true), done), "");
        ExpectEachYearlyFileDescribed(folder, done);
    }
    testing::DurableLog::before = nullptr;
}

} // namespace
} // namespace kolvane
