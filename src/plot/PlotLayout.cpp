#include "plot/PlotLayout.h"

#include "plot/Texts.h"

#include <algorithm>
#include <cmath>

namespace kolvane {
namespace {

using Extent = ValueRange;

Extent ExtentOf(const YearSeries& series, const PanelShape& shape, AxisSide side) {
    Extent e;
    for (const SeriesShape& s : shape.series) {
        if (s.axis != side) continue;
        for (const SeriesDay& day : series.days)
            if (const std::optional<double>& v = day.*s.measure) e.Add(*v);
    }
    return e;
}

AxisScale ScaleOf(const Extent& e, const AxisSpec& axis, int maxSteps) {
    return e.any ? NiceScale(e.low, e.high, axis.includeZero, maxSteps)
                 : NiceScale(0, axis.defaultHigh, true, maxSteps);
}

// A second axis that puts its ticks on the first axis's grid lines: the same number of steps, with a
// step that reads well for hours.
AxisScale AlignedScale(const AxisScale& grid, const Extent& e, const AxisSpec& axis, int maxSteps) {
    const double high = e.any ? e.high : axis.defaultHigh;
    const int steps = static_cast<int>(std::lround((grid.high - grid.low) / grid.step));
    if (grid.low != 0 || (e.any && e.low < 0) || steps < 1 || high <= 0) return ScaleOf(e, axis, maxSteps);
    const double magnitude = std::pow(10.0, std::floor(std::log10(high / steps)));
    for (double factor : {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0}) {
        const double step = factor * magnitude;
        if (step * steps >= high * (1 - 1e-9)) return {0, step * steps, step};
    }
    return ScaleOf(e, axis, maxSteps);
}

QString TickText(double value, double step) {
    // As many decimals as the step needs: 2.5 keeps one, 0.05 two.
    int decimals = 0;
    for (double scaled = step; decimals < 6 && std::abs(scaled - std::round(scaled)) > 1e-6 * scaled;
         scaled *= 10)
        ++decimals;
    if (std::abs(value) < step * 1e-6) value = 0;
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(QLatin1Char('-'))) text.replace(0, 1, QChar(0x2212)); // a real minus sign
    return text;
}

// One decimal, rounded half away from zero as the yearly file rounds.
QString Figure(double value) {
    QString text = QString::number(std::round(value * 10) / 10, 'f', 1);
    if (text == QLatin1String("-0.0")) return QStringLiteral("0.0");
    if (text.startsWith(QLatin1Char('-'))) text.replace(0, 1, QChar(0x2212));
    return text;
}

void Scale(PanelLayout& panel, const PanelShape& shape, const YearSeries& series, const PanelRange* range,
           int maxSteps) {
    Extent left = ExtentOf(series, shape, AxisSide::Left);
    panel.empty = !left.any;
    if (range) left.Add(range->left);
    panel.left.scale = ScaleOf(left, shape.left, maxSteps);
    if (shape.right) {
        Extent right = ExtentOf(series, shape, AxisSide::Right);
        panel.empty = panel.empty && !right.any;
        if (range) right.Add(range->right);
        panel.right = AxisLayout{AlignedScale(panel.left.scale, right, *shape.right, maxSteps), {}};
    }
}

void PlaceTicks(const PanelLayout& panel, AxisLayout& axis) {
    axis.ticks.clear();
    const QStringList texts = TickTexts(axis.scale);
    for (int k = 0; k < texts.size(); ++k)
        axis.ticks.push_back({panel.Y(axis.scale, axis.scale.low + k * axis.scale.step), texts[k]});
}

// The time axis leaves room for the widest tick label on each side, and the panels share the height
// left over by the title, their headers and the month row in the ratio of their weights.
void Place(PlotLayout& layout, const std::vector<PanelShape>& shapes, const TextMeasure& measure) {
    qreal leftLabels = 0, rightLabels = 0;
    for (const PanelLayout& panel : layout.panels) {
        for (const QString& t : TickTexts(panel.left.scale))
            leftLabels = std::max(leftLabels, measure.width(PlotFont::Small, t));
        if (panel.right)
            for (const QString& t : TickTexts(panel.right->scale))
                rightLabels = std::max(rightLabels, measure.width(PlotFont::Small, t));
    }
    const qreal fh = layout.lineHeight;
    const QRectF& area = layout.area;
    const qreal pad = fh * 0.8;
    const qreal tick = fh * 0.3;
    layout.x0 = area.left() + pad + leftLabels + tick + fh * 0.3;
    layout.x1 = area.right() - pad - (rightLabels > 0 ? rightLabels + tick + fh * 0.3 : 0);

    const qreal titleHeight = area.top() + pad + measure.height(PlotFont::Title) * 1.3 - area.top();
    layout.titleRow = QRectF(layout.x0, area.top(), layout.x1 - layout.x0, titleHeight);
    // Wider than the time axis: the figures are a long line, and nothing stands right of it.
    layout.totalsRow = QRectF(layout.x0, layout.titleRow.bottom(), area.right() - pad - layout.x0, fh * 1.3);
    const qreal titleBottom = layout.totalsRow.bottom();
    const qreal header = fh * 1.5;
    const qreal gap = fh * 0.5;
    const qreal bottom = area.bottom() - pad - measure.height(PlotFont::Small) * 1.8;
    qreal weights = 0;
    for (const PanelShape& shape : shapes)
        weights += shape.weight;
    const auto count = static_cast<qreal>(shapes.size());
    const qreal free = std::max(bottom - titleBottom - header * count - gap * (count - 1), 0.0);
    qreal y = titleBottom;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        PanelLayout& panel = layout.panels[i];
        panel.header = QRectF(layout.x0, y, layout.x1 - layout.x0, header);
        y += header;
        const qreal height = free * shapes[i].weight / weights;
        panel.box = QRectF(layout.x0, y, layout.x1 - layout.x0, height);
        y += height + gap;
    }
}

template <class Pred> std::vector<DayRange> Bands(const YearSeries& series, Pred shaded) {
    std::vector<DayRange> bands;
    const int days = static_cast<int>(series.days.size());
    for (int i = 0; i < days;) {
        if (!shaded(series.days[i])) {
            ++i;
            continue;
        }
        int j = i;
        while (j < days && shaded(series.days[j]))
            ++j;
        bands.push_back({i, j});
        i = j;
    }
    return bands;
}

// One shade for each class of day that is not complete, graded by how much of the day is missing.
// Without the companion file a day without any value is all that is known.
void PlaceShades(PlotLayout& layout, const YearSeries& series, const TextMeasure& measure) {
    struct Class {
        DayClass dayClass;
        QColor colour;
        QString key;
    };
    // Right to left in the title row, so that the keys read lightest to darkest, then the cool one.
    const Class classes[] = {
        {DayClass::Kept, colour::KEPT_SHADE, plot_text::KeptKey()},
        {DayClass::NoData, colour::MISSING_SHADE, plot_text::NoDataKey(series.qualityKnown)},
        {DayClass::Insufficient, colour::INSUFFICIENT_SHADE, plot_text::InsufficientKey()},
        {DayClass::QuasiNormal, colour::QUASI_SHADE, plot_text::QuasiNormalKey()},
    };
    std::vector<std::pair<QString, QColor>> keys;
    for (const Class& c : classes) {
        std::vector<DayRange> bands =
            Bands(series, [&](const SeriesDay& d) { return d.dayClass == c.dayClass; });
        if (bands.empty()) continue;
        layout.shades.push_back({c.colour, std::move(bands)});
        keys.emplace_back(c.key, c.colour);
    }
    const qreal fh = layout.lineHeight;
    const QRectF& row = layout.titleRow;
    qreal right = row.right();
    for (auto& [text, colour] : keys) {
        const qreal w = measure.width(PlotFont::Text, text);
        const qreal s = fh * 0.8;
        const QRectF swatch(right - w - fh * 0.4 - s, row.center().y() - s / 2, s, s);
        layout.keys.push_back({text, colour, swatch, QRectF(right - w, row.top(), w, row.height())});
        right = swatch.left() - fh * 1.2;
    }
    for (int i = 0; i < layout.days; ++i)
        if (series.days[static_cast<std::size_t>(i)].suspect > 0) layout.suspectDays.push_back(i);
    if (layout.suspectDays.empty()) return;
    const QString text = plot_text::SuspectKey();
    const qreal w = measure.width(PlotFont::Text, text);
    const qreal s = fh * 0.8;
    const QRectF swatch(right - w - fh * 0.4 - s, row.center().y() - s / 2, s, s);
    layout.suspectKey =
        ShadeKey{text, colour::SUSPECT, swatch, QRectF(right - w, row.top(), w, row.height())};
}

} // namespace

QPolygonF PlotLayout::SuspectMark(int day, qreal bottom) const {
    // At least a few pixels wide, so that a single day stays visible on a narrow plot.
    const qreal half = std::max(DayWidth() * 0.8, lineHeight * 0.25);
    const qreal x = DayCentre(day);
    return QPolygonF(
        {QPointF(x - half, bottom), QPointF(x + half, bottom), QPointF(x, bottom - lineHeight * 0.5)});
}

AxisScale NiceScale(double low, double high, bool includeZero, int maxSteps) {
    if (!std::isfinite(low) || !std::isfinite(high)) return {};
    if (low > high) std::swap(low, high);
    if (includeZero) {
        low = std::min(low, 0.0);
        high = std::max(high, 0.0);
    }
    if (high - low < 1e-9) {
        const double widen = std::max(1.0, std::abs(high) * 0.1);
        if (includeZero && low >= 0)
            high = low + widen;
        else if (includeZero)
            low = high - widen;
        else {
            low -= widen;
            high += widen;
        }
    }
    const double rough = (high - low) / std::max(maxSteps, 1);
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10 * magnitude;
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * magnitude >= rough * (1 - 1e-9)) {
            step = factor * magnitude;
            break;
        }
    }
    // A tiny slack keeps a value a rounding error above a multiple from adding a whole empty step.
    const double slack = step * 1e-9;
    return {std::floor((low + slack) / step) * step, std::ceil((high - slack) / step) * step, step};
}

QStringList TickTexts(const AxisScale& scale) {
    QStringList texts;
    const int steps = static_cast<int>(std::lround((scale.high - scale.low) / scale.step));
    for (int i = 0; i <= steps; ++i)
        texts << TickText(scale.low + i * scale.step, scale.step);
    return texts;
}

PlotSizes PlotSizesFor(const QSizeF& area) {
    const double base = std::clamp(std::min(area.width() / 72, area.height() / 48), 11.0, 30.0);
    return {static_cast<int>(std::lround(base)), static_cast<int>(std::lround(base * 0.88)),
            static_cast<int>(std::lround(base * 1.3)), std::max(1.0, base / 11)};
}

void ValueRange::Add(double value) {
    if (!std::isfinite(value)) return;
    low = any ? std::min(low, value) : value;
    high = any ? std::max(high, value) : value;
    any = true;
}

void ValueRange::Add(const ValueRange& other) {
    if (!other.any) return;
    Add(other.low);
    Add(other.high);
}

QString YearTotalsText(const YearTotals& t) {
    // When the figures all come from the same days (a year still being observed), that is said once.
    const int sumDays[] = {t.precip.days, t.temp.days, t.sunshine.days, t.evaporation.days};
    const bool sameDays =
        std::all_of(std::begin(sumDays), std::end(sumDays), [&](int d) { return d == sumDays[0]; });
    const auto partial = [&](int days) {
        if (sameDays || days == 0 || days >= t.days) return QString();
        return plot_text::FromDays(days);
    };
    const auto sum = [&](const QString& name, const YearSum& s, const QString& unit, bool mean) {
        if (s.days == 0) return plot_text::NoFigure(name);
        return plot_text::Figure(name, Figure(mean ? *s.Mean() : s.sum), unit, partial(s.days));
    };
    const auto extreme = [](const QString& name, const std::optional<YearExtreme>& e) {
        if (!e) return plot_text::NoFigure(name);
        return plot_text::Extreme(name, Figure(e->value), e->month, e->day);
    };
    using namespace plot_text;
    const QString gap = FigureGap();
    QString text = sum(PrecipitationTotal(), t.precip, Millimetres(), false) + gap +
                   sum(MeanTemperature(), t.temp, Degrees(), true) + gap + extreme(Highest(), t.highest) +
                   gap + extreme(Lowest(), t.lowest) + gap +
                   sum(SunshineTotal(), t.sunshine, Hours(), false) + gap +
                   sum(EvaporationTotal(), t.evaporation, Millimetres(), false);
    if (sameDays && sumDays[0] > 0 && sumDays[0] < t.days) text += gap + AllFromDays(t.days, sumDays[0]);
    return text;
}

PlotRanges RangesOf(const std::vector<PanelShape>& shapes, const std::vector<YearSeries>& years) {
    PlotRanges ranges(shapes.size());
    for (std::size_t i = 0; i < shapes.size(); ++i)
        for (const YearSeries& year : years) {
            ranges[i].left.Add(ExtentOf(year, shapes[i], AxisSide::Left));
            ranges[i].right.Add(ExtentOf(year, shapes[i], AxisSide::Right));
        }
    return ranges;
}

PlotLayout LayOutYearPlot(const std::vector<PanelShape>& shapes, const YearSeries& series, const QRectF& area,
                          const TextMeasure& measure, const PlotRanges* ranges) {
    PlotLayout layout;
    layout.area = area;
    layout.sizes = PlotSizesFor(area.size());
    layout.lineHeight = measure.height(PlotFont::Text);
    layout.days = static_cast<int>(series.days.size());
    layout.panels.resize(shapes.size());

    const auto rangeOf = [&](std::size_t i) {
        return ranges && i < ranges->size() ? &(*ranges)[i] : nullptr;
    };
    for (std::size_t i = 0; i < shapes.size(); ++i)
        Scale(layout.panels[i], shapes[i], series, rangeOf(i), 5);
    Place(layout, shapes, measure);
    // Short panels get fewer ticks, so that tick labels never crowd; the labels' width may change
    // with the steps, so the panels are placed again.
    const qreal labelHeight = measure.height(PlotFont::Small);
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const int steps = static_cast<int>(layout.panels[i].box.height() / (labelHeight * 1.5));
        Scale(layout.panels[i], shapes[i], series, rangeOf(i), std::clamp(steps, 2, 6));
    }
    Place(layout, shapes, measure);
    for (PanelLayout& panel : layout.panels) {
        PlaceTicks(panel, panel.left);
        if (panel.right) PlaceTicks(panel, *panel.right);
    }

    PlaceShades(layout, series, measure);
    layout.totals = YearTotalsText(SummariseYear(series));
    if (measure.width(PlotFont::Text, layout.totals) > layout.totalsRow.width())
        layout.totalsFont = PlotFont::Small;

    int start = 0;
    for (int i = 1; i <= layout.days; ++i) {
        if (i < layout.days && series.days[i].day != 1) continue;
        if (i < layout.days) layout.monthStarts.push_back(layout.DayLeft(i));
        layout.months.push_back({series.days[start].month, layout.DayLeft(start), layout.DayLeft(i)});
        start = i;
    }
    return layout;
}

} // namespace kolvane
