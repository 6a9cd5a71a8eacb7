#include "model/FileIo.h"
#include "model/Messages.h"
#include "support/DurableLog.h"
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

using testing::DURABLE_LOG;
using testing::DurableLog;
using testing::TempFolder;

TEST(WriteFileAtomically, SyncsTheFileBeforeTheRenameAndTheFolderAfterAndFailsWhole) {
    TempFolder folder;
    const std::string path = folder.Write("Y2024_0101.csv", "old");
    DurableLog::Take();
    ASSERT_EQ(WriteFileAtomically(path, "new", DURABLE_LOG), 0);
    EXPECT_EQ(DurableLog::Take(),
              (std::vector<std::string>{"sync Y2024_0101.csv", "rename Y2024_0101.csv",
                                        "sync folder " +
                                            std::filesystem::path(path).parent_path().filename().string()}));
    EXPECT_EQ(TempFolder::Read(path), "new");

    // A disk that cannot take the data: nothing renamed, the old file and no temporary file left.
    DurableLog::syncFileError = EIO;
    EXPECT_EQ(WriteFileAtomically(path, "newer", DURABLE_LOG), EIO);
    DurableLog::syncFileError = 0;
    EXPECT_EQ(DurableLog::Take(), std::vector<std::string>{"sync Y2024_0101.csv"});
    EXPECT_EQ(TempFolder::Read(path), "new");
    EXPECT_EQ(folder.EntryCount(), 1);
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
    DurableCalls calls = DURABLE_LOG;
    // Named by the file it is asked through: the first opened, whose failed writes it reports since then.
    calls.syncFileSystem = [](int fd) {
        DurableLog::Note("sync all " + DurableLog::NameOf(fd));
        return DurableLog::Failing(DurableLog::syncFileSystemError, SyncFileSystem, fd);
    };
    const std::string first = twoFileSystems ? "sync all Y3.csv" : "sync all Y1.csv";
    const struct {
        int error;
        std::vector<std::string> log;
    } cases[] = {
        {0, twoFileSystems ? std::vector<std::string>{first, "sync all Y1.csv"}
                           : std::vector<std::string>{first}},
        {ENOSYS, {first, "sync Y3.csv", "sync all Y1.csv", "sync Y2.csv", "sync all Y1.csv", "sync Y1.csv"}},
        {EIO, {first}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        DurableLog::syncFileSystemError = c.error;
        const std::string bytes = "new " + std::to_string(c.error);
        std::vector<PendingFile> files(3);
        std::vector<PendingFile*> pointers;
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(files[i].Prepare(folder.File("Y" + std::to_string(i + 1) + ".csv"), bytes, calls), 0);
            pointers.insert(pointers.begin(), &files[i]);
        }
        DurableLog::Take();
        std::size_t failed = 99;
        EXPECT_EQ(PendingFile::SyncAll(pointers, failed), c.error == ENOSYS ? 0 : c.error);
        EXPECT_EQ(DurableLog::Take(), c.log);
        if (c.error == EIO) {
            EXPECT_EQ(failed, 0u);
            continue; // dropped unrenamed: nothing left behind
        }
        for (PendingFile& file : files)
            EXPECT_EQ(file.Commit(), 0);
        // Synced once is enough.
        EXPECT_EQ(DurableLog::Take(),
                  (std::vector<std::string>{"rename Y1.csv", "rename Y2.csv", "rename Y3.csv"}));
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(TempFolder::Read(folder.File("Y" + std::to_string(i) + ".csv")), bytes);
    }
    DurableLog::syncFileSystemError = 0;
    EXPECT_EQ(folder.EntryCount(), 3);
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
