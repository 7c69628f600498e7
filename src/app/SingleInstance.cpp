#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>

namespace {

// A handed-over path is one line of UTF-8; anything longer than this is not a path.
constexpr qint64 kMaxMessage = 64 * 1024;

} // namespace

SingleInstance::SingleInstance(const QString& runtimeFolder, QObject* parent)
    : QObject(parent), folder_(runtimeFolder)
{
}

SingleInstance::~SingleInstance()
{
    release();
}

QString SingleInstance::defaultRuntimeFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString SingleInstance::lockPath() const
{
    return QDir(folder_).filePath(QLatin1String(kName) + QStringLiteral(".lock"));
}

QString SingleInstance::socketPath() const
{
    return QDir(folder_).filePath(QLatin1String(kName) + QStringLiteral(".socket"));
}

SingleInstance::LockResult SingleInstance::acquire()
{
    problem_.clear();
    QDir().mkpath(folder_);
    lock_ = std::make_unique<QLockFile>(lockPath());
    // Only a dead holder makes a lock stale: a copy that has run for hours still holds it.
    lock_->setStaleLockTime(0);
    errno = 0;
    if (lock_->tryLock(0))
        return LockResult::Acquired;
    const int openError = errno;
    const QLockFile::LockError error = lock_->error();
    lock_.reset();
    if (error == QLockFile::LockFailedError)
        return LockResult::HeldElsewhere;
    QString reason;
    if (openError != 0)
        reason = QString::fromLocal8Bit(std::strerror(openError));
    else
        reason = error == QLockFile::PermissionError ? QStringLiteral("permission denied")
                                                     : QStringLiteral("the file cannot be written");
    problem_ = QStringLiteral("cannot create %1: %2").arg(lockPath(), reason);
    return LockResult::Unavailable;
}

bool SingleInstance::listen()
{
    if (server_)
        return true;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file left here belongs to a copy that is gone.
    QLocalServer::removeServer(socketPath());
    if (!server_->listen(socketPath())) {
        delete server_;
        server_ = nullptr;
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return true;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto readLine = [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxMessage)
                    socket->abort();
                return;
            }
            const QString path = QString::fromUtf8(socket->readLine(kMaxMessage)).trimmed();
            socket->disconnectFromServer();
            if (!path.isEmpty())
                emit fileReceived(path);
        };
        connect(socket, &QLocalSocket::readyRead, this, readLine);
        readLine();
    }
}

bool SingleInstance::handOver(const QString& path, int timeoutMs)
{
    if (path.isEmpty())
        return true;
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(path.toUtf8() + '\n');
    const bool written = socket.waitForBytesWritten(timeoutMs) || socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return written;
}

void SingleInstance::release()
{
    if (server_) {
        server_->close();
        delete server_;
        server_ = nullptr;
    }
    if (lock_) {
        lock_->unlock();
        lock_.reset();
    }
}
