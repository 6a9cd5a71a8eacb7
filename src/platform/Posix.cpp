#ifndef _WIN32

#include "platform/System.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <pwd.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace kolvane::platform {
namespace {

Kind KindOf(mode_t mode) {
    if (S_ISREG(mode)) return Kind::Regular;
    if (S_ISDIR(mode)) return Kind::Folder;
    if (S_ISLNK(mode)) return Kind::Link;
    if (S_ISFIFO(mode)) return Kind::Pipe;
    if (S_ISCHR(mode) || S_ISBLK(mode)) return Kind::Device;
    if (S_ISSOCK(mode)) return Kind::Socket;
    return Kind::Other;
}

void Fill(const struct stat& st, Status& out) {
    out.kind = KindOf(st.st_mode);
    out.size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    out.device = st.st_dev;
    out.inode = st.st_ino;
    out.mode = st.st_mode & 07777;
    out.owner = st.st_uid;
    out.group = st.st_gid;
}

int StatWith(int (*call)(const char*, struct stat*), const std::string& path, Status& out) {
    out = Status{};
    struct stat st;
    if (call(path.c_str(), &st) == 0) return Fill(st, out), 0;
    return errno == ENOENT ? 0 : errno;
}

int Opened(int fd, File& out) {
    if (fd < 0) return errno;
    out = File(fd);
    return 0;
}

// Linux's locks of an open file (not of the process, as F_SETLK's are), where the system has them.
#ifdef F_OFD_SETLK
constexpr int kLock = F_OFD_SETLK, kLockWaiting = F_OFD_SETLKW;
#else
constexpr int kLock = F_SETLK, kLockWaiting = F_SETLKW;
#endif

int LockCall(Handle file, std::uint64_t offset, short type, int command) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(offset);
    lock.l_len = 1;
    while (::fcntl(file, command, &lock) != 0) {
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EACCES) return EWOULDBLOCK;
        return errno == EINVAL || errno == EOPNOTSUPP ? ENOLCK : errno;
    }
    return 0;
}

} // namespace

int File::Close() {
    if (!valid()) return 0;
    return ::close(release()) == 0 ? 0 : errno;
}

int Stat(const std::string& path, Status& out) {
    return StatWith(::stat, path, out);
}

int LinkStat(const std::string& path, Status& out) {
    return StatWith(::lstat, path, out);
}

int StatOf(Handle file, Status& out) {
    out = Status{};
    struct stat st;
    if (::fstat(file, &st) != 0) return errno;
    Fill(st, out);
    return 0;
}

int ReadLink(const std::string& path, std::string& target) {
    target.assign(4096, '\0');
    while (true) {
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) < target.size()) return target.resize(static_cast<std::size_t>(n)), 0;
        target.resize(target.size() * 2);
    }
}

int OpenToRead(const std::string& path, File& out) {
    // Without O_NONBLOCK a named pipe would wait for a writer forever.
    return Opened(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK), out);
}

int CreateNew(const std::string& path, File& out) {
    return Opened(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666), out);
}

int OpenToAppend(const std::string& path, bool create, File& out) {
    if (create)
        return Opened(::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666), out);
    // Read access, where there is any, lets a cut last line be found.
    int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK);
    return Opened(fd, out);
}

int Read(Handle file, char* data, std::size_t size, std::size_t& done) {
    while (true) {
        const ssize_t n = ::read(file, data, size);
        if (n >= 0) return done = static_cast<std::size_t>(n), 0;
        if (errno != EINTR) return errno;
    }
}

int ReadByteAt(Handle file, std::uint64_t offset, char& byte) {
    const ssize_t n = ::pread(file, &byte, 1, static_cast<off_t>(offset));
    return n == 1 ? 0 : n < 0 ? errno : EIO;
}

int WriteAll(Handle file, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(file, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

int Truncate(Handle file, std::uint64_t size) {
    return ::ftruncate(file, static_cast<off_t>(size)) == 0 ? 0 : errno;
}

int TakeOwnerAndMode(Handle file, const Status& like) {
    // The owner first: changing it may clear the set-ID bits the mode then restores. Another user's
    // file cannot be given away; it keeps our owner, and its mode.
    if (::fchown(file, like.owner, like.group) != 0) (void)::fchown(file, static_cast<uid_t>(-1), like.group);
    return ::fchmod(file, like.mode) == 0 ? 0 : errno;
}

int SyncData(Handle file) {
    return ::fdatasync(file) == 0 ? 0 : errno;
}

int SyncFileSystem(Handle file) {
    // Before 5.8 syncfs said nothing of a failed write, which only a sync of each file then reports.
    static const bool reportsFailures = [] {
        struct utsname name;
        int major = 0, minor = 0;
        return ::uname(&name) == 0 && std::sscanf(name.release, "%d.%d", &major, &minor) == 2 &&
               (major > 5 || (major == 5 && minor >= 8));
    }();
    if (!reportsFailures) return ENOSYS;
    return ::syncfs(file) == 0 ? 0 : errno;
}

void StartWriteBack(Handle file) {
    (void)::sync_file_range(file, 0, 0, SYNC_FILE_RANGE_WRITE);
}

int SyncFolderHandle(Handle folder) {
    return ::fsync(folder) == 0 ? 0 : errno;
}

int OpenFolder(const std::string& folder, File& out) {
    return Opened(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), out);
}

int Rename(const char* from, const char* to) {
    return ::rename(from, to) == 0 ? 0 : errno;
}

int RemoveFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int MakePrivateFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0700) == 0 ? 0 : errno;
}

int LockByte(Handle file, std::uint64_t offset, LockWait wait) {
    return LockCall(file, offset, F_WRLCK, wait == LockWait::Yes ? kLockWaiting : kLock);
}

int UnlockByte(Handle file, std::uint64_t offset) {
    return LockCall(file, offset, F_UNLCK, kLock);
}

int ListFolder(const std::string& folder, std::vector<FolderEntry>& out) {
    out.clear();
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return errno;
    int failure = 0;
    while (true) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            failure = errno;
            break;
        }
        const std::string name(entry->d_name);
        if (name == "." || name == "..") continue;
        Kind kind = entry->d_type == DT_REG   ? Kind::Regular
                    : entry->d_type == DT_DIR ? Kind::Folder
                    : entry->d_type == DT_LNK ? Kind::Link
                                              : Kind::Other;
        if (entry->d_type == DT_UNKNOWN) {
            Status st;
            LinkStat((folder.empty() ? "./" : folder) + name, st);
            kind = st.kind;
        }
        out.push_back({name, kind});
    }
    ::closedir(dir);
    return failure;
}

long ProcessId() {
    return static_cast<long>(::getpid());
}

bool ProcessRuns(long id) {
    // EPERM: the process runs, as another user.
    return id > 0 && (::kill(static_cast<pid_t>(id), 0) == 0 || errno != ESRCH);
}

std::tm LocalTime(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    return local;
}

namespace {

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::size_t Append(std::string_view in, std::string& out) {
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::size_t used = out.size();
        out.resize(used + in.size() * 2 + 16);
        while (srcLeft > 0) {
            char* dst = out.data() + used;
            std::size_t dstLeft = out.size() - used;
            const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            used = out.size() - dstLeft;
            if (r != static_cast<std::size_t>(-1) || errno != E2BIG) break;
            out.resize(out.size() * 2);
        }
        out.resize(used);
        return in.size() - srcLeft;
    }

  private:
    iconv_t cd_;
};

} // namespace

std::size_t AppendUtf8OfCp932(std::string_view in, std::string& out) {
    thread_local Converter converter("UTF-8", "CP932");
    return converter.Append(in, out);
}

std::size_t AppendCp932OfUtf8(std::string_view in, std::string& out) {
    thread_local Converter converter("CP932", "UTF-8");
    return converter.Append(in, out);
}

std::string HomeFolder() {
    std::string home = Environment("HOME");
    if (home.empty())
        if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_dir)
            home = account->pw_dir;
    return home;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

int WriteAccess(const std::string& folder) {
    return ::access(folder.c_str(), W_OK) == 0 ? 0 : errno;
}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    // A file-size limit must end in a clear message, not a killed process.
    std::signal(SIGXFSZ, SIG_IGN);
    return std::vector<std::string>(argv, argv + argc);
}

} // namespace kolvane::platform

#endif
