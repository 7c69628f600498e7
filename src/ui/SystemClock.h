#pragma once

#include "ui/Clock.h"

// The real clock: a steady millisecond clock for the run clock, the system's local time for
// calendar time, and a sleeping wait.
class SystemClock : public Clock {
public:
    double runClock() const override;
    QDateTime calendarNow() const override;
    void waitMs(int ms) override;
};
