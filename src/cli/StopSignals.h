#pragma once

#include <QSocketNotifier>
#include <csignal>
#include <functional>
#include <memory>

// SIGINT and SIGTERM as an event-loop notification: the two signals are blocked on the calling
// thread (and the threads it starts later) and read from a signalfd, so no handler runs and
// nothing happens in a signal context. Create it before any other thread starts; the signal
// mask is restored when it is destroyed.
class StopSignals {
public:
    explicit StopSignals(std::function<void(int signal)> onSignal);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    bool isValid() const { return fd_ >= 0; }

private:
    void readSignals();

    std::function<void(int)> onSignal_;
    sigset_t previousMask_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};
