#include "ui/YearView.h"

#include "checks/FindingsFile.h"
#include "engine/RunLog.h"
#include "model/Error.h"
#include "model/FileIo.h"
#include "model/FileNames.h"
#include "model/Messages.h"
#include "plot/Fonts.h"
#include "plot/PlotFile.h"
#include "plot/Texts.h"
#include "plot/YearPlot.h"
#include "ui/FindingsList.h"
#include "ui/Layout.h"
#include "ui/PathLabel.h"
#include "ui/Texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

namespace kolvane {
namespace {

QString FileName(const std::string& path) {
    return QFileInfo(FromCore(path)).fileName();
}

// The findings file beside a yearly file, when it was written with it; otherwise why not.
std::pair<std::vector<Finding>, QString> ReadYearFindings(const std::string& yearlyPath) {
    try {
        std::string bytes;
        if (int e = ReadWholeFile(yearlyPath, bytes))
            return {{}, FromCore(message::CannotRead(FileKind::Yearly, yearlyPath, e))};
        YearFindings file = ReadFindingsOf(yearlyPath, bytes);
        return {std::move(file.rows), QString::fromStdString(file.Note())};
    } catch (const KolvaneError& error) {
        return {{}, QString::fromUtf8(error.what())};
    }
}

} // namespace

YearPlotWidget::YearPlotWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("yearPlot"));
    setMinimumSize(640, 380);
}

void YearPlotWidget::setSeries(std::optional<YearSeries> series, QString title,
                               std::optional<PlotRanges> ranges) {
    series_ = std::move(series);
    title_ = std::move(title);
    ranges_ = std::move(ranges);
    update();
}

void YearPlotWidget::setPickedDay(int day) {
    picked_ = day;
    update();
}

void YearPlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (series_) {
        PaintYearPlot(painter, rect(), *series_, title_, ranges_ ? &*ranges_ : nullptr, picked_);
        return;
    }
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::gray);
    painter.drawText(rect(), Qt::AlignCenter, text::PlotUnavailable());
}

YearView::YearView(UserDialogs& dialogs, std::vector<std::string> folders, StationKey station,
                   QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), folders_(std::move(folders)), station_(std::move(station)) {
    // A window of its own beside the main window, not a control inside it.
    setWindowFlag(Qt::Window);
    setObjectName(QStringLiteral("YearView"));
    setWindowTitle(text::YearViewTitle());
    setFont(JapaneseFont());

    auto* yearCaption = new QLabel(text::YearCaption(), this);
    auto* fileCaption = new QLabel(text::ShownFileCaption(), this);
    CreateControls(*fileCaption);
    yearCaption->setBuddy(cboYear);
    LayOut(yearCaption, fileCaption);

    connect(cboYear, &QComboBox::currentIndexChanged, this, &YearView::LoadYear);
    connect(chkCommonScale, &QCheckBox::toggled, this, &YearView::ShowPlot);
    connect(findings_, &FindingsList::dayPicked, plot_, &YearPlotWidget::setPickedDay);
    connect(cmdSavePng, &QPushButton::clicked, this, &YearView::SavePng);
    if (cmdSaveSvg) connect(cmdSaveSvg, &QPushButton::clicked, this, &YearView::SaveSvg);
    resize(TwipsToPixels(16500, logicalDpiX()), TwipsToPixels(11250, logicalDpiY()));
}

void YearView::CreateControls(const QLabel& fileCaption) {
    cboYear = new QComboBox(this);
    cboYear->setObjectName(QStringLiteral("cboYear"));
    // Created in the order Tab walks them, as the row reads. On by default: comparing years is
    // what a user flips through them for.
    chkCommonScale = new QCheckBox(text::CommonScaleCaption(), this);
    chkCommonScale->setObjectName(QStringLiteral("chkCommonScale"));
    chkCommonScale->setChecked(true);
    chkCommonScale->setToolTip(text::CommonScaleTip());
    cmdSavePng = new QPushButton(text::SavePngCaption(), this);
    cmdSavePng->setObjectName(QStringLiteral("cmdSavePng"));
    if (CanSaveYearPlotSvg()) {
        cmdSaveSvg = new QPushButton(text::SaveSvgCaption(), this);
        cmdSaveSvg->setObjectName(QStringLiteral("cmdSaveSvg"));
    }
    // Which file is shown: the same names lie in every folder a station was converted into.
    lblFile = new PathLabel(this);
    lblFile->setObjectName(QStringLiteral("lblFile"));
    lblFile->setTextInteractionFlags(Qt::NoTextInteraction);
    lblFile->setFixedHeight(fileCaption.sizeHint().height());
    lblFile->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    lblQuality = new QLabel(this);
    lblQuality->setObjectName(QStringLiteral("lblQuality"));
    lblQuality->setWordWrap(true);
    lblQuality->hide();
    plot_ = new YearPlotWidget(this);
    lblFindings = new QLabel(this);
    lblFindings->setObjectName(QStringLiteral("lblFindings"));
    findings_ = new FindingsList(this);
    findings_->setMinimumHeight(findings_->horizontalHeader()->sizeHint().height() +
                                3 * findings_->verticalHeader()->defaultSectionSize());
    lblSaved = new QLabel(this);
    lblSaved->setObjectName(QStringLiteral("lblSaved"));
    lblSaved->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Its line is there before the first save, so that the plot does not jump when it is filled.
    lblSaved->setText(text::PlotSaved(QString()));
    lblSaved->setFixedHeight(lblSaved->sizeHint().height());
    lblSaved->clear();
}

void YearView::LayOut(QLabel* yearCaption, QLabel* fileCaption) {
    auto* bar = new QHBoxLayout;
    bar->addWidget(yearCaption);
    bar->addWidget(cboYear);
    bar->addSpacing(12);
    bar->addWidget(chkCommonScale);
    bar->addStretch(1);
    bar->addWidget(cmdSavePng);
    if (cmdSaveSvg) bar->addWidget(cmdSaveSvg);
    auto* column = new QVBoxLayout(this);
    column->addLayout(bar);
    auto* fileLine = new QHBoxLayout;
    fileLine->addWidget(fileCaption);
    fileLine->addWidget(lblFile, 1);
    column->addLayout(fileLine);
    column->addWidget(lblQuality);
    // The list under the plot, as tall as the user drags it; the plot keeps most of the window.
    auto* lower = new QWidget(this);
    auto* list = new QVBoxLayout(lower);
    list->setContentsMargins(0, 0, 0, 0);
    list->addWidget(lblFindings);
    list->addWidget(findings_, 1);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setChildrenCollapsible(false);
    split->addWidget(plot_);
    split->addWidget(lower);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);
    column->addWidget(split, 1);
    column->addWidget(lblSaved);
}

void YearView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

const PlotRanges* YearView::Ranges() const {
    return chkCommonScale->isChecked() ? &stationRanges_ : nullptr;
}

void YearView::ShowPlot() {
    const PlotRanges* ranges = Ranges();
    plot_->setSeries(series_, plotTitle_, ranges ? std::optional(*ranges) : std::nullopt);
}

bool YearView::ShowYear(int preferredYear) {
    files_ = ListYearlyFiles(folders_, station_);
    if (files_.empty()) {
        dialogs_.ShowMessage(
            text::NoYearlyFiles(FromCore(message::StationLabel(station_.group, station_.bucket))),
            text::ErrorTitle(), STYLE_EXCLAMATION);
        return false;
    }
    stationRanges_ = StationPlotRanges(folders_, station_);
    int chosen = static_cast<int>(files_.size()) - 1;
    for (std::size_t i = 0; i < files_.size(); ++i)
        if (files_[i].year == preferredYear) chosen = static_cast<int>(i);

    {
        const QSignalBlocker quiet(cboYear);
        cboYear->clear();
        for (const YearlyFileEntry& file : files_)
            cboYear->addItem(text::YearItem(file.year));
        cboYear->setCurrentIndex(chosen);
    }
    LoadYear(chosen);
    return true;
}

void YearView::LoadYear(int index) {
    if (index < 0 || index >= static_cast<int>(files_.size())) return;
    const YearlyFileEntry& file = files_[static_cast<std::size_t>(index)];
    setWindowTitle(text::YearViewTitle(FileName(file.path)));
    lblFile->setPath(QDir::toNativeSeparators(FromCore(file.path)));
    plotTitle_ = FromCore(YearPlotTitle(file.year, station_));
    const std::string_view name = FileNameOf(file.path);
    if (auto logged = LastRunLogEntry(file.path.substr(0, file.path.size() - name.size()), name))
        plotTitle_ += FromCore(message::LatitudeOnRecord(logged->latitude));
    try {
        series_ = ReadYearSeries(file.path, file.year);
    } catch (const KolvaneError& error) {
        series_.reset();
        dialogs_.ShowMessage(text::CannotShowPlot(QString::fromUtf8(error.what())), text::ErrorTitle(),
                             STYLE_EXCLAMATION);
    }
    // Beside the plot rather than in a box: it holds for every year written by an earlier version.
    const QString note = series_ ? QString::fromStdString(series_->qualityNote) : QString();
    lblQuality->setText(note);
    lblQuality->setVisible(!note.isEmpty());
    auto [findings, findingsNote] = ReadYearFindings(file.path);
    ShowFindings(std::move(findings), findingsNote);
    cmdSavePng->setEnabled(series_.has_value());
    if (cmdSaveSvg) cmdSaveSvg->setEnabled(series_.has_value());
}

void YearView::ShowFindings(std::vector<Finding> findings, const QString& note) {
    const int year = series_ ? series_->year : 0;
    // Without them the marks are the companion's counts, when it has them.
    if (series_ && !findings.empty()) {
        const std::vector<int32_t> perDay = CountFindingsPerDay(findings, year);
        for (std::size_t i = 0; i < series_->days.size() && i < perDay.size(); ++i)
            series_->days[i].suspect = perDay[i];
    }
    findings_->SetFindings(year, std::move(findings));
    const auto count = findings_->findings().size();
    const bool unknown = series_ && std::any_of(series_->days.begin(), series_->days.end(),
                                                [](const SeriesDay& d) { return d.suspect < 0; });
    lblFindings->setText(count > 0         ? text::FindingsListed(static_cast<qsizetype>(count))
                         : !note.isEmpty() ? note
                         : unknown         ? text::FindingsDaysUnchecked()
                         : series_ && series_->qualityKnown ? text::NoFindings()
                                                            : text::FindingsUnknown());
    // Room for a few rows to go through; none taken from the plot when there is nothing to list.
    findings_->setVisible(count > 0);
    ShowPlot();
}

void YearView::SavePng() {
    Save(QStringLiteral("png"), text::PngFilter());
}

void YearView::SaveSvg() {
    Save(QStringLiteral("svg"), text::SvgFilter());
}

void YearView::Save(const QString& suffix, const QString& filter) {
    const int index = cboYear->currentIndex();
    if (!series_ || index < 0 || index >= static_cast<int>(files_.size())) return;
    // Beside the yearly file, under its name: the plot of Y2024_0101.csv is Y2024_0101.png.
    const QFileInfo yearly(FromCore(files_[static_cast<std::size_t>(index)].path));
    const QString suggested = yearly.dir().filePath(yearly.completeBaseName() + QLatin1Char('.') + suffix);
    const QString path = dialogs_.AskSaveFileName(text::SavePlotTitle(), suggested, filter);
    // The dialog belongs to the main window, which comes to the front when it closes; the user was
    // working here.
    raise();
    activateWindow();
    if (path.isEmpty()) return;
    const int error =
        suffix == QLatin1String("svg")
            ? SaveYearPlotSvg(*series_, plotTitle_, ToCore(path), YEAR_PLOT_SAVE_SIZE, Ranges())
            : SaveYearPlotPng(*series_, plotTitle_, ToCore(path), YEAR_PLOT_SAVE_SIZE, Ranges());
    // Qt's dialogs answer with "/"; the user is shown the system's own separators, "\" on Windows.
    const QString shown = QDir::toNativeSeparators(path);
    if (error) {
        dialogs_.ShowMessage(plot_text::CannotSave(shown, FromCore(DescribeSystemError(error))),
                             text::ErrorTitle(), STYLE_EXCLAMATION);
        raise();
        activateWindow();
        return;
    }
    lblSaved->setText(text::PlotSaved(shown));
}

YearView* ShowYearView(QWidget* parent, UserDialogs& dialogs, std::vector<std::string> folders,
                       StationKey station, int preferredYear) {
    auto* view = new YearView(dialogs, std::move(folders), std::move(station), parent);
    view->setAttribute(Qt::WA_DeleteOnClose);
    if (!view->ShowYear(preferredYear)) {
        delete view;
        return nullptr;
    }
    FitToScreen(*view, parent);
    view->show();
    view->raise();
    view->activateWindow();
    return view;
}

} // namespace kolvane
