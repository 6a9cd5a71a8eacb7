#include "model/FileIo.h"

#include "model/Text.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <utility>

namespace kolvane {
namespace {

bool IsRegularFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

std::string WithTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int ReadWholeFile(const std::string& path, std::string& out) {
    out.clear();
    // Without O_NONBLOCK a named pipe would wait for a writer forever.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) return errno;
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    // A pipe or a device has no end to read to (a link to /dev/zero would fill the memory).
    if (!S_ISREG(st.st_mode)) return ENODEV;
    std::size_t capacity = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 65536;
    out.resize(capacity);
    std::size_t used = 0;
    while (true) {
        if (used == out.size()) out.resize(out.size() * 2);
        ssize_t n = ::read(fd.get(), out.data() + used, out.size() - used);
        if (n < 0) {
            if (errno == EINTR) continue;
            int e = errno;
            out.clear();
            return e;
        }
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
    }
    out.resize(used);
    return 0;
}

namespace {

// Where a write to `path` lands: the file a chain of symbolic links ends at (which may not exist yet).
int FollowLinks(std::string& path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0) return errno;
        target.resize(static_cast<std::size_t>(n));
        std::size_t slash = path.find_last_of('/');
        if (target.empty() || target[0] == '/' || slash == std::string::npos)
            path = target;
        else
            path = path.substr(0, slash + 1) + target;
    }
    return ELOOP;
}

} // namespace

int SyncFileSystem(int fd) {
    // Before 5.8 syncfs said nothing of a failed write, which only a sync of each file then reports.
    static const bool reportsFailures = [] {
        struct utsname name;
        int major = 0, minor = 0;
        return ::uname(&name) == 0 && std::sscanf(name.release, "%d.%d", &major, &minor) == 2 &&
               (major > 5 || (major == 5 && minor >= 8));
    }();
    if (!reportsFailures) return errno = ENOSYS, -1;
    return ::syncfs(fd);
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : calls_(other.calls_), path_(std::move(other.path_)), folder_(std::move(other.folder_)),
      temp_(std::exchange(other.temp_, {})), fd_(std::exchange(other.fd_, -1)), opened_(other.opened_) {}

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept {
    if (this != &other) {
        Discard();
        calls_ = other.calls_;
        path_ = std::move(other.path_);
        folder_ = std::move(other.folder_);
        temp_ = std::exchange(other.temp_, {});
        fd_ = std::exchange(other.fd_, -1);
        opened_ = other.opened_;
    }
    return *this;
}

PendingFile::~PendingFile() {
    Discard();
}

void PendingFile::Discard() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

int PendingFile::Prepare(const std::string& requested, std::string_view bytes, const DurableCalls& calls) {
    static std::atomic<unsigned> counter{0};
    static std::atomic<std::uint64_t> openings{0};
    Discard();
    calls_ = calls;
    path_ = requested;
    if (int e = FollowLinks(path_)) return e;
    std::size_t slash = path_.find_last_of('/');
    folder_ = slash == std::string::npos ? std::string() : path_.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);

    struct stat old;
    const bool replacing = ::stat(path_.c_str(), &old) == 0 && S_ISREG(old.st_mode);

    std::string temp;
    int fdNumber = -1;
    for (int attempt = 0; attempt < 100 && fdNumber < 0; ++attempt) {
        temp = folder_ + "." + name + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fdNumber = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fdNumber < 0 && errno != EEXIST) return errno;
    }
    if (fdNumber < 0) return EEXIST;
    Fd fd(fdNumber);
    opened_ = openings++;
    temp_ = std::move(temp);

    auto fail = [this](int e) {
        Discard();
        return e;
    };
    if (replacing) {
        // The owner first: changing it may clear the set-ID bits the mode then restores. Another
        // user's file cannot be given away; it keeps our owner, and its mode.
        if (::fchown(fd.get(), old.st_uid, old.st_gid) != 0)
            (void)::fchown(fd.get(), static_cast<uid_t>(-1), old.st_gid);
        if (::fchmod(fd.get(), old.st_mode & 07777) != 0) return fail(errno);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    // The disk works on it while the caller computes; the sync then mostly finds it done. Only a hint.
    (void)::sync_file_range(fd.get(), 0, 0, SYNC_FILE_RANGE_WRITE);
    fd_ = fd.release();
    return 0;
}

int PendingFile::Sync() {
    if (fd_ < 0) return temp_.empty() ? EINVAL : 0;
    // Without this a power cut soon after the rename can leave the new name on an empty file.
    if (calls_.syncFile(fd_) != 0) {
        int e = errno;
        Discard();
        return e;
    }
    if (::close(std::exchange(fd_, -1)) != 0) {
        int e = errno;
        Discard();
        return e;
    }
    return 0;
}

int PendingFile::SyncAll(const std::vector<PendingFile*>& files, std::size_t& failed) {
    std::vector<dev_t> devices(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        struct stat st;
        if (files[i]->fd_ >= 0 && ::fstat(files[i]->fd_, &st) == 0) devices[i] = st.st_dev;
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i]->fd_ < 0) continue;
        // syncfs reports the failed writes since its file was opened: the first opened covers them all.
        std::size_t earliest = i;
        for (std::size_t j = i; j < files.size(); ++j)
            if (devices[j] == devices[i] && files[j]->fd_ >= 0 &&
                files[j]->opened_ < files[earliest]->opened_)
                earliest = j;
        failed = i;
        if (files.front()->calls_.syncFileSystem(files[earliest]->fd_) != 0) {
            if (errno != ENOSYS) return errno;
            if (int e = files[i]->Sync()) return e;
            continue;
        }
        for (std::size_t j = i; j < files.size(); ++j) {
            if (devices[j] != devices[i] || files[j]->fd_ < 0) continue;
            failed = j;
            if (::close(std::exchange(files[j]->fd_, -1)) != 0) return errno;
        }
    }
    return 0;
}

int PendingFile::Commit() {
    if (int e = Sync()) return e;
    if (calls_.rename(temp_.c_str(), path_.c_str()) != 0) {
        int e = errno;
        Discard();
        return e;
    }
    temp_.clear();
    return 0;
}

int SyncFolder(const std::string& folder, const DurableCalls& calls) {
    // A folder we may write but not open, or a file system that cannot sync one, leaves nothing to do.
    Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0 && calls.syncFolder(dir.get()) != 0 && errno != EINVAL && errno != EROFS) return errno;
    return 0;
}

int WriteFileAtomically(const std::string& path, std::string_view bytes, const DurableCalls& calls) {
    PendingFile file;
    if (int e = file.Prepare(path, bytes, calls)) return e;
    if (int e = file.Commit()) return e;
    // The rename lives in the folder, which must reach the disk too before we say "written".
    return SyncFolder(file.folder(), calls);
}

namespace {

// The process id of a temporary file's name, or 0 when the name is not one of ours.
pid_t TemporaryFileOwner(std::string_view name) {
    if (name.size() < 2 || name[0] != '.') return 0;
    const std::size_t tmp = name.rfind(".tmp");
    if (tmp == std::string_view::npos) return 0;
    const std::string_view base = name.substr(1, tmp - 1);
    bool ours = false;
    for (std::string_view ending : {".csv", ".ini", ".png", ".svg"})
        ours = ours || (base.size() > ending.size() &&
                        EqualsIgnoreAsciiCase(base.substr(base.size() - ending.size()), ending));
    const std::string_view tail = name.substr(tmp + 4);
    const std::size_t dash = tail.find('-');
    if (!ours || dash == 0 || dash == std::string_view::npos || dash + 1 == tail.size()) return 0;
    long pid = 0;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        if (i == dash) continue;
        if (!IsAsciiDigit(tail[i])) return 0;
        if (i < dash && pid < 100000000) pid = pid * 10 + (tail[i] - '0');
    }
    return static_cast<pid_t>(pid);
}

} // namespace

int RemoveStaleTemporaryFiles(const std::string& folder) {
    int removed = 0;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return 0;
    while (dirent* entry = ::readdir(dir)) {
        const pid_t owner = TemporaryFileOwner(entry->d_name);
        // EPERM: the process runs, as another user.
        if (owner <= 0 || ::kill(owner, 0) == 0 || errno != ESRCH) continue;
        if (::unlink((folder + entry->d_name).c_str()) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

std::string FolderLookup::Resolve(const std::string& name) {
    std::string exact = folder_ + name;
    struct stat st;
    if (::lstat(exact.c_str(), &st) == 0) return exact;
    if (!listed_) {
        listed_ = true;
        if (DIR* dir = ::opendir(folder_.empty() ? "." : folder_.c_str())) {
            while (dirent* entry = ::readdir(dir)) {
                std::string entryName(entry->d_name);
                auto [it, added] = byLowerName_.try_emplace(LowerAscii(entryName), entryName);
                if (!added && entryName < it->second) it->second = entryName;
            }
            ::closedir(dir);
        }
    }
    auto it = byLowerName_.find(LowerAscii(name));
    return it == byLowerName_.end() ? exact : folder_ + it->second;
}

int ListRegularFiles(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return errno;
    errno = 0;
    while (dirent* entry = ::readdir(dir)) {
        std::string name(entry->d_name);
        if (name == "." || name == "..") continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) regular = IsRegularFile(folder + name);
        if (regular) names.push_back(std::move(name));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        if (LessIgnoreAsciiCase(a, b)) return true;
        if (LessIgnoreAsciiCase(b, a)) return false;
        return a < b;
    });
    return 0;
}

} // namespace kolvane
