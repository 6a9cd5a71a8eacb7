#include "model/Messages.h"
#include "model/Text.h"
#include "settings/Settings.h"
#include "support/EngineRun.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace kolvane {
namespace {

using testing::TempFolder;

bool IsKind(const std::string& path, mode_t kind) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == kind;
}

// Every file the program writes, named by a link to `node` (or by the node itself for the yearly file):
// the run, or the settings' save, fails naming the file and what it is, and the node stays as it was.
void ExpectNothingWrittenThrough(const std::string& node, mode_t kind, int error) {
    const std::string said = DescribeSystemError(error);
    for (const char* name :
         {"Y2024_0312.csv", "Q2024_0312.csv", "C2024_0312.csv", "kolvane-log.csv", "self"}) {
        SCOPED_TRACE(name);
        TempFolder folder;
        folder.Write("M2407_0312.csv", testing::NightHours("2024/07/17"));
        const std::string target = std::string(name) == "self" ? node : folder.File(name);
        const std::string path = std::string(name) == "self" ? folder.File("Y2024_0312.csv") : target;
        if (target == node) {
            ASSERT_EQ(::rename(node.c_str(), path.c_str()), 0);
        } else {
            ASSERT_EQ(::symlink(node.c_str(), path.c_str()), 0);
        }
        // A yearly file, a companion and findings, for three night hours.
        const std::string failure = testing::ConvertInPlace(folder.folder(), {"2024/07"});
        EXPECT_NE(failure.find(path), std::string::npos) << failure;
        EXPECT_NE(failure.find(said), std::string::npos) << failure;
        EXPECT_TRUE(IsKind(target == node ? path : node, kind));
        // No temporary file stays beside the node, nor in the folder.
        for (const auto& entry : std::filesystem::directory_iterator(folder.folder()))
            EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
        if (target == node) {
            ASSERT_EQ(::rename(path.c_str(), node.c_str()), 0);
        }
    }
    TempFolder settings;
    ASSERT_EQ(::symlink(node.c_str(), settings.File("kolvane.ini").c_str()), 0);
    EXPECT_EQ(SaveSettings(settings.File("kolvane.ini"), SettingsValues{}), error);
    EXPECT_TRUE(IsKind(node, kind));
}

TEST(SpecialTargets, NoFileIsWrittenThroughANamedPipe) {
    TempFolder nodes;
    const std::string pipe = nodes.File("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    ExpectNothingWrittenThrough(pipe, S_IFIFO, platform::kIsPipe);
}

TEST(SpecialTargets, NoFileIsWrittenThroughADevice) {
    TempFolder nodes;
    const std::string device = nodes.File("null");
    // The system's null device made anew here: never a node of the system's own.
    if (::mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0)
        GTEST_SKIP() << "making a device node needs root (mknod: " << std::strerror(errno) << ")";
    ExpectNothingWrittenThrough(device, S_IFCHR, platform::kIsDevice);
}

} // namespace
} // namespace kolvane
