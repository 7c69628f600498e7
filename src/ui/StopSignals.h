#pragma once

#include <QSocketNotifier>
#include <array>
#include <csignal>
#include <functional>
#include <memory>

class StopFlag;

// SIGINT, SIGTERM and SIGHUP (Ctrl-C, the session or the system ending the program, the terminal
// that started it closing) as an event-loop notification, so that the program can take its loads
// off before it ends. The handler only writes the signal's number into a pipe that the event loop
// watches; nothing else happens in a signal context. A system call waiting when the signal comes
// returns with EINTR rather than being restarted. The signal mask is left alone, so programs
// started from here (a viewer for the manual) get the usual signal behaviour. The handlers before
// it come back when it is destroyed. One at a time; the event loop's thread must be running it.
// A stop flag given to it is set by the handler itself, so that a wait under way (which keeps the
// event loop from running) ends without waiting for the notification.
class StopSignals {
public:
    explicit StopSignals(std::function<void(int signal)> onSignal, StopFlag* flag = nullptr);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    bool isValid() const { return notifier_ != nullptr; }

private:
    void readSignals();

    std::function<void(int)> onSignal_;
    std::array<int, 2> pipe_{-1, -1};
    std::array<struct sigaction, 3> previous_{};
    std::unique_ptr<QSocketNotifier> notifier_;
};
