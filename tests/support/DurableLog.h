#pragma once

#include "model/FileIo.h"
#include "model/Text.h"

#include <cerrno>
#include <filesystem>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace kolvane::testing {

// Durable calls that note each call, from whatever thread, in the order made, and fail where told:
// "sync NAME" (a temporary file by the name it is to take), "sync all", "rename NAME",
// "sync folder NAME". POSIX only: names come from /proc.
struct DurableLog {
    static inline std::mutex mutex;
    static inline std::vector<std::string> calls;
    static inline int syncFileSystemError = 0, syncFolderError = 0;
    static inline void (*before)() = nullptr; // before each call, where a kill would come

    static std::vector<std::string> Take() {
        const std::lock_guard lock(mutex);
        return std::exchange(calls, {});
    }
    static void Note(std::string call) {
        if (before) before();
        const std::lock_guard lock(mutex);
        calls.push_back(std::move(call));
    }
    static std::string NameOf(int fd) {
        const std::string name =
            std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd)).filename().string();
        const std::size_t temp = name.rfind(".tmp");
        return name.starts_with('.') && temp != std::string::npos ? name.substr(1, temp - 1) : name;
    }
    static int Failed(int error) {
        errno = error;
        return -1;
    }
};

inline const DurableCalls DURABLE_LOG{.syncFile =
                                          [](int fd) {
                                              DurableLog::Note("sync " + DurableLog::NameOf(fd));
                                              return SyncFileData(fd);
                                          },
                                      .syncFileSystem =
                                          [](int fd) {
                                              DurableLog::Note("sync all");
                                              return DurableLog::syncFileSystemError
                                                         ? DurableLog::Failed(DurableLog::syncFileSystemError)
                                                         : SyncFileSystem(fd);
                                          },
                                      .rename =
                                          [](const char* from, const char* to) {
                                              DurableLog::Note("rename " + std::string(FileNameOf(to)));
                                              return RenameFile(from, to);
                                          },
                                      .syncFolder =
                                          [](int fd) {
                                              DurableLog::Note("sync folder " + DurableLog::NameOf(fd));
                                              return DurableLog::syncFolderError
                                                         ? DurableLog::Failed(DurableLog::syncFolderError)
                                                         : SyncFolderHandle(fd);
                                          }};

} // namespace kolvane::testing
