#pragma once

#include "ui/RunJob.h"
#include "ui/UserDialogs.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kolvane {

class CoordinateEntry;
class HelpWindow;
class LocalityChoice;
class StationChoice;
class WaitCursor;
class YearView;

// The main window "年次ファイル生成プログラム". It is made of parts, each with its controls: the
// locality choice, the station and month choice, the coordinate entry and the run job; the window
// itself holds the buttons that act on all of them.
//
// Control names are the objectNames; the coordinate box arrays are txtLat0..txtLat2 and
// txtLon0..txtLon2 (index 0 degrees, 1 minutes, 2 seconds).
class frmKolvane : public QWidget {
    Q_OBJECT
  public:
    // `applicationFolder` is the folder of the executable; the settings, locality table, help file and
    // the default Data/ folder are looked for from there (settings/Locations.h). Without `dialogs`
    // the real message boxes and folder dialog are used.
    explicit frmKolvane(QString applicationFolder, std::unique_ptr<UserDialogs> dialogs = nullptr,
                        QWidget* parent = nullptr);
    ~frmKolvane() override;

    // Start-up: restores the user's choices and lists the folder of monthly files.
    void Form_Load();

    const std::string& monthlyFolder() const;
    const std::string& outputFolder() const { return outputFolder_; }
    const QString& applicationFolder() const { return applicationFolder_; }
    const QString& helpFilePath() const { return helpFilePath_; }

    // A conversion runs in the background from Run until its closing message.
    bool runInProgress() const;

  signals:
    // A yearly file of the running conversion is in place.
    void yearlyFileWritten(const QString& path);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    enum class RunReport { All, ErrorsOnly };

    void CreateControls();
    void ConnectHandlers();

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdExit_Click();
    void cmdHelp_Click();
    void cmdPlot_Click();

    // Where the year view looks for the chosen station's yearly files: the last run's output folder
    // when that run read the monthly folder chosen now, then the monthly folder.
    std::vector<std::string> YearlyFolders() const;
    // グラフ is usable when the chosen station has a yearly file there and no run is going.
    void UpdatePlotButton();
    void StoreSettings();

    // Shows lblOtherLocality while the boxes hold coordinates set from a locality other than the
    // chosen one.
    void UpdateLocalityMismatch();

    // Asks for the output folder of a run of `monthlyFolder`; false when the choice was cancelled.
    bool AskOutputFolder(const std::string& monthlyFolder);
    void SetRunning(bool running);
    void RunEnded(const ConversionOutcome& result);
    // Stops a running conversion (the current year finishes) and says only how it failed, if it did.
    void StopRun();
    // Says how a run ended as `report` allows.
    void ReportRun(const ConversionOutcome& result, RunReport report);

    QPushButton* cmdOK;
    QPushButton* cmdExit;
    QPushButton* cmdHelp;
    QPushButton* cmdPlot;
    QLabel* lblProgress;
    QProgressBar* prgRun;
    QPushButton* cmdCancel;
    QLabel* lblOtherLocality;

    std::unique_ptr<UserDialogs> dialogs_;
    LocalityChoice* locality_;
    StationChoice* station_;
    CoordinateEntry* coordinates_;
    RunJob* job_;

    QString applicationFolder_;
    QString helpFilePath_;
    std::string outputFolder_;
    std::string lastOutputFolder_; // the last folder chosen for a run, kept in the settings
    std::string outputFolderFrom_; // the monthly folder of the run outputFolder_ was chosen for
    std::string runFolder_;        // the running conversion's output folder
    QString runLatitude_;          // the running conversion's latitude as planned, for its message
    qint64 runSuspectValues_ = 0;  // what the checks found in the files written so far
    QStringList runNotes_;         // what was said of the files read for them
    // The locality whose coordinates 緯度・経度設定 put in the boxes, until the user edits them.
    std::optional<QString> coordinatesFrom_;
    std::unique_ptr<WaitCursor> wait_;            // on while a conversion runs
    std::optional<ConversionOutcome> heldEnding_; // a run's end that came while the exit question was up
    bool exitQuestionOpen_ = false;
    HelpWindow* helpWindow_ = nullptr; // created at the first press of Help
    QPointer<YearView> yearView_;      // the open year view, if any
    int lastWrittenYear_ = 0;          // the year of the last yearly file a run wrote, shown first
};

} // namespace kolvane
