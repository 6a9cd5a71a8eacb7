#include "UiTestSupport.h"

#include "plot/Fonts.h"
#include "ui/PathLabel.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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

bool HasJapaneseFont() {
    return !FirstInstalledJapaneseFamily().isEmpty();
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
    if (!HasJapaneseFont())
        GTEST_SKIP() << "no Japanese Gothic face installed (fonts-noto-cjk): "
                     << JapaneseFontFamilies().join(u',').toStdString();
    EXPECT_EQ(font.families().value(0), FirstInstalledJapaneseFamily())
        << font.families().join(u',').toStdString();
}

TEST_F(MainWindow, ALongFolderIsShortenedInTheMiddleAndTheMonthListCountsItsSelection) {
    // 84 Japanese characters: at the window's width more lines than the label has.
    QString name;
    while (name.size() < 84)
        name += QStringLiteral("茨城県つくば市の農業気象観測データ");
    name.truncate(84);
    const std::string longFolder = Folder(name.toStdString());
    for (int month : {4, 5, 6})
        WriteMonthlyFile(longFolder, 2024, month, "0312");
    auto window = StartWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto* lblPath = Child<PathLabel>(window.get(), "lblPath");
    auto* lblSelected = Child<QLabel>(window.get(), "lblSelected");
    const auto choose = [&](const std::string& folder) {
        dialogs->folderAnswers = {QString::fromStdString(folder)};
        Child<QPushButton>(window.get(), "Command1")->click();
    };

    const QString shortPath = QString::fromStdString(Folder("short"));
    choose(shortPath.toStdString());
    EXPECT_EQ(lblPath->shownText(), shortPath);
    EXPECT_EQ(lblSelected->text(), QString()); // nothing to select, nothing to count

    // Its start and its end (which names the folder) stay, every line whole; the tooltip holds it all.
    choose(longFolder);
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
    choose(longFolder);
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
    do {
        walked << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } while (QApplication::focusWidget() != walked.front() && walked.size() <= reachable.size());
    QStringList names;
    for (const QWidget* control : walked)
        names << control->objectName();
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
    // Shift+Tab goes back the same way.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), walked.back());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);

    QLineEdit* box = CoordinateBoxes(window.get())[3];
    QStringList seen; // each message as a Line(), then what the longitude box held meanwhile
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            const int style = message->icon() == QMessageBox::Warning ? 48 : 0;
            seen << Line(message->windowTitle(), style, message->text()) << box->text();
            message->button(QMessageBox::Ok)->click();
        }
    });
    answer.start(10);

    // Access keys work from whichever control has the focus.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R,
                    Qt::AltModifier); // Run: the coordinates are empty
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

} // namespace
} // namespace kolvane::testing
