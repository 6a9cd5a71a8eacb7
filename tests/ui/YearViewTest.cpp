#include "UiTestSupport.h"

#include "checks/FindingsFile.h"
#include "engine/RunLog.h"
#include "formats/QualityFile.h"
#include "model/FileIo.h"
#include "model/Text.h"
#include "plot/PlotFile.h"
#include "plot/YearPlot.h"
#include "ui/PathLabel.h"
#include "ui/YearView.h"

#include <QCheckBox>
#include <QFile>
#include <QPainter>
#include <QPointer>
#include <QScopeGuard>
#include <QScreen>
#include <QTableWidget>

namespace kolvane::testing {
namespace {

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
    // The sample yearly file of 2024 in the output folder; of 2023, February missing, in the monthly.
    void WriteYears(bool with2023 = true) {
        WriteFile(Output() + "Y2024_0101.csv", YearlyText(2024, 0));
        if (with2023) WriteFile(Monthly() + "Y2023_0101.csv", YearlyText(2023, 2));
    }

    ScriptedDialogs answers;
    bool opened = false;
};

TEST_F(YearViewTest, ShowsTheYearAskedForOrElseTheLatestTitledWithItsLatitudeAndSavesIt) {
    WriteYears();
    WriteFile(Monthly() + "Y2024_0101.csv", "garbage"); // the output folder's file is the one shown
    // The title takes the last line for each file, in the log of the file's own folder.
    const auto line = [](const char* file, const char* latitude) {
        return FormatRunLogLine({"2025/01/01 00:00:00", file, "0101", "01", latitude, "kolvane 0.1.0"});
    };
    ASSERT_EQ(AppendRunLog(Output(), line("Y2024_0101.csv", "35:30:00") + line("Y2023_0101.csv", "40:00:00") +
                                         line("Y2024_0101.csv", "36.25")),
              0);
    ASSERT_EQ(AppendRunLog(Monthly(), line("Y2023_0101.csv", "41:02:03")), 0);
    auto view = Open(2023);
    ASSERT_TRUE(opened);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("グラフ - Y2023_0101.csv"));
    EXPECT_EQ(view->plotTitle(), QStringLiteral("2023年　グループID 01・バケットID 01　緯度 41:02:03"));
    auto* years = Child<QComboBox>(view.get(), "cboYear");
    EXPECT_EQ(Texts(years), Strings({"2023年", "2024年"}));
    EXPECT_EQ(years->currentText(), QStringLiteral("2023年"));
    ASSERT_TRUE(view->series());
    EXPECT_FALSE(view->series()->days[40].temp); // February is "X"

    // A year without a file (the run wrote none): the latest, named in full wherever it lies.
    view = Open(2030);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("グラフ - Y2024_0101.csv"));
    auto* file = Child<PathLabel>(view.get(), "lblFile");
    EXPECT_EQ(file->text().toStdString(), Shown(Output() + "Y2024_0101.csv"));
    EXPECT_EQ(file->toolTip(), file->text());
    ASSERT_TRUE(view->series());
    EXPECT_EQ(view->plotTitle(), QStringLiteral("2024年　グループID 01・バケットID 01　緯度 36.25"));

    const QString target = QString::fromStdString(Folder("saved") + "year.png");
    answers.saveAnswers = {QString(), target}; // cancelled once, then a name
    auto* save = Child<QPushButton>(view.get(), "cmdSavePng");
    auto* saved = Child<QLabel>(view.get(), "lblSaved");
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(saved->text().isEmpty());
    QTest::mouseClick(save, Qt::LeftButton);
    const QString savedThere = QStringLiteral("「%1」に保存しました。").arg(Shown(target));
    EXPECT_EQ(saved->text(), savedThere);
    ASSERT_EQ(answers.saveRequests.size(), 2u);
    EXPECT_EQ(answers.saveRequests[0].suggestedPath, QString::fromStdString(Output() + "Y2024_0101.png"));
    EXPECT_EQ(answers.saveRequests[0].filter, QStringLiteral("PNG 画像 (*.png)"));
    EXPECT_EQ(QImage(target).size(), YEAR_PLOT_SAVE_SIZE);
    EXPECT_TRUE(answers.messages.isEmpty()) << answers.messages.join(u'\n').toStdString();

    const QString nowhere = QString::fromStdString(Folder("saved") + "gone/year.png");
    answers.saveAnswers = {nowhere};
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(saved->text(), savedThere); // not the failed one
    EXPECT_EQ(answers.messages,
              QStringList{ErrorLine(
                  QStringLiteral("グラフを「%1」に保存できません（ファイルまたはフォルダが見つかりません）。")
                      .arg(Shown(nowhere)))});

    // The button only where SVG can be written.
    auto* svg = view->findChild<QPushButton*>(QStringLiteral("cmdSaveSvg"));
    if (!CanSaveYearPlotSvg()) {
        EXPECT_EQ(svg, nullptr);
        GTEST_SKIP() << "built without Qt SVG: saving as SVG is not offered";
    }
    ASSERT_NE(svg, nullptr);
    const QString svgTarget = QString::fromStdString(Folder("saved") + "year.svg");
    answers.saveAnswers = {svgTarget};
    QTest::mouseClick(svg, Qt::LeftButton);
    EXPECT_EQ(answers.saveRequests.back().suggestedPath, QString::fromStdString(Output() + "Y2024_0101.svg"));
    EXPECT_NE(Bytes(svgTarget.toStdString()).find("<svg"), std::string::npos);
}

QImage Painted(const YearSeries& series, const QString& title, QSize size, const PlotRanges* ranges) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    PaintYearPlot(painter, QRectF(QPointF(0, 0), QSizeF(size)), series, title, ranges);
    return image;
}

TEST_F(YearViewTest, YearsShareOneScaleUntilTheYearsOwnIsAskedFor) {
    WriteYears(false); // at most 35.8 °C and 25 mm
    WriteFile(Monthly() + "Y2023_0101.csv",
              YEARLY_HEADER + "\r\n\"23/07/01\",200.0,30.0,41.0,20.0,70.0,1013.0,N,2.0,5.0,N,20.00,3.0,"
                              "8.0,12.0,8.00,4.0,9.0\r\n");
    auto view = Open(2024);
    ASSERT_TRUE(opened && view->series());
    auto* common = Child<QCheckBox>(view.get(), "chkCommonScale");
    EXPECT_TRUE(common->isChecked());
    // The other year's 41 °C and 200 mm set the shared scale, so that the two scales paint apart.
    const PlotRanges shared = StationPlotRanges({Output(), Monthly()}, StationKey{"01", "01"});
    auto* plot = Child<QWidget>(view.get(), "yearPlot");
    const QString title = view->plotTitle();
    ASSERT_NE(Painted(*view->series(), title, plot->size(), &shared),
              Painted(*view->series(), title, plot->size(), nullptr));
    // What the view shows and what it saves are drawn on the scale the box says.
    for (const PlotRanges* ranges : {&shared, static_cast<const PlotRanges*>(nullptr)}) {
        SCOPED_TRACE(ranges ? "shared" : "own");
        common->setChecked(ranges != nullptr);
        const QImage shown = plot->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown, Painted(*view->series(), title, shown.size(), ranges));
        const std::string target = Folder("saved") + "shown.png", expected = Folder("saved") + "expected.png";
        answers.saveAnswers = {QString::fromStdString(target)};
        Click(view.get(), "cmdSavePng");
        ASSERT_EQ(SaveYearPlotPng(*view->series(), title, expected, YEAR_PLOT_SAVE_SIZE, ranges), 0);
        EXPECT_EQ(Bytes(target), Bytes(expected));
    }
    EXPECT_TRUE(answers.messages.isEmpty()) << answers.messages.join(u'\n').toStdString();
}

TEST_F(YearViewTest, FitsTheScreenTabFollowsItsTopRowAndEscapeClosesIt) {
    WriteYears(false);
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect free = screen->availableGeometry();
    YearView* view = ShowYearView(nullptr, answers, {Output()}, StationKey{"01", "01"}, 2024);
    ASSERT_NE(view, nullptr);
    QPointer<YearView> alive(view);
    const auto cleanup = qScopeGuard([&] { delete alive.data(); });
    // The view's own size is larger than the test screen (800 × 600), so this is a real check.
    const QRect frame = view->frameGeometry();
    EXPECT_TRUE(free.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                      << frame.height() << " in " << free.width() << "x" << free.height();
    EXPECT_GE(view->height(), view->minimumSizeHint().height());

    // Tab walks the top row as it reads, left to right.
    auto* years = Child<QComboBox>(view, "cboYear");
    ASSERT_TRUE(QTest::qWaitForWindowActive(view));
    years->setFocus();
    QStringList walked;
    for (int i = 0; i < 2; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(walked, Strings({"chkCommonScale", "cmdSavePng"}));

    // Escape from the control that has the focus closes the window (and, made to, deletes it).
    QTest::keyClick(years, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return alive.isNull(); }));
}

TEST_F(YearViewTest, ACompanionOfAnotherYearlyFileIsSaidBesideThePlot) {
    const std::string yearly2023 = EncodeCp932(YearlyText(2023, 2));
    WriteFile(Output() + "Y2023_0101.csv", YearlyText(2023, 2));
    WriteFile(Output() + "Y2024_0101.csv", YearlyText(2024, 0));
    const std::string days = EncodeCp932("年月日,時間数,区分,疑わしい値\r\n\"23/01/01\",21,準正常,0\r\n");
    // 2023's companion, and a copy of it beside the yearly file of 2024.
    for (const char* name : {"Q2023_0101.csv", "Q2024_0101.csv"})
        ASSERT_EQ(WriteFileAtomically(Output() + name,
                                      days + FormatProofLine(ProofOf("Y2023_0101.csv", yearly2023))),
                  0);

    auto view = Open(2024);
    ASSERT_TRUE(opened && view->series());
    auto* note = Child<QLabel>(view.get(), "lblQuality");
    EXPECT_FALSE(note->isHidden());
    EXPECT_TRUE(note->text().startsWith(QString::fromStdString(
        "品質ファイル「" + Output() + "Q2024_0101.csv」はこの年次ファイルのものではありません")))
        << note->text().toStdString();
    EXPECT_TRUE(answers.messages.isEmpty());

    // The year whose companion belongs: no note, and without a findings file nothing was found.
    Child<QComboBox>(view.get(), "cboYear")->setCurrentIndex(0);
    ASSERT_TRUE(view->series() && view->series()->qualityKnown);
    EXPECT_TRUE(note->isHidden());
    EXPECT_EQ(Child<QLabel>(view.get(), "lblFindings")->text(), QStringLiteral("疑わしい値はありません。"));
}

TEST_F(YearViewTest, FindingsAreListedMarkedAndTheirDayShownWhenPicked) {
    WriteYears(false);
    const std::string yearly = Bytes(Output() + "Y2024_0101.csv");
    auto view = Open(2024);
    ASSERT_TRUE(opened);
    // The list's row count and the label above it.
    const auto listed = [&view] {
        return std::pair(Child<QTableWidget>(view.get(), "tblFindings")->rowCount(),
                         Child<QLabel>(view.get(), "lblFindings")->text());
    };
    EXPECT_EQ(listed(), std::pair(0, QStringLiteral("品質ファイルがないため、疑わしい値は分かりません。")));

    // The findings file of another yearly file is passed over, and the label says so.
    Finding spike{2024, 7, 17, 14, 0, 1, 35.2, CheckKind::Step, "前時間との差 15.2 ℃ > 4.0 ℃"};
    Finding wet{2024, 12, 31, 24, 0, 0, 160.5, CheckKind::Range, "上限 153.0 mm"};
    const std::string findings = FormatFindingsText({spike, wet}, 2024);
    WriteFileAtomically(Output() + "C2024_0101.csv",
                        findings + FormatProofLine(ProofOf("Y2024_0101.csv", "x")));
    view = Open(2024);
    EXPECT_EQ(listed().first, 0);
    EXPECT_TRUE(listed().second.contains(QStringLiteral("C2024_0101.csv")));

    WriteFileAtomically(Output() + "C2024_0101.csv",
                        findings + FormatProofLine(ProofOf("Y2024_0101.csv", yearly)));
    view = Open(2024);
    auto* list = Child<QTableWidget>(view.get(), "tblFindings");
    auto* plot = Child<YearPlotWidget>(view.get(), "yearPlot");
    ASSERT_EQ(list->rowCount(), 2);
    const QStringList first =
        Strings({"2024/07/17", "14:00", "気温", "35.2", "急変", "前時間との差 15.2 ℃ > 4.0 ℃"});
    QStringList row;
    for (int c = 0; c < list->columnCount(); ++c)
        row << list->item(0, c)->text();
    EXPECT_EQ(row, first);
    EXPECT_TRUE(listed().second.startsWith(QStringLiteral("疑わしい値 2 件")));
    // With its list the view still fits a 1920 × 1080 screen at 150 % (1280 × 720), less a taskbar
    // and the window's frame.
    EXPECT_LE(view->minimumSizeHint().height(), 720 - 48 - 44);
    // Their days carry a mark; 17 July is day 198 of a leap year.
    ASSERT_TRUE(view->series());
    std::vector<int> marked;
    for (std::size_t i = 0; i < view->series()->days.size(); ++i)
        if (view->series()->days[i].suspect > 0) marked.push_back(static_cast<int>(i));
    EXPECT_EQ(marked, (std::vector<int>{198, 365}));

    EXPECT_EQ(plot->pickedDay(), -1);
    list->selectRow(1);
    EXPECT_EQ(plot->pickedDay(), 365);
    list->selectRow(0);
    EXPECT_EQ(plot->pickedDay(), 198);
    // The outline is drawn: the picked plot differs from the plain one.
    const QImage picked = plot->grab().toImage();
    list->clearSelection();
    EXPECT_EQ(plot->pickedDay(), -1);
    EXPECT_NE(plot->grab().toImage(), picked);

    // Another year's findings replace the list, with nothing picked.
    list->selectRow(0);
    view->ShowFindings({});
    EXPECT_EQ(list->rowCount(), 0);
    EXPECT_EQ(plot->pickedDay(), -1);
}

TEST_F(YearViewTest, GarbageYearlyFileOrNoFileIsSaid) {
    WriteFile(Output() + "Y2024_0101.csv", "\x01\x02 これは年次ファイルではない\r\n1,2,3\r\n");
    auto view = Open(2030); // no such year: the latest is shown
    ASSERT_TRUE(opened);
    EXPECT_FALSE(view->series());
    ASSERT_EQ(answers.messages.size(), 1);
    ExpectMessage(answers.messages[0], ErrorLine(QStringLiteral("グラフを表示できません。\n年次ファイル「")),
                  {QString::fromStdString(Output() + "Y2024_0101.csv")});
    EXPECT_FALSE(Child<QPushButton>(view.get(), "cmdSavePng")->isEnabled());
    // The plot area paints a grey note on white instead of a plot: nothing in any plot colour.
    const QImage area = Child<QWidget>(view.get(), "yearPlot")->grab().toImage();
    ASSERT_FALSE(area.isNull());
    int written = 0;
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x) {
            written += area.pixel(x, y) != qRgb(255, 255, 255);
            ASSERT_LE(area.pixelColor(x, y).hsvSaturation(), 16) << x << "," << y;
        }
    EXPECT_GT(written, 0);

    answers.messages.clear();
    ScriptedDialogs other;
    YearView* none = ShowYearView(nullptr, other, {Folder("empty")}, StationKey{"01", "01"}, 2024);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(other.messages, QStringList{ErrorLine(QStringLiteral(
                                  "グループID 01・バケットID 01 の年次ファイルが見つかりません。"))});
}

} // namespace
} // namespace kolvane::testing
