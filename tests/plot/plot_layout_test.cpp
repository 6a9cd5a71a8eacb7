#include "plot/PlotLayout.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

// Made-up metrics: 10 pixels a character, fixed line heights.
TextMeasure FixedMeasure() {
    return {[](PlotFont f) { return f == PlotFont::Title   ? 26.0
                                    : f == PlotFont::Small ? 18.0
                                                           : 20.0; },
            [](PlotFont, const QString& text) { return 10.0 * text.size(); }};
}

// A leap year with a value for every measure every day, every day complete.
YearSeries FullYear() {
    YearSeries series = EmptyYearSeries(2024);
    series.qualityKnown = true;
    for (SeriesDay& d : series.days) {
        d.tempMax = 25.0;
        d.temp = 5.0;
        d.tempMin = -15.0;
        d.precip = 3.0;
        d.solar = 20.0;
        d.sunshine = 6.0;
        d.evaporation = 4.0;
        d.dayClass = DayClass::Complete;
    }
    return series;
}

const QRectF AREA(0, 0, 1600, 1000);

TEST(PlotLayout, PanelsStackOverOneTimeAxisWithTheirOwnScales) {
    const PlotLayout l = LayOutYearPlot(YearPanels(), FullYear(), AREA, FixedMeasure());
    ASSERT_EQ(l.days, 366);
    EXPECT_DOUBLE_EQ(l.DayLeft(0), l.x0);
    EXPECT_DOUBLE_EQ(l.DayLeft(366), l.x1);
    EXPECT_NEAR(l.DayCentre(59) - l.DayLeft(59), l.DayWidth() / 2, 1e-9);
    // Room on the left for the widest tick label ("150" of the rain axis) and on the right for the
    // sunshine axis's.
    EXPECT_GE(l.x0 - AREA.left(), 30);
    EXPECT_GE(AREA.right() - l.x1, 20);
    EXPECT_LT(l.titleRow.bottom(), l.panels[0].header.top() + 1e-9);

    ASSERT_EQ(l.panels.size(), YearPanels().size());
    for (std::size_t i = 0; i < l.panels.size(); ++i) {
        SCOPED_TRACE(i);
        const PanelLayout& p = l.panels[i];
        EXPECT_DOUBLE_EQ(p.box.left(), l.x0);
        EXPECT_DOUBLE_EQ(p.box.right(), l.x1);
        EXPECT_DOUBLE_EQ(p.header.bottom(), p.box.top());
        if (i > 0) {
            EXPECT_GT(p.header.top(), l.panels[i - 1].box.bottom());
        }
        // Heights in the ratio of the weights.
        EXPECT_NEAR(p.box.height() / l.panels[0].box.height(),
                    YearPanels()[i].weight / YearPanels()[0].weight, 1e-9);
        // The ticks run from the bottom of the box to its top, and the data lies inside.
        ASSERT_GE(p.left.ticks.size(), 3u);
        EXPECT_DOUBLE_EQ(p.left.ticks.front().y, p.box.bottom());
        EXPECT_NEAR(p.left.ticks.back().y, p.box.top(), 1e-9);
        EXPECT_FALSE(p.empty);
        EXPECT_EQ(p.right.has_value(), YearPanels()[i].right.has_value());
    }
    EXPECT_LT(l.panels.back().box.bottom(), AREA.bottom() - 18);

    const PanelLayout& temp = l.panels[0];
    EXPECT_LE(temp.left.scale.low, -15);
    EXPECT_GE(temp.left.scale.high, 25);
    EXPECT_GT(temp.left.scale.low, -30); // no stretch to 0 or beyond
    EXPECT_EQ(temp.left.ticks.front().text, QStringLiteral("−20"));
    // The sunshine ticks sit on the radiation grid lines.
    const PanelLayout& sun = l.panels[2];
    ASSERT_TRUE(sun.right);
    ASSERT_EQ(sun.right->ticks.size(), sun.left.ticks.size());
    for (std::size_t k = 0; k < sun.left.ticks.size(); ++k)
        EXPECT_NEAR(sun.right->ticks[k].y, sun.left.ticks[k].y, 1e-9);
    EXPECT_GE(sun.right->scale.high, 6);
    EXPECT_LT(sun.Y(sun.Scale(AxisSide::Right), 6), sun.box.bottom());

    // One span per month, edge to edge; 1 March of a leap year is day 60.
    ASSERT_EQ(l.months.size(), 12u);
    ASSERT_EQ(l.monthStarts.size(), 11u);
    EXPECT_DOUBLE_EQ(l.months.front().left, l.x0);
    EXPECT_DOUBLE_EQ(l.months.back().right, l.x1);
    EXPECT_EQ(l.months[2].month, 3);
    EXPECT_DOUBLE_EQ(l.months[2].left, l.DayLeft(60));
    EXPECT_DOUBLE_EQ(l.monthStarts[1], l.DayLeft(60));
    for (std::size_t m = 1; m < l.months.size(); ++m)
        EXPECT_DOUBLE_EQ(l.months[m].left, l.months[m - 1].right);
}

TEST(PlotLayout, BandsAndKeysFollowTheDaysClasses) {
    YearSeries series = FullYear();
    for (int i : {10, 11, 12})
        series.days[i].dayClass = DayClass::QuasiNormal;
    series.days[20].dayClass = DayClass::Insufficient;
    series.days[365].dayClass = DayClass::NoData;
    series.days[30].dayClass = DayClass::Kept;
    series.days[31].dayClass = DayClass::Kept;
    PlotLayout l = LayOutYearPlot(YearPanels(), series, AREA, FixedMeasure());
    EXPECT_EQ(l.incomplete, (std::vector<DayRange>{{10, 13}, {20, 21}, {365, 366}}));
    EXPECT_EQ(l.kept, (std::vector<DayRange>{{30, 32}}));

    // Right to left: the kept days' key, then the incomplete days', each text right of its swatch.
    ASSERT_EQ(l.keys.size(), 2u);
    EXPECT_EQ(l.keys[0].text, QStringLiteral("既存の値の日（時間数不明）"));
    EXPECT_EQ(l.keys[0].colour, colour::KEPT_SHADE);
    EXPECT_EQ(l.keys[1].text, QStringLiteral("完全でないデータの日"));
    EXPECT_EQ(l.keys[1].colour, colour::SHADE);
    EXPECT_DOUBLE_EQ(l.keys[0].label.right(), l.titleRow.right());
    for (const ShadeKey& key : l.keys) {
        EXPECT_LT(key.swatch.right(), key.label.left());
        EXPECT_TRUE(l.titleRow.contains(key.swatch));
    }
    EXPECT_LT(l.keys[1].label.right(), l.keys[0].swatch.left());

    // Without the companion file only gaps are known, and the key says so.
    series.qualityKnown = false;
    for (SeriesDay& d : series.days)
        d.dayClass = std::nullopt;
    series.days[100] = EmptyYearSeries(2024).days[100];
    l = LayOutYearPlot(YearPanels(), series, AREA, FixedMeasure());
    EXPECT_EQ(l.incomplete, (std::vector<DayRange>{{100, 101}}));
    EXPECT_TRUE(l.kept.empty());
    ASSERT_EQ(l.keys.size(), 1u);
    EXPECT_EQ(l.keys[0].text, QStringLiteral("欠測の日（品質ファイルなし）"));

    // Nothing shaded, nothing keyed.
    l = LayOutYearPlot(YearPanels(), FullYear(), AREA, FixedMeasure());
    EXPECT_TRUE(l.incomplete.empty());
    EXPECT_TRUE(l.keys.empty());
}

TEST(PlotLayout, EmptyYearAndTinyAreaStillHaveAxes) {
    const YearSeries empty = EmptyYearSeries(2025);
    for (const QRectF& area : {AREA, QRectF(0, 0, 320, 200), QRectF(0, 0, 10, 10)}) {
        SCOPED_TRACE(area.width());
        const PlotLayout l = LayOutYearPlot(YearPanels(), empty, area, FixedMeasure());
        EXPECT_EQ(l.days, 365);
        EXPECT_EQ(l.incomplete, (std::vector<DayRange>{{0, 365}}));
        for (const PanelLayout& p : l.panels) {
            EXPECT_TRUE(p.empty);
            EXPECT_GE(p.box.height(), 0);
            EXPECT_LT(p.left.scale.low, p.left.scale.high);
        }
    }
    const PlotLayout l = LayOutYearPlot(YearPanels(), empty, AREA, FixedMeasure());
    EXPECT_EQ(l.panels[0].left.scale.high, 30); // the axes of a year without values
    EXPECT_EQ(l.panels[3].left.scale.high, 5);
    EXPECT_EQ(l.panels[2].right->scale.high, 12);
}

TEST(PlotLayout, NiceScales) {
    struct Case {
        double low, high;
        bool includeZero;
        double scaleLow, scaleHigh, step;
    };
    // 0 is always on a rain axis; a value on a tick adds no empty step.
    for (const Case& c : {Case{-4.3, 34.1, false, -10, 40, 10}, Case{3, 126, true, 0, 150, 50},
                          Case{0.12, 0.83, true, 0, 1.0, 0.2}, Case{0, 30, true, 0, 30, 10}}) {
        SCOPED_TRACE(::testing::Message() << c.low << " " << c.high);
        const AxisScale scale = NiceScale(c.low, c.high, c.includeZero);
        EXPECT_DOUBLE_EQ(scale.low, c.scaleLow);
        EXPECT_DOUBLE_EQ(scale.high, c.scaleHigh);
        EXPECT_DOUBLE_EQ(scale.step, c.step);
    }
    // A year of one value still has an axis with height.
    for (const AxisScale& flat : {NiceScale(0, 0, true), NiceScale(12, 12, false), NiceScale(-2, -2, true)}) {
        EXPECT_LT(flat.low, flat.high);
        EXPECT_GT(flat.step, 0);
    }
    EXPECT_EQ(NiceScale(0, 0, true).low, 0);
    EXPECT_EQ(TickTexts({0, 1, 0.25}), QStringLiteral("0.00,0.25,0.50,0.75,1.00").split(u','));
}

} // namespace
} // namespace kolvane
