#pragma once

#include "model/FileNames.h"
#include "series/YearSeries.h"
#include "ui/UserDialogs.h"

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

namespace kolvane {

// Paints one year's plot at the size of the widget.
class YearPlotWidget : public QWidget {
    Q_OBJECT
  public:
    explicit YearPlotWidget(QWidget* parent = nullptr);
    void setSeries(std::optional<YearSeries> series, QString title);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::optional<YearSeries> series_;
    QString title_;
};

// The year at a glance: the plot of one yearly file of a station, a chooser of the station's years and
// buttons that save the plot. Messages and the save dialog go through `dialogs`, which must outlive the
// window (a window made a child of the main window closes with it).
class YearView : public QWidget {
    Q_OBJECT
  public:
    // `folders` are searched for the station's yearly files in order (the output folder, then the
    // folder of the monthly files); a year found twice is taken from the first.
    YearView(UserDialogs& dialogs, std::vector<std::string> folders, StationKey station,
             QWidget* parent = nullptr);

    // Lists the station's years again and shows `preferredYear`, or the latest year when it has no
    // file. False (and a message) when the station has no yearly file at all.
    bool ShowYear(int preferredYear);

    // The year shown, when its file could be read.
    const std::optional<YearSeries>& series() const { return series_; }

    // Ask for a file name and save the plot there.
    void SavePng();
    void SaveSvg();

  private:
    void LoadYear(int index);
    void Save(const QString& suffix, const QString& filter);

    UserDialogs& dialogs_;
    std::vector<std::string> folders_;
    StationKey station_;
    std::vector<YearlyFileEntry> files_;
    std::optional<YearSeries> series_;
    QString plotTitle_;
    QComboBox* cboYear = nullptr;
    QPushButton* cmdSavePng = nullptr;
    QPushButton* cmdSaveSvg = nullptr; // only in builds that can write SVG
    QLabel* lblQuality = nullptr;      // why the companion was passed over, when it was
    YearPlotWidget* plot_ = nullptr;
};

// Opens the year view of the station as a window of its own over `parent` (it closes with the parent and
// deletes itself when closed). Returns the window, or null (after a message) when the station has no
// yearly file in `folders`.
YearView* ShowYearView(QWidget* parent, UserDialogs& dialogs, std::vector<std::string> folders,
                       StationKey station, int preferredYear);

} // namespace kolvane
