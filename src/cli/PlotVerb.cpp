#include "Texts.h"
#include "Verbs.h"

#include "model/FileNames.h"
#include "model/Text.h"
#ifdef KOLVANE_HAVE_PLOT
#include "engine/RunLog.h"
#include "formats/QualityFile.h"
#include "model/FileIo.h"
#include "model/Messages.h"
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
    RequireYearlyFileName("--plot", command.yearlyFiles.front());
#ifdef KOLVANE_HAVE_PLOT
    const std::string& yearly = command.yearlyFiles.front();
    const std::string_view name = FileNameOf(yearly);
    const std::optional<RunLogEntry> logged =
        LastRunLogEntry(yearly.substr(0, yearly.size() - name.size()), name);
    PlotYearlyFile(yearly, command.image,
                   logged ? message::LatitudeOnRecord(logged->latitude) : std::string());
    // A plot without shading must not be taken for a year without gaps: say why there is none, as
    // --summary does, whether the companion is absent or not the yearly file's own.
    std::string bytes;
    if (ReadWholeFile(yearly, bytes) == 0) {
        const Companion companion = ReadCompanionOf(yearly, bytes);
        if (companion.state == Belonging::Absent)
            std::cerr << cli_text::PlotWithoutCompanion(companion.path) << "\n";
        else if (!companion.Belongs())
            std::cerr << companion.Note() << "\n";
    }
    std::cout << command.image << "\n";
    return 0;
#else
    throw UsageError(cli_text::PlotUnavailable());
#endif
}

} // namespace kolvane::cli
