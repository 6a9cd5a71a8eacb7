// Runs that end abruptly or overlap: a killed run leaves every yearly and companion file either as it
// was or complete, each yearly file with its log line and companion, and the next run clears its temporary
// files; two runs on one station lose no month.

#include "FaultSupport.h"
#include "engine/RunLog.h"
#include "formats/QualityFile.h"
#include "model/Csv.h"
#include "model/Text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <map>
#include <sys/wait.h>

namespace kolvane {
namespace {

using namespace kolvane::testing;
using Clock = std::chrono::steady_clock;

// kolvane-convert for station 03/12 on `monthly`, started and not waited for; its stderr goes to `err`.
pid_t StartConvert(const TempFolder& monthly, const std::vector<std::string>& months,
                   const std::string& err) {
    return StartChild(CONVERT, ConvertArguments(monthly, nullptr, months), [&] {
        const int null = ::open("/dev/null", O_WRONLY);
        const int errFile = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(errFile < 0 ? null : errFile, STDERR_FILENO);
    });
}

int Wait(pid_t pid) {
    return WaitChild(pid).exitCode;
}

// Written plainly: the test's own files need not survive a power cut, and syncing them takes long.
void Put(const TempFolder& folder, const std::string& name, const std::string& bytes) {
    std::ofstream(folder.File(name), std::ios::binary | std::ios::trunc) << bytes;
}

// Monthly files of `days` days for every month of `years` years from 2000 on.
void WriteMonths(const TempFolder& folder, int years, int days) {
    for (int year = 2000; year < 2000 + years; ++year)
        for (int month = 1; month <= 12; ++month) {
            char name[32];
            std::snprintf(name, sizeof name, "M%02d%02d_0312.csv", year % 100, month);
            Put(folder, name, MonthlyText(year, month, 1, days));
        }
}

TEST(KilledRun, EveryFileIsTheOldOrTheNewOneAndTheNextRunLeavesNoTemporaryFile) {
    // More years than the command line writes in one batch, so that kills also fall between batches;
    // short months keep the run as quick as it was.
    constexpr int YEARS = 40, KILLS = 30;
    // The files an earlier run left, and those this run makes of them, known in advance.
    TempFolder reference;
    WriteMonths(reference, YEARS, 4);
    ASSERT_EQ(Wait(StartConvert(reference, {"--all"}, "/dev/null")), 0);
    const std::map<std::string, std::string> before = reference.Outputs(false);
    const std::string beforeLog = TempFolder::Read(reference.File(std::string(RUN_LOG_FILE_NAME)));
    WriteMonths(reference, YEARS, 7);
    ASSERT_EQ(Wait(StartConvert(reference, {"--all"}, "/dev/null")), 0);
    const std::map<std::string, std::string> after = reference.Outputs(false);
    ASSERT_EQ(before.size(), 3u * YEARS); // each year with both companions
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [name, bytes] : before)
        ASSERT_TRUE(after.at(name) != bytes) << name << " is the same before and after";

    TempFolder folder;
    WriteMonths(folder, YEARS, 7);
    int checked = 0, torn = 0, killedMidway = 0, leftovers = 0;
    for (int kill = 0; kill < KILLS; ++kill) {
        for (const auto& [name, bytes] : before)
            Put(folder, name, bytes);
        Put(folder, std::string(RUN_LOG_FILE_NAME), beforeLog);
        const pid_t pid = StartConvert(folder, {"--all"}, "/dev/null");
        // Spread over the whole run, from its start-up to its last files, whatever the machine's pace:
        // each kill waits for a few more files to be replaced than the one before.
        const int replacedBeforeKill = kill * static_cast<int>(after.size()) / KILLS;
        const auto giveUp = Clock::now() + std::chrono::seconds(20);
        bool ended = false;
        while (Clock::now() < giveUp && !(ended = ::waitpid(pid, nullptr, WNOHANG) == pid)) {
            int replaced = 0;
            for (const auto& [name, bytes] : folder.Outputs(false))
                replaced += bytes == after.at(name);
            if (replaced >= replacedBeforeKill) break;
        }
        if (!ended) {
            ::kill(pid, SIGKILL);
            Wait(pid);
        }
        int replaced = 0;
        for (const auto& [name, bytes] : folder.Outputs(false)) {
            ++checked;
            if (bytes == after.at(name))
                ++replaced;
            else if (bytes != before.at(name))
                ADD_FAILURE() << ++torn << ": " << name << " is torn";
            // Old or new, a yearly file has its log line and a companion that belongs to it.
            if (name[0] != 'Y') continue;
            const std::optional<RunLogEntry> line = LastRunLogEntry(folder.folder(), name);
            if (!line || !line->proof) ADD_FAILURE() << name << " has no log line";
            if (!ReadCompanionOf(folder.File(name), bytes).Belongs())
                ADD_FAILURE() << name << " lost its companion";
        }
        killedMidway += replaced > 0 && replaced < static_cast<int>(after.size());
        leftovers += !TemporaryFiles(folder).empty();

        // The next run, of any month, clears what the killed one left.
        ASSERT_EQ(Wait(StartConvert(folder, {"2000/01"}, "/dev/null")), 0);
        EXPECT_EQ(TemporaryFiles(folder), std::vector<std::string>{});
    }
    EXPECT_EQ(torn, 0);
    // Kills that fell between the first and the last file replaced; without them this proves little.
    EXPECT_GE(killedMidway, KILLS / 4);
    std::cout << KILLS << " kills, " << checked << " files checked, " << torn << " torn, " << killedMidway
              << " between the first and last file, " << leftovers << " left temporary files\n";
}

TEST(ConcurrentRuns, TwoRunsOnOneStationLoseNoMonth) {
    constexpr int YEARS = 20;
    std::vector<std::string> july, august;
    for (int year = 2000; year < 2000 + YEARS; ++year) {
        july.push_back(std::to_string(year) + "/07");
        august.push_back(std::to_string(year) + "/08");
    }
    // What one after the other gives, in either order (a companion file tells them apart).
    std::vector<std::map<std::string, std::string>> serial;
    for (const auto& [first, second] : {std::pair{july, august}, std::pair{august, july}}) {
        TempFolder reference;
        WriteMonths(reference, YEARS, 28);
        ASSERT_EQ(Wait(StartConvert(reference, first, "/dev/null")), 0);
        ASSERT_EQ(Wait(StartConvert(reference, second, "/dev/null")), 0);
        serial.push_back(reference.Outputs(false));
        ASSERT_EQ(serial.back().size(), 3u * YEARS);
    }

    int checked = 0, lost = 0, waited = 0;
    constexpr int ROUNDS = 2;
    for (int round = 0; round < ROUNDS; ++round) {
        TempFolder folder, logs;
        WriteMonths(folder, YEARS, 28);
        const pid_t first = StartConvert(folder, july, logs.File("july"));
        const pid_t second = StartConvert(folder, august, logs.File("august"));
        EXPECT_EQ(Wait(first), 0);
        EXPECT_EQ(Wait(second), 0);
        for (const auto& [name, bytes] : folder.Outputs(false)) {
            ++checked;
            if (bytes != serial[0].at(name) && bytes != serial[1].at(name))
                ADD_FAILURE() << ++lost << ": " << name << " lost a month";
        }
        EXPECT_EQ(folder.Outputs(false).size(), serial[0].size());
        // Both runs' lines are in the log, whole: each yearly file twice, once for each month.
        std::map<std::string, std::string> logged;
        const std::string log = TempFolder::Read(folder.File("kolvane-log.csv"));
        const std::vector<std::string_view> lines = SplitLines(log);
        ASSERT_EQ(lines.size(), 1 + 2u * YEARS);
        EXPECT_EQ(std::string(lines[0]) + "\r\n", RunLogHeader());
        for (std::size_t i = 1; i < lines.size(); ++i) {
            const std::vector<std::string> fields = SplitQuotedFields(lines[i]);
            ASSERT_EQ(fields.size(), 8u) << lines[i];
            logged[fields[1]] += fields[3];
        }
        EXPECT_EQ(logged.size(), std::size_t{YEARS});
        for (const auto& [name, months] : logged)
            EXPECT_TRUE(months == "0708" || months == "0807") << name << " " << months;
        const std::string notice =
            "観測点 0312 の変換を待っています（別の変換がフォルダ「" + folder.folder() + "」";
        for (const char* log : {"july", "august"})
            waited += TempFolder::Read(logs.File(log)).find(notice) != std::string::npos;
    }
    EXPECT_EQ(lost, 0);
    std::cout << checked << " files checked, " << lost << " lost a month, " << waited << " of " << ROUNDS
              << " rounds waited\n";
}

} // namespace
} // namespace kolvane
