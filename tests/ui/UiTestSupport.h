#pragma once

#include "ui/UserDialogs.h"
#include "ui/frmKolvane.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QWidget>
#include <array>
#include <deque>
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
    struct Message {
        QString text;
        QString title;
        int style;
        bool waitCursorShown; // the hourglass was still on when the message appeared
    };
    struct FolderRequest {
        QString prompt;
        QString startFolder;
    };

    void ShowMessage(const QString& text, const QString& title, int style) override;
    QString AskFolder(const QString& prompt, const QString& startFolder) override;

    std::deque<QString> folderAnswers; // an unexpected question fails the test and is cancelled
    std::vector<Message> messages;
    std::function<void(const Message&)> onMessage; // runs while the message is up
    std::vector<FolderRequest> folderRequests;
};

// A temporary folder holding the program's folder (with Data/) and room for other folders.
class UiFixture : public ::testing::Test {
  protected:
    // The folder `name` below the temporary folder, created, ending in "/".
    std::string Folder(const std::string& name) const;
    std::string AppFolder() const { return Folder("app"); }
    std::string SettingsFile() const { return AppFolder() + "kolvane.ini"; }
    std::string LocaleTable() const { return AppFolder() + "locale.dat"; }
    // The single-instance lock of the windows the fixture starts.
    QString LockPath() const { return temp.filePath(QStringLiteral("kolvane.lock")); }

    // A window over AppFolder(), started up; `dialogs` answers its questions. Messages shown during
    // start-up are in `dialogs` afterwards.
    std::unique_ptr<frmKolvane> StartWindow();

    QTemporaryDir temp;
    ScriptedDialogs* dialogs = nullptr;
};

// Writes a monthly file of `days` days of 24 hourly observations (mean temperature 5.2) in CP932.
void WriteMonthlyFile(const std::string& folder, int year, int month, const std::string& station,
                      int days = 2);
void WriteFile(const std::string& path, const std::string& utf8Text);

// The lines of a yearly file as UTF-8; empty when it does not exist.
std::vector<std::string> ReadYearlyLines(const std::string& path);
// Field `column` (0-based) of the day line of `day` ("yy/mm/dd").
std::string YearlyField(const std::vector<std::string>& lines, const std::string& day, int column);

QStringList Texts(const QWidget* list);
QStringList Strings(std::initializer_list<const char*> utf8Texts);

// The six coordinate boxes: latitude degrees, minutes, seconds, then longitude.
std::array<QLineEdit*, 6> CoordinateBoxes(const QWidget* window);
QStringList CoordinateTexts(const QWidget* window);

// The text of a file as it lies on disk (the settings file is ASCII here); empty when missing.
std::string ReadText(const std::string& path);

template <typename T> T* Child(const QWidget* parent, const char* name) {
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

} // namespace kolvane::testing
