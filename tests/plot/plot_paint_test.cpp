#include "PlotSamples.h"
#include "model/FileIo.h"
#include "model/Text.h"
#include "plot/PlotFile.h"
#include "plot/PlotPanels.h"
#include "plot/YearPlot.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

#include <QImage>
#include <QPainter>
#include <QSet>
#include <cerrno>
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

namespace kolvane {
namespace {

const QSize SIZE(1600, 1000);

// 2023 with flat lines far apart and off the grid: highest 25, mean 5, lowest -15 °C; rain 0 (no bars)
// but on day 60;
// every day complete but where a test says otherwise.
YearSeries FlatYear() {
    YearSeries series = testing::CompleteYear(2023, 0.0, 11.0, 0.0, 3.3);
    series.days[60].precip = 8.0;
    return series;
}

QImage Paint(const YearSeries& series) {
    QImage image(SIZE, QImage::Format_RGB32);
    QPainter painter(&image);
    PaintYearPlot(painter, QRectF(QPointF(0, 0), QSizeF(SIZE)), series, QStringLiteral("2023年"));
    return image;
}

int Distance(QRgb a, const QColor& b) {
    return std::max(
        {std::abs(qRed(a) - b.red()), std::abs(qGreen(a) - b.green()), std::abs(qBlue(a) - b.blue())});
}

// Whether a line of `colour` crosses column x within a pixel of height y (lines are antialiased).
bool LineAt(const QImage& image, qreal x, qreal y, const QColor& colour) {
    for (int row = static_cast<int>(std::floor(y)) - 1; row <= static_cast<int>(std::ceil(y)) + 1; ++row)
        if (Distance(image.pixel(static_cast<int>(x), row), colour) <= 40) return true;
    return false;
}

QColor At(const QImage& image, qreal x, qreal y) {
    return image.pixelColor(static_cast<int>(x), static_cast<int>(y));
}

TEST(YearPlotPaint, ShadesLinesAndBarsAreDrawnFromTheirOwnDaysAndGapsStayEmpty) {
    // Five days of each class from the first day given, and their shade.
    const std::tuple<int, DayClass, QColor> bands[] = {
        {100, DayClass::QuasiNormal, colour::QUASI_SHADE},
        {120, DayClass::Insufficient, colour::INSUFFICIENT_SHADE},
        {140, DayClass::NoData, colour::MISSING_SHADE},
        {200, DayClass::Kept, colour::KEPT_SHADE}};
    YearSeries series = FlatYear();
    for (const auto& [first, dayClass, shade] : bands)
        for (int i = first; i < first + 5; ++i)
            series.days[i].dayClass = dayClass;
    for (int i = 150; i < 155; ++i)
        series.days[i].tempMin.reset();
    const QImage image = Paint(series);
    const PlotLayout l = YearPlotLayout(series, QRectF(QPointF(0, 0), QSizeF(SIZE)));

    // Behind every panel, just below the frame: above every value of this year and clear of the grid.
    for (std::size_t i = 0; i < l.panels.size(); ++i) {
        SCOPED_TRACE(i);
        const qreal y = l.panels[i].box.top() + 4;
        for (const auto& [first, dayClass, shade] : bands)
            EXPECT_EQ(At(image, l.DayCentre(first + 2), y), shade);
        EXPECT_EQ(At(image, l.DayCentre(150), y), QColor(Qt::white));
    }
    ASSERT_EQ(l.keys.size(), 4u);
    for (const ShadeKey& key : l.keys)
        EXPECT_EQ(At(image, key.swatch.center().x(), key.swatch.center().y()), key.colour);

    const PanelLayout& temp = l.panels[0];
    const AxisScale& t = temp.left.scale;
    const qreal x = l.DayCentre(50);
    EXPECT_TRUE(LineAt(image, x, temp.Y(t, 25), colour::TEMP_MAX));
    EXPECT_TRUE(LineAt(image, x, temp.Y(t, 5), colour::TEMP_MEAN));
    EXPECT_TRUE(LineAt(image, x, temp.Y(t, -15), colour::TEMP_MIN));
    // A day without a value leaves a gap in its line only.
    EXPECT_FALSE(LineAt(image, l.DayCentre(152), temp.Y(t, -15), colour::TEMP_MIN));
    EXPECT_TRUE(LineAt(image, l.DayCentre(152), temp.Y(t, 25), colour::TEMP_MAX));

    const PanelLayout& rain = l.panels[1];
    EXPECT_EQ(At(image, l.DayCentre(60), rain.Y(rain.left.scale, 4)), colour::PRECIP);
    EXPECT_EQ(At(image, l.DayCentre(61), rain.Y(rain.left.scale, 4)), QColor(Qt::white));
    const PanelLayout& sun = l.panels[2];
    EXPECT_TRUE(LineAt(image, x, sun.Y(sun.left.scale, 11), colour::SOLAR));
    const PanelLayout& evaporation = l.panels[3];
    EXPECT_TRUE(LineAt(image, x, evaporation.Y(evaporation.left.scale, 3.3), colour::EVAPORATION));
}

QImage SavedImage(const std::string& path) {
    QImage image;
    image.load(QString::fromStdString(path));
    return image;
}

int DistinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

// The full year's PNG and SVG are the year view's to save; here the edges.
TEST(YearPlotFile, SavesAnEmptyYearAsPngAndSvgAndAFailedWriteLeavesNothing) {
    const testing::TempFolder temp;
    const std::string folder = temp.folder();
    const YearSeries empty = EmptyYearSeries(2025);
    // Group and bucket differ, so that a title with the two swapped is seen.
    const QString title = QString::fromStdString(YearPlotTitle(2025, {"03", "12"}));
    EXPECT_EQ(title, QStringLiteral("2025年　グループID 03・バケットID 12"));

    // A year of all "X" is drawn (axes, months and a note), as small as a window can make it.
    ASSERT_EQ(SaveYearPlotPng(empty, title, folder + "empty.png", QSize(320, 200)), 0);
    const QImage blank = SavedImage(folder + "empty.png");
    EXPECT_EQ(blank.size(), QSize(320, 200));
    EXPECT_GT(DistinctColours(blank), 2);

    // A failed write leaves neither a file nor a temporary one.
    EXPECT_EQ(SaveYearPlotPng(empty, title, folder + "no/such/folder.png", QSize(400, 300)), ENOENT);
    EXPECT_EQ(SaveYearPlotPng(empty, title, folder + "zero.png", QSize(0, 300)), EINVAL);
    std::vector<std::string> names;
    ASSERT_EQ(ListRegularFiles(folder, names), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"empty.png"}));

    if (!CanSaveYearPlotSvg()) GTEST_SKIP() << "built without Qt SVG";
    ASSERT_EQ(SaveYearPlotSvg(empty, title, folder + "empty.svg", QSize(320, 200)), 0);
    const QString svg = QString::fromStdString(temp.Read(folder + "empty.svg"));
    EXPECT_TRUE(svg.contains(QStringLiteral("<title>%1</title>").arg(title)));
    EXPECT_TRUE(svg.contains(QStringLiteral("降水量"))); // painted, not only titled
}

TEST(YearPlotFile, DrawsOnTheScaleOfTheStationsFilesBesideIt) {
    const testing::TempFolder folder;
    const std::string yearly = folder.Write("Y2024_0312.csv", EncodeCp932(testing::YearlyText(2024, 0)));
    // A wetter, hotter year of the station; another station's and an unreadable file change nothing.
    const std::string wet = testing::YEARLY_HEADER +
                            "\r\n\"23/07/01\",200.0,30.0,41.0,20.0,70.0,1013.0,N,2.0,5.0,N,20.00,3.0,"
                            "8.0,12.0,8.00,4.0,9.0\r\n";
    folder.Write("Y2023_0312.csv", EncodeCp932(wet));
    folder.Write("Y2022_0313.csv", EncodeCp932(wet));
    folder.Write("Y2021_0312.csv", "\x01 garbage\r\n1,2\r\n");

    PlotYearlyFile(yearly, folder.File("plot.png"));
    const YearSeries series = ReadYearSeries(yearly, 2024);
    const YearSeries wetYear = BuildYearSeries(EncodeCp932(wet), "Y2023_0312.csv", 2023);
    const PlotRanges ranges = RangesOf(YearPanels(), {series, wetYear});
    // Titled from the file's name.
    const QString title = QString::fromStdString(YearPlotTitle(2024, {"03", "12"}));
    ASSERT_EQ(SaveYearPlotPng(series, title, folder.File("shared.png"), YEAR_PLOT_SAVE_SIZE, &ranges), 0);
    ASSERT_EQ(SaveYearPlotPng(series, title, folder.File("own.png"), YEAR_PLOT_SAVE_SIZE), 0);
    const std::string shared = folder.Read(folder.File("shared.png"));
    EXPECT_NE(shared, folder.Read(folder.File("own.png")));
    EXPECT_EQ(folder.Read(folder.File("plot.png")), shared);
}

} // namespace
} // namespace kolvane
