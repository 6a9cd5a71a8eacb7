#pragma once

#include <string>
#include <sys/resource.h>
#include <vector>

namespace kolvane::testing {

struct ChildResult {
    int exitCode = -1; // -1 when the child did not exit normally
    int signal = 0;    // the signal that ended it, or 0
    std::string out;
    std::string err;
    long maxRssKb = 0;     // peak resident memory
    double cpuSeconds = 0; // user and system time
};

// Runs `program` with `arguments`, standard output and error collected through pipes (which no file
// size limit touches). `fileSizeLimit` caps every file the child writes (RLIMIT_FSIZE); the child is
// killed after `timeoutSeconds`.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     rlim_t fileSizeLimit = RLIM_INFINITY, int timeoutSeconds = 120);

} // namespace kolvane::testing
