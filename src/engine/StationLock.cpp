#include "engine/StationLock.h"

#include "model/Text.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kolvane {

StationLock::StationLock(StationLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), device_(other.device_), inode_(other.inode_) {}

StationLock& StationLock::operator=(StationLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = std::exchange(other.fd_, -1);
        device_ = other.device_;
        inode_ = other.inode_;
    }
    return *this;
}

StationLock::~StationLock() {
    Release();
}

int StationLock::Open(const std::string& folder, const StationKey& station) {
    Release();
    const std::string path = folder + StationLockName(station);
    // Another user's lock file may be readable only; flock works on a read-only descriptor too.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0 && (errno == EACCES || errno == EROFS))
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return errno;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int e = errno;
        ::close(fd);
        return e;
    }
    fd_ = fd;
    device_ = st.st_dev;
    inode_ = st.st_ino;
    return 0;
}

int StationLock::TryTake() {
    if (fd_ < 0) return EBADF;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR) return errno == EAGAIN ? EWOULDBLOCK : errno;
    }
    return 0;
}

void StationLock::Release() {
    // Closing the only descriptor of the open file releases its lock.
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::string StationLockName(const StationKey& station) {
    // Lower case: the file system may ignore case, and "ab" and "AB" are one station.
    return ".kolvane-" + LowerAscii(StationName(station)) + ".lock";
}

} // namespace kolvane
