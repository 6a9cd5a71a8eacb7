#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kolvane {

class FolderList;
class PathLabel;

// The "drives" of the folder dialog made of the root folders of mounted file systems (on Windows, the
// drives): folders only (containers mount single files too), each once, QDir::rootPath() ("/", or the
// system drive) first and the others in name order.
QStringList DriveRoots(QStringList mountRoots);
// The drives of the file systems mounted now.
QStringList MountedDriveRoots();

// The folder dialog "フォルダ選択". Below the list it shows the full path of the open folder, the one OK
// takes, since a highlighted entry is easily taken for the choice; a path typed or pasted there opens
// with Enter (or OK), and a folder that cannot be opened is said under it. 新しいフォルダ makes a
// subfolder of the open folder. It can be resized; the lists grow with it. The caller sets the prompt and the
// start folder, runs exec() and reads strPath(): the open folder ending in the system's separator ("/", or
// "\" on Windows) after OK, empty text after Cancel. Closing through the window frame or with Escape runs
// neither button, so strPath() keeps the value the dialog was created with; exec() then returns Rejected, as
// after Cancel, and only OK returns Accepted.
class Form1 : public QDialog {
    Q_OBJECT
  public:
    explicit Form1(QWidget* parent = nullptr, QString previousResult = QString());

    void setPrompt(const QString& prompt);
    QString prompt() const;
    // The folder the list opens; empty text leaves it at the working folder.
    void setPath(const QString& folder);
    QString path() const;

    const QString& strPath() const { return strPath_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void CreateControls();
    void PlaceControls();
    void Drive1_Change();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdNewFolder_Click();
    // Opens the folder typed in txtOpen; false (and the reason shown) when it cannot be opened.
    bool OpenTyped();
    void ShowProblem(const QString& text);

    QComboBox* Drive1;
    FolderList* Dir1;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdNewFolder;
    QLabel* Label1;
    QLabel* lblOpen;
    QLineEdit* txtOpen;
    PathLabel* lblProblem;

    QString strPath_;
};

} // namespace kolvane
