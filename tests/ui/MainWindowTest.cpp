#include "UiTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace kolvane::testing {
namespace {

using MainWindow = UiFixture;

TEST_F(MainWindow, FixedLayoutFitsTheClientAreaInTheJapaneseFont) {
    auto window = StartWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("年次ファイル生成プログラム"));
    const qreal scale = window->logicalDpiX() / 96.0;
    EXPECT_EQ(window->size(), QSize(qRound(314 * scale), qRound(400 * scale)));

    const QFont font = window->font();
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_TRUE(font.families().value(0) == QStringLiteral("Noto Sans CJK JP") ||
                font.families().value(0) == QStringLiteral("IPAGothic"))
        << font.families().join(u',').toStdString();

    // Every control lies inside the client area (the file list has no widget at all) and wears the
    // window's font.
    for (const QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(window->rect().contains(child->geometry())) << child->objectName().toStdString();
        EXPECT_EQ(child->font(), font) << child->objectName().toStdString();
    }
    EXPECT_EQ(window->findChild<QWidget*>(QStringLiteral("File1")), nullptr);
    auto* cmdOK = Child<QPushButton>(window.get(), "cmdOK");
    EXPECT_EQ(cmdOK->geometry(),
              QRect(qRound(240 * scale), qRound(304 * scale), qRound(67 * scale), qRound(21 * scale)));

    // Lists offer only the program's entries; months are selected the extended way.
    for (const char* name : {"cboArea1", "cboArea2", "cboGroup", "cboBucket"})
        EXPECT_FALSE(Child<QComboBox>(window.get(), name)->isEditable()) << name;
    EXPECT_EQ(Child<QListWidget>(window.get(), "List1")->selectionMode(),
              QAbstractItemView::ExtendedSelection);
}

TEST_F(MainWindow, TabWalksTheControlsInOrderAndAccessKeysPressTheButtons) {
    auto window = StartWindow();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ASSERT_EQ(QApplication::focusWidget(), Child<QWidget>(window.get(), "cmdOK"));

    QStringList walked;
    for (int i = 0; i < 17; ++i) {
        walked << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(
        walked.join(u' '),
        QStringLiteral("cmdOK cmdExit cboArea1 cboArea2 cboGroup cboBucket List1 txtLat0 txtLat1 txtLat2 "
                       "txtLon0 txtLon1 txtLon2 cmdSet Command1 cmdHelp cmdOK"));

    // Access keys work from whichever control has the focus.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QSignalSpy help(Child<QPushButton>(window.get(), "cmdHelp"), &QPushButton::clicked);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_H, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return help.count() == 1; }));
    // Help opens a window of its own; back to the main window for the other keys.
    auto* helpWindow = Child<QWidget>(window.get(), "helpWindow");
    ASSERT_TRUE(helpWindow && helpWindow->isVisible());
    helpWindow->close();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::AltModifier); // Run with empty coordinates
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs->messages.size() == 1; }));
    EXPECT_EQ(dialogs->messages[0].text, QStringLiteral("緯度・経度を設定して下さい。"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }));
}

} // namespace
} // namespace kolvane::testing
