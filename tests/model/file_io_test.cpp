#include "model/Messages.h"
#include "model/FileIo.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

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
    EXPECT_EQ(ReadWholeFile(folder.File("pipe.csv"), bytes), ENODEV);
    ::alarm(0);
    std::filesystem::create_symlink("/dev/null", folder.File("device.csv"));
    EXPECT_EQ(ReadWholeFile(folder.File("device.csv"), bytes), ENODEV);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(DescribeSystemError(ENODEV), "通常のファイルではありません");
}

} // namespace
} // namespace kolvane
