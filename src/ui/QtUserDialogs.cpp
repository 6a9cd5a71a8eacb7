#include "ui/QtUserDialogs.h"

#include "ui/Form1.h"

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
    const bool chosen = dialog.exec() == QDialog::Accepted;
    strPath_ = dialog.strPath();
    // Only OK chooses. A dialog closed through its frame or with Escape still holds an earlier OK's
    // folder, and handing that back would convert into, or list, a folder the user did not choose.
    return chosen ? strPath_ : QString();
}

} // namespace kolvane
