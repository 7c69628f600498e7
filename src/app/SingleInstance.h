#pragma once

#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <deque>
#include <memory>

class QLocalServer;
class QLocalSocket;

// Keeps the program to one copy per user: the first copy holds the lock "Quorveth" in the runtime
// folder and listens on a local socket beside it; a later copy finds the lock held, hands its file
// (if any) to the first copy over the socket and ends. A lock left behind by a copy that crashed is
// taken over; a lock that cannot be created at all is not another copy.
//
// A hand-over is the path's length (4 bytes, most significant first) and the path as the file
// system names it, so any name arrives exactly. A connection that sends nothing is closed after a
// few seconds, and only a few wait at a time: the oldest makes room for a new one.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kName = "Quorveth";
    static constexpr int kMaxWaiting = 16;
    static constexpr int kIdleTimeoutMs = 3000;

    explicit SingleInstance(const QString& runtimeFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The runtime folder of the user ($XDG_RUNTIME_DIR, or Qt's fallback).
    static QString defaultRuntimeFolder();

    enum class LockResult {
        Acquired,
        HeldElsewhere, // another running copy holds it
        Unavailable    // it cannot be created (no runtime folder, read-only or full): see lockProblem()
    };
    // Takes the lock.
    LockResult acquire();
    // Why the last acquire() found the lock unavailable.
    QString lockProblem() const { return problem_; }
    // First copy: starts listening for files handed over by later copies.
    bool listen();
    // Why listen() failed: the socket's path and the reason.
    QString listenProblem() const { return listenProblem_; }
    // Later copy: gives the path to the running copy; false when it could not be delivered.
    bool handOver(const QString& path, int timeoutMs = 3000);
    // Why the last handOver() failed.
    QString handOverProblem() const { return handOverProblem_; }
    // Releases the socket and the lock.
    void release();

    QString lockPath() const;
    QString socketPath() const;

signals:
    void fileReceived(const QString& path);

private:
    void acceptConnections();
    // Takes the path once all of it has arrived.
    void readHandOver(QLocalSocket* socket);
    // Closes a connection and forgets it.
    void drop(QLocalSocket* socket);

    QString folder_;
    QString problem_;
    QString listenProblem_;
    QString handOverProblem_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
    // Connections whose path has not arrived yet, oldest first.
    std::deque<QPointer<QLocalSocket>> waiting_;
};
