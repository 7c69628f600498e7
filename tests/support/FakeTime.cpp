#include "FakeTime.h"

FakeTime::FakeTime(QDateTime calendarStart, qint64 startMs)
    : nowMs_(startMs), startMs_(startMs), calendarStart_(std::move(calendarStart))
{
}

double FakeTime::runClock() const
{
    const qint64 ms = nowMs_.load();
    return static_cast<double>(ms / 1000) + static_cast<double>(ms % 1000) * 0.001;
}

QDateTime FakeTime::calendarNow() const
{
    return calendarStart_.addMSecs(nowMs_.load() - startMs_);
}

void FakeTime::waitMs(int ms)
{
    if (ms > 0) {
        nowMs_ += ms;
        waitedMs_ += ms;
    }
}

TimerService::TimerId FakeTime::startTimer(int intervalMs, bool singleShot, std::function<void()> onTimeout)
{
    const TimerId id = nextId_++;
    const int interval = intervalMs < 0 ? 0 : intervalMs;
    timers_[id] = Timer{nowMs_.load() + interval, interval, singleShot, std::move(onTimeout)};
    return id;
}

void FakeTime::stopTimer(TimerId id)
{
    timers_.erase(id);
}

bool FakeTime::fireNext()
{
    if (timers_.empty())
        return false;
    auto next = timers_.begin();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->second.dueMs < next->second.dueMs)
            next = it;
    }
    const TimerId id = next->first;
    if (next->second.dueMs > nowMs_.load())
        nowMs_ = next->second.dueMs;
    std::function<void()> callback = next->second.callback;
    if (next->second.singleShot) {
        timers_.erase(next);
    } else {
        // A periodic timer keeps its phase; a tick that ran late does not pile up repeats.
        Timer& timer = next->second;
        const qint64 period = timer.intervalMs > 0 ? timer.intervalMs : 1;
        while (timer.dueMs <= nowMs_.load())
            timer.dueMs += period;
    }
    (void)id;
    callback();
    return true;
}

void FakeTime::advanceMs(qint64 ms)
{
    const qint64 target = nowMs_.load() + ms;
    for (;;) {
        qint64 earliest = -1;
        for (const auto& entry : timers_) {
            if (earliest < 0 || entry.second.dueMs < earliest)
                earliest = entry.second.dueMs;
        }
        if (earliest < 0 || earliest > target)
            break;
        fireNext();
    }
    if (nowMs_.load() < target)
        nowMs_ = target;
}
