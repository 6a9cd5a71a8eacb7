#include "ui/StationChoice.h"

#include "discovery/Discovery.h"
#include "model/Messages.h"
#include "ui/Controls.h"
#include "ui/Layout.h"
#include "ui/PathLabel.h"
#include "ui/Texts.h"
#include "ui/UserDialogs.h"

#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>

namespace kolvane {
namespace {

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

} // namespace

StationChoice::StationChoice(QWidget* window, UserDialogs& dialogs) : QObject(window), dialogs_(dialogs) {
    cboGroup = DropDownList(window, QStringLiteral("cboGroup"));
    cboBucket = DropDownList(window, QStringLiteral("cboBucket"));
    List1 = Named<MonthList>(window, QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // After the lists: the captions end a pixel into them and are drawn over them.
    lblGroup = Named<QLabel>(window, QStringLiteral("lblGroup"), text::GroupCaption());
    lblBucket = Named<QLabel>(window, QStringLiteral("lblBucket"), text::BucketCaption());
    Command1 = Named<QPushButton>(window, QStringLiteral("Command1"), text::MonthlyFolderCaption());
    Command1->setAutoDefault(false);
    lblPath = Named<PathLabel>(window, QStringLiteral("lblPath"));
    PlaceInTwips(cboGroup, 120, 3120, 975, 300);
    PlaceInTwips(cboBucket, 1200, 3120, 975, 300);
    PlaceInTwips(List1, 120, 3600, 2055, 2220);
    PlaceInTwips(lblGroup, 120, 2880, 975, 255);
    PlaceInTwips(lblBucket, 1200, 2880, 975, 255);
    PlaceInTwips(Command1, 120, 1560, 2655, 375);
    PlaceInTwips(lblPath, 120, 2040, 4455, 615);
    // Beside the list's foot, left of ヘルプ: how many months a run would read.
    lblSelected = Named<QLabel>(window, QStringLiteral("lblSelected"));
    PlaceInTwips(lblSelected, 2280, 5580, 1260, 255);
    connect(List1, &QListWidget::itemSelectionChanged, this, &StationChoice::CountSelected);
    connect(List1->model(), &QAbstractItemModel::modelReset, this, &StationChoice::CountSelected);
    connect(List1->model(), &QAbstractItemModel::rowsInserted, this, &StationChoice::CountSelected);

    connect(Command1, &QPushButton::clicked, this, &StationChoice::Command1_Click);
    // A list's Click runs whenever its chosen entry changes, by the user or by code.
    connect(cboGroup, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) cboGroup_Click();
    });
    connect(cboBucket, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) cboBucket_Click();
    });
}

void StationChoice::OpenAtStartUp(const std::string& folder) {
    monthlyFolder_ = folder;
    startingUp_ = true;
    ListMonthlyFolder();
    startingUp_ = false;
}

StationKey StationChoice::station() const {
    return StationKey{ChosenId(cboGroup), ChosenId(cboBucket)};
}

std::vector<std::string> StationChoice::selectedMonths() const {
    std::vector<std::string> months;
    for (int row = 0; row < List1->count(); ++row) {
        if (List1->item(row)->isSelected()) months.push_back(ToCore(List1->item(row)->text()));
    }
    return months;
}

QString StationChoice::NothingToChoose() const {
    if (List1->count() > 0) return QString();
    if (monthListProblem_) return FromCore(message::FolderUnreadable(monthlyFolder_, monthListProblem_));
    return text::NoMonthlyFiles(FromCore(monthlyFolder_));
}

int StationChoice::ListMonthlyFolder() {
    lblPath->setPath(FromCore(monthlyFolder_));
    std::vector<std::string> groups;
    if (int error = ListGroups(monthlyFolder_, groups)) {
        SetMonthListProblem(error);
        emit stationChanged();
        return error;
    }

    SetMonthListProblem(0);
    FillIds(cboGroup, groups);
    if (cboGroup->count() > 0) {
        cboGroup->setCurrentIndex(0);
    } else {
        cboBucket->clear();
        List1->clear();
        emit stationChanged();
    }
    return 0;
}

void StationChoice::CountSelected() {
    const auto selected = List1->selectedItems().size();
    lblSelected->setText(List1->count() > 0 ? text::MonthsSelected(selected) : QString());
}

void StationChoice::SetMonthListProblem(int errorNumber) {
    monthListProblem_ = errorNumber;
    List1->setProperty("placeholderText",
                       errorNumber ? text::UnreadableFolderInList() : text::NoMonthlyFilesInList());
    List1->viewport()->update();
}

void StationChoice::Command1_Click() {
    const std::string start = FolderHasRegularFile(monthlyFolder_) ? monthlyFolder_ : std::string();
    const QString chosen = dialogs_.AskFolder(text::AskMonthlyFolder(), FromCore(start));
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

void StationChoice::cboGroup_Click() {
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

void StationChoice::cboBucket_Click() {
    std::vector<std::string> months;
    const int error = ListMonths(monthlyFolder_, station(), months);
    SetMonthListProblem(error);
    List1->clear();
    for (const std::string& entry : months)
        List1->addItem(FromCore(entry));
    // Another station's months start at their first, not where the last list was scrolled to.
    List1->scrollToTop();
    emit stationChanged();
    if (error) ReportUnreadableFolder(monthlyFolder_, error);
}

void StationChoice::ReportUnreadableFolder(const std::string& folder, int errorNumber) {
    if (startingUp_) return;
    dialogs_.ShowMessage(FromCore(message::FolderUnreadable(folder, errorNumber)), text::ErrorTitle(),
                         STYLE_EXCLAMATION);
}

} // namespace kolvane
