#pragma once

// Where a conversion's work goes: one run under callgrind (instructions, one thread), summed into the
// stages of a conversion. Instructions are the only figure that stays put on a machine shared with
// builds; they leave out the time spent waiting on the disk.

#include <string>
#include <vector>

namespace kolvane::bench {

struct StageShare {
    std::string stage;
    double percent = 0; // of all instructions of the run
};

struct Profile {
    bool ran = false;
    std::string note; // why there is none
    unsigned long long instructions = 0;
    std::vector<StageShare> stages;
};

// Runs `args` (the conversion, asked for one thread) under valgrind --tool=callgrind, with its output
// files in `scratch`.
Profile ProfileConversion(const std::vector<std::string>& args, const std::string& scratch);

} // namespace kolvane::bench
