#include "PlotSamples.h"
#include "plot/PlotLayout.h"

#include <gtest/gtest.h>

#include <tuple>

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
    return testing::CompleteYear(2024, 3.0, 20.0, 6.0, 4.0);
}

const QRectF AREA(0, 0, 1600, 1000);

TEST(PlotLayout, PanelsStackOverOneTimeAxisWithTheirOwnScales) {
    const PlotLayout l = LayOutYearPlot(YearPanels(), FullYear(), AREA, FixedMeasure());
    ASSERT_EQ(l.days, 366);
    // Room on the left for the widest tick label ("150" of the rain axis) and on the right for the
    // sunshine axis's.
    EXPECT_GE(l.x0 - AREA.left(), 30);
    EXPECT_GE(AREA.right() - l.x1, 20);

    ASSERT_EQ(l.panels.size(), YearPanels().size());
    for (std::size_t i = 0; i < l.panels.size(); ++i) {
        SCOPED_TRACE(i);
        const PanelLayout& p = l.panels[i];
        if (i > 0) {
            EXPECT_GT(p.header.top(), l.panels[i - 1].box.bottom());
        }
        // The ticks run from the bottom of the box to its top, and the data lies inside.
        ASSERT_GE(p.left.ticks.size(), 3u);
        EXPECT_DOUBLE_EQ(p.left.ticks.front().y, p.box.bottom());
        EXPECT_NEAR(p.left.ticks.back().y, p.box.top(), 1e-9);
        EXPECT_FALSE(p.empty);
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
    EXPECT_EQ(l.months[2].month, 3);
    EXPECT_DOUBLE_EQ(l.months[2].left, l.DayLeft(60));
    EXPECT_DOUBLE_EQ(l.monthStarts.at(1), l.DayLeft(60));
    for (std::size_t m = 1; m < l.months.size(); ++m)
        EXPECT_DOUBLE_EQ(l.months[m].left, l.months[m - 1].right);
}

std::vector<DayRange> BandsOf(const PlotLayout& l, const QColor& colour) {
    for (const Shade& shade : l.shades)
        if (shade.colour == colour) return shade.bands;
    return {};
}

using Keys = std::vector<std::pair<QString, QColor>>;

// The keys' texts and colours, left to right, each clear of the one before.
Keys KeysOf(const PlotLayout& l) {
    Keys keys;
    for (std::size_t k = 0; k < l.keys.size(); ++k) {
        keys.emplace_back(l.keys[k].text, l.keys[k].colour);
        if (k > 0) {
            EXPECT_LT(l.keys[k].label.right(), l.keys[k - 1].swatch.left());
        }
    }
    return keys;
}

TEST(PlotLayout, ShadesAreGradedByClassSuspectDaysMarkedAndEachHasOneKey) {
    YearSeries series = FullYear();
    for (int i : {10, 11, 12})
        series.days[i].dayClass = DayClass::QuasiNormal;
    series.days[20].dayClass = DayClass::Insufficient;
    series.days[365].dayClass = DayClass::NoData;
    series.days[30].dayClass = DayClass::Kept;
    series.days[31].dayClass = DayClass::Kept;
    PlotLayout l = LayOutYearPlot(YearPanels(), series, AREA, FixedMeasure());
    EXPECT_EQ(BandsOf(l, colour::QUASI_SHADE), (std::vector<DayRange>{{10, 13}}));
    EXPECT_EQ(BandsOf(l, colour::INSUFFICIENT_SHADE), (std::vector<DayRange>{{20, 21}}));
    EXPECT_EQ(BandsOf(l, colour::MISSING_SHADE), (std::vector<DayRange>{{365, 366}}));
    EXPECT_EQ(BandsOf(l, colour::KEPT_SHADE), (std::vector<DayRange>{{30, 32}}));
    // Read left to right: lightest to darkest, then the kept days. No suspect day, no mark and no key.
    EXPECT_EQ(KeysOf(l), (Keys{{QStringLiteral("既存（時間数不明）"), colour::KEPT_SHADE},
                               {QStringLiteral("欠測"), colour::MISSING_SHADE},
                               {QStringLiteral("資料不足"), colour::INSUFFICIENT_SHADE},
                               {QStringLiteral("準正常"), colour::QUASI_SHADE}}));
    EXPECT_TRUE(l.suspectDays.empty());
    EXPECT_FALSE(l.suspectKey);

    // A clean year with a few quasi-normal days has only their light shade and key; its suspect days
    // have a key of their own, left of the shades' keys.
    series = FullYear();
    series.days[40].dayClass = DayClass::QuasiNormal;
    for (int i : {0, 199, 365})
        series.days[i].suspect = i == 199 ? 1 : 3;
    l = LayOutYearPlot(YearPanels(), series, AREA, FixedMeasure());
    EXPECT_EQ(l.shades.size(), 1u);
    EXPECT_EQ(BandsOf(l, colour::QUASI_SHADE), (std::vector<DayRange>{{40, 41}}));
    EXPECT_EQ(KeysOf(l), (Keys{{QStringLiteral("準正常"), colour::QUASI_SHADE}}));
    EXPECT_EQ(l.suspectDays, (std::vector<int>{0, 199, 365}));
    ASSERT_TRUE(l.suspectKey);
    EXPECT_EQ(l.suspectKey->text, QStringLiteral("疑わしい値"));
    EXPECT_LT(l.suspectKey->label.right(), l.keys[0].swatch.left());
    // A mark stands on the bottom edge under its day, still visible where a day is a pixel wide.
    const qreal bottom = l.panels.back().box.bottom();
    const QRectF mark = l.SuspectMark(199, bottom).boundingRect();
    EXPECT_DOUBLE_EQ(mark.bottom(), bottom);
    EXPECT_NEAR(mark.center().x(), l.DayCentre(199), 1e-9);
    EXPECT_GE(mark.width(), l.lineHeight * 0.5);

    // Without the companion file only gaps are known, and the key says so.
    series.qualityKnown = false;
    for (SeriesDay& d : series.days)
        d.dayClass = std::nullopt;
    series.days[100] = EmptyYearSeries(2024).days[100];
    l = LayOutYearPlot(YearPanels(), series, AREA, FixedMeasure());
    EXPECT_EQ(BandsOf(l, colour::MISSING_SHADE), (std::vector<DayRange>{{100, 101}}));
    EXPECT_EQ(l.shades.size(), 1u);
    EXPECT_EQ(KeysOf(l), (Keys{{QStringLiteral("欠測（品質ファイルなし）"), colour::MISSING_SHADE}}));
}

TEST(PlotLayout, EmptyYearAndTinyAreaStillHaveAxes) {
    const YearSeries empty = EmptyYearSeries(2025);
    for (const QRectF& area : {AREA, QRectF(0, 0, 320, 200), QRectF(0, 0, 10, 10)}) {
        SCOPED_TRACE(area.width());
        const PlotLayout l = LayOutYearPlot(YearPanels(), empty, area, FixedMeasure());
        EXPECT_EQ(l.days, 365);
        EXPECT_EQ(BandsOf(l, colour::MISSING_SHADE), (std::vector<DayRange>{{0, 365}}));
        for (const PanelLayout& p : l.panels) {
            EXPECT_TRUE(p.empty);
            EXPECT_GE(p.box.height(), 0);
            EXPECT_LT(p.left.scale.low, p.left.scale.high);
        }
    }
}

TEST(PlotLayout, YearsOfAStationShareOneScaleUnlessTheirOwnIsAskedFor) {
    YearSeries hot = FullYear();
    hot.days[200].tempMax = 38.4;
    hot.days[200].precip = 142.0;
    hot.days[10].tempMin = -9.0;
    YearSeries cool = testing::CompleteYear(2025, 1.0, 9.0, 11.5, 1.0);
    for (SeriesDay& d : cool.days)
        std::tie(d.tempMax, d.temp, d.tempMin) = std::tuple(12.0, 8.0, 4.0);
    const PlotRanges ranges = RangesOf(YearPanels(), {hot, cool});
    const PlotLayout hotShared = LayOutYearPlot(YearPanels(), hot, AREA, FixedMeasure(), &ranges);
    const PlotLayout coolShared = LayOutYearPlot(YearPanels(), cool, AREA, FixedMeasure(), &ranges);

    // Shared: every axis the same, whichever year holds the extremes.
    for (std::size_t i = 0; i < YearPanels().size(); ++i) {
        SCOPED_TRACE(i);
        const PanelLayout& a = hotShared.panels[i];
        const PanelLayout& b = coolShared.panels[i];
        EXPECT_EQ(TickTexts(a.left.scale), TickTexts(b.left.scale));
        if (a.right && b.right) {
            EXPECT_EQ(TickTexts(a.right->scale), TickTexts(b.right->scale));
        }
    }
    // The cool year's axes reach the hot year's values; the sunshine axis the cool year's longer days.
    EXPECT_GE(coolShared.panels[0].left.scale.high, 38.4);
    EXPECT_LE(coolShared.panels[0].left.scale.low, -9.0);
    EXPECT_GE(coolShared.panels[1].left.scale.high, 142.0);
    EXPECT_GE(hotShared.panels[2].right->scale.high, 11.5);

    // A year missing from the ranges (a file written after they were taken) still fits on its axes.
    const PlotRanges coolOnly = RangesOf(YearPanels(), {cool});
    const PlotLayout stale = LayOutYearPlot(YearPanels(), hot, AREA, FixedMeasure(), &coolOnly);
    EXPECT_GE(stale.panels[0].left.scale.high, 38.4);
    EXPECT_GE(stale.panels[1].left.scale.high, 142.0);
}

TEST(PlotLayout, TotalsOfTheYear) {
    YearSeries series = FullYear(); // 366 days of 3.0 mm, 5.0 °C, 6.0 h and 4.0 mm
    series.days[0].temp = 6.83;
    series.days[214].tempMax = 36.25; // 2 August
    series.days[215].tempMax = 36.25; // a tie: the first day is named
    series.days[19].tempMin = -15.5;  // 20 January
    for (int i = 300; i < 310; ++i)
        series.days[i].precip.reset();
    series.days[50].evaporation.reset();
    const PlotLayout l = LayOutYearPlot(YearPanels(), series, AREA, FixedMeasure());
    EXPECT_EQ(l.totals,
              QStringLiteral("年降水量 1068.0 mm（356日分）　平均気温 5.0 °C　最高 36.3 °C（8/2）　"
                             "最低 −15.5 °C（1/20）　日照時間 2196.0 h　水面蒸発量 1460.0 mm（365日分）"));
    EXPECT_EQ(l.totalsFont, PlotFont::Text);
    EXPECT_GT(l.totalsRow.top(), l.titleRow.top());
    EXPECT_LE(l.totalsRow.bottom(), l.panels[0].header.top() + 1e-9);

    // A year without a value names every figure as missing, and a mean of -0.04 is no "−0.0".
    EXPECT_EQ(YearTotalsText(SummariseYear(EmptyYearSeries(2025))),
              QStringLiteral("年降水量 —　平均気温 —　最高 —　最低 —　日照時間 —　水面蒸発量 —"));
    YearSeries cold = EmptyYearSeries(2025);
    cold.days[0].temp = -0.04;
    EXPECT_TRUE(YearTotalsText(SummariseYear(cold)).contains(QStringLiteral("平均気温 0.0 °C（1日分）")));
    // A year still being observed: every figure from the same days, said once. In a narrow plot the
    // line takes the small font.
    YearSeries spring = FullYear();
    for (int i = 90; i < 366; ++i)
        spring.days[i] = EmptyYearSeries(2024).days[i];
    const PlotLayout narrow = LayOutYearPlot(YearPanels(), spring, QRectF(0, 0, 900, 600), FixedMeasure());
    EXPECT_EQ(narrow.totals, QStringLiteral("年降水量 270.0 mm　平均気温 5.0 °C　最高 25.0 °C（1/1）　最低 "
                                            "−15.0 °C（1/1）　日照時間 540.0 h　水面蒸発量 360.0 mm　"
                                            "（366日のうち値のある90日分）"));
    EXPECT_EQ(narrow.totalsFont, PlotFont::Small);

    // Halves round away from zero as the yearly file rounds, though 0.15 is a shade under in binary.
    cold.days[0].temp = 0.15;
    EXPECT_TRUE(YearTotalsText(SummariseYear(cold)).contains(QStringLiteral("平均気温 0.2 °C（1日分）")));
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
