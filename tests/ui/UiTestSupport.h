#pragma once

#include "support/Samples.h"
#include "ui/UserDialogs.h"
#include "ui/frmKolvane.h"

// The widgets and test tools nearly every window test reaches for.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <array>
#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace kolvane::testing {

// Answers the window's modal questions from a script and records what was asked.
class ScriptedDialogs : public UserDialogs {
  public:
    struct FolderRequest {
        QString prompt;
        QString startFolder;
    };

    void ShowMessage(const QString& text, const QString& title, int style) override;
    QString AskFolder(const QString& prompt, const QString& startFolder) override;
    bool AskYesNo(const QString& text, const QString& title) override;
    ReplaceAnswer AskMergeOrReplace(const QString& text, const QString& title) override;
    QString AskSaveFileName(const QString& caption, const QString& suggestedPath,
                            const QString& filter) override;

    // The folder each folder question started at, in the order asked.
    QStringList StartFolders() const;

    // Every message shown, as a Line(); "(wait) " goes before one shown while the hourglass was on.
    QStringList messages;
    std::function<void()> onMessage;   // runs while the message is up
    std::deque<QString> folderAnswers; // an unexpected question fails the test and is cancelled
    std::vector<FolderRequest> folderRequests;
    // Every Yes/No question as "title text"; an unexpected one fails the test and is answered No.
    QStringList questions;
    std::deque<bool> yesNoAnswers;
    std::deque<ReplaceAnswer> replaceAnswers; // for the question before replacing; also in `questions`
    std::function<void()> onQuestion;         // runs while the question is up

    struct SaveRequest {
        QString caption;
        QString suggestedPath;
        QString filter;
    };
    std::deque<QString> saveAnswers; // as folderAnswers: empty text answers a cancel
    std::vector<SaveRequest> saveRequests;
};

// Coordinates a run can use: 35°41′0″ N, 139°45′30″ E.
extern const QStringList COORDINATES;

// A temporary folder holding the program's folder (with Data/) and room for other folders.
class UiFixture : public ::testing::Test {
  protected:
    // The folder `name` below the temporary folder, created, ending in "/".
    std::string Folder(const std::string& name) const;
    std::string AppFolder() const { return Folder("app"); }
    std::string SettingsFile() const { return AppFolder() + "kolvane.ini"; }
    std::string LocaleTable() const { return AppFolder() + "locale.dat"; }

    // A window over AppFolder(), started up; `dialogs` answers its questions (messages shown during
    // start-up are there afterwards), or the real message boxes and folder dialog do when not `scripted`.
    std::unique_ptr<frmKolvane> StartWindow(bool scripted = true);
    // The same, its questions answered by `answers`.
    std::unique_ptr<frmKolvane> StartWindow(std::unique_ptr<UserDialogs> answers);
    // Started on the settings file `settings` (UTF-8, written in CP932).
    std::unique_ptr<frmKolvane> StartWith(const std::string& settings);

    // The monthly folder chosen through 月次ファイル：フォルダ指定.
    void ChooseMonthly(frmKolvane& window, const std::string& folder);
    // The window listing `monthly`, COORDINATES set, every month selected.
    void Ready(frmKolvane& window, const std::string& monthly);
    // 実行, the yearly files going to `output`; whether the run ended.
    bool RunInto(frmKolvane& window, const std::string& output);

    QTemporaryDir temp;
    ScriptedDialogs* dialogs = nullptr;
};

// How long a test waits for a run to end: generous, for slow sanitizer builds (no test depends on how
// long a run takes), yet well inside TestDeadline's limit, so that the wait says what did not end.
inline constexpr int RUN_WAIT_MS = 20000;

// Waits for a run started by 実行 to end.
bool RunEnds(const frmKolvane& window);

// Ends the test program, naming the test, when a test runs past `limit`. A run that ignores the cancel
// blocks the window's thread in a join no event loop can break; without this the whole run would hang
// until the test runner's timeout.
class TestDeadline : public ::testing::EmptyTestEventListener {
  public:
    explicit TestDeadline(std::chrono::seconds limit);
    void OnTestStart(const ::testing::TestInfo& test) override;
    void OnTestEnd(const ::testing::TestInfo& test) override;

  private:
    struct Watch;
    std::shared_ptr<Watch> watch_; // shared with the watching thread, which outlives the listener
};

// Plays the user on real modal windows: every 10 ms, `answer` is given the active modal window while
// one is up, until stop().
class ModalUser : public QObject {
  public:
    explicit ModalUser(std::function<void(QWidget*)> answer);
    void stop() { timer_.stop(); }

  private:
    std::function<void(QWidget*)> answer_;
    QTimer timer_;
};

// A path as the window shows it to the user: with "\" on Windows.
std::string Shown(const std::string& path);
QString Shown(const QString& path);
// The names of a folder's entries, in name order.
QStringList Entries(const std::string& folder);
std::string Bytes(const std::string& path);

// Writes a monthly file of two days of 24 hourly observations in CP932.
void WriteMonthlyFile(const std::string& folder, int year, int month, const std::string& station);
void WriteFile(const std::string& path, const std::string& utf8Text);
// A settings file's [Data] section: `keys` ("Pref=13\r\n" and the like), then the six coordinates.
std::string DataSettings(const std::string& keys, const QStringList& coordinates);

// A message as one line, so that whole messages compare at once: "title (style) text".
QString Line(const QString& title, int style, const QString& text);
// The line of an error message (title "エラー", style 48).
QString ErrorLine(const QString& text);
// The line of a plain message titled "確認".
QString ConfirmLine(const QString& text);
// The line of the message of a coordinate box whose text is out of range (boxes as CoordinateBoxes).
QString RangeErrorLine(int box);
// Fails the test unless `line` starts with `head` and holds every one of `parts`.
void ExpectMessage(const QString& line, const QString& head, const QStringList& parts = {});

QStringList Texts(const QWidget* list);
QStringList Strings(std::initializer_list<const char*> utf8Texts);

// The six coordinate boxes: latitude degrees, minutes, seconds, then longitude.
std::array<QLineEdit*, 6> CoordinateBoxes(const QWidget* window);
QStringList CoordinateTexts(const QWidget* window);
void SetCoordinates(const QWidget* window, const QStringList& texts);

template <typename T> T* Child(const QWidget* parent, const char* name) {
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Clicks the button `name` of `parent`.
inline void Click(const QWidget* parent, const char* name) {
    if (auto* button = Child<QAbstractButton>(parent, name)) button->click();
}

} // namespace kolvane::testing
