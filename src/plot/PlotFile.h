#pragma once

#include "model/FileNames.h"
#include "plot/PlotLayout.h"

#include <string>
#include <vector>

namespace kolvane {

// The title of a station's year plot, e.g. "2024年　グループID 01・バケットID 01".
std::string YearPlotTitle(int year, const StationKey& station);

// The scale all yearly files of `station` in `folders` share (a year found twice counts from the first
// folder), with `shown`, when given, standing for the file of its year. A file that cannot be read is
// left out.
PlotRanges StationPlotRanges(const std::vector<std::string>& folders, const StationKey& station,
                             const YearSeries* shown = nullptr);

// Plots the yearly file at `yearlyPath` (Y{yyyy}_{GG}{BB}.csv, with its companion when there is one)
// into `imagePath`: SVG when that name ends in ".svg", else PNG, on the scale of all the station's
// yearly files beside it, as the window shows it. Works without a display: a program
// without a Qt application gets one on the offscreen platform for the time of the call. Throws
// KolvaneError with the message for the user.
// `titleAddition` follows the title (the latitude on record).
void PlotYearlyFile(const std::string& yearlyPath, const std::string& imagePath,
                    const std::string& titleAddition = {});

} // namespace kolvane
