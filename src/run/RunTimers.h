#pragma once

#include "ui/TimerService.h"

#include <QtGlobal>
#include <functional>

class Clock;

// The four timers of a run: step (Software Control only), monitor (interval readings), status and
// the one-shot save timer. Under Software Control the ticks are single shots on a grid from the
// run's start, re-armed after each tick: a step tick lands a few milliseconds after its grid point
// (so a boundary on the grid has always passed), an interval reading 1 ms after the step tick of
// the same grid point, a status poll between two step ticks. A tick that fires early is re-armed
// for the same grid point; one that fires late goes on with the next. The plain periodic timers
// are kept for comparison.
class RunTimers {
public:
    enum class Phasing { Aligned, Periodic };
    struct Handlers {
        std::function<void()> step;
        std::function<void()> monitor;
        std::function<void()> status;
        std::function<void()> save;
        // True while a handler runs (a message box inside it lets timers fire): ticks then wait.
        std::function<bool()> busy;
    };

    static constexpr int kStatusPeriodMs = 2000;
    static constexpr int kSaveDelayMs = 50;
    static constexpr int kStepTickMarginMs = 5;
    static constexpr int kMonitorOffsetMs = kStepTickMarginMs + 1;
    static constexpr int kStatusOffsetMs = 250;

    RunTimers(TimerService& timers, Clock& clock, Handlers handlers);
    ~RunTimers();
    RunTimers(const RunTimers&) = delete;
    RunTimers& operator=(const RunTimers&) = delete;

    void setPhasing(Phasing phasing) { phasing_ = phasing; }

    // Starts the run's timers and returns the run's start on the run clock, in milliseconds.
    // A period of 0 leaves that timer out (no step timer under Hardware Control, no monitor timer
    // without interval readings).
    qint64 start(int stepPeriodMs, int monitorPeriodMs);
    // Stops the step, monitor and status timers.
    void stop();
    bool isTicking() const { return ticking_; }

    void armSave();
    void cancelSave();
    bool isSaveArmed() const { return save_ != TimerService::noTimer; }

private:
    enum class Kind { Step, Monitor, Status };
    struct Ticker {
        TimerService::TimerId id = TimerService::noTimer;
        int periodMs = 0;
        int offsetMs = 0;
    };

    Ticker& ticker(Kind kind);
    void startPeriodic(Kind kind);
    void armAligned(Kind kind);
    void fire(Kind kind);
    qint64 nowMs() const;

    TimerService& timers_;
    Clock& clock_;
    Handlers handlers_;
    Phasing phasing_ = Phasing::Aligned;
    bool ticking_ = false;
    qint64 runStartMs_ = 0;
    Ticker step_;
    Ticker monitor_;
    Ticker status_;
    TimerService::TimerId save_ = TimerService::noTimer;
};
