#pragma once

#include "model/FileNames.h"

#include <string>

namespace kolvane {

// The advisory lock (flock) that lets one run at a time read, merge and write a station's yearly files
// in one output folder, whichever front end runs it. The kernel drops it when its process ends, killed or
// not; the lock file itself stays, empty (removing it would let two runs lock two different files).
class StationLock {
  public:
    StationLock() = default;
    StationLock(StationLock&& other) noexcept;
    StationLock& operator=(StationLock&& other) noexcept;
    StationLock(const StationLock&) = delete;
    StationLock& operator=(const StationLock&) = delete;
    ~StationLock();

    // Opens (creating it if need be) the lock file of `station` in `folder` (ending in "/"). Returns 0 or
    // an errno; the lock is not taken yet.
    int Open(const std::string& folder, const StationKey& station);
    // Takes the lock without waiting: 0, EWOULDBLOCK while another run holds it, or another errno.
    int TryTake();
    // Lets the next run in.
    void Release();

    bool open() const { return fd_ >= 0; }
    // Tells two lock files apart however their folder was named, so every run takes them in one order.
    unsigned long long device() const { return device_; }
    unsigned long long inode() const { return inode_; }

  private:
    int fd_ = -1;
    unsigned long long device_ = 0;
    unsigned long long inode_ = 0;
};

// ".kolvane-0312.lock": hidden, and no monthly, yearly or companion file name.
std::string StationLockName(const StationKey& station);

} // namespace kolvane
