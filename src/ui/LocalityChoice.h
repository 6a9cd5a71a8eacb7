#pragma once

#include "settings/LocalityTable.h"

#include <QObject>
#include <QString>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace kolvane {

// The choice of a prefecture (cboArea1) and one of its localities (cboArea2) from the table of JMA
// stations, and cmdSet, which hands that locality's coordinates on.
class LocalityChoice : public QObject {
    Q_OBJECT
  public:
    // `tablePath` is the locality table beside the program.
    LocalityChoice(QWidget* window, std::string tablePath);

    // Lists the prefectures and chooses the stored one, with its stored locality when it is listed.
    void Restore(int prefectureIndex, const std::string& localityCode);
    // What is stored at exit: the chosen prefecture and the code of the chosen locality.
    int prefectureIndex() const;
    std::string localityCodeAtExit();
    // The chosen locality's name as listed, and its coordinates from the table if it has a row.
    QString localityName() const;
    std::optional<LocalityCoordinates> chosenCoordinates() const;
    const std::string& tablePath() const { return tablePath_; }

  signals:
    void coordinatesChosen(const kolvane::LocalityCoordinates& coordinates);
    void localityChanged();

  private:
    void cboArea1_Click();
    void cmdSet_Click();

    std::string tablePath_;
    std::string localityCode_;
    QComboBox* cboArea1;
    QComboBox* cboArea2;
    QLabel* Label1;
    QLabel* Label2;
    QPushButton* cmdSet;
};

} // namespace kolvane
