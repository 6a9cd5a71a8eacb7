// The real message boxes: what Escape, Enter and each button answer. A question that Escape or Enter
// answers with the choice that writes or ends something would pass every scripted test.

#include "UiTestSupport.h"

#include "plot/Translations.h"
#include "ui/QtUserDialogs.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPointer>
#include <QScopeGuard>
#include <QTranslator>

namespace kolvane::testing {
namespace {

// Acts on the next message box once it is up. A box still up a while after the act is recorded and
// closed, so that a key the box ignores fails the test instead of hanging it.
class BoxUser : public ModalUser {
  public:
    explicit BoxUser(const std::function<void(QMessageBox*)>& act)
        : ModalUser([this, act](QWidget* modal) {
              auto* box = qobject_cast<QMessageBox*>(modal);
              if (!box) return;
              stop();
              for (QAbstractButton* b : box->buttons())
                  roles << QStringLiteral("%1:%2").arg(b->text()).arg(box->buttonRole(b));
              act(box);
              QTimer::singleShot(2000, this, [this, shown = QPointer<QMessageBox>(box)] {
                  if (shown && shown->isVisible()) stillUp = true, shown->done(-1);
              });
          }) {}

    QStringList roles; // every button as "caption:role"
    bool stillUp = false;
};

void Key(QMessageBox* box, Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus && box->isAncestorOf(focus) ? focus : box, key);
}

QAbstractButton* ButtonOfRole(QMessageBox* box, QMessageBox::ButtonRole role) {
    for (QAbstractButton* b : box->buttons())
        if (box->buttonRole(b) == role) return b;
    ADD_FAILURE() << "no button of role " << role;
    return nullptr;
}

void Click(QMessageBox* box, QMessageBox::ButtonRole role) {
    if (QAbstractButton* b = ButtonOfRole(box, role)) b->click();
}

TEST(QtUserDialogs, EscapeAndEnterTakeTheAnswerThatLosesNothingAndEachButtonItsOwn) {
    using Act = std::function<void(QMessageBox*)>;
    const Act escape = [](QMessageBox* b) { Key(b, Qt::Key_Escape); };
    const Act enter = [](QMessageBox* b) { Key(b, Qt::Key_Return); };
    const Act frame = [](QMessageBox* b) { b->close(); };
    const auto press = [](QMessageBox::ButtonRole role) {
        return Act([role](QMessageBox* b) { Click(b, role); });
    };
    QtUserDialogs dialogs;
    const QString text = QStringLiteral("年次ファイルを作成しています。中止して終了しますか？");
    for (const auto& [what, act, answer] : {std::tuple{"Escape", escape, false},
                                            {"Enter", enter, false},
                                            {"the frame", frame, false},
                                            {"はい", press(QMessageBox::YesRole), true},
                                            {"いいえ", press(QMessageBox::NoRole), false}}) {
        SCOPED_TRACE(what);
        BoxUser user(act);
        EXPECT_EQ(dialogs.AskYesNo(text, QStringLiteral("確認")), answer);
        EXPECT_FALSE(user.stillUp);
        EXPECT_EQ(user.roles, QStringList({QStringLiteral("はい(&Y):%1").arg(QMessageBox::YesRole),
                                           QStringLiteral("いいえ(&N):%1").arg(QMessageBox::NoRole)}));
    }
    for (const auto& [what, act, answer] :
         {std::tuple{"Escape", escape, ReplaceAnswer::Stop},
          {"Enter", enter, ReplaceAnswer::Merge},
          {"the frame", frame, ReplaceAnswer::Stop},
          {"結合", press(QMessageBox::AcceptRole), ReplaceAnswer::Merge},
          {"置き換え", press(QMessageBox::DestructiveRole), ReplaceAnswer::Replace},
          {"中止", press(QMessageBox::RejectRole), ReplaceAnswer::Stop}}) {
        SCOPED_TRACE(what);
        BoxUser user(act);
        EXPECT_EQ(dialogs.AskMergeOrReplace(QStringLiteral("…"), QStringLiteral("確認")), answer);
        EXPECT_FALSE(user.stillUp);
        EXPECT_EQ(user.roles.size(), 3);
    }

    // A message goes with Escape as with its OK.
    BoxUser user(escape);
    dialogs.ShowMessage(QStringLiteral("終了しました。"), QStringLiteral("確認"), STYLE_PLAIN);
    EXPECT_FALSE(user.stillUp);
}

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
} // namespace kolvane::testing
