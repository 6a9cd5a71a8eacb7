#include "app/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <unistd.h>

namespace kolvane {

QString SingleInstance::DefaultLockPath() {
    // The temporary folder is shared by all users here, so the lock names the user.
    return QDir(QDir::tempPath()).filePath(QStringLiteral("kolvane-%1.lock").arg(getuid()));
}

SingleInstance::SingleInstance(const QString& lockPath) : lock_(std::make_unique<QLockFile>(lockPath)) {
    // Held for the whole session, however long: only a dead owner makes it stale.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        mayStart_ = lock_->error() != QLockFile::LockFailedError;
        lock_.reset();
    }
}

SingleInstance::~SingleInstance() = default;

} // namespace kolvane
