#include "model/FileIo.h"
#include "model/Messages.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kolvane {
namespace {

using testing::TempFolder;

TEST(ReadWholeFile, OnlyRegularFilesAreRead) {
    TempFolder folder;
    std::string bytes = "stale";
    EXPECT_EQ(ReadWholeFile(folder.Write("a.csv", "abc"), bytes), 0);
    EXPECT_EQ(bytes, "abc");
    EXPECT_EQ(ReadWholeFile(folder.File("none.csv"), bytes), ENOENT);
    EXPECT_EQ(ReadWholeFile(folder.folder(), bytes), EISDIR);

    // A named pipe would wait for a writer forever (the alarm ends the test instead), and a device
    // may never end.
    ASSERT_EQ(::mkfifo(folder.File("pipe.csv").c_str(), 0600), 0);
    ::alarm(20);
    EXPECT_EQ(ReadWholeFile(folder.File("pipe.csv"), bytes), platform::kIsPipe);
    ::alarm(0);
    std::filesystem::create_symlink("/dev/null", folder.File("device.csv"));
    EXPECT_EQ(ReadWholeFile(folder.File("device.csv"), bytes), platform::kIsDevice);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(DescribeSystemError(ENODEV), "通常のファイルではありません");
}

std::vector<std::string> durableLog;
int failWith = 0;

DurableCalls Recording() {
    DurableCalls calls;
    calls.syncFile = [](int fd) {
        durableLog.push_back("sync file");
        if (failWith) return errno = failWith, -1;
        return ::fsync(fd);
    };
    calls.rename = [](const char* from, const char* to) {
        durableLog.push_back("rename");
        return ::rename(from, to);
    };
    calls.syncFolder = [](int fd) {
        durableLog.push_back("sync folder");
        return ::fsync(fd);
    };
    return calls;
}

// In name order ignoring case ("_" lies between the capitals and the small letters), names equal but for
// case in byte order.
TEST(ListRegularFiles, NamesComeInOrderIgnoringCase) {
    TempFolder folder;
    for (const char* name : {"b.csv", "B.csv", "a.csv", "_x.csv", "A.csv"})
        folder.Write(name, "");
    std::vector<std::string> names;
    ASSERT_EQ(ListRegularFiles(folder.folder(), names), 0);
    if (names.size() < 5) GTEST_SKIP() << "this file system keeps one of names equal but for case";
    EXPECT_EQ(names, (std::vector<std::string>{"_x.csv", "A.csv", "a.csv", "B.csv", "b.csv"}));
}

TEST(WriteFileAtomically, SyncsTheFileBeforeTheRenameAndTheFolderAfterAndFailsWhole) {
    TempFolder folder;
    const std::string path = folder.Write("Y2024_0101.csv", "old");
    durableLog.clear();
    ASSERT_EQ(WriteFileAtomically(path, "new", Recording()), 0);
    EXPECT_EQ(durableLog, (std::vector<std::string>{"sync file", "rename", "sync folder"}));
    EXPECT_EQ(TempFolder::Read(path), "new");

    // A disk that cannot take the data: nothing renamed, the old file and no temporary file left.
    durableLog.clear();
    failWith = EIO;
    EXPECT_EQ(WriteFileAtomically(path, "newer", Recording()), EIO);
    failWith = 0;
    EXPECT_EQ(durableLog, std::vector<std::string>{"sync file"});
    EXPECT_EQ(TempFolder::Read(path), "new");
    std::vector<std::string> names;
    ASSERT_EQ(ListRegularFiles(folder.folder(), names), 0);
    EXPECT_EQ(names, std::vector<std::string>{"Y2024_0101.csv"});
}

TEST(PendingFile, SyncAllSyncsEachFileSystemOnceOrEachFileWhereThatCannotReportAFailure) {
    namespace fs = std::filesystem;
    TempFolder folder;
    // A file linked to another file system, where the machine has one in memory, needs that one synced.
    const fs::path other = fs::path("/dev/shm") / ("kolvane-test-" + std::to_string(::getpid()));
    struct stat here, there;
    std::error_code noShm;
    const bool twoFileSystems = fs::create_directory(other, noShm) &&
                                ::stat(folder.folder().c_str(), &here) == 0 &&
                                ::stat(other.c_str(), &there) == 0 && here.st_dev != there.st_dev;
    if (twoFileSystems) fs::create_symlink(other / "Y3.csv", folder.File("Y3.csv"));
    static int fileSystemError = 0;
    DurableCalls calls = Recording();
    // Named by the file it is asked through: the first opened, whose failed writes it reports since then.
    calls.syncFileSystem = [](int fd) {
        const std::string temp = fs::read_symlink("/proc/self/fd/" + std::to_string(fd)).filename();
        durableLog.push_back("sync file system " + temp.substr(1, 2));
        return fileSystemError ? errno = fileSystemError, -1 : ::syncfs(fd);
    };
    const struct {
        int error;
        std::vector<std::string> log;
    } cases[] = {
        {0, twoFileSystems ? std::vector<std::string>{"sync file system Y3", "sync file system Y1"}
                           : std::vector<std::string>{"sync file system Y1"}},
        {ENOSYS,
         {twoFileSystems ? "sync file system Y3" : "sync file system Y1", "sync file", "sync file system Y1",
          "sync file", "sync file system Y1", "sync file"}},
        {EIO, {twoFileSystems ? "sync file system Y3" : "sync file system Y1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        fileSystemError = c.error;
        const std::string bytes = "new " + std::to_string(c.error);
        std::vector<PendingFile> files(3);
        std::vector<PendingFile*> pointers;
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(files[i].Prepare(folder.File("Y" + std::to_string(i + 1) + ".csv"), bytes, calls), 0);
            pointers.insert(pointers.begin(), &files[i]);
        }
        durableLog.clear();
        std::size_t failed = 99;
        EXPECT_EQ(PendingFile::SyncAll(pointers, failed), c.error == ENOSYS ? 0 : c.error);
        EXPECT_EQ(durableLog, c.log);
        if (c.error == EIO) {
            EXPECT_EQ(failed, 0u);
            continue; // dropped unrenamed: nothing left behind
        }
        durableLog.clear();
        for (PendingFile& file : files)
            EXPECT_EQ(file.Commit(), 0);
        // Synced once is enough.
        EXPECT_EQ(durableLog, std::vector<std::string>(3, "rename"));
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(TempFolder::Read(folder.File("Y" + std::to_string(i) + ".csv")), bytes);
    }
    fileSystemError = 0;
    std::vector<std::string> names;
    ASSERT_EQ(ListRegularFiles(folder.folder(), names), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"Y1.csv", "Y2.csv", "Y3.csv"}));
    if (twoFileSystems) {
        EXPECT_EQ(std::distance(fs::directory_iterator(other), fs::directory_iterator()), 1);
    }
    fs::remove_all(other, noShm);
}

TEST(WriteFileAtomically, KeepsLinksAndModeOfTheFileItReplaces) {
    namespace fs = std::filesystem;
    TempFolder folder;
    fs::create_directory(folder.File("shared"));
    const std::string target = folder.Write("shared/kolvane.ini", "old");
    fs::create_symlink("shared/kolvane.ini", folder.File("kolvane.ini"));
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    fs::create_hard_link(target, folder.File("copy.ini"));

    ASSERT_EQ(WriteFileAtomically(folder.File("kolvane.ini"), "new"), 0);
    EXPECT_TRUE(fs::is_symlink(folder.File("kolvane.ini")));
    EXPECT_EQ(TempFolder::Read(target), "new");
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    // The replaced file's other name keeps what it had: the README says so.
    EXPECT_EQ(TempFolder::Read(folder.File("copy.ini")), "old");

    // A link that never ends is refused, and left as it is.
    fs::create_symlink("loop2", folder.File("loop1"));
    fs::create_symlink("loop1", folder.File("loop2"));
    EXPECT_EQ(WriteFileAtomically(folder.File("loop1"), "x"), ELOOP);
    EXPECT_EQ(DescribeSystemError(ELOOP), "シンボリックリンクが循環しています");
    EXPECT_TRUE(fs::is_symlink(folder.File("loop1")));
}

TEST(RemoveStaleTemporaryFiles, OnlyOursOfProcessesThatAreGone) {
    TempFolder folder;
    // A child that has ended and been waited for: its id names no process any more.
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string dead = std::to_string(gone), alive = std::to_string(::getpid());
    for (const std::string& name : {".Y2024_0101.csv.tmp" + dead + "-0", ".kolvane.ini.tmp" + dead + "-12",
                                    ".plot.PNG.tmp" + dead + "-3"})
        folder.Write(name, "left by a killed run");
    for (const std::string& name : {".Y2024_0101.csv.tmp" + alive + "-0", ".notes.txt.tmp" + dead + "-0",
                                    ".Y2024_0101.csv.tmp" + dead + "-", ".Y2024_0101.csv.tmp" + dead + "x-1",
                                    "Y2024_0101.csv.tmp" + dead + "-0", std::string("Y2024_0101.csv")})
        folder.Write(name, "kept");

    EXPECT_EQ(RemoveStaleTemporaryFiles(folder.folder()), 3);
    std::vector<std::string> names;
    ASSERT_EQ(ListRegularFiles(folder.folder(), names), 0);
    EXPECT_EQ(names.size(), 6u);
    for (const std::string& name : names)
        EXPECT_EQ(TempFolder::Read(folder.File(name)), "kept") << name;
}

TEST(WriteFileAtomically, KeepsTheOwnerOfTheFileItReplaces) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can make a file another user's to see it kept";
    TempFolder folder;
    const std::string path = folder.Write("Y2024_0101.csv", "old");
    ASSERT_EQ(::chown(path.c_str(), 4321, 4321), 0);
    ASSERT_EQ(WriteFileAtomically(path, "new"), 0);
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4321u);
}

} // namespace
} // namespace kolvane
