#include "ui/QtUserDialogs.h"

#include "ui/Form1.h"
#include "ui/Texts.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

namespace kolvane {
namespace {

// A short message makes a box so narrow that the window manager cuts its title ("確認" shown as
// "確…"): the text is given room for the title and the frame's buttons beside it.
void KeepTitleWhole(QMessageBox& box, const QString& title) {
    const qreal scale = box.logicalDpiX() / 96.0;
    const int width =
        std::max(qRound(260 * scale), box.fontMetrics().horizontalAdvance(title) + qRound(200 * scale));
    // A style sheet width would upset the box's own sizing of long texts; a spacer across the
    // layout only sets a floor.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(),
                      0, 1, grid->columnCount());
}

} // namespace

QtUserDialogs::QtUserDialogs(QWidget* owner) : owner_(owner) {}

void QtUserDialogs::ShowMessage(const QString& text, const QString& title, int style) {
    QMessageBox::Icon icon = style == STYLE_EXCLAMATION ? QMessageBox::Warning : QMessageBox::NoIcon;
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner_);
    KeepTitleWhole(box, title);
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

bool QtUserDialogs::AskYesNo(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, owner_);
    box.button(QMessageBox::Yes)->setText(text::YesCaption());
    box.button(QMessageBox::No)->setText(text::NoCaption());
    // Enter, Escape and the frame's close button all take the answer that changes nothing.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    KeepTitleWhole(box, title);
    return box.exec() == QMessageBox::Yes;
}

ReplaceAnswer QtUserDialogs::AskMergeOrReplace(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, owner_);
    QPushButton* merge = box.addButton(text::MergeCaption(), QMessageBox::AcceptRole);
    QPushButton* replace = box.addButton(text::ReplaceCaption(), QMessageBox::DestructiveRole);
    QPushButton* stop = box.addButton(text::StopCaption(), QMessageBox::RejectRole);
    // Enter keeps every day; Escape and the frame's close button write nothing.
    box.setDefaultButton(merge);
    box.setEscapeButton(stop);
    KeepTitleWhole(box, title);
    box.exec();
    if (box.clickedButton() == merge) return ReplaceAnswer::Merge;
    if (box.clickedButton() == replace) return ReplaceAnswer::Replace;
    return ReplaceAnswer::Stop;
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
