#pragma once

#include "checks/HourlyChecks.h"

#include <QTableWidget>
#include <vector>

namespace kolvane {

// The suspect values of one year, one row each, in the columns of the findings file, so that a user can
// go through them; picking a row names its day.
class FindingsList : public QTableWidget {
    Q_OBJECT
  public:
    explicit FindingsList(QWidget* parent = nullptr);

    // The findings of `year` (others are left out), in the order given.
    void SetFindings(int year, std::vector<Finding> findings);
    const std::vector<Finding>& findings() const { return findings_; }

  signals:
    // The day of the row picked, as an index from 1 January of the year; -1 when none is picked.
    void dayPicked(int day);

  private:
    void Fill();
    void RowPicked();

    int year_ = 0;
    std::vector<Finding> findings_;
};

// The index from 1 January of `year` of the day a finding was found on; -1 for another year.
int DayOfYear(int year, const Finding& finding);

} // namespace kolvane
