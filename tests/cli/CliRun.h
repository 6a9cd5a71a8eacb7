#pragma once

#include "cli/Verbs.h"

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace kolvane::testing {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// kolvane-convert in this process: its output streams caught, its arguments in an argv of exactly
// their number, so that a read past them shows under AddressSanitizer.
inline CliResult RunCli(const std::vector<std::string>& arguments) {
    std::vector<std::string> words{"kolvane-convert"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    std::ostringstream out, err;
    std::streambuf* oldOut = std::cout.rdbuf(out.rdbuf());
    std::streambuf* oldErr = std::cerr.rdbuf(err.rdbuf());
    CliResult r;
    r.exitCode = cli::RunCommandLine(static_cast<int>(words.size()), argv.data());
    std::cout.rdbuf(oldOut);
    std::cerr.rdbuf(oldErr);
    r.out = out.str();
    r.err = err.str();
    return r;
}

// The same with the arguments as one line split at blanks.
inline CliResult RunCli(const std::string& line) {
    std::istringstream words(line);
    std::vector<std::string> list;
    for (std::string w; words >> w;)
        list.push_back(w);
    return RunCli(list);
}

} // namespace kolvane::testing
