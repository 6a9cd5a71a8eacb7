#pragma once

#include "platform/System.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kolvane {

// A folder path as the program keeps it: ending in "/" (an empty path stays empty).
std::string WithTrailingSlash(std::string folder);

// True when `path` names a folder (following symbolic links).
bool IsFolder(const std::string& path);

// Reads a whole file into `out` (its capacity is reused). Returns 0, or the errno of the failure
// (ENOENT when there is no such file, EISDIR for a folder, platform::kIsPipe, kIsDevice, kIsSocket or
// ENODEV for a pipe, device, socket or anything else
// that is not a regular file).
int ReadWholeFile(const std::string& path, std::string& out);

// The system's calls that make a replace survive a power cut, as DurableCalls makes them: 0, or -1 with
// errno set. The file system's sync fails with ENOSYS where it cannot report a failed write.
int SyncFileData(platform::Handle file);
int SyncFileSystem(platform::Handle file);
int RenameFile(const char* from, const char* to);
int SyncFolderHandle(platform::Handle folder);

// The calls that make a replace survive a power cut, in the order WriteFileAtomically makes them. A test
// wraps them to see that order; everything else uses the system's. The data's sync need not carry the
// file's times: its size is set by the write, which the data's sync keeps.
struct DurableCalls {
    int (*syncFile)(platform::Handle file) = SyncFileData;
    int (*syncFileSystem)(platform::Handle file) = SyncFileSystem;
    int (*rename)(const char* from, const char* to) = RenameFile;
    int (*syncFolder)(platform::Handle folder) = SyncFolderHandle;
};

// A file's new content written beside it, not yet in its place. Prepare only starts the data on its way
// to the disk; Sync waits for it. Apart, many files can be written while others compute and then synced
// together (one sync of their file system), put in place in a chosen order, with one SyncFolder
// after a batch. Destroyed before Commit, it removes its temporary file.
class PendingFile {
  public:
    PendingFile() = default;
    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&& other) noexcept;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile();

    // Writes `bytes` to a new file in the folder `path` (or the file a symbolic link there leads to) will
    // be in, with the mode and, where permitted, the owner of the file it replaces, and starts writing
    // it to disk. Returns 0 or an errno (nothing left behind): EISDIR, platform::kIsPipe, kIsDevice or
    // kIsSocket (ENODEV for anything else) when `path` is, or leads to, anything but a regular file or
    // nothing, which is never replaced.
    int Prepare(const std::string& path, std::string_view bytes, const DurableCalls& calls = {});
    // Waits until the data is on disk. Returns 0 or an errno (the temporary file removed).
    int Sync();
    // Sync of many files at once, through the calls of the first: one sync of each file system they are
    // on, one flush of the disk instead of one per file (it also writes what other programs have pending
    // there), or each file alone where the file system sync fails with ENOSYS. Returns 0, or an errno with
    // `failed` set to the index of a file not synced (the first of a whole file system).
    static int SyncAll(const std::vector<PendingFile*>& files, std::size_t& failed);
    // Syncs it if that has not been done, and renames it over its target. Returns 0 or an errno (the
    // temporary file removed, the target as it was).
    int Commit();
    // The folder the file is put in: SyncFolder it after Commit before the file counts as written.
    const std::string& folder() const { return folder_; }

  private:
    void Discard();
    DurableCalls calls_;
    std::string path_;
    std::string folder_;
    std::string temp_;
    platform::File file_;      // open until synced
    std::uint64_t opened_ = 0; // the order of the openings of this process
};

// Syncs a folder, so the renames in it survive a power cut. Returns 0 or an errno.
int SyncFolder(const std::string& folder, const DurableCalls& calls = {});

// Prepare, Commit and SyncFolder of one file: the target is either its old self or complete, also after
// a power cut once this has returned 0. A symbolic link is written through (its target is replaced, the
// link stays); a replaced file's other hard links keep the old content. Returns 0 or an errno.
int WriteFileAtomically(const std::string& path, std::string_view bytes, const DurableCalls& calls = {});

// Removes a file. Returns 0 or an errno.
int RemoveFile(const std::string& path);

// Removes from `folder` (ending in "/") the temporary files WriteFileAtomically leaves when its process is
// killed: ".NAME.tmpPID-N" of a .csv, .ini, .png or .svg file whose process no longer runs. A running
// process's files are its own to finish. Returns how many were removed.
int RemoveStaleTemporaryFiles(const std::string& folder);

// Finds names in one folder (ending in "/") as a case-insensitive file system would. Resolve gives
// the exact name when it exists (as spelt on disk where the system ignores case), else the folder entry
// equal to it ignoring ASCII case (first in name order), else the exact name. The folder is listed once, at
// the first name that does not exist exactly, instead of once per name.
class FolderLookup {
  public:
    explicit FolderLookup(std::string folder) : folder_(std::move(folder)) {}
    std::string Resolve(const std::string& name);
    // ReadWholeFile of the file Resolve(name) gives, which `path` says: the same result, with one look
    // at the system fewer where the exact name exists.
    int Read(const std::string& name, std::string& path, std::string& bytes);

  private:
    std::string Listed(const std::string& name);
    std::string folder_;
    bool listed_ = false;
    std::unordered_map<std::string, std::string> byLowerName_;
};

// Names of the regular files in `folder` (links to one included), ascending ignoring ASCII case. Returns
// 0 or an errno (also when the listing broke off).
int ListRegularFiles(const std::string& folder, std::vector<std::string>& names);

} // namespace kolvane
