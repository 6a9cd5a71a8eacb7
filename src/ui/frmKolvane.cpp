#include "ui/frmKolvane.h"

#include "model/FileIo.h"
#include "model/Messages.h"
#include "plot/Fonts.h"
#include "series/YearSeries.h"
#include "settings/LocalityTable.h"
#include "settings/Locations.h"
#include "settings/Settings.h"
#include "ui/Controls.h"
#include "ui/CoordinateEntry.h"
#include "ui/HelpWindow.h"
#include "ui/Layout.h"
#include "ui/LocalityChoice.h"
#include "ui/QtUserDialogs.h"
#include "ui/StationChoice.h"
#include "ui/Texts.h"
#include "ui/WaitCursor.h"
#include "ui/YearView.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

namespace kolvane {
namespace {

QString FileName(const std::string& path) {
    const QString text = FromCore(path);
    return text.mid(text.lastIndexOf(u'/') + 1);
}

// The files a run would replace without reading them first: their days are lost, so the user is
// told which they are. A long list is cut; the folder is named once.
QString ReplaceQuestion(const std::vector<std::string>& files, const std::string& folder) {
    constexpr std::size_t SHOWN = 10;
    QString question = text::ReplaceQuestionHead(FromCore(folder));
    for (std::size_t i = 0; i < files.size() && i < SHOWN; ++i)
        question += text::ReplaceQuestionFile(FileName(files[i]));
    if (files.size() > SHOWN) question += text::ReplaceQuestionMore(files.size() - SHOWN);
    return question + text::ReplaceQuestionTail();
}

// Files written of all, in the middle of the bar. Its text is dark over the filled part as well:
// in the chunk's own text colour a count such as "1 / 2" was cut in two colours at the chunk's edge.
QProgressBar* RunProgressBar(QWidget* window) {
    auto* bar = Named<QProgressBar>(window, QStringLiteral("prgRun"));
    bar->setFormat(text::ProgressFormat());
    bar->setAlignment(Qt::AlignCenter);
    QPalette colours = bar->palette();
    const QColor chunk = colours.color(QPalette::Highlight);
    const QColor base = colours.color(QPalette::Base);
    // Halfway to the background: still plainly a bar, light enough for dark text.
    colours.setColor(QPalette::Highlight,
                     QColor((chunk.red() + base.red()) / 2, (chunk.green() + base.green()) / 2,
                            (chunk.blue() + base.blue()) / 2));
    colours.setColor(QPalette::HighlightedText, colours.color(QPalette::Text));
    bar->setPalette(colours);
    return bar;
}

} // namespace

frmKolvane::frmKolvane(QString applicationFolder, std::unique_ptr<UserDialogs> dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(std::move(dialogs)), applicationFolder_(std::move(applicationFolder)) {
    if (!dialogs_) dialogs_ = std::make_unique<QtUserDialogs>(this);
    setObjectName(QStringLiteral("frmKolvane"));
    setWindowTitle(text::MainTitle());
    setFont(JapaneseFont());
    CreateControls();
    ConnectHandlers();
    cmdOK->setFocus();
}

// A window that goes during a run (the program ends) lets the current year finish, so no file is
// left half replaced and no thread outlives the window.
frmKolvane::~frmKolvane() {
    job_->Stop();
}

void frmKolvane::CreateControls() {
    // Focusable controls are created in tab order, part by part.
    cmdOK = Named<QPushButton>(this, QStringLiteral("cmdOK"), text::RunCaption());
    cmdExit = Named<QPushButton>(this, QStringLiteral("cmdExit"), text::ExitCaption());
    locality_ = new LocalityChoice(
        this, DataPath(ProgramEnvironment::Current(ToCore(applicationFolder_)), LOCALITY_TABLE_FILE_NAME));
    station_ = new StationChoice(this, *dialogs_);
    coordinates_ = new CoordinateEntry(this, *dialogs_);
    cmdHelp = Named<QPushButton>(this, QStringLiteral("cmdHelp"), text::HelpCaption());
    cmdPlot = Named<QPushButton>(this, QStringLiteral("cmdPlot"), text::PlotCaption());
    cmdPlot->setToolTip(text::PlotTip());
    cmdPlot->setEnabled(false); // until a station with a yearly file is chosen
    for (QPushButton* button : {cmdOK, cmdExit, cmdHelp, cmdPlot})
        button->setAutoDefault(false);

    FixClientSizeInTwips(this, 4710, 6000);
    PlaceInTwips(cmdOK, 3600, 4560, 1000, 320);
    PlaceInTwips(cmdExit, 3600, 5040, 1000, 320);
    PlaceInTwips(cmdHelp, 3600, 5520, 1000, 320);
    PlaceInTwips(cmdPlot, 3600, 4080, 1000, 320);

    const char* const tabOrder[] = {"cmdOK",   "cmdExit", "cboArea1", "cboArea2", "cboGroup", "cboBucket",
                                    "List1",   "txtLat0", "txtLat1",  "txtLat2",  "txtLon0",  "txtLon1",
                                    "txtLon2", "cmdSet",  "Command1", "cmdPlot",  "cmdHelp"};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(findChild<QWidget*>(QLatin1String(tabOrder[i - 1])),
                    findChild<QWidget*>(QLatin1String(tabOrder[i])));

    // The progress of a run and its Cancel button, shown only during a run, in the free space right
    // of the month list; Cancel beside the disabled グラフ, above 実行.
    lblProgress = Named<QLabel>(this, QStringLiteral("lblProgress"));
    prgRun = RunProgressBar(this);
    cmdCancel = Named<QPushButton>(this, QStringLiteral("cmdCancel"), text::CancelRunCaption());
    cmdCancel->setAutoDefault(false);
    PlaceInTwips(lblProgress, 2280, 3300, 2310, 255);
    PlaceInTwips(prgRun, 2280, 3600, 2310, 300);
    PlaceInTwips(cmdCancel, 2400, 4080, 1000, 320);
    for (QWidget* control : {static_cast<QWidget*>(lblProgress), static_cast<QWidget*>(prgRun),
                             static_cast<QWidget*>(cmdCancel)})
        control->hide();

    // Under 緯度・経度設定, right of 月次ファイル：フォルダ指定: beside the boxes it speaks of.
    lblOtherLocality = Named<QLabel>(this, QStringLiteral("lblOtherLocality"));
    lblOtherLocality->setWordWrap(true);
    lblOtherLocality->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette warning = lblOtherLocality->palette();
    warning.setColor(QPalette::WindowText, Qt::darkRed);
    lblOtherLocality->setPalette(warning);
    PlaceInTwips(lblOtherLocality, 2880, 1440, 1710, 600);
    lblOtherLocality->hide();

    job_ = new RunJob(this);
}

void frmKolvane::ConnectHandlers() {
    connect(cmdOK, &QPushButton::clicked, this, &frmKolvane::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmKolvane::cmdCancel_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmKolvane::cmdExit_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmKolvane::cmdHelp_Click);
    connect(cmdPlot, &QPushButton::clicked, this, &frmKolvane::cmdPlot_Click);
    connect(station_, &StationChoice::stationChanged, this, &frmKolvane::UpdatePlotButton);
    connect(locality_, &LocalityChoice::coordinatesChosen, coordinates_,
            [this](const LocalityCoordinates& chosen) {
                coordinates_->chooseCoordinates(chosen.latitude, chosen.longitude);
                coordinatesFrom_ = locality_->localityName();
                UpdateLocalityMismatch();
            });
    connect(locality_, &LocalityChoice::localityChanged, this, &frmKolvane::UpdateLocalityMismatch);
    connect(coordinates_, &CoordinateEntry::edited, this, [this] {
        coordinatesFrom_.reset();
        UpdateLocalityMismatch();
    });

    connect(job_, &RunJob::yearStarted, this,
            [this](int, const QString& name) { lblProgress->setText(name); });
    connect(job_, &RunJob::waiting, lblProgress, &QLabel::setText);
    connect(job_, &RunJob::fileWritten, this,
            [this](int written, const QString& path, qint64 suspect, int year) {
                prgRun->setValue(written);
                runSuspectValues_ += suspect;
                lastWrittenYear_ = year;
                emit yearlyFileWritten(path);
            });
    connect(job_, &RunJob::noted, this, [this](const QString& note) { runNotes_ << note; });
    connect(job_, &RunJob::finished, this, [this] { RunEnded(job_->lastOutcome()); });
    connect(job_, &RunJob::failed, this, [this] { RunEnded(job_->lastOutcome()); });
}

void frmKolvane::UpdateLocalityMismatch() {
    bool mismatch = coordinatesFrom_.has_value();
    // Another locality at the same place is no mismatch.
    if (const auto chosen = locality_->chosenCoordinates(); chosen && mismatch) {
        const std::vector<std::string> latitude = coordinates_->latitude();
        const std::vector<std::string> longitude = coordinates_->longitude();
        mismatch = !std::equal(latitude.begin(), latitude.end(), chosen->latitude.begin()) ||
                   !std::equal(longitude.begin(), longitude.end(), chosen->longitude.begin());
    }
    lblOtherLocality->setText(mismatch ? text::CoordinatesOfOtherLocality(*coordinatesFrom_) : QString());
    lblOtherLocality->setToolTip(lblOtherLocality->text());
    lblOtherLocality->setVisible(mismatch);
}

const std::string& frmKolvane::monthlyFolder() const {
    return station_->monthlyFolder();
}

bool frmKolvane::runInProgress() const {
    return job_->running() || heldEnding_.has_value();
}

// ---- Start-up and exit ----

void frmKolvane::Form_Load() {
    const ProgramEnvironment environment = ProgramEnvironment::Current(ToCore(applicationFolder_));
    helpFilePath_ = FromCore(DataPath(environment, "kolvane.hlp"));

    const SettingsValues stored = LoadSettings(SettingsFilePath(environment));
    coordinates_->setCoordinates(stored.latitude, stored.longitude);
    locality_->Restore(stored.prefectureIndex, stored.localityCode);
    // Stored coordinates that are the restored locality's are taken as set from it, so picking
    // another locality is flagged as after 緯度・経度設定.
    // Stored coordinates of another locality of the table are flagged as they were before the exit.
    if (const auto chosen = locality_->chosenCoordinates()) {
        if (chosen->latitude == stored.latitude && chosen->longitude == stored.longitude)
            coordinatesFrom_ = locality_->localityName();
        else if (auto other = FindLocalityAt(locality_->tablePath(), {stored.latitude, stored.longitude},
                                             locality_->prefectureIndex()))
            coordinatesFrom_ = FromCore(*other);
    }
    UpdateLocalityMismatch();
    lastOutputFolder_ = stored.outputFolder;
    // From here on a failure ends start-up silently; the window stays usable.
    station_->OpenAtStartUp(StartMonthlyFolder(stored.monthlyFolder, DataFolder(environment, "Data")));
}

void frmKolvane::cmdExit_Click() {
    if (runInProgress()) {
        // The run waits before its next yearly file while the user decides, so that はい stops it
        // where the question found it.
        job_->Hold(true);
        exitQuestionOpen_ = true;
        const bool stop = dialogs_->AskYesNo(text::AskStopAndExit(), text::ConfirmTitle());
        exitQuestionOpen_ = false;
        // A run that ended meanwhile has its closing message held back; one still going is stopped
        // (a cancel ends the hold) and says how many files it wrote before the program ends.
        std::optional<ConversionOutcome> ending = std::exchange(heldEnding_, std::nullopt);
        if (!stop) {
            job_->Hold(false);
            if (ending) ReportRun(*ending, RunReport::All);
            return;
        }
        ReportRun(ending ? *ending : job_->Stop(), RunReport::All);
    }
    StoreSettings();
    close();
}

void frmKolvane::StoreSettings() {
    SettingsValues values;
    values.monthlyFolder = station_->monthlyFolder();
    values.prefectureIndex = locality_->prefectureIndex();
    values.localityCode = locality_->localityCodeAtExit();
    const std::vector<std::string> latitude = coordinates_->latitude();
    const std::vector<std::string> longitude = coordinates_->longitude();
    std::copy(latitude.begin(), latitude.end(), values.latitude.begin());
    std::copy(longitude.begin(), longitude.end(), values.longitude.begin());
    values.outputFolder = lastOutputFolder_;
    const std::string path = SettingsFilePath(ProgramEnvironment::Current(ToCore(applicationFolder_)));
    // The program ends all the same, but the user learns that the next start will not restore
    // these choices.
    if (int error = SaveSettings(path, values))
        dialogs_->ShowMessage(FromCore(message::SettingsNotSaved(path, error)), text::ErrorTitle(),
                              STYLE_EXCLAMATION);
}

void frmKolvane::closeEvent(QCloseEvent* event) {
    if (runInProgress()) StopRun();
    QWidget::closeEvent(event);
}

void frmKolvane::cmdHelp_Click() {
    if (!helpWindow_) helpWindow_ = new HelpWindow(this);
    helpWindow_->ShowContents(helpFilePath_);
}

// ---- Run ----

void frmKolvane::cmdOK_Click() {
    if (runInProgress()) return;
    ConversionRequest request;
    request.latitude = coordinates_->latitude();
    request.longitude = coordinates_->longitude();
    request.stations = {station_->station()};
    request.months = station_->selectedMonths();
    request.monthlyFolder = station_->monthlyFolder();
    request.program = "kolvane";
    try {
        CheckRequest(request);
    } catch (const RequestError& error) {
        QString message = QString::fromUtf8(error.what());
        // Asking to select a period would mislead when there is no month to select.
        if (error.field == RequestField::Months && !station_->NothingToChoose().isEmpty())
            message = station_->NothingToChoose();
        dialogs_->ShowMessage(message, text::ErrorTitle(), STYLE_EXCLAMATION);
        return;
    }

    if (!AskOutputFolder(request.monthlyFolder)) return;
    request.outputFolder = outputFolder_;

    StationPlan plan;
    try {
        plan = RunJob::Prepare(request);
    } catch (const KolvaneError& error) {
        dialogs_->ShowMessage(QString::fromUtf8(error.what()), text::ErrorTitle(), STYLE_EXCLAMATION);
        return;
    }
    if (!plan.replacedUnmerged.empty()) {
        const ReplaceAnswer answer = dialogs_->AskMergeOrReplace(
            ReplaceQuestion(plan.replacedUnmerged, outputFolder_), text::ConfirmTitle());
        // Stop is a decision, not a failure: nothing is written and nothing more is said.
        if (answer == ReplaceAnswer::Stop) return;
        if (answer == ReplaceAnswer::Merge) {
            request.mergeOutput = true;
            try {
                plan = RunJob::Prepare(request);
            } catch (const KolvaneError& error) {
                dialogs_->ShowMessage(QString::fromUtf8(error.what()), text::ErrorTitle(), STYLE_EXCLAMATION);
                return;
            }
        }
    }

    prgRun->setRange(0, static_cast<int>(plan.runs.size()));
    prgRun->setValue(0);
    lblProgress->setText(FromCore(YearlyFileName(plan.runs.front().yy, plan.settings.key)));
    runFolder_ = plan.settings.outputFolder;
    runSuspectValues_ = 0;
    runNotes_.clear();
    runLatitude_ = text::LatitudeUsed(FromCore(plan.settings.latitudeText));
    SetRunning(true);
    wait_ = std::make_unique<WaitCursor>();
    job_->Start(std::move(plan));
}

bool frmKolvane::AskOutputFolder(const std::string& monthlyFolder) {
    // Where the last run wrote: a repeated run needs no walk through the folders again.
    const std::string& start = IsFolder(lastOutputFolder_) ? lastOutputFolder_ : monthlyFolder;
    outputFolder_ = ToCore(dialogs_->AskFolder(text::AskOutputFolder(), FromCore(start)));
    if (outputFolder_.empty()) {
        UpdatePlotButton(); // the last run's output folder is forgotten with the choice
        return false;
    }
    lastOutputFolder_ = outputFolder_;
    outputFolderFrom_ = monthlyFolder;
    return true;
}

void frmKolvane::SetRunning(bool running) {
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        // 終了 stays usable: it offers to stop the run. ヘルプ only reads: it may be wanted while
        // waiting. The help window is a window of its own.
        if (!control->isWindow() && control != cmdExit && control != cmdCancel && control != cmdHelp &&
            control != prgRun && control != lblProgress)
            control->setEnabled(!running);
    }
    cmdCancel->setEnabled(running);
    for (QWidget* control : {static_cast<QWidget*>(lblProgress), static_cast<QWidget*>(prgRun),
                             static_cast<QWidget*>(cmdCancel)})
        control->setVisible(running);
    if (!running) UpdatePlotButton();
    (running ? cmdCancel : cmdOK)->setFocus();
}

void frmKolvane::cmdCancel_Click() {
    job_->Cancel();
    cmdCancel->setEnabled(false);
}

void frmKolvane::RunEnded(const ConversionOutcome& result) {
    // The answer to the exit question decides what is said; it is waited for.
    if (exitQuestionOpen_) {
        heldEnding_ = result;
        return;
    }
    ReportRun(result, RunReport::All);
}

void frmKolvane::StopRun() {
    const ConversionOutcome result = heldEnding_ ? *std::exchange(heldEnding_, std::nullopt) : job_->Stop();
    ReportRun(result, RunReport::ErrorsOnly);
}

void frmKolvane::ReportRun(const ConversionOutcome& result, RunReport report) {
    wait_.reset();
    // The controls come back at once; the bar stays up with the closing message.
    SetRunning(false);
    lblProgress->show();
    prgRun->show();
    const QString folder = FromCore(runFolder_);
    const std::optional<std::string>& failure = result.stations.front().failure;
    if (failure)
        dialogs_->ShowMessage(FromCore(*failure), text::ErrorTitle(), STYLE_EXCLAMATION);
    else if (report == RunReport::All && result.cancelled)
        dialogs_->ShowMessage(text::Cancelled(result.Written(), folder), text::ConfirmTitle(), STYLE_PLAIN);
    else if (report == RunReport::All)
        dialogs_->ShowMessage(
            text::Completed(result.Written(), folder, runLatitude_, runSuspectValues_, runNotes_),
            text::ConfirmTitle(), STYLE_PLAIN);
    lblProgress->hide();
    prgRun->hide();
    // The year just written is one click away.
    if (!failure && result.Written() > 0 && cmdPlot->isEnabled()) cmdPlot->setFocus();
}

// ---- The year view ----

std::vector<std::string> frmKolvane::YearlyFolders() const {
    const std::string& monthly = station_->monthlyFolder();
    std::vector<std::string> folders;
    // Another monthly folder's run wrote other yearly files, perhaps of the same names.
    if (!outputFolder_.empty() && outputFolderFrom_ == monthly) folders.push_back(outputFolder_);
    if (!monthly.empty() && monthly != outputFolder_) folders.push_back(monthly);
    return folders;
}

void frmKolvane::UpdatePlotButton() {
    const StationKey station = station_->station();
    cmdPlot->setEnabled(!runInProgress() && !station.group.empty() && !station.bucket.empty() &&
                        !ListYearlyFiles(YearlyFolders(), station).empty());
}

void frmKolvane::cmdPlot_Click() {
    // One view at a time, of the station chosen now.
    if (yearView_) yearView_->close();
    yearView_ = ShowYearView(this, *dialogs_, YearlyFolders(), station_->station(), lastWrittenYear_);
}

} // namespace kolvane
