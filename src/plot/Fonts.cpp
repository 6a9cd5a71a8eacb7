#include "plot/Fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace kolvane {

QFont JapaneseFont() {
    QFont font = QGuiApplication::font();
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic")}) {
        if (installed.contains(family)) {
            font.setFamilies({family});
            break;
        }
    }
    font.setPointSize(9);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace kolvane
