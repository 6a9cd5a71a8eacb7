#pragma once

#include "model/FileNames.h"
#include "platform/System.h"

#include <cstdint>
#include <string>

namespace kolvane {

// The lock that lets one run at a time read, merge and write a station's yearly files in one output
// folder, whichever front end runs it: one byte of the folder's run log (a file the run writes anyway),
// locked far beyond its end, so that no file of its own is left in the user's folder. The system drops
// it when its process ends, killed or not.
class StationLock {
  public:
    // Opens (making it with its header if need be) the run log of `folder` (ending in "/"). Returns 0
    // or an errno; the lock is not taken yet.
    int Open(const std::string& folder, const StationKey& station);
    // Takes the lock without waiting: 0, EWOULDBLOCK while another run holds it, or another errno.
    int TryTake();
    // Lets the next run in.
    void Release() { log_.Close(); }

    bool open() const { return log_.valid(); }
    // Tells two locks apart however their folder was named, so every run takes them in one order.
    unsigned long long device() const { return device_; }
    unsigned long long inode() const { return inode_; }
    std::uint64_t offset() const { return offset_; }

  private:
    platform::File log_;
    unsigned long long device_ = 0;
    unsigned long long inode_ = 0;
    std::uint64_t offset_ = 0;
};

// The byte of the run log that locks `station`: one for "ab" and "AB", which a file system may take
// for one name.
std::uint64_t StationLockOffset(const StationKey& station);

} // namespace kolvane
