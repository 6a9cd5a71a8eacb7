// kolvane-convert: the conversion of the window, for batch work and scripting.

#include "Verbs.h"

#include <csignal>

int main(int argc, char** argv) {
    // A file-size limit must end in a clear message, not a killed process.
    std::signal(SIGXFSZ, SIG_IGN);
    return kolvane::cli::RunCommandLine(argc, argv);
}
