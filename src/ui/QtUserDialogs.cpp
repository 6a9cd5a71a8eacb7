#include "ui/QtUserDialogs.h"

#include "ui/Form1.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace kolvane {

QtUserDialogs::QtUserDialogs(QWidget* owner) : owner_(owner) {}

void QtUserDialogs::ShowMessage(const QString& text, const QString& title, int style) {
    QMessageBox::Icon icon = style == STYLE_EXCLAMATION ? QMessageBox::Warning : QMessageBox::NoIcon;
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner_);
    box.exec();
}

QString QtUserDialogs::AskFolder(const QString& prompt, const QString& startFolder) {
    Form1 dialog(owner_, strPath_);
    dialog.setPrompt(prompt);
    dialog.setPath(startFolder);
    dialog.exec();
    strPath_ = dialog.strPath();
    return strPath_;
}

QString QtUserDialogs::AskSaveFileName(const QString& caption, const QString& suggestedPath,
                                       const QString& filter) {
    // Qt's own dialog rather than the desktop's: it looks and behaves alike everywhere, in Japanese.
    QFileDialog dialog(owner_, caption, suggestedPath, filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QString suffix = QFileInfo(suggestedPath).suffix();
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted) return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace kolvane
