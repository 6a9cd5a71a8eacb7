#include "UiTestSupport.h"

#include "model/FileIo.h"

#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <filesystem>

namespace kolvane::testing {
namespace {

class Help : public UiFixture {
  protected:
    QTextBrowser* PressHelp(frmKolvane* window) {
        Child<QPushButton>(window, "cmdHelp")->click();
        auto* help = window->findChild<QTextBrowser*>(QStringLiteral("helpWindow"));
        EXPECT_NE(help, nullptr);
        if (help) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(help));
        }
        return help;
    }
    // Clicks the first link whose text is `text`.
    static void ClickLink(QTextBrowser* help, const QString& text) {
        const QTextCursor found = help->document()->find(text);
        ASSERT_FALSE(found.isNull());
        QTextCursor middle(help->document());
        middle.setPosition(found.selectionStart() + 1);
        QTest::mouseClick(help->viewport(), Qt::LeftButton, {}, help->cursorRect(middle).center());
    }
};

TEST_F(Help, OpensTheHelpFileInItsOwnWindowAtTheContents) {
    std::filesystem::copy_file(KOLVANE_HELP_FILE, AppFolder() + "kolvane.hlp");
    auto window = StartWindow();
    window->show();
    EXPECT_EQ(window->helpFilePath().toStdString(), AppFolder() + "kolvane.hlp");

    QTextBrowser* help = PressHelp(window.get());
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isWindow());
    EXPECT_EQ(help->windowModality(), Qt::NonModal);
    EXPECT_EQ(help->windowTitle(), QStringLiteral("年次ファイル生成プログラム ヘルプ"));
    // Read as HTML although the name ends in .hlp: markup does not show, the contents come first.
    EXPECT_FALSE(help->toPlainText().contains(QStringLiteral("<h1>")));
    EXPECT_TRUE(help->toPlainText().startsWith(QStringLiteral("年次ファイル生成プログラム")));
    EXPECT_EQ(help->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(dialogs->messages.empty());

    // A link of the contents leads down the same page.
    ClickLink(help, QStringLiteral("設定の保存"));
    EXPECT_TRUE(QTest::qWaitFor([help] { return help->verticalScrollBar()->value() > 0; }));
    EXPECT_TRUE(help->toPlainText().startsWith(QStringLiteral("年次ファイル生成プログラム")));
    const int settingsTop = help->verticalScrollBar()->value();

    // The button shows it again, at the contents, in the one help window.
    help->close();
    help = PressHelp(window.get());
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->verticalScrollBar()->value(), 0);
    EXPECT_EQ(window->findChildren<QTextBrowser*>().size(), 1);
    EXPECT_GT(settingsTop, 0);

    // The main window goes on working beside it.
    Child<QPushButton>(window.get(), "cmdOK")->click();
    EXPECT_EQ(dialogs->messages.size(), 1u);
}

TEST_F(Help, AMissingHelpFileIsSaidInTheHelpWindow) {
    auto window = StartWindow();
    window->show();
    QTextBrowser* help = PressHelp(window.get());
    ASSERT_NE(help, nullptr);
    const QString said = help->toPlainText();
    EXPECT_TRUE(said.contains(QStringLiteral("見つかりません"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QString::fromStdString(AppFolder() + "kolvane.hlp"))) << said.toStdString();
    EXPECT_TRUE(dialogs->messages.empty());

    // The file is read afresh at every press.
    ASSERT_EQ(WriteFileAtomically(AppFolder() + "kolvane.hlp",
                                  "<html><body><h1>目次</h1><p>本文</p></body></html>"),
              0);
    help = PressHelp(window.get());
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->toPlainText(), QStringLiteral("目次\n本文"));
}

} // namespace
} // namespace kolvane::testing
