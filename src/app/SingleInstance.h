#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

namespace kolvane {

// Keeps a second instance of one installation from starting for the same user: a lock file held for
// the whole session, beside a local socket on which a later instance asks the running one to come to
// the front. Both live in a folder only the user can write, so no one else can plant them.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // The user's own folder for the lock: `runtimeDir` ($XDG_RUNTIME_DIR) when it is a folder of the
    // user's that no one else may enter; else "kolvane" in `cacheHome` ($XDG_CACHE_HOME, or `home`
    // "/.cache" when that is not an absolute path), made 0700 if missing and used only when it is the
    // user's and no one else may write in it. Empty when there is no such folder.
#ifndef Q_OS_WIN
    static QString LockFolder(const QString& runtimeDir, const QString& cacheHome, const QString& home);
#endif
    // LockFolder of this process's environment; on Windows, the user's temporary folder.
    static QString DefaultLockFolder();
    // The name of the lock and socket of the installation in `programFolder`: installations in other
    // folders run apart.
    static QString InstanceName(const QString& programFolder);

    // Without a folder (empty) nothing is locked and the program may start.
    explicit SingleInstance(const QString& folder = DefaultLockFolder(),
                            const QString& name = InstanceName(DefaultProgramFolder()));
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False only when another running instance holds the lock; it has been asked to come to the front.
    bool mayStart() const {
        return mayStart_;
    }

  signals:
    // A later instance asked this one to bring its window to the front.
    void raiseRequested();

  private:
    static QString DefaultProgramFolder();
    void Listen(const QString& socketPath);
    static void AskToRaise(const QString& socketPath);

    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
    bool mayStart_ = true;
};

} // namespace kolvane
