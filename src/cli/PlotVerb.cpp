#include "Texts.h"
#include "Verbs.h"

#include "model/FileNames.h"
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
    const std::string& yearly = command.yearlyFiles.front();
    PlotYearlyFile(yearly, command.image);
    // Said as --summary says it, so that a plot without shading is not taken for a year without gaps.
    if (std::error_code ec; !std::filesystem::exists(QualityPathOf(yearly), ec))
        std::cerr << cli_text::PlotWithoutCompanion(QualityPathOf(yearly)) << "\n";
    std::cout << command.image << "\n";
    return 0;
#else
    throw UsageError(cli_text::PlotUnavailable());
#endif
}

} // namespace kolvane::cli
