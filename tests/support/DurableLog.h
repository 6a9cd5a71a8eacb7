#pragma once

#include "model/FileIo.h"
#include "model/FileNames.h"
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
    static inline int syncFileError = 0, syncFileSystemError = 0, syncFolderError = 0;
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
    static int Failing(int error, int (*call)(platform::Handle), int fd) {
        if (error == 0) return call(fd);
        errno = error;
        return -1;
    }
    static int NoteSyncFile(int fd) {
        Note("sync " + NameOf(fd));
        return Failing(syncFileError, SyncFileData, fd);
    }
    static int NoteSyncAll(int fd) {
        Note("sync all");
        return Failing(syncFileSystemError, SyncFileSystem, fd);
    }
    static int NoteRename(const char* from, const char* to) {
        Note("rename " + std::string(FileNameOf(to)));
        return RenameFile(from, to);
    }
    static int NoteSyncFolder(int fd) {
        Note("sync folder " + NameOf(fd));
        return Failing(syncFolderError, SyncFolderHandle, fd);
    }
};

inline const DurableCalls DURABLE_LOG{.syncFile = DurableLog::NoteSyncFile,
                                      .syncFileSystem = DurableLog::NoteSyncAll,
                                      .rename = DurableLog::NoteRename,
                                      .syncFolder = DurableLog::NoteSyncFolder};

} // namespace kolvane::testing
