#include "plot/PlotFile.h"

#include "model/Error.h"
#include "model/Messages.h"
#include "model/Text.h"
#include "plot/PlotPanels.h"
#include "plot/Texts.h"
#include "plot/Translations.h"
#include "plot/YearPlot.h"
#include "series/YearSeries.h"

#include <QGuiApplication>
#include <QScopeGuard>
#include <filesystem>
#include <memory>

namespace kolvane {

std::string YearPlotTitle(int year, const StationKey& station) {
    return plot_text::Title(year,
                            QString::fromStdString(message::StationLabel(station.group, station.bucket)))
        .toStdString();
}

PlotRanges StationPlotRanges(const std::vector<std::string>& folders, const StationKey& station,
                             const YearSeries* shown) {
    std::vector<YearSeries> years;
    if (shown) years.push_back(*shown);
    for (const YearlyFileEntry& file : ListYearlyFiles(folders, station)) {
        if (shown && file.year == shown->year) continue;
        try {
            years.push_back(ReadYearSeries(file.path, file.year));
        } catch (const KolvaneError&) {
            // A year that cannot be read has nothing to add to the scale; it says so when shown itself.
        }
    }
    return RangesOf(YearPanels(), years);
}

void PlotYearlyFile(const std::string& yearlyPath, const std::string& imagePath,
                    const std::string& titleAddition) {
    const std::string name = std::filesystem::path(yearlyPath).filename().string();
    const std::optional<YearlyNameParts> parsed = ParseYearlyFileName(name);
    if (!parsed) throw KolvaneError(message::NotAYearlyFileName(yearlyPath));
    const YearSeries series = ReadYearSeries(yearlyPath, parsed->year);
    const std::string folder = std::filesystem::path(yearlyPath).parent_path().string();
    const PlotRanges ranges = StationPlotRanges({folder.empty() ? "." : folder}, parsed->station, &series);

    QtMessageHandler previous = nullptr;
    bool quietened = false;
    // Declared before the application, so that its end is quiet too.
    const auto restore = qScopeGuard([&] {
        if (quietened) qInstallMessageHandler(previous);
    });
    std::unique_ptr<QGuiApplication> app;
    if (!QGuiApplication::instance()) {
        // Qt's notes about the session (no runtime folder, no display) mean nothing to a script; our
        // own failures are thrown.
        previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        quietened = true;
        // Fonts and painting need an application; a script has no display to give it.
        static int argc = 3;
        static char arg0[] = "kolvane-convert", arg1[] = "-platform", arg2[] = "offscreen";
        static char* argv[] = {arg0, arg1, arg2, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
        InstallQtTranslations();
    }
    const QString title =
        QString::fromStdString(YearPlotTitle(parsed->year, parsed->station) + titleAddition);
    const bool svg = EqualsIgnoreAsciiCase(std::filesystem::path(imagePath).extension().string(), ".svg");
    const int error = svg ? SaveYearPlotSvg(series, title, imagePath, YEAR_PLOT_SAVE_SIZE, &ranges)
                          : SaveYearPlotPng(series, title, imagePath, YEAR_PLOT_SAVE_SIZE, &ranges);
    if (error == ENOTSUP) throw KolvaneError(plot_text::SvgUnavailable().toStdString());
    if (error)
        throw KolvaneError(plot_text::CannotSave(QString::fromStdString(imagePath),
                                                 QString::fromStdString(DescribeSystemError(error)))
                               .toStdString());
}

} // namespace kolvane
