#pragma once

#include "checks/HourlyChecks.h"
#include "model/FileNames.h"
#include "plot/PlotLayout.h"
#include "series/YearSeries.h"
#include "ui/UserDialogs.h"

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSplitter;

namespace kolvane {

class FindingsList;
class PathLabel;

// Paints one year's plot at the size of the widget.
class YearPlotWidget : public QWidget {
    Q_OBJECT
  public:
    explicit YearPlotWidget(QWidget* parent = nullptr);
    // `ranges` null: the year's own scale.
    void setSeries(std::optional<YearSeries> series, QString title, std::optional<PlotRanges> ranges);
    // The day outlined on the plot, as an index from 1 January; -1 for none.
    void setPickedDay(int day);
    int pickedDay() const { return picked_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::optional<YearSeries> series_;
    QString title_;
    std::optional<PlotRanges> ranges_;
    int picked_ = -1;
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
    // The plot's title: the year, the station and the latitude the run log names for the file.
    const QString& plotTitle() const { return plotTitle_; }

    // Ask for a file name and save the plot there.
    void SavePng();
    void SaveSvg();

    // Lists the suspect values of the year shown and marks their days on the plot.
    // `note` says why the findings file was passed over, when it was.
    void ShowFindings(std::vector<Finding> findings, const QString& note = {});

    // The scale the plot and a saved picture use: the station's, or null for the year's own.
    const PlotRanges* Ranges() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void CreateControls(const QLabel& fileCaption);
    void LayOut(QLabel* yearCaption, QLabel* fileCaption);
    void LoadYear(int index);
    void ShowPlot();
    void Save(const QString& suffix, const QString& filter);

    UserDialogs& dialogs_;
    std::vector<std::string> folders_;
    StationKey station_;
    std::vector<YearlyFileEntry> files_;
    std::optional<YearSeries> series_;
    QString plotTitle_;
    PlotRanges stationRanges_; // of all the station's years
    QComboBox* cboYear = nullptr;
    QCheckBox* chkCommonScale = nullptr;
    QLabel* lblSaved = nullptr;
    QPushButton* cmdSavePng = nullptr;
    QPushButton* cmdSaveSvg = nullptr; // only in builds that can write SVG
    PathLabel* lblFile = nullptr;      // the file shown, with its folder
    QLabel* lblQuality = nullptr;      // why the companion was passed over, when it was
    YearPlotWidget* plot_ = nullptr;
    QLabel* lblFindings = nullptr;
    FindingsList* findings_ = nullptr;
};

// Opens the year view of the station as a window of its own over `parent` (it closes with the parent and
// deletes itself when closed). Returns the window, or null (after a message) when the station has no
// yearly file in `folders`.
YearView* ShowYearView(QWidget* parent, UserDialogs& dialogs, std::vector<std::string> folders,
                       StationKey station, int preferredYear);

} // namespace kolvane
