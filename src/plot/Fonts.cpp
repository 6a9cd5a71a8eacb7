#include "plot/Fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace kolvane {

QStringList JapaneseFontFamilies() {
    QStringList families;
#ifdef Q_OS_WIN
    // The face Japanese Windows programs are drawn in, named in Japanese or in English depending on the
    // system's language; then the Gothic faces of newer Windows, where it is an optional feature.
    families << QStringLiteral(u"ＭＳ ゴシック") << QStringLiteral("MS Gothic")
             << QStringLiteral("Yu Gothic UI") << QStringLiteral("Meiryo UI")
             << QStringLiteral("MS UI Gothic");
#endif
    families << QStringLiteral("Noto Sans CJK JP") << QStringLiteral("IPAGothic");
    return families;
}

QFont JapaneseFont() {
    QFont font = QGuiApplication::font();
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : JapaneseFontFamilies()) {
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
