#include "ui/Layout.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace kolvane {

int TwipsToPixels(int twips, qreal logicalDpi) {
    return static_cast<int>(std::lround(twips * logicalDpi / 1440.0));
}

void PlaceInTwips(QWidget* widget, int left, int top, int width, int height) {
    const qreal dpi = widget->logicalDpiX();
    // Right and bottom edges are rounded, not the sizes, so neighbours meet where they should.
    const int x = TwipsToPixels(left, dpi);
    const int y = TwipsToPixels(top, dpi);
    widget->setGeometry(x, y, TwipsToPixels(left + width, dpi) - x, TwipsToPixels(top + height, dpi) - y);
}

void FixClientSizeInTwips(QWidget* window, int width, int height) {
    const qreal dpi = window->logicalDpiX();
    window->setFixedSize(TwipsToPixels(width, dpi), TwipsToPixels(height, dpi));
}

void FitToScreen(QWidget& window, const QWidget* parent) {
    QScreen* screen = parent ? parent->screen() : window.screen();
    if (!screen) return;
    // The frame the window manager adds is not known before the window is shown: leave room for a
    // title bar and borders.
    const QRect room = screen->availableGeometry().adjusted(8, 36, -8, -8);
    const QSize size = window.size().boundedTo(room.size()).expandedTo(window.minimumSizeHint());
    window.setGeometry(QRect(room.topLeft() + QPoint(std::max(0, (room.width() - size.width()) / 2),
                                                     std::max(0, (room.height() - size.height()) / 2)),
                             size));
}

} // namespace kolvane
