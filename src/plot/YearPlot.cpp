#include "plot/YearPlot.h"

#include "model/FileIo.h"
#include "plot/Fonts.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#ifdef KOLVANE_HAVE_SVG
#include <QSvgGenerator>
#endif
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <optional>

namespace kolvane {
namespace {

using Measure = std::optional<double> SeriesDay::*;

const QColor INK(0x33, 0x33, 0x33);
const QColor FRAME(0x99, 0x99, 0x99);
const QColor GRID(0xe4, 0xe4, 0xe4);
const QColor MONTH_LINE(0xd0, 0xd0, 0xd0);
const QColor SHADE(0xe9, 0xe2, 0xd0);      // a warm light band, apart from the grey of the grid
const QColor KEPT_SHADE(0xe6, 0xee, 0xf6); // cool and lighter: values there, only their hours unknown
const QColor NOTE(0x80, 0x80, 0x80);
const QColor TEMP_MAX(0xd6, 0x27, 0x28);
const QColor TEMP_MEAN(0x2f, 0x2f, 0x2f);
const QColor TEMP_MIN(0x1f, 0x6f, 0xb4);
const QColor PRECIP(0x2b, 0x7b, 0xd0);
const QColor SOLAR(0xd3, 0x54, 0x00);
const QColor SUNSHINE(0xf2, 0xc1, 0x3d);
const QColor SUNSHINE_TEXT(0xa0, 0x78, 0x00); // the bar colour is too light for text
const QColor EVAPORATION(0x13, 0x8d, 0x75);

struct Extent {
    double low = 0;
    double high = 0;
    bool any = false;
};

Extent ExtentOf(const YearSeries& series, std::initializer_list<Measure> measures) {
    Extent e;
    for (const SeriesDay& day : series.days) {
        for (Measure m : measures) {
            const std::optional<double>& v = day.*m;
            if (!v || !std::isfinite(*v)) continue;
            e.low = e.any ? std::min(e.low, *v) : *v;
            e.high = e.any ? std::max(e.high, *v) : *v;
            e.any = true;
        }
    }
    return e;
}

AxisScale ScaleOf(const Extent& e, bool includeZero, double defaultHigh, int maxSteps) {
    return e.any ? NiceScale(e.low, e.high, includeZero, maxSteps)
                 : NiceScale(0, defaultHigh, true, maxSteps);
}

// A second axis that puts its ticks on the first axis's grid lines: the same number of steps, with a
// step that reads well for hours.
AxisScale AlignedScale(const AxisScale& grid, const Extent& e, double defaultHigh, int maxSteps) {
    const double high = e.any ? e.high : defaultHigh;
    const int steps = static_cast<int>(std::lround((grid.high - grid.low) / grid.step));
    if (grid.low != 0 || (e.any && e.low < 0) || steps < 1 || high <= 0)
        return ScaleOf(e, true, defaultHigh, maxSteps);
    const double magnitude = std::pow(10.0, std::floor(std::log10(high / steps)));
    for (double factor : {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0}) {
        const double step = factor * magnitude;
        if (step * steps >= high * (1 - 1e-9)) return {0, step * steps, step};
    }
    return ScaleOf(e, true, defaultHigh, maxSteps);
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

QStringList TickTexts(const AxisScale& scale) {
    QStringList texts;
    const int steps = static_cast<int>(std::lround((scale.high - scale.low) / scale.step));
    for (int i = 0; i <= steps; ++i)
        texts << TickText(scale.low + i * scale.step, scale.step);
    return texts;
}

struct Panel {
    Extent data;
    bool includeZero = true;
    double defaultHigh = 10; // the axis of a panel without values
    std::optional<Extent> rightData;
    double rightDefaultHigh = 10;
    QString title;
    QColor titleColour = INK;
    std::optional<QColor> titleSample; // a line sample before the title
    QString rightTitle;
    AxisScale left;
    std::optional<AxisScale> right;
    bool empty = false;
    double weight = 1;
    QRectF box;

    void Scale(int maxSteps) {
        left = ScaleOf(data, includeZero, defaultHigh, maxSteps);
        if (rightData) right = AlignedScale(left, *rightData, rightDefaultHigh, maxSteps);
    }

    qreal Y(const AxisScale& s, double v) const {
        return box.bottom() - (v - s.low) / (s.high - s.low) * box.height();
    }
};

class Painter {
  public:
    Painter(QPainter& p, const QRectF& area, const YearSeries& series) : p_(p), area_(area), series_(series) {
        const qreal base = std::clamp(std::min(area.width() / 72, area.height() / 48), 11.0, 30.0);
        text_ = JapaneseFont();
        text_.setPixelSize(static_cast<int>(std::lround(base)));
        small_ = text_;
        small_.setPixelSize(static_cast<int>(std::lround(base * 0.88)));
        title_ = text_;
        title_.setPixelSize(static_cast<int>(std::lround(base * 1.3)));
        title_.setBold(true);
        fh_ = QFontMetricsF(text_).height();
        pen_ = std::max(1.0, base / 11);
        days_ = static_cast<int>(series.days.size());
    }

    void Paint(const QString& title);

  private:
    qreal DayLeft(int i) const { return x0_ + (x1_ - x0_) * i / std::max(days_, 1); }
    qreal DayCentre(int i) const { return (DayLeft(i) + DayLeft(i + 1)) / 2; }
    qreal DayWidth() const { return (x1_ - x0_) / std::max(days_, 1); }

    std::vector<Panel> MakePanels() const;
    void Layout(std::vector<Panel>& panels);
    template <class Pred> void Shade(const Panel& panel, Pred shaded, const QColor& colour);
    void Backdrop(const Panel& panel);
    void Axes(const Panel& panel);
    void Header(const Panel& panel, const QList<std::pair<QString, QColor>>& legend);
    void Line(const Panel& panel, const AxisScale& scale, Measure m, const QColor& colour);
    void Bars(const Panel& panel, const AxisScale& scale, Measure m, const QColor& colour, qreal fraction);
    void MonthAxis(const Panel& bottom);
    qreal LineSample(qreal x, qreal yMid, const QColor& colour);

    QPainter& p_;
    QRectF area_;
    const YearSeries& series_;
    QFont text_, small_, title_;
    qreal fh_ = 0;
    qreal pen_ = 1;
    int days_ = 0;
    qreal x0_ = 0, x1_ = 0;
    qreal titleBottom_ = 0;
};

std::vector<Panel> Painter::MakePanels() const {
    std::vector<Panel> panels(4);
    panels[0].title = QStringLiteral("気温 (°C)");
    panels[0].data = ExtentOf(series_, {&SeriesDay::tempMax, &SeriesDay::temp, &SeriesDay::tempMin});
    panels[0].includeZero = false;
    panels[0].defaultHigh = 30;
    panels[0].weight = 3;

    panels[1].title = QStringLiteral("降水量 (mm)");
    panels[1].data = ExtentOf(series_, {&SeriesDay::precip});
    panels[1].weight = 2;

    panels[2].title = QStringLiteral("日射 (MJ/m²)");
    panels[2].titleColour = SOLAR;
    panels[2].titleSample = SOLAR;
    panels[2].rightTitle = QStringLiteral("日照 (h)");
    panels[2].data = ExtentOf(series_, {&SeriesDay::solar});
    panels[2].defaultHigh = 30;
    panels[2].rightData = ExtentOf(series_, {&SeriesDay::sunshine});
    panels[2].rightDefaultHigh = 12;
    panels[2].weight = 2.4;

    panels[3].title = QStringLiteral("水面蒸発 (mm)");
    panels[3].data = ExtentOf(series_, {&SeriesDay::evaporation});
    panels[3].defaultHigh = 5;
    panels[3].weight = 1.8;
    for (Panel& panel : panels) {
        panel.empty = !panel.data.any && !(panel.rightData && panel.rightData->any);
        panel.Scale(5);
    }
    return panels;
}

void Painter::Layout(std::vector<Panel>& panels) {
    const QFontMetricsF small(small_);
    qreal leftLabels = 0, rightLabels = 0;
    for (const Panel& panel : panels) {
        for (const QString& t : TickTexts(panel.left))
            leftLabels = std::max(leftLabels, small.horizontalAdvance(t));
        if (panel.right)
            for (const QString& t : TickTexts(*panel.right))
                rightLabels = std::max(rightLabels, small.horizontalAdvance(t));
    }
    const qreal pad = fh_ * 0.8;
    const qreal tick = fh_ * 0.3;
    x0_ = area_.left() + pad + leftLabels + tick + fh_ * 0.3;
    x1_ = area_.right() - pad - (rightLabels > 0 ? rightLabels + tick + fh_ * 0.3 : 0);

    titleBottom_ = area_.top() + pad + QFontMetricsF(title_).height() * 1.3;
    const qreal header = fh_ * 1.5;
    const qreal gap = fh_ * 0.5;
    const qreal monthRow = small.height() * 1.8;
    const qreal bottom = area_.bottom() - pad - monthRow;
    qreal weights = 0;
    for (const Panel& panel : panels)
        weights += panel.weight;
    const qreal free = bottom - titleBottom_ - header * panels.size() - gap * (panels.size() - 1);
    qreal y = titleBottom_;
    for (Panel& panel : panels) {
        y += header;
        const qreal height = std::max(free, 0.0) * panel.weight / weights;
        panel.box = QRectF(x0_, y, x1_ - x0_, height);
        y += height + gap;
    }
}

template <class Pred> void Painter::Shade(const Panel& panel, Pred shaded, const QColor& colour) {
    for (int i = 0; i < days_;) {
        if (!shaded(series_.days[i])) {
            ++i;
            continue;
        }
        int j = i;
        while (j < days_ && shaded(series_.days[j]))
            ++j;
        p_.fillRect(QRectF(DayLeft(i), panel.box.top(), DayLeft(j) - DayLeft(i), panel.box.height()), colour);
        i = j;
    }
}

void Painter::Backdrop(const Panel& panel) {
    p_.fillRect(panel.box, Qt::white);
    Shade(panel, IsIncomplete, SHADE);
    Shade(
        panel, [](const SeriesDay& d) { return d.dayClass == DayClass::Kept; }, KEPT_SHADE);
    p_.setPen(QPen(GRID, 1));
    const AxisScale& s = panel.left;
    const int steps = static_cast<int>(std::lround((s.high - s.low) / s.step));
    for (int k = 1; k < steps; ++k) {
        const qreal y = panel.Y(s, s.low + k * s.step);
        p_.drawLine(QPointF(panel.box.left(), y), QPointF(panel.box.right(), y));
    }
    p_.setPen(QPen(MONTH_LINE, 1));
    for (int i = 1; i < days_; ++i) {
        if (series_.days[i].day != 1) continue;
        p_.drawLine(QPointF(DayLeft(i), panel.box.top()), QPointF(DayLeft(i), panel.box.bottom()));
    }
    if (s.low < 0 && s.high > 0) { // the freezing line
        p_.setPen(QPen(FRAME, 1));
        const qreal y = panel.Y(s, 0);
        p_.drawLine(QPointF(panel.box.left(), y), QPointF(panel.box.right(), y));
    }
}

void Painter::Axes(const Panel& panel) {
    p_.setBrush(Qt::NoBrush);
    p_.setPen(QPen(FRAME, 1));
    p_.drawRect(panel.box);
    p_.setFont(small_);
    const qreal tick = fh_ * 0.3;
    const qreal h = QFontMetricsF(small_).height();
    auto ticks = [&](const AxisScale& s, bool right, const QColor& colour) {
        const QStringList texts = TickTexts(s);
        for (int k = 0; k < texts.size(); ++k) {
            const qreal y = panel.Y(s, s.low + k * s.step);
            const qreal x = right ? panel.box.right() : panel.box.left();
            p_.setPen(QPen(FRAME, 1));
            p_.drawLine(QPointF(x, y), QPointF(right ? x + tick : x - tick, y));
            p_.setPen(colour);
            const QRectF label =
                right ? QRectF(x + tick + fh_ * 0.3, y - h / 2, area_.right() - x, h)
                      : QRectF(area_.left(), y - h / 2, x - tick - fh_ * 0.3 - area_.left(), h);
            p_.drawText(label, (right ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, texts[k]);
        }
    };
    ticks(panel.left, false, panel.right ? panel.titleColour : INK);
    if (panel.right) ticks(*panel.right, true, SUNSHINE_TEXT);
    if (panel.empty) {
        p_.setFont(text_);
        p_.setPen(NOTE);
        p_.drawText(panel.box, Qt::AlignCenter, QStringLiteral("値のある日がありません"));
    }
}

qreal Painter::LineSample(qreal x, qreal yMid, const QColor& colour) {
    p_.setPen(QPen(colour, pen_ * 2, Qt::SolidLine, Qt::FlatCap));
    p_.drawLine(QPointF(x, yMid), QPointF(x + fh_ * 1.2, yMid));
    return x + fh_ * 1.6;
}

void Painter::Header(const Panel& panel, const QList<std::pair<QString, QColor>>& legend) {
    const QFontMetricsF m(text_);
    const QRectF row(panel.box.left(), panel.box.top() - fh_ * 1.5, panel.box.width(), fh_ * 1.5);
    const qreal yMid = row.center().y();
    p_.setFont(text_);
    qreal x = row.left();
    if (panel.titleSample) x = LineSample(x, yMid, *panel.titleSample);
    p_.setPen(panel.titleColour);
    p_.drawText(QRectF(x, row.top(), row.width(), row.height()), Qt::AlignLeft | Qt::AlignVCenter,
                panel.title);

    qreal right = row.right();
    if (!panel.rightTitle.isEmpty()) {
        const qreal w = m.horizontalAdvance(panel.rightTitle);
        p_.setPen(SUNSHINE_TEXT);
        p_.drawText(QRectF(right - w, row.top(), w, row.height()), Qt::AlignRight | Qt::AlignVCenter,
                    panel.rightTitle);
        right -= w + fh_ * 0.4;
        const qreal s = fh_ * 0.7;
        p_.fillRect(QRectF(right - s, yMid - s / 2, s, s), SUNSHINE);
        right -= s + fh_ * 1.2;
    }
    qreal width = 0;
    for (const auto& [text, colour] : legend)
        width += fh_ * 1.6 + m.horizontalAdvance(text) + fh_ * 1.0;
    x = right - width + fh_ * 1.0;
    for (const auto& [text, colour] : legend) {
        x = LineSample(x, yMid, colour);
        p_.setPen(INK);
        const qreal w = m.horizontalAdvance(text);
        p_.drawText(QRectF(x, row.top(), w + 1, row.height()), Qt::AlignLeft | Qt::AlignVCenter, text);
        x += w + fh_ * 1.0;
    }
}

void Painter::Line(const Panel& panel, const AxisScale& scale, Measure m, const QColor& colour) {
    QPainterPath path;
    std::vector<QPointF> lone;
    for (int i = 0; i < days_; ++i) {
        const std::optional<double>& v = series_.days[i].*m;
        if (!v) continue;
        const QPointF point(DayCentre(i), panel.Y(scale, *v));
        const bool before = i > 0 && (series_.days[i - 1].*m).has_value();
        const bool after = i + 1 < days_ && (series_.days[i + 1].*m).has_value();
        if (before)
            path.lineTo(point);
        else
            path.moveTo(point);
        if (!before && !after) lone.push_back(point); // a day between gaps would not show as a line
    }
    p_.setBrush(Qt::NoBrush);
    p_.setPen(QPen(colour, pen_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p_.drawPath(path);
    p_.setPen(Qt::NoPen);
    p_.setBrush(colour);
    for (const QPointF& point : lone)
        p_.drawEllipse(point, pen_ * 1.5, pen_ * 1.5);
    p_.setBrush(Qt::NoBrush);
}

void Painter::Bars(const Panel& panel, const AxisScale& scale, Measure m, const QColor& colour,
                   qreal fraction) {
    const qreal width = std::max(1.0, DayWidth() * fraction);
    const qreal zero = panel.Y(scale, std::clamp(0.0, scale.low, scale.high));
    for (int i = 0; i < days_; ++i) {
        const std::optional<double>& v = series_.days[i].*m;
        if (!v || *v == 0) continue;
        const qreal y = panel.Y(scale, *v);
        p_.fillRect(QRectF(DayCentre(i) - width / 2, std::min(y, zero), width, std::abs(zero - y)), colour);
    }
}

void Painter::MonthAxis(const Panel& bottom) {
    p_.setFont(small_);
    const qreal tick = fh_ * 0.3;
    const qreal h = QFontMetricsF(small_).height();
    int start = 0;
    for (int i = 1; i <= days_; ++i) {
        if (i < days_ && series_.days[i].day != 1) continue;
        p_.setPen(QPen(FRAME, 1));
        const qreal x = DayLeft(i);
        p_.drawLine(QPointF(x, bottom.box.bottom()), QPointF(x, bottom.box.bottom() + tick));
        p_.setPen(INK);
        const QRectF label(DayLeft(start), bottom.box.bottom() + tick, x - DayLeft(start), h * 1.2);
        p_.drawText(label, Qt::AlignCenter, QStringLiteral("%1月").arg(series_.days[start].month));
        start = i;
    }
}

void Painter::Paint(const QString& title) {
    p_.save();
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setRenderHint(QPainter::TextAntialiasing, true);
    p_.fillRect(area_, Qt::white);
    std::vector<Panel> panels = MakePanels();
    Layout(panels);
    // Short panels get fewer ticks, so that tick labels never crowd; the labels' width may change
    // with the steps, so the panels are placed again.
    const qreal labelHeight = QFontMetricsF(small_).height();
    for (Panel& panel : panels)
        panel.Scale(std::clamp(static_cast<int>(panel.box.height() / (labelHeight * 1.5)), 2, 6));
    Layout(panels);

    p_.setFont(title_);
    p_.setPen(INK);
    const QRectF titleRow(x0_, area_.top(), x1_ - x0_, titleBottom_ - area_.top());
    p_.drawText(titleRow, Qt::AlignLeft | Qt::AlignVCenter, title);
    // The keys of the shades, right to left; a shade no day has is left out.
    qreal right = titleRow.right();
    const auto key = [&](const QString& text, const QColor& colour) {
        p_.setFont(text_);
        p_.setPen(INK);
        const qreal w = QFontMetricsF(text_).horizontalAdvance(text);
        const qreal s = fh_ * 0.8;
        p_.drawText(QRectF(right - w, titleRow.top(), w, titleRow.height()),
                    Qt::AlignRight | Qt::AlignVCenter, text);
        const QRectF swatch(right - w - fh_ * 0.4 - s, titleRow.center().y() - s / 2, s, s);
        p_.fillRect(swatch, colour);
        p_.setPen(QPen(FRAME, 1));
        p_.drawRect(swatch);
        right = swatch.left() - fh_ * 1.2;
    };
    const auto any = [&](auto pred) { return std::any_of(series_.days.begin(), series_.days.end(), pred); };
    if (any([](const SeriesDay& d) { return d.dayClass == DayClass::Kept; }))
        key(QStringLiteral("既存の値の日（時間数不明）"), KEPT_SHADE);
    if (any(IsIncomplete))
        key(series_.qualityKnown ? QStringLiteral("完全でないデータの日")
                                 : QStringLiteral("欠測の日（品質ファイルなし）"),
            SHADE);

    for (const Panel& panel : panels)
        Backdrop(panel);

    p_.save();
    p_.setClipRect(panels[0].box);
    Line(panels[0], panels[0].left, &SeriesDay::tempMax, TEMP_MAX);
    Line(panels[0], panels[0].left, &SeriesDay::tempMin, TEMP_MIN);
    Line(panels[0], panels[0].left, &SeriesDay::temp, TEMP_MEAN);
    p_.setClipRect(panels[1].box);
    Bars(panels[1], panels[1].left, &SeriesDay::precip, PRECIP, 0.8);
    p_.setClipRect(panels[2].box);
    Bars(panels[2], *panels[2].right, &SeriesDay::sunshine, SUNSHINE, 0.8);
    Line(panels[2], panels[2].left, &SeriesDay::solar, SOLAR);
    p_.setClipRect(panels[3].box);
    Line(panels[3], panels[3].left, &SeriesDay::evaporation, EVAPORATION);
    p_.restore();

    for (const Panel& panel : panels)
        Axes(panel);
    Header(panels[0], {{QStringLiteral("最高気温"), TEMP_MAX},
                       {QStringLiteral("平均気温"), TEMP_MEAN},
                       {QStringLiteral("最低気温"), TEMP_MIN}});
    Header(panels[1], {});
    Header(panels[2], {});
    Header(panels[3], {});
    MonthAxis(panels[3]);
    p_.restore();
}

int WriteEncoded(const QByteArray& bytes, const std::string& path) {
    return WriteFileAtomically(path,
                               std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace

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

void PaintYearPlot(QPainter& painter, const QRectF& area, const YearSeries& series, const QString& title) {
    Painter(painter, area, series).Paint(title);
}

int SaveYearPlotPng(const YearSeries& series, const QString& title, const std::string& path, QSize size) {
    if (size.isEmpty()) return EINVAL;
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintYearPlot(painter, QRectF(QPointF(0, 0), QSizeF(size)), series, title);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return EIO;
    return WriteEncoded(bytes, path);
}

int SaveYearPlotSvg(const YearSeries& series, const QString& title, const std::string& path, QSize size) {
#ifdef KOLVANE_HAVE_SVG
    if (size.isEmpty()) return EINVAL;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return EIO;
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(title);
    {
        QPainter painter;
        if (!painter.begin(&generator)) return EIO;
        PaintYearPlot(painter, QRectF(QPointF(0, 0), QSizeF(size)), series, title);
    }
    return WriteEncoded(bytes, path);
#else
    (void)series, (void)title, (void)path, (void)size;
    return ENOTSUP;
#endif
}

bool CanSaveYearPlotSvg() {
#ifdef KOLVANE_HAVE_SVG
    return true;
#else
    return false;
#endif
}

} // namespace kolvane
