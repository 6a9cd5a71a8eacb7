#include "FaultSupport.h"

#include "daily/YearCalendar.h"
#include "formats/YearlyFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>

namespace kolvane::testing {

std::string PreviousYearlyFile() {
    DailyTable day, year;
    ParseYearlyText(
        EncodeCp932(YEARLY_HEADER +
                    "\r\n\"05/03/01\",12.5,4.2,9.1,-0.4,71.0,1008.8,NW,3.4,11.2,WNW,9.87,-1.1,4.5,11.5,"
                    "3.21,1.4,6.6\r\n"),
        "Y2005_0312.csv", day);
    BuildYearCalendar("05", day, year);
    return FormatYearlyText(year);
}

pid_t StartChild(const std::string& program, const std::vector<std::string>& arguments,
                 const std::function<void()>& prepare, int timeoutSeconds,
                 const std::function<pid_t()>& fork) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        if (prepare) prepare();
        ::alarm(static_cast<unsigned>(timeoutSeconds)); // outlives exec: a hung child is killed
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    return pid;
}

ChildResult WaitChild(pid_t pid) {
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    ChildResult result;
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    result.maxRssKb = usage.ru_maxrss;
    result.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return result;
}

ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     rlim_t fileSizeLimit, const std::function<void()>& prepare) {
    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0) return {};
    const pid_t pid = StartChild(program, arguments, [&] {
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        rlimit limit{fileSizeLimit, fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        if (prepare) prepare();
    });
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    // The child says a few lines at most, well within what a pipe holds, so the pipes are read in turn.
    std::string out, err;
    for (auto [fd, sink] : {std::pair{outPipe[0], &out}, std::pair{errPipe[0], &err}}) {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
            if (n > 0) sink->append(buffer, static_cast<std::size_t>(n));
        ::close(fd);
    }
    ChildResult result = WaitChild(pid);
    result.out = std::move(out);
    result.err = std::move(err);
    return result;
}

std::vector<std::string> ConvertArguments(const TempFolder& monthly, const TempFolder* output,
                                          const std::vector<std::string>& months,
                                          const std::string& latitude) {
    std::vector<std::string> arguments{"--monthly", monthly.folder()};
    // These runs replace an output folder's yearly file on purpose, to show what a failure leaves of it.
    if (output) arguments.insert(arguments.end(), {"--output", output->folder(), "--replace"});
    arguments.insert(arguments.end(), {"--group", "03", "--bucket", "12", "--lat", latitude});
    arguments.insert(arguments.end(), months.begin(), months.end());
    return arguments;
}

ChildResult Convert(const TempFolder& monthly, const TempFolder* output,
                    const std::vector<std::string>& months, rlim_t fileSizeLimit) {
    return RunChild(CONVERT, ConvertArguments(monthly, output, months), fileSizeLimit);
}

} // namespace kolvane::testing
