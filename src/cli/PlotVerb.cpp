#include "Texts.h"
#include "Verbs.h"

#include "model/Text.h"
#ifdef KOLVANE_HAVE_PLOT
#include "plot/PlotFile.h"
#endif

#include <filesystem>
#include <iostream>

namespace kolvane::cli {

int RunPlot(const PlotCommand& command) {
    if (command.yearlyFiles.size() != 1) throw UsageError(cli_text::PlotArguments());
    // Only an image name: a swapped pair would otherwise draw over the yearly file itself.
    const std::string suffix = LowerAscii(std::filesystem::path(command.image).extension().string());
    if (suffix != ".png" && suffix != ".svg") throw UsageError(cli_text::PlotImageName(command.image));
#ifdef KOLVANE_HAVE_PLOT
    PlotYearlyFile(command.yearlyFiles.front(), command.image);
    std::cout << command.image << "\n";
    return 0;
#else
    throw UsageError(cli_text::PlotUnavailable());
#endif
}

} // namespace kolvane::cli
