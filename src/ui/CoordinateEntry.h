#pragma once

#include "request/Coordinates.h"

#include <QObject>
#include <array>
#include <string>
#include <vector>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QWidget;

namespace kolvane {

class UserDialogs;

// The latitude and longitude boxes of the main window (txtLat0..txtLat2, txtLon0..txtLon2: index 0
// degrees, 1 minutes, 2 seconds) and their captions. Keys that cannot be part of a value are
// discarded as they are typed; a text out of range is reported and the box emptied.
class CoordinateEntry : public QObject {
    Q_OBJECT
  public:
    CoordinateEntry(QWidget* window, UserDialogs& dialogs);

    std::vector<std::string> latitude() const;
    std::vector<std::string> longitude() const;
    // Each box checks what it receives, so a value out of range is reported and dropped.
    void setCoordinates(const std::array<std::string, 3>& latitude,
                        const std::array<std::string, 3>& longitude);
    // The same for a locality's coordinates, which are whole values, not typed ones: a value only a
    // half-typed box may hold (a latitude of 3 degrees) is reported and dropped too.
    void chooseCoordinates(const std::array<std::string, 3>& latitude,
                           const std::array<std::string, 3>& longitude);

  signals:
    // The user typed into a box (not setCoordinates).
    void edited();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Key handlers may set `keyAscii` to 0 to discard the typed character.
    void txtLat_KeyPress(int index, int& keyAscii);
    void txtLon_KeyPress(int index, int& keyAscii);
    void txtLat_Change(int index);
    void txtLon_Change(int index);
    void CheckCoordinateBox(QLineEdit* box, CoordinateBox which);
    void RejectCoordinateBox(QLineEdit* box, CoordinateBox which);
    // Runs a typed key through the box's KeyPress handler; true when it is to be discarded.
    bool DiscardsKey(int index, bool latitude, const QKeyEvent& event);

    UserDialogs& dialogs_;
    QLineEdit* txtLat[3];
    QLineEdit* txtLon[3];
    QLabel* lblLat;
    QLabel* lblLon;
};

} // namespace kolvane
