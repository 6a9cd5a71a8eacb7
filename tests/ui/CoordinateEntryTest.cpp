#include "UiTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace kolvane::testing {
namespace {

const QString LAT_DEGREES = QStringLiteral("緯度(度)には20-49の範囲の半角数字を入力して下さい。");
const QString LAT_MINUTES = QStringLiteral("緯度(分)には0-59の範囲の半角数字を入力して下さい。");
const QString LAT_SECONDS = QStringLiteral("緯度(秒)には0-59の範囲の半角数字を入力して下さい。");
const QString LON_DEGREES = QStringLiteral("経度(度)には120-155の範囲の半角数字を入力して下さい。");
const QString LON_MINUTES = QStringLiteral("経度(分)には0-59の範囲の半角数字を入力して下さい。");
const QString LON_SECONDS = QStringLiteral("経度(秒)には0-59の範囲の半角数字を入力して下さい。");

class CoordinateEntry : public UiFixture {
  protected:
    void SetUp() override {
        window = StartWindow();
        boxes = CoordinateBoxes(window.get());
        // What the box being typed into held while its message was up.
        dialogs->onMessage = [this](const ScriptedDialogs::Message&) {
            if (typingInto) textsAtMessage << typingInto->text();
        };
    }

    // Types `keys` one by one into `box`; the window's dialogs answer any message at once.
    void Type(QLineEdit* box, const QString& keys) {
        typingInto = box;
        for (QChar key : keys)
            QTest::keyClick(box, key.toLatin1());
        typingInto = nullptr;
    }

    static void SendText(QLineEdit* box, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(box, &press);
    }

    std::unique_ptr<frmKolvane> window;
    std::array<QLineEdit*, 6> boxes{};
    QLineEdit* typingInto = nullptr;
    QStringList textsAtMessage;
};

TEST_F(CoordinateEntry, EachTypedDigitIsCheckedAndAWrongOneEmptiesTheWholeBox) {
    struct Case {
        int box;
        const char* keys;
        const char* result;
        QString message; // empty: none expected
        const char* textAtMessage;
    };
    const Case cases[] = {
        {0, "35", "35", {}, ""},          {0, "1", "", LAT_DEGREES, "1"},   {0, "5", "", LAT_DEGREES, "5"},
        {3, "135", "135", {}, ""},        {3, "16", "", LON_DEGREES, "16"}, // the 1 goes too
        {1, "59", "59", {}, ""},          {1, "60", "", LAT_MINUTES, "60"}, // only after the 0
        {2, "60", "", LAT_SECONDS, "60"}, {4, "60", "", LON_MINUTES, "60"}, {5, "60", "", LON_SECONDS, "60"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("box ") + std::to_string(c.box) + " keys " + c.keys);
        QLineEdit* box = boxes[c.box];
        box->clear();
        dialogs->messages.clear();
        textsAtMessage.clear();
        Type(box, QString::fromLatin1(c.keys));
        EXPECT_EQ(box->text(), QString::fromLatin1(c.result));
        if (c.message.isEmpty()) {
            EXPECT_TRUE(dialogs->messages.empty());
            continue;
        }
        ASSERT_EQ(dialogs->messages.size(), 1u);
        EXPECT_EQ(dialogs->messages[0].text, c.message);
        EXPECT_EQ(dialogs->messages[0].title, QStringLiteral("入力値エラー"));
        EXPECT_EQ(dialogs->messages[0].style, 48);
        // The box is emptied only after the message has been answered.
        EXPECT_EQ(textsAtMessage, QStringList({QString::fromLatin1(c.textAtMessage)}));
    }
    // The other boxes keep their texts when one fails.
    boxes[0]->setText(QStringLiteral("035")); // leading zeros are harmless
    boxes[1]->setText(QStringLiteral("12"));
    Type(boxes[2], QStringLiteral("60"));
    EXPECT_EQ(CoordinateTexts(window.get()).mid(0, 3),
              QStringList({QStringLiteral("035"), QStringLiteral("12"), QString()}));
}

TEST_F(CoordinateEntry, OnlyDigitsEnterAndBackspaceGetThroughTheKeyboard) {
    QLineEdit* box = boxes[1];
    Type(box, QStringLiteral("1"));

    // Letters, signs, the point, a blank, a full-width digit, and the paste and undo shortcuts.
    Type(box, QStringLiteral("a-.+ e"));
    SendText(box, QStringLiteral("５"));
    QApplication::clipboard()->setText(QStringLiteral("9"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    // An input method's composed text is held to the same rule.
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("５"));
    QApplication::sendEvent(box, &composed);
    EXPECT_EQ(box->text(), QStringLiteral("1"));
    EXPECT_TRUE(dialogs->messages.empty());

    // Digits from the keypad count; Enter reaches the box; Backspace and Delete still delete.
    QTest::keyClick(box, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(box->text(), QStringLiteral("15"));
    QSignalSpy entered(box, &QLineEdit::returnPressed);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(entered.count(), 1);
    QTest::keyClick(box, Qt::Key_Backspace);
    Type(box, QStringLiteral("2"));
    EXPECT_EQ(box->text(), QStringLiteral("12"));
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->text(), QStringLiteral("2"));
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(CoordinateEntry, TextPastedThroughTheContextMenuIsChecked) {
    auto pasteInto = [](QLineEdit* box, const QString& clipboard) {
        QApplication::clipboard()->setText(clipboard);
        std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
        QAction* paste = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith(QStringLiteral("&Paste"))) paste = action;
        }
        ASSERT_NE(paste, nullptr);
        paste->trigger();
    };

    pasteInto(boxes[0], QStringLiteral("35.5")); // a fraction in range passes
    EXPECT_EQ(boxes[0]->text(), QStringLiteral("35.5"));
    EXPECT_TRUE(dialogs->messages.empty());

    // A word, and a number glued to a word, fail like a value out of range.
    pasteInto(boxes[5], QStringLiteral("北緯"));
    pasteInto(boxes[1], QStringLiteral("12分"));
    EXPECT_EQ(CoordinateTexts(window.get()).mid(1), QStringList(5, QString()));
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[0].text, LON_SECONDS);
    EXPECT_EQ(dialogs->messages[1].text, LAT_MINUTES);
}

// The real message box, answered as soon as it is up: the box is emptied after OK and the focus is
// where it was.
TEST(CoordinateEntryWithMessageBoxes, TheMessageIsModalAndTheFocusStaysInTheBox) {
    QTemporaryDir temp;
    frmKolvane window(temp.path());
    window.setInstanceLockPath(temp.filePath(QStringLiteral("kolvane.lock")));
    ASSERT_TRUE(window.Form_Load());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QLineEdit* box = CoordinateBoxes(&window)[3];
    box->setFocus();

    struct Seen {
        QString title, text, boxText;
        QMessageBox::Icon icon;
    };
    std::vector<Seen> seen;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen.push_back({message->windowTitle(), message->text(), box->text(), message->icon()});
            message->button(QMessageBox::Ok)->click();
        }
    });
    answer.start(10);
    QTest::keyClicks(box, QStringLiteral("16"));
    answer.stop();

    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, QStringLiteral("入力値エラー"));
    EXPECT_EQ(seen[0].text, LON_DEGREES);
    EXPECT_EQ(seen[0].icon, QMessageBox::Warning);
    EXPECT_EQ(seen[0].boxText, QStringLiteral("16"));
    EXPECT_EQ(box->text(), QString());
    // The window gives the focus back to the box as soon as it is active again.
    EXPECT_EQ(window.focusWidget(), box);
    // Typing goes on in the same box.
    QTest::keyClicks(box, QStringLiteral("14"));
    EXPECT_EQ(box->text(), QStringLiteral("14"));
}

} // namespace
} // namespace kolvane::testing
