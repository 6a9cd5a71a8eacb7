#pragma once

#include "plot/PlotLayout.h"
#include "series/YearSeries.h"

#include <QRectF>
#include <QSize>
#include <QString>
#include <string>

class QPainter;

namespace kolvane {

// The layout PaintYearPlot paints `series` in, measured with the plot's fonts. Needs a QGuiApplication.
PlotLayout YearPlotLayout(const YearSeries& series, const QRectF& area, const PlotRanges* ranges = nullptr);

// Paints the year into `area`: a title, then temperature, precipitation, radiation and sunshine, and
// evaporation in panels over one time axis with the months marked; days that are not complete are
// shaded behind every panel and missing days leave gaps. Text scales with the size of `area`. The axes
// hold `ranges` when given (the station's other years), else only this year's values. Days with suspect
// values are marked on the time axis; `pickedDay` (index from 1 January), when not -1, is outlined in
// every panel.
void PaintYearPlot(QPainter& painter, const QRectF& area, const YearSeries& series, const QString& title,
                   const PlotRanges* ranges = nullptr, int pickedDay = -1);

// The pixel size of a plot saved to a file.
inline constexpr QSize YEAR_PLOT_SAVE_SIZE{1600, 1000};

// Renders the plot at `size` pixels and writes it to `path` through a temporary file, so an existing
// file is either kept or replaced whole. Return 0, or an errno (EIO when the image cannot be encoded,
// ENOTSUP for SVG in a build without SVG support).
int SaveYearPlotPng(const YearSeries& series, const QString& title, const std::string& path, QSize size,
                    const PlotRanges* ranges = nullptr);
int SaveYearPlotSvg(const YearSeries& series, const QString& title, const std::string& path, QSize size,
                    const PlotRanges* ranges = nullptr);

// Whether this build can write SVG.
bool CanSaveYearPlotSvg();

} // namespace kolvane
