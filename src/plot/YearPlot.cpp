#include "plot/YearPlot.h"

#include "model/FileIo.h"
#include "plot/Fonts.h"
#include "plot/PlotPanels.h"
#include "plot/Texts.h"

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

using namespace colour;

struct PlotFonts {
    QFont text, small, title;

    explicit PlotFonts(const PlotSizes& sizes) : text(JapaneseFont()) {
        text.setPixelSize(sizes.text);
        small = text;
        small.setPixelSize(sizes.small);
        title = text;
        title.setPixelSize(sizes.title);
        title.setBold(true);
    }
    const QFont& operator[](PlotFont f) const {
        return f == PlotFont::Small ? small : f == PlotFont::Title ? title : text;
    }
    TextMeasure Measure() const {
        return {
            [this](PlotFont f) { return QFontMetricsF((*this)[f]).height(); },
            [this](PlotFont f, const QString& t) { return QFontMetricsF((*this)[f]).horizontalAdvance(t); }};
    }
};

class Painter {
  public:
    Painter(QPainter& p, const PlotLayout& layout, const PlotFonts& fonts, const YearSeries& series,
            int picked)
        : p_(p), l_(layout), fonts_(fonts), series_(series), picked_(picked), fh_(layout.lineHeight),
          pen_(layout.sizes.pen) {}

    void Paint(const std::vector<PanelShape>& shapes, const QString& title);

  private:
    void TitleRow(const QString& title);
    void TotalsAndKeys();
    void Backdrop(const PanelLayout& panel);
    void Axes(const PanelLayout& panel, const PanelShape& shape);
    void Header(const PanelLayout& panel, const PanelShape& shape);
    void Line(const PanelLayout& panel, const SeriesShape& s);
    void Bars(const PanelLayout& panel, const SeriesShape& s, qreal fraction);
    void MonthAxis(const PanelLayout& bottom);
    void SuspectMarks(const PanelLayout& bottom);
    void PickedDay();
    qreal LineSample(qreal x, qreal yMid, const QColor& colour);

    QPainter& p_;
    const PlotLayout& l_;
    const PlotFonts& fonts_;
    const YearSeries& series_;
    int picked_; // the day outlined, or -1
    qreal fh_ = 0;
    qreal pen_ = 1;
};

void Painter::TitleRow(const QString& title) {
    // The keys stand right of the title and are never written over: on a narrow plot the title
    // steps down to the text size, and is cut only where even that is too wide.
    const QRectF& row = l_.titleRow;
    const qreal keysLeft = l_.suspectKey     ? l_.suspectKey->swatch.left()
                           : l_.keys.empty() ? row.right() + fh_
                                             : l_.keys.back().swatch.left();
    const qreal room = std::max(keysLeft - fh_ - row.left(), 0.0);
    QFont font = fonts_.title;
    if (QFontMetricsF(font).horizontalAdvance(title) > room) font.setPixelSize(fonts_.text.pixelSize());
    p_.setFont(font);
    p_.setPen(INK);
    p_.drawText(QRectF(row.left(), row.top(), room, row.height()), Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetricsF(font).elidedText(title, Qt::ElideRight, room));
}

void Painter::TotalsAndKeys() {
    const QFont& font = fonts_[l_.totalsFont];
    p_.setFont(font);
    // Cut with an ellipsis rather than mid-character where even the small font is too wide.
    const QString totals = QFontMetricsF(font).elidedText(l_.totals, Qt::ElideRight, l_.totalsRow.width());
    p_.drawText(l_.totalsRow, Qt::AlignLeft | Qt::AlignVCenter, totals);
    for (const ShadeKey& key : l_.keys) {
        p_.setFont(fonts_.text);
        p_.setPen(INK);
        p_.drawText(key.label, Qt::AlignRight | Qt::AlignVCenter, key.text);
        p_.fillRect(key.swatch, key.colour);
        p_.setPen(QPen(FRAME, 1));
        p_.drawRect(key.swatch);
    }
    if (const auto& key = l_.suspectKey) {
        p_.setFont(fonts_.text);
        p_.setPen(INK);
        p_.drawText(key->label, Qt::AlignRight | Qt::AlignVCenter, key->text);
        const QRectF& r = key->swatch;
        p_.setPen(Qt::NoPen);
        p_.setBrush(SUSPECT);
        p_.drawPolygon(QPolygonF({r.bottomLeft(), r.bottomRight(), QPointF(r.center().x(), r.top())}));
        p_.setBrush(Qt::NoBrush);
    }
}

void Painter::SuspectMarks(const PanelLayout& bottom) {
    p_.setPen(Qt::NoPen);
    p_.setBrush(SUSPECT);
    for (int day : l_.suspectDays)
        p_.drawPolygon(l_.SuspectMark(day, bottom.box.bottom()));
    p_.setBrush(Qt::NoBrush);
}

void Painter::PickedDay() {
    if (picked_ < 0 || picked_ >= l_.days || l_.panels.empty()) return;
    // Wide enough to find on a year-long axis, centred on the day.
    const qreal w = std::max(l_.DayWidth(), fh_ * 0.5);
    const qreal x = l_.DayCentre(picked_) - w / 2;
    p_.setPen(QPen(PICKED, std::max(pen_, 1.5)));
    for (const PanelLayout& panel : l_.panels)
        p_.drawRect(QRectF(x, panel.box.top(), w, panel.box.height()));
}

void Painter::Backdrop(const PanelLayout& panel) {
    const QRectF& box = panel.box;
    p_.fillRect(box, Qt::white);
    for (const Shade& shade : l_.shades)
        for (const DayRange& b : shade.bands)
            p_.fillRect(
                QRectF(l_.DayLeft(b.first), box.top(), l_.DayLeft(b.end) - l_.DayLeft(b.first), box.height()),
                shade.colour);
    p_.setPen(QPen(GRID, 1));
    const std::vector<Tick>& ticks = panel.left.ticks;
    for (std::size_t k = 1; k + 1 < ticks.size(); ++k)
        p_.drawLine(QPointF(box.left(), ticks[k].y), QPointF(box.right(), ticks[k].y));
    p_.setPen(QPen(MONTH_LINE, 1));
    for (qreal x : l_.monthStarts)
        p_.drawLine(QPointF(x, box.top()), QPointF(x, box.bottom()));
    const AxisScale& s = panel.left.scale;
    if (s.low < 0 && s.high > 0) { // the freezing line
        p_.setPen(QPen(FRAME, 1));
        const qreal y = panel.Y(s, 0);
        p_.drawLine(QPointF(box.left(), y), QPointF(box.right(), y));
    }
}

void Painter::Axes(const PanelLayout& panel, const PanelShape& shape) {
    p_.setBrush(Qt::NoBrush);
    p_.setPen(QPen(FRAME, 1));
    p_.drawRect(panel.box);
    p_.setFont(fonts_.small);
    const qreal tick = fh_ * 0.3;
    const qreal h = QFontMetricsF(fonts_.small).height();
    const QRectF& area = l_.area;
    auto ticks = [&](const AxisLayout& axis, bool right, const QColor& colour) {
        for (const Tick& t : axis.ticks) {
            const qreal x = right ? panel.box.right() : panel.box.left();
            p_.setPen(QPen(FRAME, 1));
            p_.drawLine(QPointF(x, t.y), QPointF(right ? x + tick : x - tick, t.y));
            p_.setPen(colour);
            const QRectF label =
                right ? QRectF(x + tick + fh_ * 0.3, t.y - h / 2, area.right() - x, h)
                      : QRectF(area.left(), t.y - h / 2, x - tick - fh_ * 0.3 - area.left(), h);
            p_.drawText(label, (right ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, t.text);
        }
    };
    ticks(panel.left, false, shape.left.colour.value_or(INK));
    if (panel.right) ticks(*panel.right, true, shape.right->colour.value_or(INK));
    if (panel.empty) {
        p_.setFont(fonts_.text);
        p_.setPen(NOTE);
        p_.drawText(panel.box, Qt::AlignCenter, plot_text::NoDayWithValues());
    }
}

qreal Painter::LineSample(qreal x, qreal yMid, const QColor& colour) {
    p_.setPen(QPen(colour, pen_ * 2, Qt::SolidLine, Qt::FlatCap));
    p_.drawLine(QPointF(x, yMid), QPointF(x + fh_ * 1.2, yMid));
    return x + fh_ * 1.6;
}

const SeriesShape* FirstOn(const PanelShape& shape, AxisSide side) {
    for (const SeriesShape& s : shape.series)
        if (s.axis == side) return &s;
    return nullptr;
}

// The left axis's title at the left, then, from the right, the right axis's title and the legend.
void Painter::Header(const PanelLayout& panel, const PanelShape& shape) {
    const QFontMetricsF m(fonts_.text);
    const QRectF& row = panel.header;
    const qreal yMid = row.center().y();
    p_.setFont(fonts_.text);
    qreal x = row.left();
    const SeriesShape* leftSeries = FirstOn(shape, AxisSide::Left);
    if (shape.left.colour && leftSeries) x = LineSample(x, yMid, leftSeries->colour);
    p_.setPen(shape.left.colour.value_or(INK));
    p_.drawText(QRectF(x, row.top(), row.width(), row.height()), Qt::AlignLeft | Qt::AlignVCenter,
                shape.left.title);

    qreal right = row.right();
    if (shape.right) {
        const qreal w = m.horizontalAdvance(shape.right->title);
        p_.setPen(shape.right->colour.value_or(INK));
        p_.drawText(QRectF(right - w, row.top(), w, row.height()), Qt::AlignRight | Qt::AlignVCenter,
                    shape.right->title);
        right -= w + fh_ * 0.4;
        if (const SeriesShape* s = FirstOn(shape, AxisSide::Right); s && shape.right->colour) {
            const qreal size = fh_ * 0.7;
            p_.fillRect(QRectF(right - size, yMid - size / 2, size, size), s->colour);
            right -= size + fh_ * 1.2;
        }
    }
    qreal width = 0;
    for (const SeriesShape& s : shape.series)
        if (!s.key.isEmpty()) width += fh_ * 1.6 + m.horizontalAdvance(s.key) + fh_ * 1.0;
    x = right - width + fh_ * 1.0;
    for (const SeriesShape& s : shape.series) {
        if (s.key.isEmpty()) continue;
        x = LineSample(x, yMid, s.colour);
        p_.setPen(INK);
        const qreal w = m.horizontalAdvance(s.key);
        p_.drawText(QRectF(x, row.top(), w + 1, row.height()), Qt::AlignLeft | Qt::AlignVCenter, s.key);
        x += w + fh_ * 1.0;
    }
}

void Painter::Line(const PanelLayout& panel, const SeriesShape& s) {
    const AxisScale& scale = panel.Scale(s.axis);
    const int days = l_.days;
    QPainterPath path;
    std::vector<QPointF> lone;
    for (int i = 0; i < days; ++i) {
        const std::optional<double>& v = series_.days[i].*s.measure;
        if (!v) continue;
        const QPointF point(l_.DayCentre(i), panel.Y(scale, *v));
        const bool before = i > 0 && (series_.days[i - 1].*s.measure).has_value();
        const bool after = i + 1 < days && (series_.days[i + 1].*s.measure).has_value();
        if (before)
            path.lineTo(point);
        else
            path.moveTo(point);
        if (!before && !after) lone.push_back(point); // a day between gaps would not show as a line
    }
    p_.setBrush(Qt::NoBrush);
    p_.setPen(QPen(s.colour, pen_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p_.drawPath(path);
    p_.setPen(Qt::NoPen);
    p_.setBrush(s.colour);
    for (const QPointF& point : lone)
        p_.drawEllipse(point, pen_ * 1.5, pen_ * 1.5);
    p_.setBrush(Qt::NoBrush);
}

void Painter::Bars(const PanelLayout& panel, const SeriesShape& s, qreal fraction) {
    const AxisScale& scale = panel.Scale(s.axis);
    const qreal width = std::max(1.0, l_.DayWidth() * fraction);
    const qreal zero = panel.Y(scale, std::clamp(0.0, scale.low, scale.high));
    for (int i = 0; i < l_.days; ++i) {
        const std::optional<double>& v = series_.days[i].*s.measure;
        if (!v || *v == 0) continue;
        const qreal y = panel.Y(scale, *v);
        p_.fillRect(QRectF(l_.DayCentre(i) - width / 2, std::min(y, zero), width, std::abs(zero - y)),
                    s.colour);
    }
}

void Painter::MonthAxis(const PanelLayout& bottom) {
    p_.setFont(fonts_.small);
    const qreal tick = fh_ * 0.3;
    const qreal h = QFontMetricsF(fonts_.small).height();
    const qreal y = bottom.box.bottom();
    for (const MonthSpan& month : l_.months) {
        p_.setPen(QPen(FRAME, 1));
        p_.drawLine(QPointF(month.right, y), QPointF(month.right, y + tick));
        p_.setPen(INK);
        p_.drawText(QRectF(month.left, y + tick, month.right - month.left, h * 1.2), Qt::AlignCenter,
                    plot_text::MonthLabel(month.month));
    }
}

void Painter::Paint(const std::vector<PanelShape>& shapes, const QString& title) {
    p_.save();
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setRenderHint(QPainter::TextAntialiasing, true);
    p_.fillRect(l_.area, Qt::white);
    TitleRow(title);
    TotalsAndKeys();
    for (const PanelLayout& panel : l_.panels)
        Backdrop(panel);
    p_.save();
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        p_.setClipRect(l_.panels[i].box);
        for (const SeriesShape& s : shapes[i].series) {
            if (s.style == SeriesStyle::Bars)
                Bars(l_.panels[i], s, 0.8);
            else
                Line(l_.panels[i], s);
        }
    }
    p_.restore();
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        Axes(l_.panels[i], shapes[i]);
        Header(l_.panels[i], shapes[i]);
    }
    if (!l_.panels.empty()) {
        MonthAxis(l_.panels.back());
        SuspectMarks(l_.panels.back());
    }
    PickedDay();
    p_.restore();
}

int WriteEncoded(const QByteArray& bytes, const std::string& path) {
    return WriteFileAtomically(path,
                               std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace

PlotLayout YearPlotLayout(const YearSeries& series, const QRectF& area, const PlotRanges* ranges) {
    const PlotFonts fonts(PlotSizesFor(area.size()));
    return LayOutYearPlot(YearPanels(), series, area, fonts.Measure(), ranges);
}

void PaintYearPlot(QPainter& painter, const QRectF& area, const YearSeries& series, const QString& title,
                   const PlotRanges* ranges, int pickedDay) {
    const PlotFonts fonts(PlotSizesFor(area.size()));
    const PlotLayout layout = LayOutYearPlot(YearPanels(), series, area, fonts.Measure(), ranges);
    Painter(painter, layout, fonts, series, pickedDay).Paint(YearPanels(), title);
}

int SaveYearPlotPng(const YearSeries& series, const QString& title, const std::string& path, QSize size,
                    const PlotRanges* ranges) {
    if (size.isEmpty()) return EINVAL;
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintYearPlot(painter, QRectF(QPointF(0, 0), QSizeF(size)), series, title, ranges);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return EIO;
    return WriteEncoded(bytes, path);
}

int SaveYearPlotSvg(const YearSeries& series, const QString& title, const std::string& path, QSize size,
                    const PlotRanges* ranges) {
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
        PaintYearPlot(painter, QRectF(QPointF(0, 0), QSizeF(size)), series, title, ranges);
    }
    return WriteEncoded(bytes, path);
#else
    (void)series, (void)title, (void)path, (void)size, (void)ranges;
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
