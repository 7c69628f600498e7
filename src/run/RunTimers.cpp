#include "run/RunTimers.h"

#include "run/StepSchedule.h"
#include "ui/Clock.h"

#include <cmath>

RunTimers::RunTimers(TimerService& timers, Clock& clock, Handlers handlers)
    : timers_(timers), clock_(clock), handlers_(std::move(handlers))
{
}

RunTimers::~RunTimers()
{
    stop();
    cancelSave();
}

qint64 RunTimers::nowMs() const
{
    return std::llround(clock_.runClock() * 1000.0);
}

RunTimers::Ticker& RunTimers::ticker(Kind kind)
{
    switch (kind) {
    case Kind::Step:
        return step_;
    case Kind::Monitor:
        return monitor_;
    case Kind::Status:
        break;
    }
    return status_;
}

qint64 RunTimers::start(int stepPeriodMs, int monitorPeriodMs)
{
    stop();
    ticking_ = true;
    step_ = Ticker{TimerService::noTimer, stepPeriodMs, kStepTickMarginMs};
    monitor_ = Ticker{TimerService::noTimer, monitorPeriodMs, kMonitorOffsetMs};
    status_ = Ticker{TimerService::noTimer, kStatusPeriodMs, kStatusOffsetMs};
    const bool aligned = phasing_ == Phasing::Aligned && stepPeriodMs > 0;
    if (!aligned) {
        // The plain arrangement: the step timer is set before the start is read, each timer
        // periodic from the moment it was set.
        if (stepPeriodMs > 0)
            startPeriodic(Kind::Step);
        runStartMs_ = nowMs();
        if (monitorPeriodMs > 0)
            startPeriodic(Kind::Monitor);
        startPeriodic(Kind::Status);
        return runStartMs_;
    }
    runStartMs_ = nowMs();
    armAligned(Kind::Step);
    if (monitorPeriodMs > 0)
        armAligned(Kind::Monitor);
    armAligned(Kind::Status);
    return runStartMs_;
}

void RunTimers::startPeriodic(Kind kind)
{
    Ticker& t = ticker(kind);
    t.id = timers_.startTimer(t.periodMs, false, [this, kind] {
        if (!handlers_.busy || !handlers_.busy())
            fire(kind);
    });
}

void RunTimers::armAligned(Kind kind)
{
    Ticker& t = ticker(kind);
    if (t.id != TimerService::noTimer)
        timers_.stopTimer(t.id);
    const qint64 delay = StepSchedule::nextStepTickDelayMs(runStartMs_, nowMs(), t.periodMs, t.offsetMs);
    t.id = timers_.startTimer(static_cast<int>(delay), true, [this, kind] {
        ticker(kind).id = TimerService::noTimer;
        // A tick that comes while a handler runs is left out; the absolute schedule catches up.
        if (!handlers_.busy || !handlers_.busy())
            fire(kind);
        if (ticking_ && ticker(kind).id == TimerService::noTimer)
            armAligned(kind);
    });
}

void RunTimers::fire(Kind kind)
{
    switch (kind) {
    case Kind::Step:
        if (handlers_.step)
            handlers_.step();
        break;
    case Kind::Monitor:
        if (handlers_.monitor)
            handlers_.monitor();
        break;
    case Kind::Status:
        if (handlers_.status)
            handlers_.status();
        break;
    }
}

void RunTimers::stop()
{
    ticking_ = false;
    for (Ticker* t : {&step_, &monitor_, &status_}) {
        if (t->id != TimerService::noTimer)
            timers_.stopTimer(t->id);
        t->id = TimerService::noTimer;
    }
}

void RunTimers::armSave()
{
    cancelSave();
    save_ = timers_.startTimer(kSaveDelayMs, true, [this] {
        save_ = TimerService::noTimer;
        if (handlers_.busy && handlers_.busy()) {
            armSave();
            return;
        }
        if (handlers_.save)
            handlers_.save();
    });
}

void RunTimers::cancelSave()
{
    if (save_ != TimerService::noTimer)
        timers_.stopTimer(save_);
    save_ = TimerService::noTimer;
}
