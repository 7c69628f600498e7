#pragma once

#include "ui/Clock.h"
#include "ui/TimerService.h"

#include <QDateTime>
#include <atomic>
#include <functional>
#include <map>

// A clock and timer service whose time moves only when the test says so. waitMs() moves the
// clock without firing timers (as a blocking wait on the GUI thread delays them); advanceMs()
// fires every timer that falls due, in time order, each seeing its own due time as "now".
class FakeTime : public Clock, public TimerService {
public:
    explicit FakeTime(QDateTime calendarStart = QDateTime(QDate(2005, 12, 24), QTime(14, 3, 9)),
                      qint64 startMs = 1000000);

    double runClock() const override;
    QDateTime calendarNow() const override;
    void waitMs(int ms) override;

    TimerId startTimer(int intervalMs, bool singleShot, std::function<void()> onTimeout) override;
    void stopTimer(TimerId id) override;

    // The clock in milliseconds.
    qint64 nowMs() const { return nowMs_.load(); }
    // Moves the clock by ms, firing the timers that fall due on the way.
    void advanceMs(qint64 ms);
    // Moves to the next due timer and fires it; false when none is armed.
    bool fireNext();
    // Fires due timers until none is armed or the clock passes limitMs from now.
    void runFor(qint64 limitMs) { advanceMs(limitMs); }
    int activeTimers() const { return static_cast<int>(timers_.size()); }
    // Total milliseconds spent in waitMs().
    qint64 waitedMs() const { return waitedMs_; }

private:
    struct Timer {
        qint64 dueMs;
        int intervalMs;
        bool singleShot;
        std::function<void()> callback;
    };

    std::atomic<qint64> nowMs_;
    qint64 startMs_;
    QDateTime calendarStart_;
    std::map<TimerId, Timer> timers_;
    TimerId nextId_ = 1;
    qint64 waitedMs_ = 0;
};
