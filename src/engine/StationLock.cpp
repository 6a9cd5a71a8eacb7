#include "engine/StationLock.h"

#include "engine/RunLog.h"
#include "model/Text.h"

#include <cerrno>

namespace kolvane {

int StationLock::Open(const std::string& folder, const StationKey& station) {
    Release();
    platform::File log;
    if (int e = OpenRunLog(folder, log)) return e;
    platform::Status st;
    if (int e = platform::StatOf(log.get(), st)) return e;
    log_ = std::move(log);
    device_ = st.device;
    inode_ = st.inode;
    offset_ = StationLockOffset(station);
    return 0;
}

int StationLock::TryTake() {
    if (!log_.valid()) return EBADF;
    return platform::LockByte(log_.get(), offset_, platform::LockWait::No);
}

std::uint64_t StationLockOffset(const StationKey& station) {
    // FNV-1a: two stations sharing a byte only wait for each other, which is harmless.
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : LowerAscii(StationName(station)))
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return RUN_LOG_LOCKS + 1 + hash % (std::uint64_t{1} << 40);
}

} // namespace kolvane
