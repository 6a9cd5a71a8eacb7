#include "settings/Locations.h"

#include "settings/Settings.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kolvane {
namespace {

using testing::TempFolder;
namespace fs = std::filesystem;

// An installed tree below `root`: usr/bin/ for the programs and usr/share/kolvane/ for their data,
// with a user's home apart. Whether a folder may be written is the test's to say.
struct Tree {
    TempFolder root;
    std::string bin = root.File("usr/bin/");
    std::string share = root.File("usr/share/kolvane/");
    std::string home = root.File("home/");
    bool writable = true;

    Tree() {
        fs::create_directories(bin);
        fs::create_directories(share);
        fs::create_directories(home);
    }
    ProgramEnvironment Environment() const {
        ProgramEnvironment env;
        env.executableFolder = bin.substr(0, bin.size() - 1); // as the program reports it
        env.installedDataFolder = "../share/kolvane/";
        env.home = home;
        env.canWrite = [this](const std::string&) { return writable; };
        return env;
    }
};

TEST(Locations, DataIsTakenBesideTheProgramFirstThenFromTheInstalledFolder) {
    Tree tree;
    ProgramEnvironment env = tree.Environment();
    // Nothing anywhere: the program's own folder, where a missing file is reported.
    EXPECT_EQ(DataPath(env, "kolvane.hlp"), tree.bin + "kolvane.hlp");

    tree.root.Write("usr/share/kolvane/kolvane.hlp", "installed");
    fs::create_directories(tree.share + "Data");
    EXPECT_EQ(DataPath(env, "kolvane.hlp"), tree.share + "kolvane.hlp") << "no \"..\" in what the user sees";
    EXPECT_EQ(DataFolder(env, "Data"), tree.share);
    EXPECT_EQ(StartMonthlyFolder("", DataFolder(env, "Data")), tree.share + "Data/");

    // A build folder or portable copy keeps its own files even where an installed copy exists.
    tree.root.Write("usr/bin/kolvane.hlp", "beside");
    fs::create_directories(tree.bin + "Data");
    EXPECT_EQ(DataPath(env, "kolvane.hlp"), tree.bin + "kolvane.hlp");
    EXPECT_EQ(DataFolder(env, "Data"), tree.bin);

    // An absolute installed folder is taken as it is; none at all looks only beside the program.
    env.installedDataFolder = tree.share;
    EXPECT_EQ(DataPath(env, "locale.dat"), tree.bin + "locale.dat");
    tree.root.Write("usr/share/kolvane/locale.dat", "");
    EXPECT_EQ(DataPath(env, "locale.dat"), tree.share + "locale.dat");
    env.installedDataFolder.clear();
    EXPECT_EQ(DataPath(env, "locale.dat"), tree.bin + "locale.dat");
}

TEST(Locations, SettingsStayBesideAPortableProgramAndGoToTheUsersFolderOtherwise) {
    Tree tree;
    ProgramEnvironment env = tree.Environment();
    const std::string beside = tree.bin + "kolvane.ini";
    const std::string userFile = tree.home + ".config/kolvane/kolvane.ini";

    // A build folder or portable copy the user may write: as ever, beside the program.
    tree.root.Write("usr/bin/locale.dat", "");
    EXPECT_EQ(SettingsFilePath(env), beside);
    // The same folder read-only: the user's configuration folder, $XDG_CONFIG_HOME when absolute.
    tree.writable = false;
    EXPECT_EQ(SettingsFilePath(env), userFile);
    env.configHome = tree.root.File("xdg");
    EXPECT_EQ(SettingsFilePath(env), tree.root.File("xdg/kolvane/kolvane.ini"));
    env.configHome = "relative/xdg";
    EXPECT_EQ(SettingsFilePath(env), userFile) << "a relative $XDG_CONFIG_HOME is ignored";
    // A file already beside a read-only program is the portable copy's own: it is used.
    tree.root.Write("usr/bin/kolvane.ini", "[Data]\r\nPref=13\r\n");
    EXPECT_EQ(SettingsFilePath(env), beside);
    fs::remove(beside);

    // Installed (the data only in the installed folder): never beside the program, even for a user
    // who may write there, whose file would become everyone's.
    fs::remove(tree.bin + "locale.dat");
    tree.root.Write("usr/share/kolvane/locale.dat", "");
    tree.writable = true;
    EXPECT_EQ(SettingsFilePath(env), userFile);
    // Without any home folder there is nowhere else.
    env.home.clear();
    EXPECT_EQ(SettingsFilePath(env), beside);
}

TEST(Locations, OnWindowsAnInstalledCopyKeepsTheSettingsInTheUsersProfile) {
    Tree tree;
    ProgramEnvironment env = tree.Environment();
    env.appData = tree.root.File("Roaming");
    const fs::path beside = tree.bin + "kolvane.ini";
    const fs::path profile = env.appData + "/Kolvane/kolvane.ini";

    // A portable copy, unzipped anywhere: beside itself while it may write there, with or without
    // the data of an installed tree; on a read-only medium in the profile, unless it carries a file.
    EXPECT_EQ(fs::path(SettingsFilePath(env)), beside);
    tree.root.Write("usr/share/kolvane/locale.dat", "");
    EXPECT_EQ(fs::path(SettingsFilePath(env)), beside);
    tree.writable = false;
    EXPECT_EQ(fs::path(SettingsFilePath(env)), profile);
    tree.root.Write("usr/bin/kolvane.ini", "");
    EXPECT_EQ(fs::path(SettingsFilePath(env)), beside);

    // Installed (its uninstaller beside it): always the profile, whatever lies or may be written beside.
    tree.writable = true;
    tree.root.Write("usr/bin/Uninstall.exe", "");
    EXPECT_EQ(fs::path(SettingsFilePath(env)), profile);
}

TEST(Locations, TheFirstSaveMakesAPrivateSettingsFolder) {
    Tree tree;
    tree.root.Write("usr/share/kolvane/locale.dat", "");
    ASSERT_EQ(SaveSettings(SettingsFilePath(tree.Environment()), SettingsValues{}), 0);
    struct stat info {};
    ASSERT_EQ(::stat((tree.home + ".config/kolvane").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    // A folder that cannot be made (a file is in its way) is an error, and no file is written.
    tree.root.Write("blocked", "");
    EXPECT_NE(SaveSettings(tree.root.File("blocked/kolvane/kolvane.ini"), SettingsValues{}), 0);
}

TEST(Locations, TheRealEnvironmentIsReadFromTheProcess) {
    TempFolder temp;
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string restore = saved ? saved : "";
    ::setenv("XDG_CONFIG_HOME", temp.File("xdg").c_str(), 1);
    const ProgramEnvironment env = ProgramEnvironment::Current(temp.folder());
    saved ? ::setenv("XDG_CONFIG_HOME", restore.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(env.configHome, temp.File("xdg"));
    EXPECT_FALSE(env.home.empty());
    ASSERT_TRUE(env.canWrite);
    EXPECT_TRUE(env.canWrite(temp.folder()));

    if (::geteuid() == 0) GTEST_SKIP() << "root may write into a read-only folder";
    fs::create_directory(temp.File("locked"));
    fs::permissions(temp.File("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(env.canWrite(temp.File("locked/")));
    fs::permissions(temp.File("locked"), fs::perms::owner_all);
}

} // namespace
} // namespace kolvane
