#pragma once

#include <QDateTime>

// The time source of the run engine and of the link's fixed waits. The program uses the real
// clock; tests pass a clock whose time moves only when the test says so.
class Clock {
public:
    virtual ~Clock() = default;
    // The run clock: monotonic time in seconds with millisecond resolution.
    virtual double runClock() const = 0;
    // Local calendar time now (log names, the elapsed-time display).
    virtual QDateTime calendarNow() const = 0;
    // Blocks the caller for the given number of milliseconds.
    virtual void waitMs(int ms) = 0;
};
