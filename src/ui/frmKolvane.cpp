#include "ui/frmKolvane.h"

#include "convert/Discovery.h"
#include "convert/RunDriver.h"
#include "daily/DailyAggregation.h"
#include "model/Error.h"
#include "ui/Layout.h"
#include "ui/QtUserDialogs.h"
#include "ui/WaitCursor.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <filesystem>
#include <optional>
#include <system_error>

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

// A button whose caption wraps onto further lines when it is wider than the button.
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
        painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(), text(),
                             QPalette::ButtonText);
    }
};

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

bool IsExistingFolder(const std::string& folder) {
    std::error_code error;
    return std::filesystem::is_directory(folder, error);
}

} // namespace

frmKolvane::frmKolvane(QString applicationFolder, std::unique_ptr<UserDialogs> dialogs, QWidget* parent)
    : QWidget(parent), applicationFolder_(std::move(applicationFolder)), dialogs_(std::move(dialogs)) {
    if (!dialogs_) dialogs_ = std::make_unique<QtUserDialogs>(this);
    setObjectName(QStringLiteral("frmKolvane"));
    setWindowTitle(QStringLiteral("年次ファイル生成プログラム"));
    setFont(WindowFont());
    CreateControls();
    ConnectHandlers();
    cmdOK->setFocus();
}

frmKolvane::~frmKolvane() = default;

void frmKolvane::CreateControls() {
    // Created in tab order; labels take no focus.
    cmdOK = Named<QPushButton>(this, QStringLiteral("cmdOK"), QStringLiteral("実行(&R)"));
    cmdExit = Named<QPushButton>(this, QStringLiteral("cmdExit"), QStringLiteral("終了(&X)"));
    cboArea1 = DropDownList(this, QStringLiteral("cboArea1"));
    cboArea2 = DropDownList(this, QStringLiteral("cboArea2"));
    cboGroup = DropDownList(this, QStringLiteral("cboGroup"));
    cboBucket = DropDownList(this, QStringLiteral("cboBucket"));
    List1 = Named<QListWidget>(this, QStringLiteral("List1"));
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

    for (QPushButton* button : {cmdOK, cmdExit, cmdSet, Command1, cmdHelp})
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
    PlaceInTwips(txtLat[0], 120, 1080, 320, 300);
    PlaceInTwips(txtLat[1], 480, 1080, 320, 300);
    PlaceInTwips(txtLat[2], 840, 1080, 320, 300);
    PlaceInTwips(txtLon[0], 1440, 1080, 465, 300);
    PlaceInTwips(txtLon[1], 1920, 1080, 320, 300);
    PlaceInTwips(txtLon[2], 2280, 1080, 320, 300);
    PlaceInTwips(cmdSet, 3240, 840, 1125, 555);
    PlaceInTwips(lblLat, 120, 840, 615, 255);
    PlaceInTwips(lblLon, 1440, 840, 615, 255);
    PlaceInTwips(Command1, 120, 1560, 2655, 375);
    PlaceInTwips(lblPath, 120, 2040, 4455, 615);
    PlaceInTwips(cmdHelp, 3600, 5520, 1000, 320);

    // The boxes hold two or three digits in narrow fields: no room to spare for inner margins.
    for (QLineEdit* box : {txtLat[0], txtLat[1], txtLat[2], txtLon[0], txtLon[1], txtLon[2]}) {
        box->setTextMargins(0, 0, 0, 0);
        box->installEventFilter(this);
    }

    QWidget* const tabOrder[] = {cmdOK,     cmdExit,   cboArea1,  cboArea2,  cboGroup,  cboBucket,
                                 List1,     txtLat[0], txtLat[1], txtLat[2], txtLon[0], txtLon[1],
                                 txtLon[2], cmdSet,    Command1,  cmdHelp};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void frmKolvane::ConnectHandlers() {
    connect(cmdOK, &QPushButton::clicked, this, &frmKolvane::cmdOK_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmKolvane::cmdExit_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmKolvane::cmdHelp_Click);
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
    if (event->type() == QEvent::KeyPress) {
        for (int i = 0; i < 3; ++i) {
            if (watched != txtLat[i] && watched != txtLon[i]) continue;
            const QString typed = static_cast<QKeyEvent*>(event)->text();
            if (typed.isEmpty()) return false;
            int keyAscii = typed.at(0).unicode();
            if (watched == txtLat[i])
                txtLat_KeyPress(i, keyAscii);
            else
                txtLon_KeyPress(i, keyAscii);
            return keyAscii == 0;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmKolvane::Form_Load() {
    // The saved choices (folder, prefecture, locality, coordinates) are restored before this point.
    // From here on a failure ends start-up silently; the window stays usable.
    if (monthlyFolder_.empty() || !IsExistingFolder(monthlyFolder_)) monthlyFolder_ = DefaultMonthlyFolder();
    // File names are appended to the folder, so a hand-edited setting without the final "/" gets one.
    if (monthlyFolder_.back() != '/') monthlyFolder_ += '/';
    startingUp_ = true;
    ListMonthlyFolder();
    startingUp_ = false;
}

std::string frmKolvane::DefaultMonthlyFolder() const {
    std::string folder = ToCore(applicationFolder_);
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder + "Data/";
}

// ---- Run ----

void frmKolvane::cmdOK_Click() {
    for (const QLineEdit* box : {txtLat[0], txtLat[1], txtLat[2], txtLon[0], txtLon[1], txtLon[2]}) {
        if (box->text().isEmpty()) {
            dialogs_->ShowMessage(QStringLiteral("緯度・経度を設定して下さい。"), TITLE_ERROR,
                                  STYLE_EXCLAMATION);
            return;
        }
    }

    std::vector<std::string> selected;
    for (int row = 0; row < List1->count(); ++row) {
        if (List1->item(row)->isSelected()) selected.push_back(ToCore(List1->item(row)->text()));
    }
    if (selected.empty()) {
        dialogs_->ShowMessage(QStringLiteral("年次ファイル作成に使用するデータの期間を選択して下さい。"),
                              TITLE_ERROR, STYLE_EXCLAMATION);
        return;
    }

    outputFolder_ = ToCore(dialogs_->AskFolder(
        QStringLiteral("年次ファイルを保存するフォルダを指定して下さい。"), FromCore(monthlyFolder_)));
    if (outputFolder_.empty()) return;

    ConversionSettings settings;
    settings.latitude =
        LatitudeFromTexts(ToCore(txtLat[0]->text()), ToCore(txtLat[1]->text()), ToCore(txtLat[2]->text()));
    settings.monthlyFolder = monthlyFolder_;
    settings.outputFolder = outputFolder_;
    settings.key = StationKey{ChosenId(cboGroup), ChosenId(cboBucket)};

    std::optional<QString> failure;
    {
        const WaitCursor wait;
        try {
            ConvertYearRuns(PlanYearRuns(selected, settings.key), settings,
                            [this](const std::string& path) { emit yearlyFileWritten(FromCore(path)); });
        } catch (const KolvaneError& error) {
            failure = QString::fromUtf8(error.what());
        } catch (const std::exception& error) {
            failure =
                QStringLiteral("年次ファイルを作成できませんでした。\n") + QString::fromUtf8(error.what());
        }
    }
    if (failure) {
        dialogs_->ShowMessage(*failure, TITLE_ERROR, STYLE_EXCLAMATION);
        return;
    }
    dialogs_->ShowMessage(QStringLiteral("終了しました。"), TITLE_CONFIRM, STYLE_PLAIN);
}

// ---- Monthly file discovery ----

int frmKolvane::ListMonthlyFolder() {
    lblPath->setText(FromCore(monthlyFolder_));
    lblPath->setToolTip(lblPath->text());
    File1.setPath(monthlyFolder_);
    File1.setPattern(std::string(MONTHLY_PATTERN));
    std::vector<std::string> names;
    if (int error = File1.List(names)) return error;

    FillIds(cboGroup, DistinctGroups(names));
    if (cboGroup->count() > 0) {
        cboGroup->setCurrentIndex(0);
    } else {
        cboBucket->clear();
        List1->clear();
    }
    return 0;
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
    if (int error = ListMatchingFiles(folder, MONTHLY_PATTERN, probe)) {
        ReportUnreadableFolder(folder, error);
        return;
    }
    monthlyFolder_ = folder;
    if (int error = ListMonthlyFolder()) ReportUnreadableFolder(folder, error);
}

void frmKolvane::cboGroup_Click() {
    File1.setPattern(GroupPattern(ChosenId(cboGroup)));
    std::vector<std::string> names;
    const int error = File1.List(names);
    FillIds(cboBucket, DistinctBuckets(names));
    if (cboBucket->count() > 0)
        cboBucket->setCurrentIndex(0);
    else
        List1->clear();
    if (error) ReportUnreadableFolder(File1.path(), error);
}

void frmKolvane::cboBucket_Click() {
    File1.setPattern(StationPattern(ChosenId(cboGroup), ChosenId(cboBucket)));
    std::vector<std::string> names;
    const int error = File1.List(names);
    List1->clear();
    for (const std::string& entry : MonthEntries(names))
        List1->addItem(FromCore(entry));
    if (error) ReportUnreadableFolder(File1.path(), error);
}

void frmKolvane::ReportUnreadableFolder(const std::string& folder, int errorNumber) {
    if (startingUp_) return;
    dialogs_->ShowMessage(QStringLiteral("フォルダ「%1」を読み込めません。\n%2。")
                              .arg(FromCore(folder), FromCore(DescribeSystemError(errorNumber))),
                          TITLE_ERROR, STYLE_EXCLAMATION);
}

// ---- Handlers completed with the settings, localities, coordinate checks and help ----

void frmKolvane::cmdExit_Click() {
    close();
}

void frmKolvane::cmdHelp_Click() {}

void frmKolvane::cmdSet_Click() {}

void frmKolvane::cboArea1_Click() {}

void frmKolvane::txtLat_KeyPress(int, int&) {}

void frmKolvane::txtLon_KeyPress(int, int&) {}

void frmKolvane::txtLat_Change(int) {}

void frmKolvane::txtLon_Change(int) {}

} // namespace kolvane
