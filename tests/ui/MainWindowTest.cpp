#include "UiTestSupport.h"

#include "plot/Fonts.h"
#include "ui/PathLabel.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>

namespace kolvane::testing {
namespace {

using MainWindow = UiFixture;

// The first of the program's Japanese faces this machine has; the window's sizes are set for them.
QString FirstInstalledJapaneseFamily() {
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : JapaneseFontFamilies())
        if (installed.contains(family)) return family;
    return QString();
}

TEST_F(MainWindow, ControlsLieInsideTheWindowApartAndInItsJapaneseFont) {
    auto window = StartWindow();
    const QFont font = window->font();

    // Every control lies inside the client area and wears the window's font; lists offer only the
    // program's entries. No control covers another, except that captions end a pixel into the
    // control below them (only their text shows).
    const QList<QWidget*> children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (const QWidget* child : children) {
        SCOPED_TRACE(child->objectName().toStdString());
        EXPECT_TRUE(window->rect().contains(child->geometry()));
        EXPECT_EQ(child->font(), font);
        const auto* list = qobject_cast<const QComboBox*>(child);
        EXPECT_FALSE(list && list->isEditable());
        if (qobject_cast<const QLabel*>(child)) continue;
        for (const QWidget* other : children) {
            if (other == child || qobject_cast<const QLabel*>(other)) continue;
            EXPECT_FALSE(child->geometry().intersects(other->geometry()))
                << other->objectName().toStdString();
        }
    }

    // The most wanted face the machine has, not merely any Japanese one.
    if (FirstInstalledJapaneseFamily().isEmpty())
        GTEST_SKIP() << "no Japanese Gothic face installed (fonts-noto-cjk): "
                     << JapaneseFontFamilies().join(u',').toStdString();
    EXPECT_EQ(font.families().value(0), FirstInstalledJapaneseFamily())
        << font.families().join(u',').toStdString();
}

TEST_F(MainWindow, ALongFolderIsShortenedInTheMiddleAndTheMonthListCountsItsSelection) {
    // 84 Japanese characters: at the window's width more lines than the label has.
    const std::string longFolder =
        Folder(QStringLiteral("茨城県つくば市の農業気象観測データ").repeated(6).left(84).toStdString());
    for (int month : {4, 5, 6})
        WriteMonthlyFile(longFolder, 2024, month, "0312");
    auto window = StartWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto* lblPath = Child<PathLabel>(window.get(), "lblPath");
    auto* lblSelected = Child<QLabel>(window.get(), "lblSelected");

    ChooseMonthly(*window, Folder("short"));
    EXPECT_EQ(lblPath->shownText().toStdString(), Folder("short"));
    EXPECT_EQ(lblSelected->text(), QString()); // nothing to select, nothing to count

    // Its start and its end (which names the folder) stay, every line whole; the tooltip holds it all.
    ChooseMonthly(*window, longFolder);
    const QString whole = QString::fromStdString(longFolder);
    const QString shown = lblPath->shownText();
    EXPECT_EQ(lblPath->toolTip(), whole);
    const qsizetype cut = shown.indexOf(QStringLiteral("…"));
    ASSERT_GT(cut, 0) << shown.toStdString();
    EXPECT_TRUE(whole.startsWith(shown.left(cut)));
    EXPECT_TRUE(whole.endsWith(shown.mid(cut + 1)));
    EXPECT_GT(shown.size() - cut - 1, cut);
    const QRect room = lblPath->contentsRect();
    EXPECT_LE(lblPath->fontMetrics().boundingRect(room, Qt::TextWrapAnywhere, shown).height(), room.height());
    EXPECT_GT(lblPath->fontMetrics().boundingRect(room, Qt::TextWrapAnywhere, whole).height(), room.height());

    auto* list = Child<QListWidget>(window.get(), "List1");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(lblSelected->text(), QStringLiteral("0 か月を選択"));
    list->selectAll();
    EXPECT_EQ(lblSelected->text(), QStringLiteral("3 か月を選択"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(lblSelected->text(), QStringLiteral("1 か月を選択"));
    // A fresh list of the same station starts unselected again.
    ChooseMonthly(*window, longFolder);
    EXPECT_EQ(lblSelected->text(), QStringLiteral("0 か月を選択"));
}

// From the keyboard, with the real message boxes, each answered with OK as soon as it is up.
TEST_F(MainWindow, TabWalksTheControlsAccessKeysPressTheButtonsAndAMessageKeepsTheFocus) {
    auto window = StartWindow(false);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ASSERT_EQ(QApplication::focusWidget(), Child<QWidget>(window.get(), "cmdOK"));
    // Tab goes round every control it can reach once, back to 実行; controls side by side are
    // visited one after the other, left to right, as they are read.
    QStringList reachable;
    for (const QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible() && child->isEnabled() && (child->focusPolicy() & Qt::TabFocus))
            reachable << child->objectName();
    QList<QWidget*> walked;
    QStringList names;
    do {
        walked << QApplication::focusWidget();
        names << walked.back()->objectName();
        QTest::keyClick(walked.back(), Qt::Key_Tab);
    } while (QApplication::focusWidget() != walked.front() && walked.size() <= reachable.size());
    const QString order = names.join(u' ');
    names.sort();
    reachable.sort();
    EXPECT_EQ(names, reachable) << order.toStdString();
    for (qsizetype i = 0; i < walked.size(); ++i) {
        qsizetype last = i; // the last control of this row visited so far
        for (qsizetype j = i + 1; j < walked.size(); ++j) {
            if (walked[j]->y() != walked[i]->y()) continue;
            EXPECT_EQ(j, last + 1) << order.toStdString();
            EXPECT_LT(walked[last]->x(), walked[j]->x()) << order.toStdString();
            last = j;
        }
    }

    QLineEdit* box = CoordinateBoxes(window.get())[3];
    QStringList seen; // each message as a Line(), then what the longitude box held meanwhile
    ModalUser answer([&](QWidget* modal) {
        if (auto* message = qobject_cast<QMessageBox*>(modal)) {
            const int style = message->icon() == QMessageBox::Warning ? 48 : 0;
            seen << Line(message->windowTitle(), style, message->text()) << box->text();
            message->button(QMessageBox::Ok)->click();
        }
    });

    // Access keys work from whichever control has the focus. Run: the coordinates are empty.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !seen.isEmpty(); }));

    // A wrong digit: the box is emptied after OK, and the window gives the focus back to it as soon as
    // it is active again, so typing goes on there.
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("16"));
    EXPECT_EQ(seen, QStringList({ErrorLine(QStringLiteral("緯度・経度を設定して下さい。")), QString(),
                                 RangeErrorLine(3), QStringLiteral("16")}));
    EXPECT_EQ(box->text(), QString());
    EXPECT_EQ(window->focusWidget(), box);
    QTest::keyClicks(box, QStringLiteral("14"));
    EXPECT_EQ(box->text(), QStringLiteral("14"));
    answer.stop();

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }));
}

TEST_F(MainWindow, TheMonthlyFolderCascadesIntoTheListsAndAFailedChoiceChangesNothing) {
    const std::string data = Folder("app/Data");
    int month = 0;
    for (const char* station : {"0201", "0101", "0233", "0201"})
        WriteMonthlyFile(data, 2005, ++month, station);
    Folder("app/Data/M0505_0299.csv"); // a folder, never listed

    auto window = StartWindow();
    auto* lblPath = Child<QLabel>(window.get(), "lblPath");
    EXPECT_EQ(lblPath->text().toStdString(), data);
    auto* cboGroup = Child<QComboBox>(window.get(), "cboGroup");
    auto* cboBucket = Child<QComboBox>(window.get(), "cboBucket");
    auto* list = Child<QListWidget>(window.get(), "List1");
    // First appearance in name order, the first group chosen at once, cascading to its months.
    EXPECT_EQ(Texts(cboGroup) << cboGroup->currentText(), Strings({"02", "01", "02"}));
    EXPECT_EQ(Texts(cboBucket) << cboBucket->currentText(), Strings({"01", "33", "01"}));
    ASSERT_EQ(Texts(list), Strings({"2005/01", "2005/04"}));
    EXPECT_TRUE(list->selectedItems().isEmpty());

    // Choosing another bucket or group, by keyboard, rebuilds the lists below it and drops the
    // month selection.
    list->item(1)->setSelected(true);
    QTest::keyClick(cboBucket, Qt::Key_Down);
    EXPECT_EQ(Texts(list), Strings({"2005/03"}));
    EXPECT_TRUE(list->selectedItems().isEmpty());
    QTest::keyClick(cboGroup, Qt::Key_Down);
    EXPECT_EQ(Texts(cboBucket), Strings({"01"}));
    ASSERT_EQ(Texts(list), Strings({"2005/02"}));

    // Cancelled, then a folder that cannot be read: everything stays, the selection included. The
    // question starts at the listed folder, as it holds a file.
    list->item(0)->setSelected(true);
    ChooseMonthly(*window, std::string());
    ChooseMonthly(*window, data + "gone/");
    ASSERT_EQ(dialogs->folderRequests.size(), 2u);
    EXPECT_EQ(dialogs->folderRequests[0].startFolder.toStdString(), data);
    ASSERT_EQ(dialogs->messages.size(), 1);
    ExpectMessage(
        dialogs->messages[0],
        ErrorLine(QStringLiteral("フォルダ「%1gone/」を読み込めません。").arg(QString::fromStdString(data))));
    EXPECT_EQ(window->monthlyFolder(), data);
    EXPECT_EQ(lblPath->text().toStdString(), data);
    EXPECT_TRUE(list->count() == 1 && list->item(0)->isSelected());

    // A folder without monthly files empties all three lists, silently.
    const std::string empty = Folder("empty");
    ChooseMonthly(*window, empty);
    EXPECT_EQ(dialogs->messages.size(), 1);
    EXPECT_EQ(lblPath->text().toStdString(), empty);
    EXPECT_EQ(cboGroup->count() + cboBucket->count() + list->count(), 0);
}

TEST_F(MainWindow, EachTypedDigitIsCheckedAndOnlyDigitsGetThroughTheKeyboard) {
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
