#pragma once

#include <QString>

namespace kolvane {

// Message box styles as the program's messages name them.
enum MessageStyle : int {
    STYLE_PLAIN = 0,        // OK button alone
    STYLE_EXCLAMATION = 48, // exclamation icon and OK button
};

// The answers to the question asked before a run replaces yearly files it did not merge from.
enum class ReplaceAnswer {
    Merge,   // keep their days, as if they lay in the monthly folder
    Replace, // replace them without their days
    Stop,    // write nothing
};

// Every modal window the main window opens goes through this seam, so that tests can answer it
// without a person and no test ever blocks on a modal window.
class UserDialogs {
  public:
    virtual ~UserDialogs() = default;

    // Shows a modal message and returns when the user has acknowledged it.
    virtual void ShowMessage(const QString& text, const QString& title, int style) = 0;

    // Asks for a folder: the prompt is shown above the folder list, which opens at `startFolder`
    // (empty: the dialog's own default). Returns the chosen folder ending in "/" (on Windows "\"), or empty
    // text when the choice was cancelled: by Cancel, the window frame or Escape.
    virtual QString AskFolder(const QString& prompt, const QString& startFolder) = 0;

    // Asks a question to be answered Yes or No; true for Yes. Closing the question without an
    // answer is No, which must always be the choice that loses nothing.
    virtual bool AskYesNo(const QString& text, const QString& title) = 0;
    // Asks whether to merge, replace or stop. Closing the question without an answer is Stop.
    virtual ReplaceAnswer AskMergeOrReplace(const QString& text, const QString& title) = 0;
    // Asks for the name of a file to save: `caption` titles the dialog, which opens at `suggestedPath`
    // and lists the files that match `filter` (e.g. "PNG 画像 (*.png)"). The dialog asks before an
    // existing file is replaced. Returns the chosen path, or empty text when cancelled.
    virtual QString AskSaveFileName(const QString& caption, const QString& suggestedPath,
                                    const QString& filter) = 0;
};

} // namespace kolvane
