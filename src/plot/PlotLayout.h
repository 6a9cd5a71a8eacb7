#pragma once

#include "plot/PlotPanels.h"
#include "series/YearSeries.h"

#include <QColor>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace kolvane {

// An axis from `low` to `high` with a tick every `step`; both ends are multiples of the step.
struct AxisScale {
    double low = 0;
    double high = 1;
    double step = 1;
};

// The values an axis must hold.
struct ValueRange {
    double low = 0;
    double high = 0;
    bool any = false; // no value at all: the axis takes its default
    void Add(double value);
    void Add(const ValueRange& other);
};

// The values each panel's axes must hold, as the panel shapes, top to bottom. Given to the layout, they
// make every year of a station share one scale, so that two years can be compared by eye.
struct PanelRange {
    ValueRange left, right;
};
using PlotRanges = std::vector<PanelRange>;

// The ranges of all the years' values.
PlotRanges RangesOf(const std::vector<PanelShape>& shapes, const std::vector<YearSeries>& years);

// Round ticks (1, 2 or 5 times a power of ten) for data from `low` to `high`, at most about `maxSteps`
// steps. `includeZero` stretches the range to 0; an empty range is widened so that it has height.
AxisScale NiceScale(double low, double high, bool includeZero, int maxSteps = 5);

// The labels of an axis's ticks, bottom to top.
QStringList TickTexts(const AxisScale& scale);

enum class PlotFont { Text, Small, Title };

// Pixel sizes of the plot's fonts and its line width, grown with the size of the area.
struct PlotSizes {
    int text = 11;
    int small = 10;
    int title = 14;
    double pen = 1;
};
PlotSizes PlotSizesFor(const QSizeF& area);

// How wide a text and how high a line is in each font. The painter measures with Qt's fonts; the
// layout itself never touches a font, so it can be checked with made-up metrics.
struct TextMeasure {
    std::function<qreal(PlotFont)> height;
    std::function<qreal(PlotFont, const QString&)> width;
};

struct Tick {
    qreal y = 0;
    QString text;
};

struct AxisLayout {
    AxisScale scale;
    std::vector<Tick> ticks;
};

struct PanelLayout {
    QRectF box;    // the drawing area; the header row lies right above it
    QRectF header; // title, legend and the right axis's title
    AxisLayout left;
    std::optional<AxisLayout> right;
    bool empty = false; // no day has a value for any of its series

    // A series put on a right axis its panel lacks is drawn against the left one.
    const AxisScale& Scale(AxisSide side) const {
        return side == AxisSide::Right && right ? right->scale : left.scale;
    }
    qreal Y(const AxisScale& s, double value) const {
        return box.bottom() - (value - s.low) / (s.high - s.low) * box.height();
    }
};

// Days first to end - 1 of a shaded band.
struct DayRange {
    int first = 0;
    int end = 0;
    bool operator==(const DayRange&) const = default;
};

// The days of one shade, painted behind every panel.
struct Shade {
    QColor colour;
    std::vector<DayRange> bands;
};

// A key of a shade in the title row.
struct ShadeKey {
    QString text;
    QColor colour;
    QRectF swatch;
    QRectF label;
};

struct MonthSpan {
    int month = 0;
    qreal left = 0;
    qreal right = 0;
};

struct PlotLayout {
    QRectF area;
    PlotSizes sizes;
    qreal lineHeight = 0; // of the text font; paddings follow it
    QRectF titleRow;
    QRectF totalsRow; // the year's sums and means, under the title
    QString totals;
    PlotFont totalsFont = PlotFont::Text; // the smaller font where the line is too long for the row
    qreal x0 = 0, x1 = 0;                 // the time axis, shared by every panel
    int days = 0;
    std::vector<PanelLayout> panels;    // as the shapes, top to bottom
    std::vector<Shade> shades;          // only shades some day has
    std::vector<ShadeKey> keys;         // right to left, one per shade
    std::vector<int> suspectDays;       // days with suspect values, marked on the time axis
    std::optional<ShadeKey> suspectKey; // left of the shades' keys, when some day has a mark
    std::vector<qreal> monthStarts;     // x of the 1st of every month but January
    std::vector<MonthSpan> months;

    qreal DayLeft(int i) const { return x0 + (x1 - x0) * i / std::max(days, 1); }
    qreal DayCentre(int i) const { return (DayLeft(i) + DayLeft(i + 1)) / 2; }
    qreal DayWidth() const { return (x1 - x0) / std::max(days, 1); }
    // The mark of a suspect day: a small triangle standing on the bottom edge of a panel.
    QPolygonF SuspectMark(int day, qreal bottom) const;
};

// The year's figures as one line: 年降水量, 平均気温, 最高・最低 with their dates, 日照時間 and
// 水面蒸発量; a figure from fewer days than the year has says from how many.
QString YearTotalsText(const YearTotals& totals);

// Where everything of the plot lies in `area`: the pure geometry painting follows. The axes hold
// `ranges` (as well as the year's own values) when given, else only the year's values.
PlotLayout LayOutYearPlot(const std::vector<PanelShape>& shapes, const YearSeries& series, const QRectF& area,
                          const TextMeasure& measure, const PlotRanges* ranges = nullptr);

} // namespace kolvane
