// The help quotes the program's questions, buttons and messages; these tests hold the quotes to the
// program's own texts, so that a changed text cannot leave the help describing another program.

#include "UiTestSupport.h"

#include "model/Messages.h"
#include "request/Coordinates.h"
#include "ui/Form1.h"
#include "ui/Texts.h"
#include "ui/YearView.h"

#include <QFile>
#include <QRegularExpression>
#include <QScrollBar>
#include <QScreen>
#include <QTextBrowser>
#include <cerrno>

namespace kolvane::testing {
namespace {

// What the help writes for a part a message fills in: "…" for a name or number, 原因 for the
// system's reason.
const QString PART = QStringLiteral("…");
const QString REASON = QStringLiteral("原因");
constexpr std::size_t NUMBER = 987654321;

// A text as the help quotes it: access keys as "(R)", line breaks kept, numbers and the system's
// reason as placeholders.
QString AsQuoted(QString text) {
    text.remove(u'&');
    text.replace(QString::fromStdString(DescribeSystemError(EACCES)), REASON);
    text.replace(QString::number(NUMBER), PART);
    return text.trimmed();
}

QString Core(const std::string& text) {
    return QString::fromStdString(text);
}

// What a user must decide, and how a run ends: texts the help must quote.
QStringList DescribedTexts() {
    const std::string part = PART.toStdString();
    QStringList texts;
    texts << text::AskStopAndExit()
          << text::ReplaceQuestionHead(PART) + text::ReplaceQuestionFile(PART) + text::ReplaceQuestionTail()
          << text::MergeCaption() << text::ReplaceCaption() << text::StopCaption() << text::YesCaption()
          << text::NoCaption() << text::SavePngCaption() << text::SaveSvgCaption()
          << text::CommonScaleCaption()
          << text::Completed(NUMBER, PART, text::LatitudeUsed(PART + u':' + PART + u':' + PART))
          << text::SuspectValuesFound(NUMBER) << text::Cancelled(0, PART) << text::Cancelled(NUMBER, PART)
          << text::NoMonthlyFiles(PART) << Core(message::WrongEncoding(FileKind::Monthly, part, part))
          << Core(message::CoordinateBoxEmpty(part));
    for (QString& text : texts)
        text = AsQuoted(text);
    return texts;
}

// Every text of the program's windows a user reads a quote of: titles, captions and the messages
// with their variable parts as placeholders.
QStringList ProgramTexts(const QList<const QWidget*>& windows) {
    QStringList texts;
    for (const QWidget* window : windows) {
        texts << window->windowTitle();
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
            texts << button->text();
        for (const QLabel* label : window->findChildren<QLabel*>())
            texts << label->text();
    }
    const std::string part = PART.toStdString();
    // A build without Qt SVG has no SVG button; its help names it all the same.
    texts << text::SaveSvgCaption() << text::ErrorTitle() << text::ConfirmTitle()
          << QStringLiteral("入力値エラー") << text::AskMonthlyFolder() << text::AskOutputFolder()
          << text::NoMonthlyFilesInList().remove(u'\n') << text::UnreadableFolderInList().remove(u'\n');
    // What the folder dialog says under its path.
    texts << text::NewFolderName() << text::FolderNotFound(PART) << text::NotAFolder(PART)
          << text::FolderCannotOpen(PART, REASON) << text::FolderNotMade(PART, REASON)
          << text::FolderExists(PART) << text::FolderNameUnusable(PART);
    for (int box = 0; box < 6; ++box)
        texts << Core(RangeMessage(static_cast<CoordinateBox>(box)));
    for (FileKind kind : {FileKind::Monthly, FileKind::Yearly})
        texts << Core(message::CannotRead(kind, part, EACCES))
              << Core(message::MissingColumn(kind, part, part))
              << Core(message::RepeatedColumn(kind, part, part))
              << Core(message::WrongEncoding(kind, part, part))
              << Core(message::NumberTooLarge(kind, part, NUMBER));
    texts << Core(message::CannotWrite(FileKind::Yearly, part, EACCES)) << Core(message::CoordinatesNotSet())
          << Core(message::CoordinateBoxEmpty(part)) << Core(message::NoMonthsSelected())
          << Core(message::DayNotComputable(part, NUMBER, NUMBER, NUMBER, REASON.toStdString()))
          << Core(message::NotANumberCause()) << Core(message::NotConvergedCause(1000))
          << Core(message::FolderUnreadable(part, EACCES)) << Core(message::SettingsNotSaved(part, EACCES));
    for (QString& text : texts)
        text = AsQuoted(text);
    // The system's reasons themselves, as the help lists them.
    texts << DescribedTexts() << Core(DescribeSystemError(EACCES)) << Core(DescribeSystemError(ENOSPC));
    texts.removeAll(QString());
    return texts;
}

// The quotes the help marks as the program's: class "msg" (messages and questions) and class "ui"
// (titles and captions), as plain text with the help's line breaks.
QStringList HelpQuotes() {
    QFile file(QStringLiteral(KOLVANE_HELP_FILE));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QString html = QString::fromUtf8(file.readAll());
    html.replace(QRegularExpression(QStringLiteral("\\s*\\n\\s*")), QStringLiteral(" "));
    static const QRegularExpression quote(QStringLiteral("class=\"(?:msg|ui)\">(.*?)</(?:span|td)>"));
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    static const QRegularExpression lineBreak(QStringLiteral("\\s*<br>\\s*"));
    QStringList quotes;
    for (const QRegularExpressionMatch& match : quote.globalMatch(html)) {
        QString text = match.captured(1);
        text.replace(lineBreak, QStringLiteral("\n")).remove(tag);
        text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"));
        text.replace(QStringLiteral("&amp;"), QStringLiteral("&"))
            .replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
        quotes << text.trimmed();
    }
    return quotes;
}

using HelpTexts = UiFixture;

TEST_F(HelpTexts, EveryQuoteOfTheHelpIsTheProgramsOwnTextAndTheQuestionsAreAllThere) {
    auto window = StartWindow();
    Form1 folderDialog;
    YearView yearView(*dialogs, {}, {});
    const QStringList program = ProgramTexts({window.get(), &folderDialog, &yearView});
    const QStringList quotes = HelpQuotes();
    ASSERT_GT(quotes.size(), 40);
    for (const QString& quote : quotes)
        EXPECT_TRUE(program.contains(quote))
            << "the help quotes a text the program does not show: " << quote.toStdString();

    // What a user must decide, and how a run ends, is described in the help word for word.
    for (const QString& text : DescribedTexts())
        EXPECT_TRUE(quotes.contains(text)) << "the help does not describe: " << text.toStdString();
}

TEST_F(HelpTexts, OpensTheHelpFileInItsOwnWindowAtTheContentsAndEscapeClosesIt) {
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
    // Its own size is taller than the test screen (800 × 600): it is fitted, with room for a title bar.
    const QRect free = help->screen()->availableGeometry();
    EXPECT_TRUE(free.adjusted(0, 30, 0, 0).contains(help->geometry())) << help->height();
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
