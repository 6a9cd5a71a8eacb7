#include "UiTestSupport.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

namespace kolvane::testing {
namespace {

class Run : public UiFixture {
  protected:
    void FillCoordinates(frmKolvane* window) {
        const char* texts[] = {"35", "41", "0", "139", "45", "30"};
        for (int i = 0; i < 6; ++i) {
            const QString name = QStringLiteral("txt%1%2")
                                     .arg(i < 3 ? QStringLiteral("Lat") : QStringLiteral("Lon"))
                                     .arg(i % 3);
            window->findChild<QLineEdit*>(name)->setText(QString::fromLatin1(texts[i]));
        }
    }
    static void ClickMonth(QListWidget* list, int row, Qt::KeyboardModifiers modifiers = {}) {
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                          list->visualItemRect(list->item(row)).center());
    }
    static bool Exists(const std::string& path) { return std::filesystem::exists(path); }
};

TEST_F(Run, StopsBeforeTheFolderQuestionWithoutCoordinatesOrMonths) {
    WriteMonthlyFile(Folder("app/Data"), 2024, 1, "0101");
    auto window = StartWindow();
    auto* cmdOK = Child<QPushButton>(window.get(), "cmdOK");
    auto* list = Child<QListWidget>(window.get(), "List1");
    list->item(0)->setSelected(true);

    // Any single empty box, the others filled.
    for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
        FillCoordinates(window.get());
        box->clear();
        cmdOK->click();
        ASSERT_FALSE(dialogs->messages.empty());
        EXPECT_EQ(dialogs->messages.back().text, QStringLiteral("緯度・経度を設定して下さい。"))
            << box->objectName().toStdString();
    }
    EXPECT_EQ(dialogs->messages.size(), 6u);

    FillCoordinates(window.get());
    list->clearSelection();
    cmdOK->click();
    ASSERT_EQ(dialogs->messages.size(), 7u);
    EXPECT_EQ(dialogs->messages.back().text,
              QStringLiteral("年次ファイル作成に使用するデータの期間を選択して下さい。"));
    EXPECT_EQ(dialogs->messages.back().title, QStringLiteral("エラー"));
    EXPECT_EQ(dialogs->messages.back().style, 48);
    EXPECT_TRUE(dialogs->folderRequests.empty());

    // A cancelled folder question ends the run without a word or a file.
    list->item(0)->setSelected(true);
    dialogs->folderAnswers = {QString()};
    cmdOK->click();
    EXPECT_EQ(dialogs->messages.size(), 7u);
    EXPECT_EQ(window->outputFolder(), "");
    EXPECT_FALSE(Exists(AppFolder() + "Data/Y2024_0101.csv"));
}

TEST_F(Run, WalkThroughTheWindowWritesOneYearlyFilePerYear) {
    const std::string monthly = Folder("monthly");
    for (int month = 1; month <= 12; ++month)
        WriteMonthlyFile(monthly, 2024, month, "0101");
    for (int month = 1; month <= 3; ++month)
        WriteMonthlyFile(monthly, 2025, month, "0101");
    WriteMonthlyFile(monthly, 2024, 1, "0202");
    const std::string output = Folder("output");

    auto window = StartWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    dialogs->folderAnswers = {QString::fromStdString(monthly)};
    Child<QPushButton>(window.get(), "Command1")->click();
    FillCoordinates(window.get());

    // 2024/01 to 2024/03 by a click and a Shift click, 2025/02 added with Ctrl.
    auto* list = Child<QListWidget>(window.get(), "List1");
    ASSERT_EQ(list->count(), 15);
    ClickMonth(list, 0);
    ClickMonth(list, 2, Qt::ShiftModifier);
    ClickMonth(list, 13, Qt::ControlModifier);
    ASSERT_EQ(list->selectedItems().size(), 4);

    QSignalSpy written(window.get(), &frmKolvane::yearlyFileWritten);
    std::vector<bool> waitCursorWhileWriting;
    QObject::connect(window.get(), &frmKolvane::yearlyFileWritten,
                     [&] { waitCursorWhileWriting.push_back(QGuiApplication::overrideCursor() != nullptr); });
    dialogs->folderAnswers = {QString::fromStdString(output)};
    QTest::mouseClick(Child<QPushButton>(window.get(), "cmdOK"), Qt::LeftButton);

    ASSERT_EQ(dialogs->folderRequests.size(), 2u);
    EXPECT_EQ(dialogs->folderRequests[1].prompt,
              QStringLiteral("年次ファイルを保存するフォルダを指定して下さい。"));
    EXPECT_EQ(dialogs->folderRequests[1].startFolder.toStdString(), monthly);
    EXPECT_EQ(window->outputFolder(), output);

    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, QStringLiteral("終了しました。"));
    EXPECT_EQ(dialogs->messages[0].title, QStringLiteral("確認"));
    EXPECT_EQ(dialogs->messages[0].style, 0);
    EXPECT_FALSE(dialogs->messages[0].waitCursorShown);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(waitCursorWhileWriting, std::vector<bool>({true, true}));
    ASSERT_EQ(written.count(), 2);
    EXPECT_EQ(written[0][0].toString().toStdString(), output + "Y2024_0101.csv");
    EXPECT_EQ(written[1][0].toString().toStdString(), output + "Y2025_0101.csv");

    // The selected months carry values (mean temperature is field 2), the others "X".
    const auto y2024 = ReadYearlyLines(output + "Y2024_0101.csv");
    EXPECT_EQ(y2024.size(), 367u);
    EXPECT_EQ(YearlyField(y2024, "24/01/01", 2), "5.2");
    EXPECT_EQ(YearlyField(y2024, "24/03/02", 2), "5.2");
    EXPECT_EQ(YearlyField(y2024, "24/04/01", 2), "X");
    const auto y2025 = ReadYearlyLines(output + "Y2025_0101.csv");
    EXPECT_EQ(YearlyField(y2025, "25/01/01", 2), "X");
    EXPECT_EQ(YearlyField(y2025, "25/02/01", 2), "5.2");
    EXPECT_FALSE(Exists(output + "Y2024_0202.csv"));
}

TEST_F(Run, TheTwoThousandsAreConvertedBeforeTheNineteenHundreds) {
    const std::string data = Folder("app/Data");
    WriteMonthlyFile(data, 1999, 11, "0312");
    WriteMonthlyFile(data, 1999, 12, "0312");
    WriteMonthlyFile(data, 2000, 1, "0312");
    const std::string output = Folder("output");
    auto window = StartWindow();
    FillCoordinates(window.get());
    auto* list = Child<QListWidget>(window.get(), "List1");
    EXPECT_EQ(Texts(list),
              QStringList({QStringLiteral("2000/01"), QStringLiteral("1999/11"), QStringLiteral("1999/12")}));
    list->selectAll();

    QSignalSpy written(window.get(), &frmKolvane::yearlyFileWritten);
    dialogs->folderAnswers = {QString::fromStdString(output)};
    Child<QPushButton>(window.get(), "cmdOK")->click();
    ASSERT_EQ(written.count(), 2);
    EXPECT_EQ(written[0][0].toString().toStdString(), output + "Y2000_0312.csv");
    EXPECT_EQ(written[1][0].toString().toStdString(), output + "Y1999_0312.csv");
    const auto y1999 = ReadYearlyLines(output + "Y1999_0312.csv");
    EXPECT_EQ(YearlyField(y1999, "99/11/01", 2), "5.2");
    EXPECT_EQ(YearlyField(y1999, "99/12/02", 2), "5.2");
    EXPECT_EQ(YearlyField(y1999, "99/10/31", 2), "X");
    EXPECT_EQ(dialogs->messages.size(), 1u);
}

TEST_F(Run, AFailingYearShowsOneErrorAndKeepsTheYearsBeforeIt) {
    const std::string data = Folder("app/Data");
    WriteMonthlyFile(data, 2024, 12, "0101");
    WriteFile(data + "M2501_0101.csv", "年月日,時刻,降水量\r\n2025/01/01,1:00,0\r\n"); // columns missing
    const std::string output = Folder("output");
    WriteFile(output + "Y2025_0101.csv", "kept");
    auto window = StartWindow();
    FillCoordinates(window.get());
    Child<QListWidget>(window.get(), "List1")->selectAll();

    dialogs->folderAnswers = {QString::fromStdString(output)};
    Child<QPushButton>(window.get(), "cmdOK")->click();
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].text.contains(QStringLiteral("M2501_0101.csv")))
        << dialogs->messages[0].text.toStdString();
    EXPECT_EQ(dialogs->messages[0].title, QStringLiteral("エラー"));
    EXPECT_EQ(dialogs->messages[0].style, 48);
    EXPECT_FALSE(dialogs->messages[0].waitCursorShown);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(YearlyField(ReadYearlyLines(output + "Y2024_0101.csv"), "24/12/01", 2), "5.2");
    EXPECT_EQ(ReadYearlyLines(output + "Y2025_0101.csv"), std::vector<std::string>({"kept"}));
}

} // namespace
} // namespace kolvane::testing
