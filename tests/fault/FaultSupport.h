#pragma once

#include "support/Samples.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

namespace kolvane::testing {

// Built with AddressSanitizer, as the child then is too.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

struct ChildResult {
    int exitCode = -1; // -1 when the child did not exit normally
    int signal = 0;    // the signal that ended it, or 0
    std::string out;
    std::string err;
    long maxRssKb = 0;     // peak resident memory
    double cpuSeconds = 0; // user and system time
};

// `program` started with `arguments` by `fork` (which may be forkpty's), and not waited for. The child
// runs `prepare` before exec, and is killed after `timeoutSeconds` should it hang.
pid_t StartChild(const std::string& program, const std::vector<std::string>& arguments,
                 const std::function<void()>& prepare, int timeoutSeconds = 120,
                 const std::function<pid_t()>& fork = ::fork);

// How the child `pid` ended (its output left empty).
ChildResult WaitChild(pid_t pid);

// Runs `program` with `arguments`, standard output and error collected through pipes (which no file
// size limit touches). `fileSizeLimit` caps every file the child writes (RLIMIT_FSIZE); the child runs
// `prepare` (another limit, another user) before exec.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     rlim_t fileSizeLimit = RLIM_INFINITY, const std::function<void()>& prepare = {});

inline const std::string CONVERT = KOLVANE_CONVERT_EXE;

// The temporary files a write leaves while it runs: ".<name>.tmp<pid>-<n>".
inline std::vector<std::string> TemporaryFiles(const TempFolder& folder) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder.folder())) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 1 && name[0] == '.' && name.find(".tmp") != std::string::npos)
            found.push_back(name);
    }
    return found;
}

// Empty when `text` holds `part`, else what to show.
inline std::string Missing(const std::string& text, const std::string& part) {
    return text.find(part) == std::string::npos ? "missing 「" + part + "」 in: " + text : "";
}

// A complete yearly file of 2005 holding one day of values, as an earlier run would have left it.
std::string PreviousYearlyFile();

// kolvane-convert's arguments for station 03/12 at `latitude`, replacing the output folder's yearly files.
std::vector<std::string> ConvertArguments(const TempFolder& monthly, const TempFolder* output,
                                          const std::vector<std::string>& months,
                                          const std::string& latitude = "35:30:00");

// kolvane-convert run with those arguments.
ChildResult Convert(const TempFolder& monthly, const TempFolder* output,
                    const std::vector<std::string>& months, rlim_t fileSizeLimit = RLIM_INFINITY);

} // namespace kolvane::testing
