#pragma once

#include <functional>

// Schedules the periodic and one-shot timers of the run engine. All callbacks run on the thread
// that owns the service, never two at once.
class TimerService {
public:
    using TimerId = int;
    static constexpr TimerId noTimer = 0;

    virtual ~TimerService() = default;
    // Calls onTimeout every intervalMs (once when singleShot) until stopTimer. Returns a non-zero id.
    virtual TimerId startTimer(int intervalMs, bool singleShot, std::function<void()> onTimeout) = 0;
    // Stops the timer; an unknown or already finished id is ignored.
    virtual void stopTimer(TimerId id) = 0;
};
