#pragma once

// Everything the core asks of the operating system, with a POSIX side and a Windows side. Paths are
// UTF-8 here (UTF-16 only at the Windows API); failures are errno values (the Windows side maps its
// error codes onto them), so callers and their messages are the same on both.

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kolvane::platform {

// An open file of the system: a descriptor on POSIX, a HANDLE on Windows.
#ifdef _WIN32
using Handle = void*;
inline const Handle kNoHandle = reinterpret_cast<Handle>(static_cast<std::intptr_t>(-1));
#else
using Handle = int;
inline constexpr Handle kNoHandle = -1;
#endif

// What ends a folder's name in a path: "/" on POSIX, "/" or "\\" on Windows, where a path the program
// makes itself uses the one the user's path does.
#ifdef _WIN32
inline constexpr std::string_view kSeparators = "/\\";
inline constexpr char kSeparator = '\\';
#else
inline constexpr std::string_view kSeparators = "/";
inline constexpr char kSeparator = '/';
#endif
// Whether "a.csv" and "A.CSV" name the same file.
#ifdef _WIN32
inline constexpr bool kNamesIgnoreCase = true;
#else
inline constexpr bool kNamesIgnoreCase = false;
#endif
// A character no file name may hold (beyond the separators): ":" on Windows, else only NUL.
bool IsReservedInName(char c);

// Failures beyond errno: a name that stands for something no file can be written through.
inline constexpr int kIsPipe = 10001;
inline constexpr int kIsDevice = 10002;
inline constexpr int kIsSocket = 10003;

// An open file, closed when it goes.
class File {
  public:
    File() = default;
    explicit File(Handle handle) : handle_(handle) {}
    File(File&& other) noexcept : handle_(other.release()) {}
    File& operator=(File&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = other.release();
        }
        return *this;
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File() { Close(); }

    Handle get() const { return handle_; }
    bool valid() const { return handle_ != kNoHandle; }
    Handle release() { return std::exchange(handle_, kNoHandle); }
    // Returns 0 or the errno of the close, which can be the first report of a failed write.
    int Close();

  private:
    Handle handle_ = kNoHandle;
};

enum class Kind { Missing, Regular, Folder, Link, Pipe, Device, Socket, Other };

struct Status {
    Kind kind = Kind::Missing;
    std::uint64_t size = 0;
    // Together they tell files apart however they were named.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    // POSIX only: the permission bits and owner a replacing file takes over.
    unsigned mode = 0;
    unsigned owner = 0;
    unsigned group = 0;
};

// What `path` stands for, following symbolic links (Stat) or not (LinkStat). Returns 0 (kind Missing
// with ENOENT is no failure: 0 then too) or an errno.
int Stat(const std::string& path, Status& out);
int LinkStat(const std::string& path, Status& out);
int StatOf(Handle file, Status& out);
// The kIsPipe, kIsDevice or kIsSocket of a kind no file may be read or written through, EISDIR for a
// folder, ENODEV for anything else that is not a regular file, 0 for a regular file or nothing.
int NotRegularFile(Kind kind);
// Where a symbolic link points, as written in it. EINVAL for a name that is not a link.
int ReadLink(const std::string& path, std::string& target);

// Opens an existing file to read. A named pipe is opened without waiting for a writer.
int OpenToRead(const std::string& path, File& out);
// Makes a new file to write (EEXIST when the name is taken).
int CreateNew(const std::string& path, File& out);
// Opens a file to append to, readable too where that is allowed; with `create` makes a new one instead
// (EEXIST when the name is taken).
int OpenToAppend(const std::string& path, bool create, File& out);

// Reads up to `size` bytes: `done` is 0 at the end. Returns 0 or an errno.
int Read(Handle file, char* data, std::size_t size, std::size_t& done);
// Reads one byte at `offset` without moving the file position. Returns 0 or an errno.
int ReadByteAt(Handle file, std::uint64_t offset, char& byte);
// Writes all of `bytes` at the file position (the end for an appending file). Returns 0 or an errno.
int WriteAll(Handle file, std::string_view bytes);
int Truncate(Handle file, std::uint64_t size);
// Gives a file the mode and, where permitted, the owner of `like` (nothing to do on Windows).
int TakeOwnerAndMode(Handle file, const Status& like);

// The data of the file on disk (its times need not be).
int SyncData(Handle file);
// Everything pending on the file system of `file` on disk, failures reported; ENOSYS where the system
// cannot (each file must then be synced alone).
int SyncFileSystem(Handle file);
// Starts writing the file to disk without waiting: only a hint.
void StartWriteBack(Handle file);
// Opens `folder` (ending in "/"; empty for the current folder) for SyncFolderHandle. ENOSYS where a
// folder need not be synced (the system's renames reach the disk by themselves).
int OpenFolder(const std::string& folder, File& out);
// Makes the renames in a folder survive a power cut. EINVAL or EROFS where the file system cannot.
int SyncFolderHandle(Handle folder);

// Puts `from` in the place of `to`, replacing it, in one step (and on disk with it where the system
// can say so). Returns 0 or an errno.
int Rename(const char* from, const char* to);
int RemoveFile(const std::string& path);
// Makes one folder, accessible to its owner only where that can be said. EEXIST when it is there.
int MakePrivateFolder(const std::string& path);

enum class LockWait { No, Yes };
// Takes an exclusive lock of one byte at `offset` (beyond the end is allowed; no data there is ever
// read or written) held by this open file, not by the process, so two files of one process exclude each
// other. 0, EWOULDBLOCK when another holds it and `wait` is No, ENOLCK where there are no locks, or
// another errno. Closing the file releases it.
int LockByte(Handle file, std::uint64_t offset, LockWait wait);
int UnlockByte(Handle file, std::uint64_t offset);

struct FolderEntry {
    std::string name;
    Kind kind = Kind::Other; // Link for a symbolic link, not followed
};
// Every entry of `folder` but "." and "..", in no particular order. Returns 0 or an errno (a failure
// while listing too, with what was listed before it kept).
int ListFolder(const std::string& folder, std::vector<FolderEntry>& out);

long ProcessId();
// False only when no process of that id runs (one of another user counts as running).
bool ProcessRuns(long id);

// The broken-down local time of `when`.
std::tm LocalTime(std::time_t when);

// Code page 932 to UTF-8 and back: appends to `out` what converts of `in` and returns how many bytes of
// `in` it took, stopping at the first sequence that has no form on the other side.
std::size_t AppendUtf8OfCp932(std::string_view in, std::string& out);
std::size_t AppendCp932OfUtf8(std::string_view in, std::string& out);

// The home folder of the user running the program ("" when not known), UTF-8.
std::string HomeFolder();
// An environment variable as UTF-8, "" when it is not set.
std::string Environment(const char* name);
// True when the process's standard error is a terminal (a console).
bool StandardErrorIsTerminal();

// 0 when the folder may be written to, as far as the system tells, else why not (an errno).
int WriteAccess(const std::string& folder);
inline bool CanWrite(const std::string& folder) {
    return WriteAccess(folder) == 0;
}

// The command line's arguments as UTF-8 (Windows hands programs the system's code page instead), and
// the console set to show UTF-8. Call once at the start of main.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

} // namespace kolvane::platform
