#include "Command.h"
#include "Texts.h"
#include "Verbs.h"

#include "model/Error.h"

#include <iostream>

namespace kolvane::cli {

int RunCommandLine(int argc, char** argv) {
    try {
        Command command = ParseCommand(argc, argv);
        if (const auto* help = std::get_if<HelpCommand>(&command)) {
            (help->asked ? std::cout : std::cerr) << cli_text::HELP;
            return help->asked ? 0 : EXIT_USAGE_ERROR;
        }
        if (std::holds_alternative<VersionCommand>(command)) {
            std::cout << "kolvane-convert " KOLVANE_VERSION "\n";
            return 0;
        }
        if (auto* convert = std::get_if<ConvertCommand>(&command)) return RunConvert(std::move(*convert));
        if (const auto* list = std::get_if<ListCommand>(&command)) return RunList(*list);
        if (const auto* summary = std::get_if<SummaryCommand>(&command)) return RunSummary(*summary);
        return RunPlot(std::get<PlotCommand>(command));
    } catch (const UsageError& e) {
        std::cerr << cli_text::ErrorLine(e.what()) << "\n" << cli_text::SeeHelp() << "\n";
        return EXIT_USAGE_ERROR;
    } catch (const KolvaneError& e) {
        std::cerr << cli_text::ErrorLine(e.what()) << "\n";
        return EXIT_CONVERSION_ERROR;
    } catch (const std::exception& e) {
        std::cerr << cli_text::ErrorLine(cli_text::Unexpected(e.what())) << "\n";
        return EXIT_CONVERSION_ERROR;
    }
}

} // namespace kolvane::cli
