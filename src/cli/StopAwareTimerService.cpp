#include "cli/StopAwareTimerService.h"

#include "ui/StopFlag.h"

TimerService::TimerId StopAwareTimerService::startTimer(int intervalMs, bool singleShot,
                                                        std::function<void()> onTimeout)
{
    return timers_.startTimer(intervalMs, singleShot, [this, onTimeout = std::move(onTimeout)] {
        if (stop_.isSet() && onStop_ && onStop_())
            return;
        onTimeout();
    });
}
