#pragma once

#include "ui/UserDialogs.h"

#include <QPointer>
#include <QWidget>

namespace kolvane {

// The real seam: QMessageBox, the folder dialog and Qt's own file dialog, modal over the owner window.
class QtUserDialogs : public UserDialogs {
  public:
    explicit QtUserDialogs(QWidget* owner = nullptr);

    void ShowMessage(const QString& text, const QString& title, int style) override;
    QString AskFolder(const QString& prompt, const QString& startFolder) override;
    bool AskYesNo(const QString& text, const QString& title) override;
    ReplaceAnswer AskMergeOrReplace(const QString& text, const QString& title) override;
    QString AskSaveFileName(const QString& caption, const QString& suggestedPath,
                            const QString& filter) override;

  private:
    QPointer<QWidget> owner_;
    // The folder dialog's result outlives each showing: closing the dialog through its frame
    // leaves the previous result in place (AskFolder then answers empty text all the same).
    QString strPath_;
};

} // namespace kolvane
