#include "UiTestSupport.h"

#include "app/ScriptedRun.h"
#include "engine/RunLog.h"
#include "ui/PathLabel.h"
#include "ui/YearView.h"

#include <QGuiApplication>
#include <QProgressBar>
#include <QRegularExpression>
#include <algorithm>

namespace kolvane::testing {
namespace {

class Run : public UiFixture {};

// The lines of the findings files in `folder`, less each one's header and last line.
qint64 FindingsListed(const std::string& folder) {
    qint64 lines = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind('C', 0) != 0) continue;
        const std::string bytes = Bytes(entry.path().string());
        lines += std::count(bytes.begin(), bytes.end(), '\n') - 2;
    }
    return lines;
}

QString Completed(int written, const std::string& folder) {
    // COORDINATES' latitude; a blank part would read 00.
    QString text =
        QStringLiteral(
            "終了しました。\n年次ファイル %1 個を %2 に書き込みました。\n緯度 35°41′0″ で計算しました。")
            .arg(written)
            .arg(QString::fromStdString(folder));
    if (const qint64 suspect = FindingsListed(folder))
        text += QStringLiteral("\n疑わしい値が %1 個見つかりました。グラフで一つずつ確かめられます（一覧は"
                               "年次ファイルと同じフォルダの検査結果ファイルにもあります）。")
                    .arg(suspect);
    return ConfirmLine(text);
}

QString Cancelled(qsizetype written, const std::string& folder) {
    return ConfirmLine(QStringLiteral("中止しました。\n年次ファイル %1 個を %2 に書き込みました。")
                           .arg(written)
                           .arg(QString::fromStdString(folder)));
}

TEST_F(Run, StopsBeforeTheFolderQuestionWithoutCoordinatesOrMonthsAndReportsAFailure) {
    // Columns are missing: converting this month fails.
    WriteFile(Folder("app/Data") + "M2501_0101.csv", "年月日,時刻,降水量\r\n2025/01/01,1:00,0\r\n");
    auto window = StartWindow();
    auto* list = Child<QListWidget>(window.get(), "List1");
    ASSERT_EQ(list->count(), 1);

    // An empty box, then no month chosen. The dialogs fail the test on a folder question here.
    QStringList texts = COORDINATES;
    texts[0].clear();
    SetCoordinates(window.get(), texts);
    list->item(0)->setSelected(true);
    Click(window.get(), "cmdOK");
    SetCoordinates(window.get(), COORDINATES);
    list->clearSelection();
    Click(window.get(), "cmdOK");
    const QStringList refused = {
        ErrorLine(QStringLiteral("緯度(度)を入力して下さい。")),
        ErrorLine(QStringLiteral("年次ファイル作成に使用するデータの期間を選択して下さい。"))};
    EXPECT_EQ(dialogs->messages, refused);

    // A folder question answered with empty text (Cancel, the frame or Escape) starts no run; an
    // output folder the plan refuses is said.
    list->item(0)->setSelected(true);
    dialogs->folderAnswers = {QString()};
    Click(window.get(), "cmdOK");
    EXPECT_FALSE(window->runInProgress());
    const std::string gone = AppFolder() + "gone/";
    EXPECT_TRUE(RunInto(*window, gone));
    ASSERT_EQ(dialogs->messages.size(), 3);
    ExpectMessage(dialogs->messages.back(), ErrorLine(QString()), {QString::fromStdString(gone)});

    // A failing month: one error naming the file, shown after the pointer is restored.
    ASSERT_TRUE(RunInto(*window, Folder("output")));
    ASSERT_EQ(dialogs->messages.size(), 4);
    ExpectMessage(dialogs->messages.back(), ErrorLine(QString()), {QStringLiteral("M2501_0101.csv")});
}

TEST_F(Run, WalkThroughTheWindowWritesOneYearlyFilePerYearInListOrder) {
    const std::string monthly = Folder("monthly");
    for (int month = 1; month <= 3; ++month) {
        WriteMonthlyFile(monthly, 2000, month, "0101");
        if (month < 3) WriteMonthlyFile(monthly, 1999, month, "0101");
    }
    WriteMonthlyFile(monthly, 2000, 1, "0202");
    const std::string output = Folder("output");

    auto window = StartWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    Ready(*window, monthly);
    auto* cmdPlot = Child<QPushButton>(window.get(), "cmdPlot");
    EXPECT_FALSE(cmdPlot->isEnabled()); // no yearly file yet

    // The list runs 2000/01 to 2000/03, then 1999. 2000/01 to 2000/03 by a click (which drops the
    // other selected months) and a Shift click, 1999/02 added with Ctrl.
    auto* list = Child<QListWidget>(window.get(), "List1");
    ASSERT_EQ(list->count(), 5);
    for (auto [row, modifiers] :
         {std::pair{0, Qt::KeyboardModifiers()}, {2, Qt::ShiftModifier}, {4, Qt::ControlModifier}})
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                          list->visualItemRect(list->item(row)).center());

    // The closing message comes with the bar full and the last file named.
    auto* bar = Child<QProgressBar>(window.get(), "prgRun");
    auto* file = Child<QLabel>(window.get(), "lblProgress");
    QStringList progress;
    dialogs->onMessage = [&] {
        progress << QStringLiteral("%1/%2 %3").arg(bar->value()).arg(bar->maximum()).arg(file->text());
    };
    dialogs->folderAnswers = {QString::fromStdString(output)};
    QTest::mouseClick(Child<QPushButton>(window.get(), "cmdOK"), Qt::LeftButton);
    ASSERT_TRUE(RunEnds(*window));
    EXPECT_EQ(progress, QStringList({QStringLiteral("2/2 Y1999_0101.csv")}));
    EXPECT_EQ(dialogs->messages, QStringList({Completed(2, output)}));

    // No Data folder: the first question starts at the dialog's own default.
    ASSERT_EQ(dialogs->folderRequests.size(), 2u);
    EXPECT_EQ(
        dialogs->folderRequests[0].prompt + dialogs->folderRequests[1].prompt,
        QStringLiteral(
            "月次ファイルがあるフォルダを指定して下さい。年次ファイルを保存するフォルダを指定して下さい。"));
    EXPECT_EQ(dialogs->StartFolders(), QStringList({QString(), QString::fromStdString(monthly)}));
    // Only the selected months of the chosen station.
    EXPECT_EQ(LastRunLogEntry(output, "Y2000_0101.csv")->months, "01-03");
    EXPECT_EQ(LastRunLogEntry(output, "Y1999_0101.csv")->months, "02");
    EXPECT_FALSE(std::filesystem::exists(output + "Y2000_0202.csv"));

    // The year just written is a click away.
    ASSERT_TRUE(cmdPlot->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), cmdPlot);
    QTest::mouseClick(cmdPlot, Qt::LeftButton);
    auto* view = window->findChild<YearView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("グラフ - Y1999_0101.csv"));
    view->close();
    Child<QComboBox>(window.get(), "cboGroup")->setCurrentIndex(1); // 02/02 has no yearly file
    EXPECT_FALSE(cmdPlot->isEnabled());

    // Another monthly folder with a yearly file of the same name: グラフ shows that folder's file; back
    // in the folder the run read, the run's file again.
    const std::string other = Folder("other");
    WriteMonthlyFile(other, 1999, 5, "0101");
    WriteFile(other + "Y1999_0101.csv", YearlyText(1999, 0));
    for (const auto& [monthlyFolder, shown] : {std::pair{other, other}, {monthly, output}}) {
        ChooseMonthly(*window, monthlyFolder);
        ASSERT_TRUE(cmdPlot->isEnabled());
        cmdPlot->click();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the view closed before
        view = window->findChild<YearView*>();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(Child<PathLabel>(view, "lblFile")->text().toStdString(), Shown(shown + "Y1999_0101.csv"));
        view->close();
    }
}

TEST_F(Run, GoesOnInTheBackgroundAndACancelStopsBeforeTheNextYear) {
    const std::string monthly = Folder("monthly");
    for (int year : {2000, 2001, 1999})
        WriteMonthlyFile(monthly, year, 1, "0101");

    // While the window takes the notice of the first file the run waits, so what is seen here is the
    // window during a run, and the cancel comes before the second year.
    auto window = StartWindow();
    window->show();
    Ready(*window, monthly);
    dialogs->folderAnswers = {QString::fromStdString(monthly)};
    auto* cmdOK = Child<QPushButton>(window.get(), "cmdOK");
    auto* cmdCancel = Child<QPushButton>(window.get(), "cmdCancel");
    auto* bar = Child<QProgressBar>(window.get(), "prgRun");
    int notices = 0;
    QObject::connect(window.get(), &frmKolvane::yearlyFileWritten, window.get(), [&] {
        if (++notices > 1) return;
        // Meanwhile only 中止, 終了 and ヘルプ can be used, the hourglass is on, and a second Run cannot
        // start.
        EXPECT_EQ(QStringLiteral("%1/%2").arg(bar->value()).arg(bar->maximum()), QStringLiteral("1/3"));
        QStringList usable;
        for (const QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->isEnabled() && child->focusPolicy() != Qt::NoFocus) usable << child->objectName();
        usable.sort();
        EXPECT_EQ(usable, Strings({"cmdCancel", "cmdExit", "cmdHelp"}));
        EXPECT_TRUE(cmdCancel->isVisible());
        EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
        QTest::keyClick(window.get(), Qt::Key_R, Qt::AltModifier);
        EXPECT_EQ(dialogs->folderRequests.size(), 2u);
        QTest::mouseClick(cmdCancel, Qt::LeftButton);
    });
    QTest::mouseClick(cmdOK, Qt::LeftButton);
    ASSERT_TRUE(RunEnds(*window));
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(dialogs->messages, QStringList({Cancelled(1, monthly)}));
    EXPECT_EQ(Entries(monthly).filter(QStringLiteral("Y")), Strings({"Y2000_0101.csv"}));
    EXPECT_TRUE(cmdOK->isEnabled());
    EXPECT_FALSE(cmdCancel->isVisible() || bar->isVisible());
}

TEST_F(Run, ExitDuringARunHoldsItWhileAskingAndClosingTheWindowStopsItBeforeTheNextYear) {
    const std::string monthly = Folder("monthly");
    for (int year : {2000, 2001, 1999})
        WriteMonthlyFile(monthly, year, 1, "0101");
    auto window = StartWindow();
    Ready(*window, monthly);
    window->show();
    auto* cmdExit = Child<QPushButton>(window.get(), "cmdExit");
    const QString question = QStringLiteral("確認 年次ファイルを作成しています。中止して終了しますか？");
    const auto yearlyFiles = [&] { return Entries(monthly).filter(QStringLiteral("Y")).size(); };
    // 終了 is pressed once the window has taken the notice of file `at`, the run free to go on.
    int at = 0;
    QObject::connect(window.get(), &frmKolvane::yearlyFileWritten, window.get(), [&] {
        if (--at == 0) QTimer::singleShot(0, cmdExit, &QPushButton::click);
    });
    // While the question is up the run writes at most the year it had begun, then waits.
    dialogs->onQuestion = [&] {
        const auto asked = yearlyFiles();
        QTest::qWait(300);
        const auto held = yearlyFiles();
        QTest::qWait(300);
        EXPECT_EQ(yearlyFiles(), held);
        EXPECT_LE(held, asked + 1);
    };
    const auto run = [&](int exitAt, bool answer) {
        for (const QString& name : Entries(monthly).filter(QStringLiteral("Y")))
            std::filesystem::remove(monthly + name.toStdString());
        dialogs->messages.clear();
        at = exitAt;
        dialogs->yesNoAnswers = {answer};
        dialogs->folderAnswers = {QString::fromStdString(monthly)};
        Click(window.get(), "cmdOK");
    };

    // No: the run goes on to its end and says so; nothing is saved.
    run(1, false);
    ASSERT_TRUE(RunEnds(*window));
    EXPECT_EQ(dialogs->questions, QStringList({question}));
    EXPECT_EQ(dialogs->messages, QStringList({Completed(3, monthly)}));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));

    // Yes: the run stops where it was held, says how many files it wrote, and the program ends as
    // 終了 always does.
    run(1, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }));
    EXPECT_FALSE(window->runInProgress());
    EXPECT_TRUE(std::filesystem::exists(SettingsFile()));
    const auto written = yearlyFiles();
    EXPECT_LT(written, 3);
    EXPECT_EQ(dialogs->messages, QStringList({Cancelled(written, monthly)}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // A run that ends while the question is up says so first, then the program ends.
    window->show();
    run(3, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }));
    EXPECT_EQ(dialogs->messages, QStringList({Completed(3, monthly)}));
    EXPECT_EQ(dialogs->questions, QStringList({question, question, question}));
    dialogs->onQuestion = nullptr;

    // Closing through the frame, while the window takes the notice of the first file: the run stops
    // before its next year, without a question.
    window->show();
    QObject::connect(window.get(), &frmKolvane::yearlyFileWritten, window.get(), [&] {
        if (window->isVisible()) window->close();
    });
    run(0, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }));
    EXPECT_FALSE(window->runInProgress());
    EXPECT_EQ(dialogs->questions.size(), 3);
    EXPECT_EQ(dialogs->messages, QStringList());
    dialogs->yesNoAnswers.clear();
    EXPECT_EQ(Entries(monthly).filter(QStringLiteral("Y")), QStringList({QStringLiteral("Y2000_0101.csv")}));
    // Temporary files of an atomic write (or a lock file, which a run never leaves) start with a dot.
    EXPECT_EQ(Entries(monthly).filter(QRegularExpression(QStringLiteral("^\\."))), QStringList());
}

TEST_F(Run, AYearlyFileInAnotherOutputFolderIsMergedOrReplacedOnlyAsTheUserSays) {
    const std::string monthly = Folder("monthly");
    const std::string output = Folder("output");
    WriteMonthlyFile(monthly, 2000, 1, "0101");
    WriteMonthlyFile(monthly, 1999, 1, "0101");
    WriteFile(output + "Y2000_0101.csv", YearlyText(2000, 5)); // an archive's
    const std::string before = Bytes(output + "Y2000_0101.csv");
    auto window = StartWindow();
    Ready(*window, monthly);

    // Stop: nothing is written and nothing more is said.
    dialogs->replaceAnswers = {ReplaceAnswer::Stop};
    EXPECT_TRUE(RunInto(*window, output));
    ASSERT_EQ(dialogs->questions.size(), 1);
    ExpectMessage(dialogs->questions[0], QStringLiteral("確認 "),
                  {QString::fromStdString(output), QStringLiteral("Y2000_0101.csv")});
    EXPECT_FALSE(dialogs->questions[0].contains(QStringLiteral("Y1999")));
    EXPECT_EQ(dialogs->messages, QStringList());
    EXPECT_EQ(Bytes(output + "Y2000_0101.csv"), before);
    EXPECT_EQ(Entries(output), Strings({"Y2000_0101.csv"}));

    // Merge keeps the archive's days, Replace drops them (asked again: the file is still not the
    // monthly folder's); the log says which.
    dialogs->replaceAnswers = {ReplaceAnswer::Merge};
    ASSERT_TRUE(RunInto(*window, output));
    EXPECT_EQ(dialogs->messages, QStringList({Completed(2, output)}));
    EXPECT_EQ(LastRunLogEntry(output, "Y2000_0101.csv")->months, "01 結合:Y2000_0101.csv");
    dialogs->replaceAnswers = {ReplaceAnswer::Replace};
    ASSERT_TRUE(RunInto(*window, output));
    EXPECT_EQ(dialogs->questions.size(), 3);
    EXPECT_EQ(LastRunLogEntry(output, "Y2000_0101.csv")->months, "01");
}

TEST_F(Run, WithoutMonthlyFilesTheListAndRunSaySo) {
    // The program's Data is a file here, so the folder cannot be listed at start-up (silently).
    WriteFile(AppFolder() + "Data", "not a folder");
    auto window = StartWindow();
    auto* list = Child<QListWidget>(window.get(), "List1");
    EXPECT_EQ(list->property("placeholderText").toString(), QStringLiteral("フォルダを\n読み込めません"));
    SetCoordinates(window.get(), COORDINATES);
    Click(window.get(), "cmdOK");
    ASSERT_EQ(dialogs->messages.size(), 1);
    ExpectMessage(
        dialogs->messages[0],
        ErrorLine(
            QStringLiteral("フォルダ「%1Data/」を読み込めません").arg(QString::fromStdString(AppFolder()))));

    const std::string empty = Folder("empty");
    ChooseMonthly(*window, empty);
    EXPECT_EQ(list->property("placeholderText").toString(), QStringLiteral("月次ファイルが\nありません"));
    Click(window.get(), "cmdOK");
    ExpectMessage(
        dialogs->messages.value(1),
        ErrorLine(QStringLiteral("フォルダ %1 に月次ファイル（").arg(QString::fromStdString(empty))));
}

TEST_F(Run, LinesThatCannotBeReadAreSaidInTheClosingMessage) {
    const std::string monthly = Folder("monthly");
    const std::string path = monthly + "M0001_0101.csv";
    WriteMonthlyFile(monthly, 2000, 1, "0101");
    std::string text = DecodeCp932(Bytes(path));
    text.replace(text.find("2000/01/01,3:00"), 15, "2000-01-01,3:00");
    WriteFile(path, text);
    auto window = StartWindow();
    Ready(*window, monthly);
    ASSERT_TRUE(RunInto(*window, monthly));
    ASSERT_EQ(dialogs->messages.size(), 1);
    ExpectMessage(
        dialogs->messages[0], ConfirmLine(QStringLiteral("終了しました。")),
        {QStringLiteral("\n注意: 月次ファイル「%1」の 1 行を読めないため飛ばしました（最初は 4行目「")
             .arg(QString::fromStdString(path))});
}

class ScriptedRunTest : public UiFixture {
  protected:
    // The window on the program's Data/ as `kolvane --run-into output` starts it, until it has ended.
    const ScriptedRun& RunInto(const std::string& output, const QStringList& coordinates) {
        auto run = std::make_unique<ScriptedRun>(QString::fromStdString(output));
        ScriptedRun& script = *run;
        window = StartWindow(std::move(run));
        window->show();
        SetCoordinates(window.get(), coordinates);
        script.Start(*window);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, RUN_WAIT_MS)) << output;
        return script;
    }

    std::unique_ptr<frmKolvane> window;
};

TEST_F(ScriptedRunTest, ConvertsEveryMonthListedAndEndsThroughTheExitButtonWhateverHappens) {
    EXPECT_EQ(ScriptedRun::OutputFolderArgument(Strings({"kolvane", "--run-into", "out"})),
              QStringLiteral("out"));
    EXPECT_EQ(ScriptedRun::OutputFolderArgument(Strings({"kolvane", "--run-into"})), QString());

    const std::string data = Folder("app/Data");
    WriteMonthlyFile(data, 2024, 5, "0101");
    WriteMonthlyFile(data, 2025, 1, "0101");
    const QStringList coordinates = Strings({"35", "30", "0", "139", "45", "0"});
    const std::string output = Folder("output");
    const ScriptedRun& done = RunInto(output, coordinates);
    EXPECT_TRUE(done.succeeded()) << done.messages().join(u'\n').toStdString();
    EXPECT_TRUE(Entries(output).contains(QStringLiteral("Y2024_0101.csv")) &&
                Entries(output).contains(QStringLiteral("Y2025_0101.csv")))
        << Entries(output).join(u' ').toStdString();
    // Saved as at a user's exit: the next start asks for the output folder there.
    EXPECT_NE(Bytes(SettingsFile()).find("Save="), std::string::npos);

    // A refused run ends too, as a failure, and writes nothing.
    const std::string refused = Folder("refused");
    EXPECT_FALSE(RunInto(refused, Strings({"", "30", "0", "139", "45", "0"})).succeeded());
    EXPECT_TRUE(Entries(refused).isEmpty());

    // So does one stopped at the question before replacing a yearly file it did not merge from, which
    // says nothing more; the file stays.
    const std::string yearly = Bytes(output + "Y2024_0101.csv");
    EXPECT_FALSE(RunInto(output, coordinates).succeeded());
    EXPECT_EQ(Bytes(output + "Y2024_0101.csv"), yearly);
}

} // namespace
} // namespace kolvane::testing
