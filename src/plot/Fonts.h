#pragma once

#include <QFont>

namespace kolvane {

// The application's font with an installed Japanese Gothic face when there is one, at 9 points.
// Needs a QGuiApplication.
QFont JapaneseFont();

} // namespace kolvane
