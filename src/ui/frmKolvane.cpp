#include "ui/frmKolvane.h"

#include "discovery/Discovery.h"
#include "engine/WindowRun.h"
#include "model/Messages.h"
#include "plot/Fonts.h"
#include "request/RunRequest.h"
#include "settings/LocalityTable.h"
#include "settings/Settings.h"
#include "ui/HelpWindow.h"
#include "ui/Layout.h"
#include "ui/QtUserDialogs.h"
#include "ui/WaitCursor.h"
#include "ui/YearView.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLockFile>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QThread>
#include <atomic>
#include <optional>
#include <unistd.h>

namespace kolvane {
namespace {

const QString TITLE_ERROR = QStringLiteral("エラー");
const QString TITLE_CONFIRM = QStringLiteral("確認");

// A path label that wraps anywhere: folder paths have no spaces to wrap at.
class PathLabel : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere, text());
    }
};

// A button whose caption wraps onto further lines when it is wider than the button. Japanese
// captions have no spaces, so a too wide caption is broken after its "・" rather than anywhere.
class WrappingButton : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        painter.drawControl(QStyle::CE_PushButton, option);
        const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
        QString caption = text();
        if (fontMetrics().horizontalAdvance(caption) > area.width())
            caption.replace(QStringLiteral("・"), QStringLiteral("・\n"));
        painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(), caption,
                             QPalette::ButtonText);
    }
};

// The month list; while empty it says why (its "placeholderText" property), as blank lists would
// leave the user guessing whether the folder is wrong or still being read.
class MonthList : public QListWidget {
  public:
    using QListWidget::QListWidget;

  protected:
    void paintEvent(QPaintEvent* event) override {
        QListWidget::paintEvent(event);
        const QString placeholder = property("placeholderText").toString();
        if (count() > 0 || placeholder.isEmpty()) return;
        QPainter painter(viewport());
        painter.setPen(
            palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::PlaceholderText));
        painter.drawText(viewport()->rect().adjusted(4, 2, -4, -2),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, placeholder);
    }
};

QString FileName(const std::string& path) {
    const QString text = FromCore(path);
    return text.mid(text.lastIndexOf(u'/') + 1);
}

QString WrittenMessage(std::size_t written, const std::string& folder) {
    return QStringLiteral("年次ファイル %1 個を %2 に書き込みました。").arg(written).arg(FromCore(folder));
}

QString CompletedMessage(std::size_t written, const std::string& folder) {
    return QStringLiteral("終了しました。\n") + WrittenMessage(written, folder);
}

QString CancelledMessage(std::size_t written, const std::string& folder) {
    if (written == 0) return QStringLiteral("中止しました。\n年次ファイルは書き込んでいません。");
    return QStringLiteral("中止しました。\n") + WrittenMessage(written, folder);
}

// The files a run would replace without reading them first: their days are lost, so the user is
// told which they are. A long list is cut; the folder is named once.
QString ReplaceQuestion(const std::vector<std::string>& files, const std::string& folder) {
    constexpr std::size_t SHOWN = 10;
    QString text =
        QStringLiteral("保存先のフォルダ %1 には、次の年次ファイルが既にあります。\n").arg(FromCore(folder));
    for (std::size_t i = 0; i < files.size() && i < SHOWN; ++i)
        text += QStringLiteral("\n　") + FileName(files[i]);
    if (files.size() > SHOWN) text += QStringLiteral("\n　ほか %1 個").arg(files.size() - SHOWN);
    text += QStringLiteral("\n\nこれらは月次ファイルのフォルダにないため、今の内容は引き継がれず、"
                           "新しい内容で置き換えられます。置き換えますか？");
    return text;
}

QString NoMonthlyFilesMessage(const std::string& folder) {
    return QStringLiteral("フォルダ %1 に月次ファイル（M????_????.csv）が見つかりません。"
                          "「月次ファイル：フォルダ指定」で月次ファイルのあるフォルダを指定して下さい。")
        .arg(FromCore(folder));
}

template <typename Widget, typename... Args>
Widget* Named(QWidget* parent, const QString& name, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(name);
    return widget;
}

QComboBox* DropDownList(QWidget* parent, const QString& name) {
    auto* box = Named<QComboBox>(parent, name);
    box->setEditable(false);
    return box;
}

// Fills a group or bucket list with nothing chosen, so the caller's choice of the first entry is
// what runs the list's handler. The IDs are kept as bytes: they are rebuilt into file names.
void FillIds(QComboBox* box, const std::vector<std::string>& ids) {
    const QSignalBlocker block(box);
    box->clear();
    for (const std::string& id : ids)
        box->addItem(FromCore(id), QByteArray::fromStdString(id));
    box->setCurrentIndex(-1);
}

std::string ChosenId(const QComboBox* box) {
    return box->currentIndex() < 0 ? std::string() : box->currentData().toByteArray().toStdString();
}

// The character code a typed key gives the box, as the keyboard sends it: Ctrl with a letter is the
// control character of that letter (Ctrl+V is 22), whatever text the platform put in the event.
// Empty for keys that type nothing (arrows, Delete, Tab and the like).
QString TypedCharacters(const QKeyEvent& event) {
    const int key = event.key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete) return QString();
    const Qt::KeyboardModifiers chord = event.modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (chord == Qt::ControlModifier && key >= Qt::Key_A && key <= Qt::Key_Z)
        return QString(QChar(key - Qt::Key_A + 1));
    return event.text();
}

} // namespace

frmKolvane::frmKolvane(QString applicationFolder, std::unique_ptr<UserDialogs> dialogs, QWidget* parent)
    : QWidget(parent), applicationFolder_(std::move(applicationFolder)), dialogs_(std::move(dialogs)) {
    if (!dialogs_) dialogs_ = std::make_unique<QtUserDialogs>(this);
    setObjectName(QStringLiteral("frmKolvane"));
    setWindowTitle(QStringLiteral("年次ファイル生成プログラム"));
    setFont(JapaneseFont());
    CreateControls();
    CreateRunControls();
    ConnectHandlers();
    cmdOK->setFocus();
}

// A window that goes during a run (the program ends) lets the current year finish, so no file is
// left half replaced and no thread outlives the window.
frmKolvane::~frmKolvane() {
    if (run_) {
        CancelRun();
        FinishRun(RunReport::None);
    }
}

void frmKolvane::CreateControls() {
    // Created in tab order; labels take no focus.
    cmdOK = Named<QPushButton>(this, QStringLiteral("cmdOK"), QStringLiteral("実行(&R)"));
    cmdExit = Named<QPushButton>(this, QStringLiteral("cmdExit"), QStringLiteral("終了(&X)"));
    cboArea1 = DropDownList(this, QStringLiteral("cboArea1"));
    cboArea2 = DropDownList(this, QStringLiteral("cboArea2"));
    cboGroup = DropDownList(this, QStringLiteral("cboGroup"));
    cboBucket = DropDownList(this, QStringLiteral("cboBucket"));
    List1 = Named<MonthList>(this, QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Label1 = Named<QLabel>(this, QStringLiteral("Label1"), QStringLiteral("都道府県名"));
    Label2 = Named<QLabel>(this, QStringLiteral("Label2"), QStringLiteral("地域名"));
    lblGroup = Named<QLabel>(this, QStringLiteral("lblGroup"), QStringLiteral("グループID"));
    lblBucket = Named<QLabel>(this, QStringLiteral("lblBucket"), QStringLiteral("バケットID"));
    for (int i = 0; i < 3; ++i)
        txtLat[i] = Named<QLineEdit>(this, QStringLiteral("txtLat%1").arg(i));
    for (int i = 0; i < 3; ++i)
        txtLon[i] = Named<QLineEdit>(this, QStringLiteral("txtLon%1").arg(i));
    cmdSet = Named<WrappingButton>(this, QStringLiteral("cmdSet"), QStringLiteral("緯度・経度設定"));
    lblLat = Named<QLabel>(this, QStringLiteral("lblLat"), QStringLiteral("緯度"));
    lblLon = Named<QLabel>(this, QStringLiteral("lblLon"), QStringLiteral("経度"));
    Command1 =
        Named<QPushButton>(this, QStringLiteral("Command1"), QStringLiteral("月次ファイル：フォルダ指定"));
    lblPath = Named<PathLabel>(this, QStringLiteral("lblPath"));
    cmdHelp = Named<QPushButton>(this, QStringLiteral("cmdHelp"), QStringLiteral("ヘルプ(&H)"));
    cmdPlot = Named<QPushButton>(this, QStringLiteral("cmdPlot"), QStringLiteral("グラフ(&G)"));
    cmdPlot->setToolTip(QStringLiteral("選んだ観測点の年次ファイルをグラフで表示します"));
    cmdPlot->setEnabled(false); // until a station with a yearly file is chosen

    for (QPushButton* button : {cmdOK, cmdExit, cmdSet, Command1, cmdHelp, cmdPlot})
        button->setAutoDefault(false);

    FixClientSizeInTwips(this, 4710, 6000);
    PlaceInTwips(cmdOK, 3600, 4560, 1000, 320);
    PlaceInTwips(cmdExit, 3600, 5040, 1000, 320);
    PlaceInTwips(cboArea1, 120, 360, 1215, 300);
    PlaceInTwips(cboArea2, 1440, 360, 2535, 300);
    PlaceInTwips(cboGroup, 120, 3120, 975, 300);
    PlaceInTwips(cboBucket, 1200, 3120, 975, 300);
    PlaceInTwips(List1, 120, 3600, 2055, 2220);
    PlaceInTwips(Label1, 120, 120, 1095, 255);
    PlaceInTwips(Label2, 1440, 120, 735, 255);
    PlaceInTwips(lblGroup, 120, 2880, 975, 255);
    PlaceInTwips(lblBucket, 1200, 2880, 975, 255);
    // Each coordinate box shows four digits in the Japanese font (a three-digit longitude, or a
    // pasted "35.5"); the longitude group and the button beside it move right to make room.
    PlaceInTwips(txtLat[0], 120, 1080, 510, 300);
    PlaceInTwips(txtLat[1], 660, 1080, 510, 300);
    PlaceInTwips(txtLat[2], 1200, 1080, 510, 300);
    PlaceInTwips(txtLon[0], 1800, 1080, 510, 300);
    PlaceInTwips(txtLon[1], 2340, 1080, 510, 300);
    PlaceInTwips(txtLon[2], 2880, 1080, 510, 300);
    PlaceInTwips(cmdSet, 3480, 840, 1120, 555);
    PlaceInTwips(lblLat, 120, 840, 615, 255);
    PlaceInTwips(lblLon, 1800, 840, 615, 255);
    PlaceInTwips(Command1, 120, 1560, 2655, 375);
    PlaceInTwips(lblPath, 120, 2040, 4455, 615);
    PlaceInTwips(cmdHelp, 3600, 5520, 1000, 320);
    PlaceInTwips(cmdPlot, 3600, 4080, 1000, 320);

    // The boxes are narrow: no room to spare for inner margins.
    for (QLineEdit* box : {txtLat[0], txtLat[1], txtLat[2], txtLon[0], txtLon[1], txtLon[2]}) {
        box->setTextMargins(0, 0, 0, 0);
        // Characters composed by an input method would bypass the keystroke filter.
        box->setAttribute(Qt::WA_InputMethodEnabled, false);
        box->installEventFilter(this);
    }

    QWidget* const tabOrder[] = {cmdOK,     cmdExit,   cboArea1,  cboArea2,  cboGroup,  cboBucket,
                                 List1,     txtLat[0], txtLat[1], txtLat[2], txtLon[0], txtLon[1],
                                 txtLon[2], cmdSet,    Command1,  cmdPlot,   cmdHelp};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

// The progress of a run and its Cancel button, shown only during a run, in the free space right
// of the month list; Cancel beside the disabled グラフ, above 実行.
void frmKolvane::CreateRunControls() {
    lblProgress = Named<QLabel>(this, QStringLiteral("lblProgress"));
    prgRun = Named<QProgressBar>(this, QStringLiteral("prgRun"));
    prgRun->setFormat(QStringLiteral("%v / %m"));
    prgRun->setAlignment(Qt::AlignCenter);
    cmdCancel = Named<QPushButton>(this, QStringLiteral("cmdCancel"), QStringLiteral("中止(&C)"));
    cmdCancel->setAutoDefault(false);
    PlaceInTwips(lblProgress, 2280, 3300, 2310, 255);
    PlaceInTwips(prgRun, 2280, 3600, 2310, 300);
    PlaceInTwips(cmdCancel, 2400, 4080, 1000, 320);
    for (QWidget* control : {static_cast<QWidget*>(lblProgress), static_cast<QWidget*>(prgRun),
                             static_cast<QWidget*>(cmdCancel)})
        control->hide();
}

void frmKolvane::ConnectHandlers() {
    connect(cmdOK, &QPushButton::clicked, this, &frmKolvane::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmKolvane::cmdCancel_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmKolvane::cmdExit_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmKolvane::cmdHelp_Click);
    connect(cmdPlot, &QPushButton::clicked, this, &frmKolvane::cmdPlot_Click);
    connect(cmdSet, &QPushButton::clicked, this, &frmKolvane::cmdSet_Click);
    connect(Command1, &QPushButton::clicked, this, &frmKolvane::Command1_Click);
    // A list's Click runs whenever its chosen entry changes, by the user or by code.
    connect(cboArea1, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) cboArea1_Click();
    });
    connect(cboGroup, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) cboGroup_Click();
    });
    connect(cboBucket, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) cboBucket_Click();
    });
    for (int i = 0; i < 3; ++i) {
        connect(txtLat[i], &QLineEdit::textChanged, this, [this, i] { txtLat_Change(i); });
        connect(txtLon[i], &QLineEdit::textChanged, this, [this, i] { txtLon_Change(i); });
    }
}

bool frmKolvane::eventFilter(QObject* watched, QEvent* event) {
    for (int i = 0; i < 3; ++i) {
        const bool latitude = watched == txtLat[i];
        if (!latitude && watched != txtLon[i]) continue;
        if (event->type() == QEvent::KeyPress)
            return DiscardsKey(i, latitude, *static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::InputMethod) {
            // Should an input method still reach the box, its text passes the same filter.
            for (QChar typed : static_cast<QInputMethodEvent*>(event)->commitString()) {
                if (!PassesKeyFilter(typed.unicode())) return true;
            }
        }
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool frmKolvane::DiscardsKey(int index, bool latitude, const QKeyEvent& event) {
    // Select-all types nothing: it is how a value is replaced by retyping it.
    if (event.matches(QKeySequence::SelectAll)) return false;
    for (QChar typed : TypedCharacters(event)) {
        int keyAscii = typed.unicode();
        if (latitude)
            txtLat_KeyPress(index, keyAscii);
        else
            txtLon_KeyPress(index, keyAscii);
        if (keyAscii == 0) return true;
    }
    return false;
}

QString frmKolvane::DefaultInstanceLockPath() {
    // The temporary folder is shared by all users here, so the lock names the user.
    return QDir(QDir::tempPath()).filePath(QStringLiteral("kolvane-%1.lock").arg(getuid()));
}

// ---- Start-up and exit ----

bool frmKolvane::Form_Load() {
    if (instanceLockPath_.isEmpty()) instanceLockPath_ = DefaultInstanceLockPath();
    instanceLock_ = std::make_unique<QLockFile>(instanceLockPath_);
    // The lock is held for the whole session, however long: only a dead owner makes it stale.
    instanceLock_->setStaleLockTime(0);
    if (!instanceLock_->tryLock(0)) {
        // Only a lock held by a running instance ends this one. A temporary folder that cannot take
        // the lock must not keep the program from starting.
        const bool heldElsewhere = instanceLock_->error() == QLockFile::LockFailedError;
        instanceLock_.reset();
        if (heldElsewhere) return false;
    }

    QString folder = applicationFolder_;
    if (!folder.endsWith(u'/')) folder += u'/';
    helpFilePath_ = folder + QStringLiteral("kolvane.hlp");

    RestoreSettings();

    // From here on a failure ends start-up silently; the window stays usable.
    monthlyFolder_ = StartMonthlyFolder(monthlyFolder_, ToCore(applicationFolder_));
    startingUp_ = true;
    ListMonthlyFolder();
    startingUp_ = false;
    return true;
}

void frmKolvane::RestoreSettings() {
    const SettingsValues stored = LoadSettings(SettingsPath(ToCore(applicationFolder_)));
    monthlyFolder_ = stored.monthlyFolder;
    prefectureIndex_ = stored.prefectureIndex;
    localityCode_ = stored.localityCode;
    // Each box checks what it receives, so a stored value out of range is reported and dropped here.
    for (int i = 0; i < 3; ++i)
        txtLat[i]->setText(FromCore(stored.latitude[i]));
    for (int i = 0; i < 3; ++i)
        txtLon[i]->setText(FromCore(stored.longitude[i]));
    FillPrefectures();
    // Choosing the entry fills the locality list and selects the remembered locality.
    cboArea1->setCurrentIndex(prefectureIndex_);
}

void frmKolvane::FillPrefectures() {
    const QSignalBlocker block(cboArea1);
    cboArea1->clear();
    for (std::string_view name : PREFECTURE_NAMES)
        cboArea1->addItem(FromCore(name));
    cboArea1->setCurrentIndex(-1);
}

// ---- Run ----

// What a run shares between the window and its thread. The thread writes `outcome` and `failure`;
// the window reads them only after the thread has ended.
struct frmKolvane::ActiveRun {
    std::unique_ptr<PlannedRun> plan;
    std::unique_ptr<QThread> thread;
    std::atomic<bool> cancel = false;
    RunOutcome outcome;
    std::optional<QString> failure;
    bool ended = false; // the thread has said it is done
    std::optional<WaitCursor> wait;
};

void frmKolvane::cmdOK_Click() {
    if (run_) return;
    RunRequest request;
    for (const QLineEdit* box : txtLat)
        request.latitude.push_back(ToCore(box->text()));
    for (const QLineEdit* box : txtLon)
        request.longitude.push_back(ToCore(box->text()));
    request.station = StationKey{ChosenId(cboGroup), ChosenId(cboBucket)};
    for (int row = 0; row < List1->count(); ++row) {
        if (List1->item(row)->isSelected()) request.months.push_back(ToCore(List1->item(row)->text()));
    }
    request.monthlyFolder = monthlyFolder_;
    try {
        CheckRunRequest(request);
    } catch (const RequestError& error) {
        QString text = QString::fromUtf8(error.what());
        // Asking to select a period would mislead when there is no month to select.
        if (error.field == RequestField::Months && List1->count() == 0)
            text = monthListProblem_ ? FromCore(message::FolderUnreadable(monthlyFolder_, monthListProblem_))
                                     : NoMonthlyFilesMessage(monthlyFolder_);
        dialogs_->ShowMessage(text, TITLE_ERROR, STYLE_EXCLAMATION);
        return;
    }

    outputFolder_ = ToCore(dialogs_->AskFolder(
        QStringLiteral("年次ファイルを保存するフォルダを指定して下さい。"), FromCore(monthlyFolder_)));
    if (outputFolder_.empty()) {
        UpdatePlotButton(); // the last run's output folder is forgotten with the choice
        return;
    }
    request.outputFolder = outputFolder_;

    PlannedRun plan;
    std::vector<std::string> unmerged;
    try {
        plan = PlanRun(request);
        unmerged = YearlyFilesReplacedUnmerged(plan);
    } catch (const KolvaneError& error) {
        dialogs_->ShowMessage(QString::fromUtf8(error.what()), TITLE_ERROR, STYLE_EXCLAMATION);
        return;
    } catch (const std::exception& error) {
        dialogs_->ShowMessage(FromCore(message::RunFailed(error.what())), TITLE_ERROR, STYLE_EXCLAMATION);
        return;
    }
    // No is a decision, not a failure: nothing is written and nothing more is said.
    if (!unmerged.empty() && !dialogs_->AskYesNo(ReplaceQuestion(unmerged, outputFolder_), TITLE_CONFIRM))
        return;
    StartRun(std::move(plan));
}

void frmKolvane::StartRun(PlannedRun plan) {
    run_ = std::make_unique<ActiveRun>();
    ActiveRun* const run = run_.get();
    run->plan = std::make_unique<PlannedRun>(std::move(plan));
    const unsigned generation = ++runGeneration_;

    QStringList names;
    for (const YearRun& year : run->plan->runs)
        names << FromCore(YearlyFileName(year.yy, run->plan->settings.key));
    prgRun->setRange(0, static_cast<int>(names.size()));
    prgRun->setValue(0);
    lblProgress->setText(names.value(0));
    SetRunning(true);
    run->wait.emplace();

    // Notices from the thread come back through the window's event queue, in the order sent; one
    // of a run that has ended meanwhile is dropped.
    auto post = [this, generation](auto&& action) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, action = std::move(action)] {
                if (run_ && generation == runGeneration_) action();
            },
            Qt::QueuedConnection);
    };
    run->thread.reset(QThread::create([this, run, names, post, generation, hook = runObserverHook_] {
        std::size_t year = 0;
        RunObserver observer;
        observer.cancelled = [&] {
            if (hook) hook(year);
            if (run->cancel) return true;
            post([this, name = names.value(static_cast<qsizetype>(year))] { lblProgress->setText(name); });
            ++year;
            return false;
        };
        observer.written = [&](std::size_t count, const std::string& path) {
            post([this, count, path = FromCore(path)] {
                prgRun->setValue(static_cast<int>(count));
                lastWrittenYear_ = YearOfYearlyFileName(ToCore(QFileInfo(path).fileName())).value_or(0);
                emit yearlyFileWritten(path);
            });
        };
        try {
            run->outcome = ConvertYearRuns(run->plan->runs, run->plan->settings, observer);
        } catch (const KolvaneError& error) {
            run->failure = QString::fromUtf8(error.what());
        } catch (const std::exception& error) {
            run->failure = FromCore(message::RunFailed(error.what()));
        }
        QMetaObject::invokeMethod(
            this, [this, generation] { RunEnded(generation); }, Qt::QueuedConnection);
    }));
    run->thread->start();
}

void frmKolvane::SetRunning(bool running) {
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        // 終了 stays usable: it offers to stop the run. The help window is a window of its own.
        if (!control->isWindow() && control != cmdExit && control != cmdCancel && control != prgRun &&
            control != lblProgress)
            control->setEnabled(!running);
    }
    cmdCancel->setEnabled(running);
    for (QWidget* control : {static_cast<QWidget*>(lblProgress), static_cast<QWidget*>(prgRun),
                             static_cast<QWidget*>(cmdCancel)})
        control->setVisible(running);
    if (!running) UpdatePlotButton();
    (running ? cmdCancel : cmdOK)->setFocus();
}

void frmKolvane::RunEnded(unsigned generation) {
    if (!run_ || generation != runGeneration_) return;
    run_->ended = true;
    // The answer to the exit question decides what is said; it is waited for.
    if (exitQuestionOpen_) return;
    FinishRun(RunReport::All);
}

void frmKolvane::cmdCancel_Click() {
    if (run_) CancelRun();
}

void frmKolvane::CancelRun() {
    if (run_->cancel.exchange(true)) return;
    cmdCancel->setEnabled(false);
    emit runCancelRequested();
}

void frmKolvane::FinishRun(RunReport report) {
    const std::unique_ptr<ActiveRun> run = std::move(run_);
    run->thread->wait();
    run->wait.reset();
    if (report == RunReport::None) return;
    // The controls come back at once; the bar stays up with the closing message.
    SetRunning(false);
    lblProgress->show();
    prgRun->show();
    if (run->failure)
        dialogs_->ShowMessage(*run->failure, TITLE_ERROR, STYLE_EXCLAMATION);
    else if (report == RunReport::All && run->outcome.cancelled)
        dialogs_->ShowMessage(CancelledMessage(run->outcome.written, run->plan->settings.outputFolder),
                              TITLE_CONFIRM, STYLE_PLAIN);
    else if (report == RunReport::All)
        dialogs_->ShowMessage(CompletedMessage(run->outcome.written, run->plan->settings.outputFolder),
                              TITLE_CONFIRM, STYLE_PLAIN);
    lblProgress->hide();
    prgRun->hide();
    // The year just written is one click away.
    if (run->outcome.written > 0 && cmdPlot->isEnabled()) cmdPlot->setFocus();
}

void frmKolvane::closeEvent(QCloseEvent* event) {
    if (run_) {
        CancelRun();
        FinishRun(RunReport::ErrorsOnly);
    }
    QWidget::closeEvent(event);
}

// ---- Monthly file discovery ----

int frmKolvane::ListMonthlyFolder() {
    lblPath->setText(FromCore(monthlyFolder_));
    lblPath->setToolTip(lblPath->text());
    std::vector<std::string> groups;
    if (int error = ListGroups(monthlyFolder_, groups)) {
        SetMonthListProblem(error);
        UpdatePlotButton();
        return error;
    }

    SetMonthListProblem(0);
    FillIds(cboGroup, groups);
    if (cboGroup->count() > 0) {
        cboGroup->setCurrentIndex(0);
    } else {
        cboBucket->clear();
        List1->clear();
        UpdatePlotButton();
    }
    return 0;
}

void frmKolvane::SetMonthListProblem(int errorNumber) {
    monthListProblem_ = errorNumber;
    // Broken by hand: the narrow list would otherwise wrap before the last character.
    List1->setProperty("placeholderText", errorNumber ? QStringLiteral("フォルダを\n読み込めません")
                                                      : QStringLiteral("月次ファイルが\nありません"));
    List1->viewport()->update();
}

void frmKolvane::Command1_Click() {
    const std::string start = FolderHasRegularFile(monthlyFolder_) ? monthlyFolder_ : std::string();
    const QString chosen =
        dialogs_->AskFolder(QStringLiteral("月次ファイルがあるフォルダを指定して下さい。"), FromCore(start));
    if (chosen.isEmpty()) return;

    // A folder that cannot be listed is refused before anything changes, so the lists and the
    // month selection stay as they were.
    const std::string folder = ToCore(chosen);
    std::vector<std::string> probe;
    if (int error = ListGroups(folder, probe)) {
        ReportUnreadableFolder(folder, error);
        return;
    }
    monthlyFolder_ = folder;
    if (int error = ListMonthlyFolder()) ReportUnreadableFolder(folder, error);
}

void frmKolvane::cboGroup_Click() {
    std::vector<std::string> buckets;
    const int error = ListBuckets(monthlyFolder_, ChosenId(cboGroup), buckets);
    SetMonthListProblem(error);
    FillIds(cboBucket, buckets);
    if (cboBucket->count() > 0)
        cboBucket->setCurrentIndex(0);
    else
        List1->clear();
    if (error) ReportUnreadableFolder(monthlyFolder_, error);
}

void frmKolvane::cboBucket_Click() {
    std::vector<std::string> months;
    const int error = ListMonths(monthlyFolder_, StationKey{ChosenId(cboGroup), ChosenId(cboBucket)}, months);
    SetMonthListProblem(error);
    List1->clear();
    for (const std::string& entry : months)
        List1->addItem(FromCore(entry));
    UpdatePlotButton();
    if (error) ReportUnreadableFolder(monthlyFolder_, error);
}

std::vector<std::string> frmKolvane::YearlyFolders() const {
    std::vector<std::string> folders;
    if (!outputFolder_.empty()) folders.push_back(outputFolder_);
    if (!monthlyFolder_.empty() && monthlyFolder_ != outputFolder_) folders.push_back(monthlyFolder_);
    return folders;
}

void frmKolvane::UpdatePlotButton() {
    const StationKey station{ChosenId(cboGroup), ChosenId(cboBucket)};
    cmdPlot->setEnabled(!run_ && !station.group.empty() && !station.bucket.empty() &&
                        !ListYearlyFiles(YearlyFolders(), station).empty());
}

void frmKolvane::cmdPlot_Click() {
    // One view at a time, of the station chosen now.
    if (yearView_) yearView_->close();
    yearView_ = ShowYearView(this, *dialogs_, YearlyFolders(),
                             StationKey{ChosenId(cboGroup), ChosenId(cboBucket)}, lastWrittenYear_);
}

void frmKolvane::ReportUnreadableFolder(const std::string& folder, int errorNumber) {
    if (startingUp_) return;
    dialogs_->ShowMessage(FromCore(message::FolderUnreadable(folder, errorNumber)), TITLE_ERROR,
                          STYLE_EXCLAMATION);
}

// ---- Settings, localities, coordinate entry and help ----

void frmKolvane::cmdExit_Click() {
    if (run_) {
        exitQuestionOpen_ = true;
        const bool stop = dialogs_->AskYesNo(
            QStringLiteral("年次ファイルを作成しています。中止して終了しますか？"), TITLE_CONFIRM);
        exitQuestionOpen_ = false;
        if (!stop) {
            // The run may have ended while the question was up: its message was held back for it.
            if (run_ && run_->ended) FinishRun(RunReport::All);
            return;
        }
        CancelRun();
        FinishRun(RunReport::ErrorsOnly);
    }
    SettingsValues values;
    values.monthlyFolder = monthlyFolder_;
    prefectureIndex_ = std::max(cboArea1->currentIndex(), 0);
    values.prefectureIndex = prefectureIndex_;
    localityCode_ =
        LocalityCodeAtExit(LocalityTable(), prefectureIndex_, ToCore(cboArea2->currentText()), localityCode_);
    values.localityCode = localityCode_;
    for (int i = 0; i < 3; ++i) {
        values.latitude[i] = ToCore(txtLat[i]->text());
        values.longitude[i] = ToCore(txtLon[i]->text());
    }
    const std::string path = SettingsPath(ToCore(applicationFolder_));
    // The program ends all the same, but the user learns that the next start will not restore
    // these choices.
    if (int error = SaveSettings(path, values))
        dialogs_->ShowMessage(FromCore(message::SettingsNotSaved(path, error)), TITLE_ERROR,
                              STYLE_EXCLAMATION);
    close();
}

std::string frmKolvane::LocalityTable() const {
    return LocalityTablePath(ToCore(applicationFolder_));
}

void frmKolvane::cboArea1_Click() {
    cboArea2->clear();
    const LocalityList localities = ListLocalities(LocalityTable(), cboArea1->currentIndex(), localityCode_);
    for (const std::string& name : localities.names)
        cboArea2->addItem(FromCore(name));
    if (cboArea2->count() > 0) cboArea2->setCurrentIndex(localities.selection);
}

void frmKolvane::cmdSet_Click() {
    const std::optional<LocalityCoordinates> found =
        FindLocalityCoordinates(LocalityTable(), cboArea1->currentIndex(), ToCore(cboArea2->currentText()));
    if (!found) return;
    for (int i = 0; i < 3; ++i)
        txtLat[i]->setText(FromCore(found->latitude[i]));
    for (int i = 0; i < 3; ++i)
        txtLon[i]->setText(FromCore(found->longitude[i]));
}

void frmKolvane::txtLat_KeyPress(int, int& keyAscii) {
    if (!PassesKeyFilter(static_cast<char32_t>(keyAscii))) keyAscii = 0;
}

void frmKolvane::txtLon_KeyPress(int, int& keyAscii) {
    if (!PassesKeyFilter(static_cast<char32_t>(keyAscii))) keyAscii = 0;
}

void frmKolvane::txtLat_Change(int index) {
    CheckCoordinateBox(txtLat[index], LatitudeBox(index));
}

void frmKolvane::txtLon_Change(int index) {
    CheckCoordinateBox(txtLon[index], LongitudeBox(index));
}

void frmKolvane::CheckCoordinateBox(QLineEdit* box, CoordinateBox which) {
    if (PassesRangeCheck(which, ToCore(box->text()))) return;
    dialogs_->ShowMessage(FromCore(RangeMessage(which)), FromCore(INPUT_ERROR_TITLE), STYLE_EXCLAMATION);
    // The whole text goes, not just the last character; emptying runs the check once more, which
    // passes.
    box->setText(QString());
}

void frmKolvane::cmdHelp_Click() {
    if (!helpWindow_) helpWindow_ = new HelpWindow(this);
    helpWindow_->ShowContents(helpFilePath_);
}

} // namespace kolvane
