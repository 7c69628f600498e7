#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// The length in front of a handed-over path; a path longer than this is none.
constexpr qint64 kLengthSize = 4;
constexpr quint32 kMaxPath = 64 * 1024;

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
    listenProblem_.clear();
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file left here belongs to a copy that is gone.
    QLocalServer::removeServer(socketPath());
    if (!server_->listen(socketPath())) {
        listenProblem_ = QStringLiteral("cannot listen on %1: %2").arg(socketPath(), server_->errorString());
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
        // Every waiting connection holds a descriptor: the oldest makes room.
        while (waiting_.size() >= static_cast<size_t>(kMaxWaiting))
            drop(waiting_.front());
        waiting_.emplace_back(socket);
        auto* idle = new QTimer(socket);
        idle->setSingleShot(true);
        connect(idle, &QTimer::timeout, socket, [this, socket] { drop(socket); });
        idle->start(kIdleTimeoutMs);
        connect(socket, &QLocalSocket::disconnected, socket, [this, socket] { drop(socket); });
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket] { readHandOver(socket); });
        readHandOver(socket);
    }
}

void SingleInstance::readHandOver(QLocalSocket* socket)
{
    if (socket->bytesAvailable() < kLengthSize)
        return;
    const QByteArray head = socket->peek(kLengthSize);
    const quint32 length = qFromBigEndian<quint32>(head.constData());
    if (length == 0 || length > kMaxPath) {
        drop(socket);
        return;
    }
    if (socket->bytesAvailable() < kLengthSize + qint64(length))
        return;
    socket->skip(kLengthSize);
    const QString path = QFile::decodeName(socket->read(length));
    drop(socket);
    emit fileReceived(path);
}

void SingleInstance::drop(QLocalSocket* socket)
{
    const auto found = std::find(waiting_.begin(), waiting_.end(), socket);
    if (found == waiting_.end())
        return;
    // Forgotten first: the abort's disconnected signal comes back here.
    waiting_.erase(found);
    if (socket) {
        socket->abort();
        socket->deleteLater();
    }
}

bool SingleInstance::handOver(const QString& path, int timeoutMs)
{
    handOverProblem_.clear();
    if (path.isEmpty())
        return true;
    const QByteArray name = QFile::encodeName(path);
    if (name.size() > qsizetype(kMaxPath)) {
        handOverProblem_ = QStringLiteral("the path is too long");
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(timeoutMs)) {
        handOverProblem_ = socket.errorString();
        return false;
    }
    QByteArray message(kLengthSize, '\0');
    qToBigEndian<quint32>(quint32(name.size()), message.data());
    message += name;
    socket.write(message);
    const bool written = socket.waitForBytesWritten(timeoutMs) || socket.bytesToWrite() == 0;
    if (!written)
        handOverProblem_ = socket.errorString();
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return written;
}

void SingleInstance::release()
{
    waiting_.clear();
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
