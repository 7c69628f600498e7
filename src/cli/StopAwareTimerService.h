#pragma once

#include "ui/TimerService.h"

#include <functional>

class StopFlag;

// The run's timers, which give a stop request its turn first: while the request is set, a tick
// that falls due calls the stop handler first, so that no step, reading or status poll starts
// after Ctrl-C and the loads are stopped in order. The handler returns true when it took the
// tick's turn; false (the stop is already being handled) lets the tick run.
class StopAwareTimerService : public TimerService {
public:
    StopAwareTimerService(TimerService& timers, const StopFlag& stop, std::function<bool()> onStop)
        : timers_(timers), stop_(stop), onStop_(std::move(onStop))
    {
    }

    TimerId startTimer(int intervalMs, bool singleShot, std::function<void()> onTimeout) override;
    void stopTimer(TimerId id) override { timers_.stopTimer(id); }

private:
    TimerService& timers_;
    const StopFlag& stop_;
    std::function<bool()> onStop_;
};
