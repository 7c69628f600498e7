#include "cli/StopSignals.h"

#include <cerrno>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

StopSignals::StopSignals(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal))
{
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    if (pthread_sigmask(SIG_BLOCK, &stopSignals, &previousMask_) != 0)
        return;
    fd_ = ::signalfd(-1, &stopSignals, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0) {
        pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { readSignals(); });
}

StopSignals::~StopSignals()
{
    if (fd_ < 0)
        return;
    notifier_.reset();
    // Signals that arrived after the last notification are taken here, so that unblocking them
    // does not end the process with their default action.
    signalfd_siginfo info;
    while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    }
    ::close(fd_);
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

void StopSignals::readSignals()
{
    signalfd_siginfo info;
    for (;;) {
        const ssize_t got = ::read(fd_, &info, sizeof info);
        if (got != static_cast<ssize_t>(sizeof info))
            break;
        if (onSignal_)
            onSignal_(static_cast<int>(info.ssi_signo));
    }
}
