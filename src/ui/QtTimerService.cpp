#include "ui/QtTimerService.h"

#include <QTimer>

QtTimerService::QtTimerService() = default;

QtTimerService::~QtTimerService()
{
    for (auto& entry : timers_)
        delete entry.second;
}

TimerService::TimerId QtTimerService::startTimer(int intervalMs, bool singleShot,
                                                 std::function<void()> onTimeout)
{
    const TimerId id = nextId_++;
    auto* timer = new QTimer(&owner_);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(singleShot);
    timer->setInterval(intervalMs < 0 ? 0 : intervalMs);
    QObject::connect(timer, &QTimer::timeout, &owner_, [this, id, singleShot, onTimeout]() {
        if (singleShot)
            stopTimer(id);
        onTimeout();
    });
    timers_[id] = timer;
    timer->start();
    return id;
}

void QtTimerService::stopTimer(TimerId id)
{
    auto it = timers_.find(id);
    if (it == timers_.end())
        return;
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
}
