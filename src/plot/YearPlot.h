#pragma once

#include "series/YearSeries.h"

#include <QRectF>
#include <QSize>
#include <QString>
#include <string>

class QPainter;

namespace kolvane {

// An axis from `low` to `high` with a tick every `step`; both ends are multiples of the step.
struct AxisScale {
    double low = 0;
    double high = 1;
    double step = 1;
};

// Round ticks (1, 2 or 5 times a power of ten) for data from `low` to `high`, at most about `maxSteps`
// steps. `includeZero` stretches the range to 0; an empty range is widened so that it has height.
AxisScale NiceScale(double low, double high, bool includeZero, int maxSteps = 5);

// Paints the year into `area`: a title, then temperature, precipitation, radiation and sunshine, and
// evaporation in panels over one time axis with the months marked; days that are not complete are
// shaded behind every panel and missing days leave gaps. Text scales with the size of `area`.
void PaintYearPlot(QPainter& painter, const QRectF& area, const YearSeries& series, const QString& title);

// The pixel size of a plot saved to a file.
inline constexpr QSize YEAR_PLOT_SAVE_SIZE{1600, 1000};

// Renders the plot at `size` pixels and writes it to `path` through a temporary file, so an existing
// file is either kept or replaced whole. Return 0, or an errno (EIO when the image cannot be encoded,
// ENOTSUP for SVG in a build without SVG support).
int SaveYearPlotPng(const YearSeries& series, const QString& title, const std::string& path, QSize size);
int SaveYearPlotSvg(const YearSeries& series, const QString& title, const std::string& path, QSize size);

// Whether this build can write SVG.
bool CanSaveYearPlotSvg();

} // namespace kolvane
