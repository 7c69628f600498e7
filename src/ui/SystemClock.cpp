#include "ui/SystemClock.h"

#include <chrono>
#include <thread>

double SystemClock::runClock() const
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count();
    return static_cast<double>(ms / 1000) + static_cast<double>(ms % 1000) * 0.001;
}

QDateTime SystemClock::calendarNow() const
{
    return QDateTime::currentDateTime();
}

void SystemClock::waitMs(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
