#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace kolvane {

// Keeps a second instance of the program from starting: a lock file held for the whole session.
class SingleInstance {
  public:
    // The lock in the user's temporary folder.
    static QString DefaultLockPath();

    explicit SingleInstance(const QString& lockPath = DefaultLockPath());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False only when another running instance holds the lock. A folder that cannot take the lock
    // must not keep the program from starting.
    bool mayStart() const { return mayStart_; }

  private:
    std::unique_ptr<QLockFile> lock_;
    bool mayStart_ = true;
};

} // namespace kolvane
