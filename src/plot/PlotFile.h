#pragma once

#include "model/FileNames.h"

#include <string>

namespace kolvane {

// The title of a station's year plot, e.g. "2024年　グループID 01・バケットID 01".
std::string YearPlotTitle(int year, const StationKey& station);

// Plots the yearly file at `yearlyPath` (Y{yyyy}_{GG}{BB}.csv, with its companion when there is one)
// into `imagePath`: SVG when that name ends in ".svg", else PNG. Works without a display: a program
// without a Qt application gets one on the offscreen platform for the time of the call. Throws
// KolvaneError with the message for the user.
void PlotYearlyFile(const std::string& yearlyPath, const std::string& imagePath);

} // namespace kolvane
