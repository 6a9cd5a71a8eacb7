#include "ui/HelpWindow.h"

#include "model/FileIo.h"
#include "model/Messages.h"
#include "plot/Fonts.h"
#include "ui/Layout.h"
#include "ui/Texts.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <cerrno>
#include <utility>

namespace kolvane {

HelpWindow::HelpWindow(QWidget* owner) : QTextBrowser(owner) {
    // A window of its own that closes with the program, not a child control of the main window.
    setWindowFlag(Qt::Window);
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(text::HelpTitle());
    QFont font = JapaneseFont();
    font.setPointSize(10); // running text reads better a little larger than the window's captions
    setFont(font);
    setOpenExternalLinks(true);
    resize(TwipsToPixels(10500, logicalDpiX()), TwipsToPixels(9000, logicalDpiY()));
}

void HelpWindow::ShowContents(const QString& path) {
    std::string bytes;
    // The file is read here and given as HTML: its name ends in .hlp, from which nothing would
    // guess the format.
    if (int error = ReadWholeFile(ToCore(path), bytes)) {
        const QString reason = error == ENOENT
                                   ? text::HelpFileMissing(path)
                                   : text::HelpFileUnreadable(path, FromCore(DescribeSystemError(error)));
        setPlainText(reason);
    } else {
        setHtml(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }
    verticalScrollBar()->setValue(0);
    // Fitted at its first showing only: a size or place the user chose since is kept.
    if (!std::exchange(fitted_, true)) FitToScreen(*this, parentWidget());
    show();
    raise();
    activateWindow();
}

// Closes as a dialog would: the help is read and put away, often many times.
void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QTextBrowser::keyPressEvent(event);
}

} // namespace kolvane
