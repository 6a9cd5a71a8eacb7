#include "UiTestSupport.h"

#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <filesystem>

namespace kolvane::testing {
namespace {

using Help = UiFixture;

TEST_F(Help, OpensTheHelpFileInItsOwnWindowAtTheContentsAndEscapeClosesIt) {
    auto window = StartWindow();
    window->show();
    const auto pressHelp = [&window] {
        Child<QPushButton>(window.get(), "cmdHelp")->click();
        auto* help = window->findChild<QTextBrowser*>(QStringLiteral("helpWindow"));
        EXPECT_TRUE(help && QTest::qWaitForWindowExposed(help));
        return help;
    };
    // A missing file is said in the help window itself.
    QTextBrowser* help = pressHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->toPlainText(), QStringLiteral("ヘルプファイル「%1kolvane.hlp」が見つかりません。")
                                       .arg(QString::fromStdString(AppFolder())));

    // The file is read afresh at every press, as HTML although its name ends in .hlp.
    std::filesystem::copy_file(KOLVANE_HELP_FILE, AppFolder() + "kolvane.hlp");
    help = pressHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isWindow());
    EXPECT_EQ(help->windowModality(), Qt::NonModal);
    EXPECT_TRUE(help->toPlainText().startsWith(QStringLiteral("年次ファイル生成プログラム")));
    EXPECT_EQ(help->verticalScrollBar()->value(), 0);

    // A link of the contents leads down the same page.
    const QTextCursor link = help->document()->find(QStringLiteral("設定の保存"));
    ASSERT_FALSE(link.isNull());
    QTextCursor middle(help->document());
    middle.setPosition(link.selectionStart() + 1);
    QTest::mouseClick(help->viewport(), Qt::LeftButton, {}, help->cursorRect(middle).center());
    EXPECT_TRUE(QTest::qWaitFor([help] { return help->verticalScrollBar()->value() > 0; }));
    EXPECT_TRUE(help->toPlainText().startsWith(QStringLiteral("年次ファイル生成プログラム")));

    // Escape closes it (with a modifier it is some other command); the button shows it again, at the
    // contents, in the one help window.
    QTest::keyClick(help, Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_TRUE(help->isVisible());
    QTest::keyClick(help, Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
    EXPECT_TRUE(window->isVisible());
    help = pressHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->verticalScrollBar()->value(), 0);
    EXPECT_EQ(window->findChildren<QTextBrowser*>().size(), 1);
    EXPECT_TRUE(dialogs->messages.isEmpty());
}

} // namespace
} // namespace kolvane::testing
