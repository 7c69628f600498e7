#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

// Keeps the program to one copy per user: the first copy holds the lock "Quorveth" in the runtime
// folder and listens on a local socket beside it; a later copy finds the lock held, hands its file
// (if any) to the first copy over the socket and ends. A lock left behind by a copy that crashed is
// taken over; a lock that cannot be created at all is not another copy.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kName = "Quorveth";

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
    // Later copy: gives the path to the running copy; false when it could not be delivered.
    bool handOver(const QString& path, int timeoutMs = 3000);
    // Releases the socket and the lock.
    void release();

    QString lockPath() const;
    QString socketPath() const;

signals:
    void fileReceived(const QString& path);

private:
    void acceptConnections();

    QString folder_;
    QString problem_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};
