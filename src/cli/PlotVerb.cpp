#include "Texts.h"
#include "Verbs.h"

#include "model/Text.h"
#ifdef KOLVANE_HAVE_PLOT
#include "formats/QualityFile.h"
#include "model/FileIo.h"
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
    // A companion that does not belong is drawn as none; a script's log should say why.
    std::string bytes;
    if (ReadWholeFile(yearly, bytes) == 0)
        if (const std::string note = ReadCompanionOf(yearly, bytes).Note(); !note.empty())
            std::cerr << note << "\n";
    std::cout << command.image << "\n";
    return 0;
#else
    throw UsageError(cli_text::PlotUnavailable());
#endif
}

} // namespace kolvane::cli
