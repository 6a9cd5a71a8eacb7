#pragma once

#include "request/Coordinates.h"
#include "ui/UserDialogs.h"

#include <QString>
#include <QWidget>
#include <memory>
#include <string>

class QComboBox;
class QKeyEvent;
class QLockFile;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kolvane {

class HelpWindow;

// The main window "年次ファイル生成プログラム". It holds the controls and the form-level strings;
// each handler copies widget state into a core call and shows the result.
//
// Control names are the objectNames; the coordinate box arrays are txtLat0..txtLat2 and
// txtLon0..txtLon2 (index 0 degrees, 1 minutes, 2 seconds).
class frmKolvane : public QWidget {
    Q_OBJECT
  public:
    // `applicationFolder` is the folder of the executable (settings, locality table, help file and
    // the default Data/ folder lie there). Without `dialogs` the real message boxes and folder
    // dialog are used.
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

  signals:
    // A yearly file of the running conversion is in place.
    void yearlyFileWritten(const QString& path);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void ConnectHandlers();

    void cmdOK_Click();
    void cmdExit_Click();
    void cmdHelp_Click();
    void cmdSet_Click();
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

    void RestoreSettings();
    void FillPrefectures();
    std::string LocalityTable() const;

    // Shows `monthlyFolder_` and fills the group list, cascading to buckets and months.
    // Returns 0 or the errno of a folder that cannot be listed.
    int ListMonthlyFolder();
    void ReportUnreadableFolder(const std::string& folder, int errorNumber);

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

    std::string monthlyFolder_;
    std::string outputFolder_;
    int prefectureIndex_ = 0;
    std::string localityCode_;

    QString applicationFolder_;
    QString helpFilePath_;
    QString instanceLockPath_;
    std::unique_ptr<QLockFile> instanceLock_;
    HelpWindow* helpWindow_ = nullptr; // created at the first press of Help
    std::unique_ptr<UserDialogs> dialogs_;
    // Listing errors during start-up are silent; later they are reported.
    bool startingUp_ = false;
};

} // namespace kolvane
