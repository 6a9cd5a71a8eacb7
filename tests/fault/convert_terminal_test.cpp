// kolvane-convert with standard output and error on one terminal, as a user at a shell sees it.

#include "FaultSupport.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <pty.h>
#include <regex>

namespace kolvane {
namespace {

using namespace kolvane::testing;

// Runs kolvane-convert in `folder` with stdin, stdout and stderr on one pseudo-terminal and reads it to
// the end: all the terminal received is in `out`. Nothing at all when no pseudo-terminal can be had.
ChildResult RunOnTerminal(const std::string& folder, const std::vector<std::string>& arguments) {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 200;
    int master = -1;
    const pid_t pid = StartChild(
        CONVERT, arguments,
        [&] {
            if (::chdir(folder.c_str()) != 0) ::_exit(126);
        },
        60, [&] { return ::forkpty(&master, nullptr, nullptr, &size); });
    if (pid < 0) return {};
    std::string bytes;
    char buffer[4096];
    while (true) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 60'000) <= 0) break;
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // EIO once the child has closed its side
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(master);
    ChildResult run = WaitChild(pid);
    run.out = std::move(bytes);
    return run;
}

// The lines a terminal shows for `bytes`: carriage return, line feed and erase-to-end-of-line acted
// on, a wide character taking two cells. The last entry is the line the shell's prompt would start on.
std::vector<std::string> Screen(const std::string& bytes) {
    std::vector<std::string> lines;
    std::vector<std::string> cells;
    std::size_t cursor = 0;
    auto finish = [&] {
        std::string line;
        for (const std::string& c : cells)
            line += c;
        lines.push_back(line);
        cells.clear();
        cursor = 0;
    };
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (bytes.compare(i, 3, "\033[K") == 0) {
            cells.resize(std::min(cells.size(), cursor));
            i += 3;
        } else if (b == '\r') {
            cursor = 0;
            ++i;
        } else if (b == '\n') {
            finish();
            ++i;
        } else {
            const std::size_t length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
            const std::string c = bytes.substr(i, length);
            for (const std::string& cell : {c, std::string()}) {
                if (cursor < cells.size())
                    cells[cursor] = cell;
                else
                    cells.push_back(cell);
                ++cursor;
                if (length < 3) break; // the kana and kanji here are all wide
            }
            i += length;
        }
    }
    finish();
    return lines;
}

TEST(ConvertOnATerminal, TheProgressLineNeverSharesALineAndIsGoneAtTheEnd) {
    TempFolder monthly, out;
    CopyGoldenMonthly(monthly);
    for (const char* station : {"0101", "0202", "0505"})
        monthly.Write(std::string("M0001_") + station + ".csv",
                      TempFolder::Read(GOLDEN + "monthly/M0001_0312.csv"));
    monthly.Write("M0001_0202.csv", "not,a,monthly,header\r\n"); // a failing station: error lines too

    // Printed paths shorter than the progress line, so that a carriage return alone would leave its end.
    const ChildResult run =
        RunOnTerminal(out.folder(), {"--monthly", monthly.folder(), "--output", ".", "--station", "0505",
                                     "--station", "0202", "--station", "0312", "--station", "0101", "--lat",
                                     "35:30:00", "--all", "-j", "2"});
    ASSERT_FALSE(run.out.empty()) << "no pseudo-terminal";
    EXPECT_EQ(run.exitCode, 1) << run.out;
    // Without a progress line drawn there would be nothing to check.
    const std::regex progress("観測点 [0-9]+/4  年 [0-9]+/5");
    ASSERT_TRUE(std::regex_search(run.out, progress)) << run.out;

    const std::vector<std::string> screen = Screen(run.out);
    std::vector<std::string> files, errors, notes;
    for (std::size_t i = 0; i + 1 < screen.size(); ++i) {
        const std::string& line = screen[i];
        SCOPED_TRACE(line);
        EXPECT_FALSE(std::regex_search(line, progress));
        (line.rfind("./", 0) == 0 ? files : line.rfind("注意: ", 0) == 0 ? notes : errors).push_back(line);
    }
    EXPECT_EQ(files, (std::vector<std::string>{"./Y2000_0505.csv", "./Y2000_0312.csv", "./Y1999_0312.csv",
                                               "./Y2000_0101.csv"}));
    EXPECT_EQ(notes.size(), 1u); // the golden yearly file's line with an empty value
    // The list of failed stations is made of error lines like any other.
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "kolvane-convert: 次の観測点を変換できませんでした (1/4):");
    EXPECT_EQ(errors[1].rfind("kolvane-convert: 観測点 0202: ", 0), 0u) << errors[1];
    EXPECT_NE(errors[1].find("M0001_0202.csv"), std::string::npos) << errors[1];
    // Left with the line cleared, the prompt starts on an empty line.
    EXPECT_EQ(screen.back(), "");
}

} // namespace
} // namespace kolvane
