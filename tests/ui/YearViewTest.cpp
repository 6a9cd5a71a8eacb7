#include "UiTestSupport.h"

#include "model/FileIo.h"
#include "model/Text.h"
#include "plot/YearPlot.h"
#include "support/Samples.h"
#include "ui/YearView.h"

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <cerrno>

namespace kolvane::testing {
namespace {

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

TEST(YearPlot, NiceScales) {
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
}

TEST(YearPlot, SavesPngAndSvgOfAnyYear) {
    QTemporaryDir temp;
    const std::string folder = temp.path().toStdString() + "/";
    const YearSeries full = BuildYearSeries(EncodeCp932(YearlyText(2024, 6)), "Y2024_0101.csv", 2024);
    const YearSeries empty = EmptyYearSeries(2025);
    const QString title = QStringLiteral("2024年　グループID 01・バケットID 01");

    ASSERT_EQ(SaveYearPlotPng(full, title, folder + "full.png", QSize(1200, 800)), 0);
    const QImage image = SavedImage(folder + "full.png");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(1200, 800));
    EXPECT_GT(DistinctColours(image), 20);

    // A year of all "X" is drawn (axes, months and a note), as small as a window can make it.
    ASSERT_EQ(SaveYearPlotPng(empty, title, folder + "empty.png", QSize(320, 200)), 0);
    const QImage blank = SavedImage(folder + "empty.png");
    EXPECT_EQ(blank.size(), QSize(320, 200));
    EXPECT_GT(DistinctColours(blank), 2);

    // A failed write leaves neither a file nor a temporary one.
    EXPECT_EQ(SaveYearPlotPng(full, title, folder + "no/such/folder.png", QSize(400, 300)), ENOENT);
    EXPECT_EQ(SaveYearPlotPng(full, title, folder + "zero.png", QSize(0, 300)), EINVAL);
    std::vector<std::string> names;
    ASSERT_EQ(ListRegularFiles(folder, names), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"empty.png", "full.png"}));

    if (!CanSaveYearPlotSvg()) GTEST_SKIP() << "built without Qt SVG";
    ASSERT_EQ(SaveYearPlotSvg(full, title, folder + "full.svg", QSize(1200, 800)), 0);
    std::string svg;
    ASSERT_EQ(ReadWholeFile(folder + "full.svg", svg), 0);
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(QString::fromStdString(svg).indexOf(QStringLiteral("降水量")), -1);
}

class YearViewTest : public UiFixture {
  protected:
    std::string Output() const { return Folder("out"); }
    std::string Monthly() const { return Folder("monthly"); }
    std::unique_ptr<YearView> Open(int preferredYear) {
        auto view = std::make_unique<YearView>(answers, std::vector<std::string>{Output(), Monthly()},
                                               StationKey{"01", "01"});
        opened = view->ShowYear(preferredYear);
        return view;
    }

    ScriptedDialogs answers;
    bool opened = false;
};

TEST_F(YearViewTest, ShowsTheChosenYearAndSavesThroughTheDialog) {
    WriteFile(Output() + "Y2024_0101.csv", YearlyText(2024, 0));
    WriteFile(Monthly() + "Y2024_0101.csv", "garbage"); // the output folder's file is the one shown
    WriteFile(Monthly() + "Y2023_0101.csv", YearlyText(2023, 2));
    auto view = Open(2024);
    ASSERT_TRUE(opened);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("グラフ - Y2024_0101.csv"));
    auto* years = Child<QComboBox>(view.get(), "cboYear");
    EXPECT_EQ(Texts(years), Strings({"2023年", "2024年"}));
    EXPECT_EQ(years->currentText(), QStringLiteral("2024年"));
    ASSERT_TRUE(view->series());
    EXPECT_EQ(view->series()->days.size(), 366u);

    years->setCurrentIndex(0);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("グラフ - Y2023_0101.csv"));
    ASSERT_TRUE(view->series());
    EXPECT_EQ(view->series()->days.size(), 365u);
    EXPECT_FALSE(view->series()->days[40].temp); // February is "X"

    const QString target = QString::fromStdString(Folder("saved") + "year.png");
    answers.saveAnswers = {QString(), target}; // cancelled once, then a name
    auto* save = Child<QPushButton>(view.get(), "cmdSavePng");
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(target));
    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_EQ(answers.saveRequests.size(), 2u);
    EXPECT_EQ(answers.saveRequests[0].suggestedPath, QString::fromStdString(Monthly() + "Y2023_0101.png"));
    EXPECT_EQ(answers.saveRequests[0].filter, QStringLiteral("PNG 画像 (*.png)"));
    EXPECT_EQ(SavedImage(target.toStdString()).size(), YEAR_PLOT_SAVE_SIZE);
    EXPECT_TRUE(answers.messages.isEmpty()) << answers.messages.join(u'\n').toStdString();

    const QString nowhere = QString::fromStdString(Folder("saved") + "gone/year.png");
    answers.saveAnswers = {nowhere};
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(answers.messages,
              QStringList{ErrorLine(
                  QStringLiteral("グラフを「%1」に保存できません（ファイルまたはフォルダが見つかりません）。")
                      .arg(nowhere))});

    auto* svg = view->findChild<QPushButton*>(QStringLiteral("cmdSaveSvg"));
    EXPECT_EQ(svg != nullptr, CanSaveYearPlotSvg()); // the button only where SVG can be written
    if (svg) {
        const QString svgTarget = QString::fromStdString(Folder("saved") + "year.svg");
        answers.saveAnswers = {svgTarget};
        QTest::mouseClick(svg, Qt::LeftButton);
        EXPECT_EQ(answers.saveRequests.back().suggestedPath,
                  QString::fromStdString(Monthly() + "Y2023_0101.svg"));
        EXPECT_TRUE(QFile::exists(svgTarget));
    }
}

TEST_F(YearViewTest, GarbageYearlyFileOrNoFileIsSaid) {
    WriteFile(Output() + "Y2024_0101.csv", "\x01\x02 これは年次ファイルではない\r\n1,2,3\r\n");
    auto view = Open(2030); // no such year: the latest is shown
    ASSERT_TRUE(opened);
    EXPECT_FALSE(view->series());
    ASSERT_EQ(answers.messages.size(), 1);
    EXPECT_TRUE(
        answers.messages[0].startsWith(ErrorLine(QStringLiteral("グラフを表示できません。\n年次ファイル「"))))
        << answers.messages[0].toStdString();
    EXPECT_TRUE(answers.messages[0].contains(QString::fromStdString(Output() + "Y2024_0101.csv")));
    EXPECT_FALSE(Child<QPushButton>(view.get(), "cmdSavePng")->isEnabled());
    view->grab(); // the plot area paints without a series

    answers.messages.clear();
    ScriptedDialogs other;
    YearView* none = ShowYearView(nullptr, other, {Folder("empty")}, StationKey{"01", "01"}, 2024);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(other.messages, QStringList{ErrorLine(QStringLiteral(
                                  "グループID 01・バケットID 01 の年次ファイルが見つかりません。"))});
}

} // namespace
} // namespace kolvane::testing
