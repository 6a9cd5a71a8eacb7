#include "UiTestSupport.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

namespace kolvane::testing {
namespace {

class Run : public UiFixture {};

const QStringList COORDINATES = Strings({"35", "41", "0", "139", "45", "30"});

TEST_F(Run, StopsBeforeTheFolderQuestionWithoutCoordinatesOrMonthsAndReportsAFailure) {
    // Columns are missing: converting this month fails.
    WriteFile(Folder("app/Data") + "M2501_0101.csv", "年月日,時刻,降水量\r\n2025/01/01,1:00,0\r\n");
    auto window = StartWindow();
    auto* cmdOK = Child<QPushButton>(window.get(), "cmdOK");
    auto* list = Child<QListWidget>(window.get(), "List1");
    ASSERT_EQ(list->count(), 1);
    list->item(0)->setSelected(true);

    // Any single empty box, the others filled; then no month chosen. The dialogs fail the test on a
    // folder question here.
    for (int box = 0; box < 6; ++box) {
        QStringList texts = COORDINATES;
        texts[box].clear();
        SetCoordinates(window.get(), texts);
        cmdOK->click();
    }
    SetCoordinates(window.get(), COORDINATES);
    list->clearSelection();
    cmdOK->click();
    QStringList expected(6, ErrorLine(QStringLiteral("緯度・経度を設定して下さい。")));
    expected << ErrorLine(QStringLiteral("年次ファイル作成に使用するデータの期間を選択して下さい。"));
    EXPECT_EQ(dialogs->messages, expected);

    // A cancelled folder question ends the run without a word.
    list->item(0)->setSelected(true);
    dialogs->folderAnswers = {QString()};
    cmdOK->click();
    EXPECT_EQ(dialogs->messages, expected);

    // A failing month: one error naming the file, shown after the pointer is restored.
    dialogs->folderAnswers = {QString::fromStdString(Folder("output"))};
    cmdOK->click();
    ASSERT_EQ(dialogs->messages.size(), 8);
    const QString failure = dialogs->messages.back();
    EXPECT_TRUE(failure.startsWith(ErrorLine(QString())) &&
                failure.contains(QStringLiteral("M2501_0101.csv")))
        << failure.toStdString();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Run, WalkThroughTheWindowWritesOneYearlyFilePerYearInListOrder) {
    const std::string monthly = Folder("monthly");
    for (int month = 1; month <= 12; ++month)
        WriteMonthlyFile(monthly, 1999, month, "0101");
    for (int month = 1; month <= 3; ++month)
        WriteMonthlyFile(monthly, 2000, month, "0101");
    WriteMonthlyFile(monthly, 2000, 1, "0202");
    const std::string output = Folder("output");

    auto window = StartWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    dialogs->folderAnswers = {QString::fromStdString(monthly)};
    Child<QPushButton>(window.get(), "Command1")->click();
    SetCoordinates(window.get(), COORDINATES);

    // The list runs 2000/01 to 2000/03, then 1999. 2000/01 to 2000/03 by a click and a Shift click,
    // 1999/02 added with Ctrl.
    auto* list = Child<QListWidget>(window.get(), "List1");
    ASSERT_EQ(list->count(), 15);
    for (auto [row, modifiers] :
         {std::pair{0, Qt::KeyboardModifiers()}, {2, Qt::ShiftModifier}, {4, Qt::ControlModifier}}) {
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                          list->visualItemRect(list->item(row)).center());
    }

    QStringList written; // each file as it is in place, marked while the hourglass is on
    QObject::connect(window.get(), &frmKolvane::yearlyFileWritten, [&](const QString& path) {
        written << (QGuiApplication::overrideCursor() ? QStringLiteral("(wait) ") : QString()) + path;
    });
    // A folder question answered with empty text (Cancel, the frame or Escape) converts nothing.
    auto* cmdOK = Child<QPushButton>(window.get(), "cmdOK");
    dialogs->folderAnswers = {QString()};
    QTest::mouseClick(cmdOK, Qt::LeftButton);
    EXPECT_TRUE(written.isEmpty() && dialogs->messages.isEmpty());
    dialogs->folderRequests.pop_back();

    dialogs->folderAnswers = {QString::fromStdString(output)};
    QTest::mouseClick(cmdOK, Qt::LeftButton);

    ASSERT_EQ(dialogs->folderRequests.size(), 2u);
    // No Data folder: the first question starts at the dialog's own default.
    EXPECT_EQ(dialogs->folderRequests[0].prompt,
              QStringLiteral("月次ファイルがあるフォルダを指定して下さい。"));
    EXPECT_EQ(dialogs->folderRequests[0].startFolder, QString());
    EXPECT_EQ(dialogs->folderRequests[1].prompt,
              QStringLiteral("年次ファイルを保存するフォルダを指定して下さい。"));
    EXPECT_EQ(dialogs->folderRequests[1].startFolder.toStdString(), monthly);
    const QString out = QString::fromStdString(output);
    EXPECT_EQ(written, QStringList({QStringLiteral("(wait) %1Y2000_0101.csv").arg(out),
                                    QStringLiteral("(wait) %1Y1999_0101.csv").arg(out)}));
    EXPECT_EQ(dialogs->messages,
              QStringList({Line(QStringLiteral("確認"), 0, QStringLiteral("終了しました。"))}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // The selected months carry values, the others none.
    EXPECT_EQ(DaysWithValues(output + "Y2000_0101.csv"),
              Strings({"00/01/01", "00/01/02", "00/02/01", "00/02/02", "00/03/01", "00/03/02"}));
    EXPECT_EQ(DaysWithValues(output + "Y1999_0101.csv"), Strings({"99/02/01", "99/02/02"}));
    EXPECT_FALSE(std::filesystem::exists(output + "Y2000_0202.csv"));
}

} // namespace
} // namespace kolvane::testing
