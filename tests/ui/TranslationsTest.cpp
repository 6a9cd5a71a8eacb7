#include "plot/Translations.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPushButton>
#include <QScopeGuard>
#include <QTranslator>
#include <gtest/gtest.h>

namespace kolvane {
namespace {

TEST(QtTranslations, StandardButtonsReadInJapanese) {
    const QString qm = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ja.qm");
    if (!QFileInfo::exists(qm))
        GTEST_SKIP() << qm.toStdString() << " is not installed (qt6-translations-l10n)";

    QTranslator* translator = InstallQtTranslations();
    ASSERT_NE(translator, nullptr);
    // Other tests compare texts as Qt gives them without a translator.
    const auto remove = qScopeGuard([translator] {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    });
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Save)->text(), QStringLiteral("保存"));
}

} // namespace
} // namespace kolvane
