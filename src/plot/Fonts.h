#pragma once

#include <QFont>
#include <QStringList>

namespace kolvane {

// The Japanese Gothic faces the program is drawn in, the most wanted first.
QStringList JapaneseFontFamilies();

// The application's font with the first installed face of JapaneseFontFamilies() when there is one,
// at 9 points. Needs a QGuiApplication.
QFont JapaneseFont();

} // namespace kolvane
