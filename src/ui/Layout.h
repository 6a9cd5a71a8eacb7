#pragma once

#include <QString>
#include <string>
#include <string_view>

class QWidget;

namespace kolvane {

// Twips to pixels: 15 twips are one pixel at 96 dots per inch.
int TwipsToPixels(int twips, qreal logicalDpi);

// Places `widget` at a rectangle given in twips, scaled by the widget's logical dpi.
void PlaceInTwips(QWidget* widget, int left, int top, int width, int height);
// Fixes the size of a window's client area, given in twips.
void FixClientSizeInTwips(QWidget* window, int width, int height);

// Sizes `window` to the screen `parent` (or else the window) is on, keeping its size where it fits, and
// centres it there, so that no edge runs off a small screen.
void FitToScreen(QWidget& window, const QWidget* parent);

// Core strings are UTF-8; QString lives only in the window layer.
inline QString FromCore(const std::string& text) {
    return QString::fromStdString(text);
}
inline QString FromCore(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string ToCore(const QString& text) {
    return text.toStdString();
}

} // namespace kolvane
