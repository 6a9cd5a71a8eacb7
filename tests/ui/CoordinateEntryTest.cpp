#include "UiTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

namespace kolvane::testing {
namespace {

using CoordinateEntry = UiFixture;

TEST_F(CoordinateEntry, EachTypedDigitIsCheckedAndOnlyDigitsGetThroughTheKeyboard) {
    auto window = StartWindow();
    const auto boxes = CoordinateBoxes(window.get());

    // Every box once with its own message; the 1 of 16 goes too, and 60 fails only after the 0.
    const std::pair<int, const char*> cases[] = {{0, "5"},  {1, "60"}, {2, "60"},
                                                 {3, "16"}, {4, "60"}, {5, "60"}};
    for (auto [index, keys] : cases) {
        SCOPED_TRACE(std::string("box ") + std::to_string(index) + " keys " + keys);
        dialogs->messages.clear();
        QTest::keyClicks(boxes[index], QString::fromLatin1(keys)); // messages are answered at once
        EXPECT_EQ(boxes[index]->text(), QString());
        EXPECT_EQ(dialogs->messages, QStringList({RangeErrorLine(index)}));
    }
    dialogs->messages.clear();

    // A letter, the paste and undo shortcuts and an input method's composed text are dropped.
    QLineEdit* box = boxes[1];
    box->setText(QStringLiteral("1"));
    QTest::keyClicks(box, QStringLiteral("a"));
    QApplication::clipboard()->setText(QStringLiteral("9"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("５"));
    QApplication::sendEvent(box, &composed);
    EXPECT_EQ(box->text(), QStringLiteral("1"));

    // Digits from the keypad count; Enter reaches the box; Backspace and Delete still delete.
    QTest::keyClick(box, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(box->text(), QStringLiteral("15"));
    QSignalSpy entered(box, &QLineEdit::returnPressed);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(entered.count(), 1);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, QStringLiteral("2"));
    EXPECT_EQ(box->text(), QStringLiteral("12"));
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->text(), QStringLiteral("2"));

    // Select-all gets through, by Ctrl+A and by the platform's own binding, so typing replaces the value.
    QList<QKeySequence> selectAll = QKeySequence::keyBindings(QKeySequence::SelectAll);
    selectAll.prepend(QKeySequence(Qt::ControlModifier | Qt::Key_A));
    for (const QKeySequence& keys : selectAll) {
        SCOPED_TRACE(keys.toString().toStdString());
        box->setText(QStringLiteral("35"));
        QTest::keySequence(box, keys);
        QTest::keyClicks(box, QStringLiteral("41"));
        EXPECT_EQ(box->text(), QStringLiteral("41"));
    }
    EXPECT_TRUE(dialogs->messages.isEmpty());

    // The context menu's Paste bypasses the keys: a fraction in range stays, a word fails.
    for (auto [index, clipboard] : {std::pair{0, "35.5"}, {5, "北緯"}}) {
        boxes[index]->clear();
        QApplication::clipboard()->setText(QString::fromUtf8(clipboard));
        std::unique_ptr<QMenu> menu(boxes[index]->createStandardContextMenu());
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith(QStringLiteral("&Paste"))) action->trigger();
        }
    }
    EXPECT_EQ(boxes[0]->text(), QStringLiteral("35.5"));
    EXPECT_EQ(boxes[5]->text(), QString());
    EXPECT_EQ(dialogs->messages, QStringList({RangeErrorLine(5)}));
}

} // namespace
} // namespace kolvane::testing
