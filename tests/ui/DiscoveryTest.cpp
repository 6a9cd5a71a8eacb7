#include "UiTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace kolvane::testing {
namespace {

using Discovery = UiFixture;

TEST_F(Discovery, StartUpListsTheDataFolderBesideTheProgram) {
    const std::string data = Folder("app/Data");
    WriteMonthlyFile(data, 2005, 1, "0201");
    WriteMonthlyFile(data, 2005, 2, "0101");
    WriteMonthlyFile(data, 2005, 3, "0233");
    WriteMonthlyFile(data, 2005, 4, "0201");
    // Never listed: wrong extension, short year, and a folder with a monthly name.
    WriteFile(data + "M0504_0299.txt", "x");
    WriteFile(data + "M504_0299.csv", "x");
    Folder("app/Data/M0505_0299.csv");

    auto window = StartWindow();
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_EQ(window->monthlyFolder(), data);
    EXPECT_EQ(Child<QLabel>(window.get(), "lblPath")->text().toStdString(), data);
    auto* cboGroup = Child<QComboBox>(window.get(), "cboGroup");
    auto* cboBucket = Child<QComboBox>(window.get(), "cboBucket");
    auto* list = Child<QListWidget>(window.get(), "List1");
    // First appearance in name order, the first group chosen at once, cascading to its months.
    EXPECT_EQ(Texts(cboGroup), QStringList({QStringLiteral("02"), QStringLiteral("01")}));
    EXPECT_EQ(cboGroup->currentText(), QStringLiteral("02"));
    EXPECT_EQ(Texts(cboBucket), QStringList({QStringLiteral("01"), QStringLiteral("33")}));
    EXPECT_EQ(cboBucket->currentText(), QStringLiteral("01"));
    EXPECT_EQ(Texts(list), QStringList({QStringLiteral("2005/01"), QStringLiteral("2005/04")}));
    EXPECT_TRUE(list->selectedItems().isEmpty());

    // Choosing another bucket or group, by keyboard, rebuilds the lists below it and drops the
    // month selection.
    list->item(1)->setSelected(true);
    QTest::keyClick(cboBucket, Qt::Key_Down);
    EXPECT_EQ(Texts(list), QStringList({QStringLiteral("2005/03")}));
    EXPECT_TRUE(list->selectedItems().isEmpty());
    QTest::keyClick(cboGroup, Qt::Key_Down);
    EXPECT_EQ(Texts(cboBucket), QStringList({QStringLiteral("01")}));
    EXPECT_EQ(Texts(list), QStringList({QStringLiteral("2005/02")}));
}

TEST_F(Discovery, ChoosingAFolderListsItAndCancellingChangesNothing) {
    const std::string first = Folder("first");
    WriteMonthlyFile(first, 2024, 1, "0101");
    WriteMonthlyFile(first, 2024, 2, "0101");
    const std::string empty = Folder("empty");
    WriteFile(empty + "notes.txt", "x");

    // Without a Data folder start-up is silent and the dialog starts at its own default.
    auto window = StartWindow();
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_EQ(window->monthlyFolder(), AppFolder() + "Data/");
    auto* command1 = Child<QPushButton>(window.get(), "Command1");
    auto* list = Child<QListWidget>(window.get(), "List1");
    auto* lblPath = Child<QLabel>(window.get(), "lblPath");
    dialogs->folderAnswers = {QString::fromStdString(first)};
    command1->click();
    ASSERT_EQ(dialogs->folderRequests.size(), 1u);
    EXPECT_EQ(dialogs->folderRequests[0].prompt,
              QStringLiteral("月次ファイルがあるフォルダを指定して下さい。"));
    EXPECT_EQ(dialogs->folderRequests[0].startFolder, QString());
    EXPECT_EQ(window->monthlyFolder(), first);
    EXPECT_EQ(Texts(list), QStringList({QStringLiteral("2024/01"), QStringLiteral("2024/02")}));
    list->item(1)->setSelected(true);

    // Cancelled, then a folder that cannot be read: everything stays, the selection included.
    dialogs->folderAnswers = {QString(), QString::fromStdString(first + "gone/")};
    command1->click();
    command1->click();
    ASSERT_EQ(dialogs->folderRequests.size(), 3u);
    EXPECT_EQ(dialogs->folderRequests[1].startFolder.toStdString(), first); // it holds a file now
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].text.contains(QStringLiteral("gone/")));
    EXPECT_EQ(dialogs->messages[0].title, QStringLiteral("エラー"));
    EXPECT_EQ(dialogs->messages[0].style, 48);
    EXPECT_EQ(window->monthlyFolder(), first);
    EXPECT_EQ(lblPath->text().toStdString(), first);
    EXPECT_EQ(Texts(list).size(), 2);
    EXPECT_TRUE(list->item(1)->isSelected());

    // A folder without monthly files empties all three lists, silently.
    dialogs->folderAnswers = {QString::fromStdString(empty)};
    command1->click();
    EXPECT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(lblPath->text().toStdString(), empty);
    EXPECT_EQ(Child<QComboBox>(window.get(), "cboGroup")->count(), 0);
    EXPECT_EQ(Child<QComboBox>(window.get(), "cboBucket")->count(), 0);
    EXPECT_EQ(list->count(), 0);
}

} // namespace
} // namespace kolvane::testing
