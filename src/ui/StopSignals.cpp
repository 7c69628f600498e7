#include "ui/StopSignals.h"

#include "ui/StopFlag.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> kStopSignals{SIGINT, SIGTERM, SIGHUP};

// The write end of the pipe and the flag, for the handler: a signal handler can reach nothing else.
volatile sig_atomic_t writeEnd = -1;
std::atomic<StopFlag*> flagToSet{nullptr};

extern "C" void noteSignal(int signal)
{
    const int savedErrno = errno;
    if (StopFlag* flag = flagToSet.load())
        flag->set();
    const unsigned char number = static_cast<unsigned char>(signal);
    if (writeEnd >= 0) {
        // A full pipe already holds enough to wake the event loop.
        [[maybe_unused]] const ssize_t written = ::write(writeEnd, &number, 1);
    }
    errno = savedErrno;
}

} // namespace

StopSignals::StopSignals(std::function<void(int)> onSignal, StopFlag* flag) : onSignal_(std::move(onSignal))
{
    if (writeEnd >= 0 || ::pipe2(pipe_.data(), O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    writeEnd = pipe_[1];
    flagToSet.store(flag);
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a system call that waits when the signal comes returns (EINTR), so the event
    // loop gets to act on it; restarted behind the handler's back, a wait that never ends would
    // keep the program from ending. The waits of this program (the serial line's among them)
    // check their deadline again after EINTR.
    action.sa_flags = 0;
    for (size_t i = 0; i < kStopSignals.size(); ++i)
        sigaction(kStopSignals[i], &action, &previous_[i]);
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { readSignals(); });
}

StopSignals::~StopSignals()
{
    if (!notifier_)
        return;
    notifier_.reset();
    for (size_t i = 0; i < kStopSignals.size(); ++i)
        sigaction(kStopSignals[i], &previous_[i], nullptr);
    writeEnd = -1;
    flagToSet.store(nullptr);
    ::close(pipe_[0]);
    ::close(pipe_[1]);
}

void StopSignals::readSignals()
{
    unsigned char number = 0;
    while (::read(pipe_[0], &number, 1) == 1) {
        if (onSignal_)
            onSignal_(number);
    }
}
