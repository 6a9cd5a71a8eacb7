#include "UiTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace kolvane::testing {
namespace {

using Discovery = UiFixture;

TEST_F(Discovery, TheMonthlyFolderCascadesIntoTheListsAndAFailedChoiceChangesNothing) {
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
    auto* lblPath = Child<QLabel>(window.get(), "lblPath");
    EXPECT_EQ(lblPath->text().toStdString(), data);
    auto* cboGroup = Child<QComboBox>(window.get(), "cboGroup");
    auto* cboBucket = Child<QComboBox>(window.get(), "cboBucket");
    auto* list = Child<QListWidget>(window.get(), "List1");
    // First appearance in name order, the first group chosen at once, cascading to its months.
    EXPECT_EQ(Texts(cboGroup), Strings({"02", "01"}));
    EXPECT_EQ(cboGroup->currentText(), QStringLiteral("02"));
    EXPECT_EQ(Texts(cboBucket), Strings({"01", "33"}));
    EXPECT_EQ(cboBucket->currentText(), QStringLiteral("01"));
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
    auto* command1 = Child<QPushButton>(window.get(), "Command1");
    dialogs->folderAnswers = {QString(), QString::fromStdString(data + "gone/")};
    command1->click();
    command1->click();
    ASSERT_EQ(dialogs->folderRequests.size(), 2u);
    EXPECT_EQ(dialogs->folderRequests[0].startFolder.toStdString(), data);
    ASSERT_EQ(dialogs->messages.size(), 1);
    const QString unreadable = QStringLiteral("フォルダ「%1gone/」を読み込めません。");
    EXPECT_TRUE(dialogs->messages[0].startsWith(ErrorLine(unreadable.arg(QString::fromStdString(data)))))
        << dialogs->messages[0].toStdString();
    EXPECT_EQ(window->monthlyFolder(), data);
    EXPECT_EQ(lblPath->text().toStdString(), data);
    EXPECT_TRUE(list->count() == 1 && list->item(0)->isSelected());

    // A folder without monthly files empties all three lists, silently.
    const std::string empty = Folder("empty");
    dialogs->folderAnswers = {QString::fromStdString(empty)};
    command1->click();
    EXPECT_EQ(dialogs->messages.size(), 1);
    EXPECT_EQ(lblPath->text().toStdString(), empty);
    EXPECT_EQ(cboGroup->count() + cboBucket->count() + list->count(), 0);
}

} // namespace
} // namespace kolvane::testing
