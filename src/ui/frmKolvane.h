#pragma once

#include "request/Coordinates.h"
#include "ui/UserDialogs.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QKeyEvent;
class QLockFile;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace kolvane {

class HelpWindow;
class YearView;
struct PlannedRun;

// The main window "年次ファイル生成プログラム". It holds the controls and the form-level strings;
// each handler copies widget state into a core call and shows the result.
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

    // Start-up: restores the user's choices and lists the folder of monthly files. Returns false,
    // having done nothing else, when another instance of the program is running: the caller then
    // ends without showing the window.
    [[nodiscard]] bool Form_Load();

    // The lock that keeps a second instance from starting; by default a file in the user's
    // temporary folder. Set before Form_Load.
    void setInstanceLockPath(const QString& path) { instanceLockPath_ = path; }
    static QString DefaultInstanceLockPath();

    const std::string& monthlyFolder() const { return monthlyFolder_; }
    const std::string& outputFolder() const { return outputFolder_; }
    const QString& applicationFolder() const { return applicationFolder_; }
    const QString& helpFilePath() const { return helpFilePath_; }

    // A conversion runs in the background from Run until its closing message.
    bool runInProgress() const { return run_ != nullptr; }
    // For tests: called on the conversion's thread before each year (0 for the first), before the
    // run asks whether it is cancelled. Set before Run.
    void setRunObserverHook(std::function<void(std::size_t year)> hook) {
        runObserverHook_ = std::move(hook);
    }

  signals:
    // A yearly file of the running conversion is in place.
    void yearlyFileWritten(const QString& path);
    // The user has asked the running conversion to stop; it stops before the next year.
    void runCancelRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    struct ActiveRun;
    enum class RunReport { All, ErrorsOnly, None };

    void CreateControls();
    void CreateRunControls();
    void ConnectHandlers();

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdExit_Click();
    void cmdHelp_Click();
    void cmdSet_Click();
    void cmdPlot_Click();
    void cboArea1_Click();
    void Command1_Click();
    void cboGroup_Click();
    void cboBucket_Click();
    // Key handlers may set `keyAscii` to 0 to discard the typed character.
    void txtLat_KeyPress(int index, int& keyAscii);
    void txtLon_KeyPress(int index, int& keyAscii);
    void txtLat_Change(int index);
    void txtLon_Change(int index);
    // The range check of one coordinate box: a failing text is reported and the box emptied.
    void CheckCoordinateBox(QLineEdit* box, CoordinateBox which);
    // Runs a typed key through the box's KeyPress handler; true when it is to be discarded.
    bool DiscardsKey(int index, bool latitude, const QKeyEvent& event);

    // Where the year view looks for the chosen station's yearly files: the last run's output folder,
    // then the monthly folder.
    std::vector<std::string> YearlyFolders() const;
    // グラフ is usable when the chosen station has a yearly file there and no run is going.
    void UpdatePlotButton();

    void RestoreSettings();
    void FillPrefectures();
    std::string LocalityTable() const;

    // Shows `monthlyFolder_` and fills the group list, cascading to buckets and months.
    // Returns 0 or the errno of a folder that cannot be listed.
    int ListMonthlyFolder();
    void ReportUnreadableFolder(const std::string& folder, int errorNumber);
    // What the empty month list says: no monthly file, or a folder that cannot be read.
    void SetMonthListProblem(int errorNumber);

    // The conversion on its own thread; the window only follows it.
    void StartRun(PlannedRun plan);
    void SetRunning(bool running);
    void RunEnded(unsigned generation);
    void CancelRun();
    // Waits for the conversion's thread to end, then says how it ended as `report` allows.
    void FinishRun(RunReport report);

    QPushButton* cmdOK;
    QPushButton* cmdExit;
    QComboBox* cboArea1;
    QComboBox* cboArea2;
    QComboBox* cboGroup;
    QComboBox* cboBucket;
    QListWidget* List1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* lblGroup;
    QLabel* lblBucket;
    QLineEdit* txtLat[3];
    QLineEdit* txtLon[3];
    QPushButton* cmdSet;
    QLabel* lblLat;
    QLabel* lblLon;
    QPushButton* Command1;
    QLabel* lblPath;
    QPushButton* cmdHelp;
    QLabel* lblProgress;
    QProgressBar* prgRun;
    QPushButton* cmdCancel;
    QPushButton* cmdPlot;

    std::string monthlyFolder_;
    std::string outputFolder_;
    int prefectureIndex_ = 0;
    std::string localityCode_;

    QString applicationFolder_;
    QString helpFilePath_;
    QString instanceLockPath_;
    std::unique_ptr<QLockFile> instanceLock_;
    HelpWindow* helpWindow_ = nullptr; // created at the first press of Help
    QPointer<YearView> yearView_;      // the open year view, if any
    int lastWrittenYear_ = 0;          // the year of the last yearly file a run wrote, shown first
    std::unique_ptr<UserDialogs> dialogs_;
    // Listing errors during start-up are silent; later they are reported.
    bool startingUp_ = false;
    int monthListProblem_ = 0; // errno of the last listing that failed, else 0

    std::unique_ptr<ActiveRun> run_;
    unsigned runGeneration_ = 0; // tells a finished run's late notices from the current run's
    bool exitQuestionOpen_ = false;
    std::function<void(std::size_t)> runObserverHook_;
};

} // namespace kolvane
