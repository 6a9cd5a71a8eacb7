#include "UiTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtGlobal>

namespace kolvane::testing {
namespace {

// The program as a package installs it: the executable alone in usr/bin/, its data in
// usr/share/kolvane/, and the user's configuration folder given by $XDG_CONFIG_HOME.
class InstalledLayout : public UiFixture {
  protected:
    void SetUp() override {
        savedConfig_ = qgetenv("XDG_CONFIG_HOME");
        hadConfig_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(Folder("config")));
    }
    void TearDown() override {
        if (hadConfig_)
            qputenv("XDG_CONFIG_HOME", savedConfig_);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    std::unique_ptr<frmKolvane> StartInstalled() {
        auto answers = std::make_unique<ScriptedDialogs>();
        dialogs = answers.get();
        std::string bin = Folder("usr/bin");
        bin.pop_back();
        auto window = std::make_unique<frmKolvane>(QString::fromStdString(bin), std::move(answers));
        window->Form_Load();
        return window;
    }

  private:
    QByteArray savedConfig_;
    bool hadConfig_ = false;
};

TEST_F(InstalledLayout, FindsItsDataInTheInstalledFolderAndKeepsTheChoicesInTheUsersFolder) {
    const std::string share = Folder("usr/share/kolvane");
    WriteFile(share + "locale.dat",
              "13,44132,東京,35,41,30,139,45,00\r\n13,44136,八王子,35,39,36,139,19,06\r\n");
    WriteFile(share + "kolvane.hlp", "<html><body>help</body></html>");
    WriteMonthlyFile(Folder("usr/share/kolvane/Data"), 2024, 5, "0312");

    auto window = StartInstalled();
    EXPECT_EQ(Child<QLabel>(window.get(), "lblPath")->text().toStdString(), share + "Data/");
    EXPECT_EQ(Texts(Child<QListWidget>(window.get(), "List1")), Strings({"2024/05"}));
    EXPECT_EQ(window->helpFilePath().toStdString(), share + "kolvane.hlp");
    Child<QComboBox>(window.get(), "cboArea1")->setCurrentIndex(13);
    auto* cboArea2 = Child<QComboBox>(window.get(), "cboArea2");
    EXPECT_EQ(Texts(cboArea2), Strings({"東京", "八王子"}));
    cboArea2->setCurrentIndex(1);
    Child<QPushButton>(window.get(), "cmdExit")->click();
    EXPECT_TRUE(dialogs->messages.isEmpty()) << dialogs->messages.join(u'\n').toStdString();
    EXPECT_TRUE(Entries(Folder("usr/bin")).isEmpty()) << "nothing is left beside an installed program";
    const std::string stored = Bytes(Folder("config/kolvane") + "kolvane.ini");
    EXPECT_NE(stored.find("Pref=13\r\nLocale=44136\r\n"), std::string::npos) << stored;

    window.reset();
    window = StartInstalled();
    EXPECT_EQ(Child<QComboBox>(window.get(), "cboArea1")->currentText(), QStringLiteral("東京都"));
    EXPECT_EQ(Child<QComboBox>(window.get(), "cboArea2")->currentText(), QStringLiteral("八王子"));
}

} // namespace
} // namespace kolvane::testing
