#include "ui/Layout.h"

#include <QWidget>
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

} // namespace kolvane
