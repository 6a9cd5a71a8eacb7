#pragma once

#include "series/YearSeries.h"

#include <QColor>
#include <QString>
#include <optional>
#include <vector>

namespace kolvane {

// One measure of a day, as the plot reads it from the series.
using SeriesMeasure = std::optional<double> SeriesDay::*;

enum class SeriesStyle { Line, Bars };
enum class AxisSide { Left, Right };

struct SeriesShape {
    SeriesMeasure measure = nullptr;
    SeriesStyle style = SeriesStyle::Line;
    AxisSide axis = AxisSide::Left;
    QColor colour;
    QString key; // its entry in the panel's legend; empty when an axis title names it
};

struct AxisSpec {
    QString title; // with the unit
    bool includeZero = true;
    double defaultHigh = 10; // the top of the axis when no day has a value
    // Where two axes share a panel, each title and its ticks take this colour and the title gets a
    // sample of its series, so that the reader knows which axis is whose.
    std::optional<QColor> colour;
};

struct PanelShape {
    AxisSpec left;
    std::optional<AxisSpec> right;   // its ticks fall on the left axis's grid lines
    std::vector<SeriesShape> series; // painted in this order, later ones on top
    double weight = 1;               // share of the height the panels divide
};

namespace colour {
inline const QColor INK(0x33, 0x33, 0x33);
inline const QColor FRAME(0x99, 0x99, 0x99);
inline const QColor GRID(0xe4, 0xe4, 0xe4);
inline const QColor MONTH_LINE(0xd0, 0xd0, 0xd0);
// Warm bands, apart from the grey of the grid, darker the fewer hours a day had; a clean year's few
// quasi-normal days must not look like gaps.
inline const QColor QUASI_SHADE(0xf6, 0xf1, 0xe6);
inline const QColor INSUFFICIENT_SHADE(0xe9, 0xe0, 0xc8);
inline const QColor MISSING_SHADE(0xdd, 0xd1, 0xb2);
inline const QColor KEPT_SHADE(0xe6, 0xee, 0xf6); // cool: values there, only their hours unknown
// Suspect values stand out from every series colour; the day picked in the list is outlined.
inline const QColor SUSPECT(0xc0, 0x1c, 0x8c);
inline const QColor PICKED(0x6a, 0x3d, 0x9a);
inline const QColor NOTE(0x80, 0x80, 0x80);
inline const QColor TEMP_MAX(0xd6, 0x27, 0x28);
inline const QColor TEMP_MEAN(0x2f, 0x2f, 0x2f);
inline const QColor TEMP_MIN(0x1f, 0x6f, 0xb4);
inline const QColor PRECIP(0x2b, 0x7b, 0xd0);
inline const QColor SOLAR(0xd3, 0x54, 0x00);
inline const QColor SUNSHINE(0xf2, 0xc1, 0x3d);
inline const QColor SUNSHINE_TEXT(0xa0, 0x78, 0x00); // the bar colour is too light for text
inline const QColor EVAPORATION(0x13, 0x8d, 0x75);
} // namespace colour

// The panels of the year view, top to bottom.
const std::vector<PanelShape>& YearPanels();

} // namespace kolvane
