#pragma once

#include "model/FileNames.h"

#include <QObject>
#include <QString>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QWidget;

namespace kolvane {

class PathLabel;
class UserDialogs;

// The folder of monthly files (Command1, shown in lblPath) and the station and months found there:
// group (cboGroup), bucket (cboBucket) and the month list (List1), each list filling the next.
class StationChoice : public QObject {
    Q_OBJECT
  public:
    StationChoice(QWidget* window, UserDialogs& dialogs);

    const std::string& monthlyFolder() const { return monthlyFolder_; }
    // Opens `folder` at start-up: a folder that cannot be listed is not reported, only shown in the
    // empty month list.
    void OpenAtStartUp(const std::string& folder);

    StationKey station() const;
    // The selected month list entries "YYYY/MM", in list order.
    std::vector<std::string> selectedMonths() const;
    // What to say when a run is asked for without a month: the list may have nothing to choose.
    // Empty text when there are months to choose.
    QString NothingToChoose() const;

  signals:
    // The folder, group or bucket changed: what the station has may have changed with it.
    void stationChanged();

  private:
    void Command1_Click();
    void cboGroup_Click();
    void cboBucket_Click();
    void CountSelected();

    // Shows `monthlyFolder_` and fills the group list, cascading to buckets and months.
    // Returns 0 or the errno of a folder that cannot be listed.
    int ListMonthlyFolder();
    void ReportUnreadableFolder(const std::string& folder, int errorNumber);
    // What the empty month list says: no monthly file, or a folder that cannot be read.
    void SetMonthListProblem(int errorNumber);

    UserDialogs& dialogs_;
    std::string monthlyFolder_;
    bool startingUp_ = false;  // listing errors during start-up are silent
    int monthListProblem_ = 0; // errno of the last listing that failed, else 0

    QComboBox* cboGroup;
    QComboBox* cboBucket;
    QListWidget* List1;
    QLabel* lblGroup;
    QLabel* lblBucket;
    QPushButton* Command1;
    PathLabel* lblPath;
    QLabel* lblSelected;
};

} // namespace kolvane
