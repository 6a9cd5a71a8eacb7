#include "app/ScriptedRun.h"

#include "ui/frmKolvane.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <utility>

namespace kolvane {

namespace {

void Say(const QString& text) {
    std::fprintf(stderr, "kolvane: %s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

void Click(QWidget* window, const char* name) {
    if (auto* button = window->findChild<QPushButton*>(QString::fromLatin1(name))) button->click();
}

} // namespace

ScriptedRun::ScriptedRun(QString outputFolder) : outputFolder_(std::move(outputFolder)) {}

QString ScriptedRun::OutputFolderArgument(const QStringList& arguments) {
    const qsizetype at = arguments.indexOf(QStringLiteral("--run-into"));
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
}

void ScriptedRun::Start(frmKolvane& window) {
    window_ = &window;
    if (auto* months = window.findChild<QListWidget*>(QStringLiteral("List1"))) months->selectAll();
    Click(&window, "cmdOK");
    // Refused with a message, or stopped silently at a question: no run to wait for.
    if (!window.runInProgress()) {
        failed_ = failed_ || messages_.isEmpty();
        End();
    }
}

void ScriptedRun::End() {
    if (!window_ || std::exchange(ended_, true)) return;
    // After the box would have closed: a run has then ended.
    QTimer::singleShot(0, window_, [window = window_] { Click(window, "cmdExit"); });
}

void ScriptedRun::ShowMessage(const QString& text, const QString& title, int style) {
    Say(title + QStringLiteral(": ") + text);
    if (style == STYLE_EXCLAMATION) failed_ = true;
    messages_ << text;
    End();
}

QString ScriptedRun::AskFolder(const QString&, const QString&) {
    // Asked once; a second question is answered as if it had been closed.
    if (std::exchange(folderGiven_, true)) return QString();
    QString folder = QDir::toNativeSeparators(outputFolder_);
    if (!folder.endsWith(QDir::separator())) folder += QDir::separator();
    return folder;
}

bool ScriptedRun::AskYesNo(const QString& text, const QString&) {
    Say(text + QStringLiteral(" -> No"));
    return false;
}

ReplaceAnswer ScriptedRun::AskMergeOrReplace(const QString& text, const QString&) {
    Say(text + QStringLiteral(" -> Stop"));
    failed_ = true;
    return ReplaceAnswer::Stop;
}

QString ScriptedRun::AskSaveFileName(const QString&, const QString&, const QString&) {
    return QString();
}

} // namespace kolvane
