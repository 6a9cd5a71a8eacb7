#pragma once

#include "ui/UserDialogs.h"

#include <QPointer>
#include <QStringList>

namespace kolvane {

class frmKolvane;

// A run without a user, for scripts that check an installed program (kolvane --run-into FOLDER):
// once the window is up, every month it lists is chosen and 実行 pressed with the coordinates it
// started with. The output folder question is answered with FOLDER, any other question with the
// answer that writes nothing; the first message ends the program through 終了, so that the settings
// are saved as at a user's exit. Messages go to stderr, since no one is there to read them.
class ScriptedRun : public UserDialogs {
  public:
    explicit ScriptedRun(QString outputFolder);

    // The folder after --run-into in the program's arguments; empty when there is none.
    static QString OutputFolderArgument(const QStringList& arguments);

    // Chooses the months of `window`, whose dialogs these are, and presses 実行.
    void Start(frmKolvane& window);
    // A message came and none of them was an error.
    bool succeeded() const { return !messages_.isEmpty() && !failed_; }
    const QStringList& messages() const { return messages_; }

    void ShowMessage(const QString& text, const QString& title, int style) override;
    QString AskFolder(const QString& prompt, const QString& startFolder) override;
    bool AskYesNo(const QString& text, const QString& title) override;
    ReplaceAnswer AskMergeOrReplace(const QString& text, const QString& title) override;
    QString AskSaveFileName(const QString& caption, const QString& suggestedPath,
                            const QString& filter) override;

  private:
    // Presses 終了 once, after the current message.
    void End();

    QString outputFolder_;
    QPointer<frmKolvane> window_;
    QStringList messages_;
    bool failed_ = false;
    bool folderGiven_ = false;
    bool ended_ = false;
};

} // namespace kolvane
