#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kolvane {
namespace {

constexpr char RAISE[] = "raise\n";
// Long enough for a busy first instance to take the request; a hung one must not hold up the second.
constexpr int ASK_MILLISECONDS = 2000;

#ifndef Q_OS_WIN
// A real folder (not a link to one) of this user, in which no one else may do `forbidden` (mode bits).
bool IsOwnFolder(const QString& path, mode_t forbidden) {
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & forbidden) == 0;
}

#endif

} // namespace

#ifdef Q_OS_WIN
QString SingleInstance::DefaultLockFolder() {
    // The user's own temporary folder: Windows keeps other users out of it. The socket is a named
    // pipe whose name holds this folder, so other users' instances do not meet it either.
    return QDir::tempPath();
}
#else
QString SingleInstance::LockFolder(const QString& runtimeDir, const QString& cacheHome, const QString& home) {
    if (QDir::isAbsolutePath(runtimeDir) && IsOwnFolder(runtimeDir, S_IRWXG | S_IRWXO))
        return QDir::cleanPath(runtimeDir);
    QString cache = cacheHome;
    if (!QDir::isAbsolutePath(cache)) {
        if (!QDir::isAbsolutePath(home)) return QString();
        cache = QDir(home).filePath(QStringLiteral(".cache"));
    }
    QDir().mkpath(cache);
    const QString folder = QDir(QDir::cleanPath(cache)).filePath(QStringLiteral("kolvane"));
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return IsOwnFolder(folder, S_IWGRP | S_IWOTH) ? folder : QString();
}

QString SingleInstance::DefaultLockFolder() {
    return LockFolder(qEnvironmentVariable("XDG_RUNTIME_DIR"), qEnvironmentVariable("XDG_CACHE_HOME"),
                      QDir::homePath());
}
#endif

QString SingleInstance::InstanceName(const QString& programFolder) {
    const QString canonical = QFileInfo(programFolder).canonicalFilePath();
    const QByteArray hash = QCryptographicHash::hash(
        (canonical.isEmpty() ? programFolder : canonical).toUtf8(), QCryptographicHash::Sha256);
    // Short, since the socket's whole path must fit in about 100 bytes.
    return QStringLiteral("kolvane-") + QString::fromLatin1(hash.toHex().left(16));
}

QString SingleInstance::DefaultProgramFolder() {
    return QCoreApplication::applicationDirPath();
}

SingleInstance::SingleInstance(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return;
    const QDir dir(folder);
    const QString socketPath = dir.filePath(name + QStringLiteral(".socket"));
    lock_ = std::make_unique<QLockFile>(dir.filePath(name + QStringLiteral(".lock")));
    // Held for the whole session, however long: only a dead owner makes it stale.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        Listen(socketPath);
        return;
    }
    // A folder that cannot take the lock must not keep the program from starting.
    mayStart_ = lock_->error() != QLockFile::LockFailedError;
    lock_.reset();
    if (!mayStart_) AskToRaise(socketPath);
}

SingleInstance::~SingleInstance() = default;

void SingleInstance::Listen(const QString& socketPath) {
    // Holding the lock, any socket by the name is one a killed instance left.
    QLocalServer::removeServer(socketPath);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Without the socket the lock still works; a later instance then just ends.
    if (!server_->listen(socketPath)) return;
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            // The asker may be gone before its line is read: the line is taken on either signal.
            auto take = [this, client] {
                if (!client->canReadLine()) return;
                if (client->readLine() == RAISE) emit raiseRequested();
                client->disconnectFromServer();
            };
            connect(client, &QLocalSocket::readyRead, this, take);
            connect(client, &QLocalSocket::disconnected, this, [client, take] {
                take();
                client->deleteLater();
            });
            take();
        }
    });
}

void SingleInstance::AskToRaise(const QString& socketPath) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(ASK_MILLISECONDS)) return;
#ifdef Q_OS_WIN
    // Windows lets only the process the user is working with bring a window to the front, else it just
    // flashes the taskbar: this start, which the user just made, hands that right on.
    ::AllowSetForegroundWindow(ASFW_ANY);
#endif
    socket.write(RAISE, sizeof RAISE - 1);
    socket.waitForBytesWritten(ASK_MILLISECONDS);
    // The running instance hangs up once it has read the line. Hanging up first could lose the line
    // where the socket is a named pipe (Windows): the pipe's unread bytes go with the asker's end.
    if (socket.state() == QLocalSocket::ConnectedState) socket.waitForDisconnected(ASK_MILLISECONDS);
}

} // namespace kolvane
