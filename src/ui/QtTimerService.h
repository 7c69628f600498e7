#pragma once

#include "ui/TimerService.h"

#include <QObject>
#include <map>

class QTimer;

// Timers on the Qt event loop of the calling thread, with millisecond precision.
class QtTimerService : public TimerService {
public:
    QtTimerService();
    ~QtTimerService() override;

    TimerId startTimer(int intervalMs, bool singleShot, std::function<void()> onTimeout) override;
    void stopTimer(TimerId id) override;

private:
    QObject owner_;
    std::map<TimerId, QTimer*> timers_;
    TimerId nextId_ = 1;
};
