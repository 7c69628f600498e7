#include "run/RunEngine.h"

#include "instrument/CKdrxDevice.h"
#include "link/CInstrumentPort.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CurrentDocument.h"
#include "model/DecimalText.h"
#include "run/RunFormats.h"
#include "run/StepSchedule.h"
#include "ui/Clock.h"
#include "ui/UserPrompt.h"

#include <algorithm>
#include <cmath>

using Status = RunPanelDisplay::Status;

// Marks the engine busy while a handler runs. A message box shown inside a handler may let timers
// fire; their ticks are then put off, and a Stop all asked for meanwhile runs when the outermost
// handler ends.
class RunEngine::HandlerScope {
public:
    explicit HandlerScope(RunEngine& engine) : engine_(engine) { ++engine_.handlerDepth_; }
    ~HandlerScope()
    {
        if (--engine_.handlerDepth_ == 0 && engine_.stopAllPending_) {
            engine_.stopAllPending_ = false;
            engine_.StopAll();
        }
    }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

private:
    RunEngine& engine_;
};

RunEngine::RunEngine(AppSettings& settings, CurrentDocument& document, CInstrumentPort& port,
                     CKdrxDevice& device, const ChannelNumbers& numbers, UserPrompt& prompt, Clock& clock,
                     TimerService& timers)
    : settings_(settings), document_(document), port_(port), device_(device), numbers_(numbers),
      prompt_(prompt), clock_(clock), timers_(timers)
{
}

RunEngine::~RunEngine()
{
    killRunTimers();
    if (saveTimer_ != TimerService::noTimer)
        timers_.stopTimer(saveTimer_);
}

// ---------------------------------------------------------------------------------------------
// The dialog

void RunEngine::prepareDialog()
{
    // A run left behind by a dialog that ended without Close is finished first.
    if (anyRunning())
        StopAll();
    settlePreviousRun();

    RunObserver& observer = display_.observer();
    observer.stopAllEnabled(false);
    monitoringActive_ = settings_.Curr == 1 || settings_.Volt == 1;
    showCaption();

    const bool software = softwareControl();
    observer.lastLoadOffVisible(software);
    for (int c = 0; c < kChannelCount; ++c) {
        ChannelRunState& channel = channels_[c];
        display_.showStatus(c, Status::Standby);
        observer.countChanged(c, QStringLiteral("--"));
        observer.stepChanged(c, QStringLiteral("--"));
        observer.elapsedChanged(c, QStringLiteral("--"));
        display_.clearReadings(c);
        displayedCurrent_[c].clear();
        displayedVoltage_[c].clear();
        if (software)
            observer.totalsChanged(c, QStringLiteral("/ %1").arg(settings_.RepeatCh[c]),
                                   QStringLiteral("/ %1").arg(stepCount(c)));
        channel.runButtonActive = false;
        channel.noData = software && stepCount(c) == 0;
        display_.setChecked(c, !channel.noData && settings_.RunCh[c] != 0);
        display_.showCheckBox(c, !channel.noData);
        display_.showRunButton(c, false);
        display_.followCheckBox(c, settings_.Curr == 1, settings_.Volt == 1);
    }
    observer.runAllEnabled(true);
    observer.closeEnabled(true);
}

void RunEngine::closeDialog()
{
    for (int c = 0; c < kChannelCount; ++c)
        settings_.RunCh[c] = display_.isChecked(c) ? 1 : 0;
}

void RunEngine::dismissDialog()
{
    if (anyRunning())
        StopAll();
}

void RunEngine::clickChannelCheck(int channel, bool checked)
{
    if (channel < 0 || channel >= kChannelCount || channels_[channel].noData ||
        (channels_[channel].isRunning() && channels_[channel].selected))
        return;
    display_.setChecked(channel, checked);
    if (!display_.anyChecked()) {
        display_.setChecked(channel, true);
        display_.showCheckBox(channel, true);
    }
    display_.followCheckBox(channel, settings_.Curr == 1, settings_.Volt == 1);
    if (!channels_[channel].runButtonActive)
        display_.showRunButton(channel, false);
}

void RunEngine::setLastLoadOff(int channel, bool on)
{
    if (channel >= 0 && channel < kChannelCount)
        settings_.OutOffCh[channel] = on ? 1 : 0;
}

void RunEngine::clearProgress()
{
    for (ChannelRunState& channel : channels_) {
        if (channel.isRunning())
            continue;
        channel.stepIndex = 0;
        channel.repetition = 1;
        channel.graphCycle = 1;
        channel.rampStart = 0.0;
        channel.rampEnd = 0.0;
        channel.loadOn = false;
        channel.alarm = false;
        channel.skipFirstCheck = false;
    }
}

// ---------------------------------------------------------------------------------------------
// Starting and stopping

void RunEngine::ToggleChannel(int channel)
{
    if (channel < 0 || channel >= kChannelCount)
        return;
    if (handlerDepth_ > 0)
        return;
    HandlerScope scope(*this);
    if (channels_[channel].runButtonActive)
        stopChannel(channel);
    else
        startChannel(channel);
}

void RunEngine::showStarting(int channel)
{
    RunObserver& observer = display_.observer();
    display_.showStatus(channel, Status::Running);
    display_.clearReadings(channel);
    displayedCurrent_[channel].clear();
    displayedVoltage_[channel].clear();
    observer.elapsedChanged(channel, QStringLiteral("00:00:00"));
    channels_[channel].graphCycle = 1;
    display_.showRunButton(channel, true);
}

void RunEngine::initialiseChannel(int channel)
{
    ChannelRunState& state = channels_[channel];
    const ChannelSequence* steps = sequence(channel);
    state.rampStart = 0.0;
    state.stepIndex = 0;
    state.rampEnd = steps ? decimalValue(steps->steps[0].value) : 0.0;
    display_.observer().countChanged(channel, QStringLiteral("1"));
    display_.observer().stepChanged(channel, QStringLiteral("1"));
    state.repetition = 1;
    state.skipFirstCheck = settings_.MonFirst[channel] != 0;
    state.loadOn = steps ? StepSchedule::isLoadOn(steps->steps[0]) : true;
}

void RunEngine::startChannel(int channel)
{
    ChannelRunState& state = channels_[channel];
    // The Run button is disabled without a document, without data or with the box cleared.
    if (!document_.get() || state.noData || !display_.isChecked(channel))
        return;
    const bool first = !anyRunning();
    if (first)
        settlePreviousRun();

    state.state = RunIdle;
    state.alarm = false;
    state.selected = true;
    showStarting(channel);

    RunObserver& observer = display_.observer();
    observer.runAllEnabled(false);
    observer.closeEnabled(false);
    display_.showCheckBox(channel, false);
    observer.stopAllEnabled(true);
    BusyGuard busy(prompt_);

    if (first) {
        showCaption();
        clearLineTexts();
        if (logging() && !openLog(RunFormats::modePrefix(settings_.ModeCh[channel]))) {
            display_.showError(channel);
            display_.showRunIdle();
            return;
        }
    }

    unitFactor_ = StepSchedule::unitFactor(settings_.Unit);
    initialiseChannel(channel);

    ChannelTexts currents;
    ChannelTexts voltages;
    if (!device_.StartChannel(channel, first ? 1 : 0, currents, voltages, monitoringActive_ ? 1 : 0)) {
        display_.clearReadings(channel);
        if (!first) {
            markChannelError(channel);
            return;
        }
        port_.Close();
        discardLog();
        // The channel is not running yet, so marking the running ones alone would leave it
        // showing "Running".
        markChannelError(channel);
        markAllError();
        return;
    }

    if (logging() && settings_.MonStart == 1) {
        lineCurrent_[channel] = currents[channel];
        lineVoltage_[channel] = voltages[channel];
        storeLine(first ? RunFormats::firstPassTimeText(settings_.PassTime) : timeTextNow(), lineCurrent_,
                  lineVoltage_, false);
    }

    state.state = RunRunning;
    observer.graphStarted(channel);

    if (first) {
        startRunClock(softwareControl());
        state.startMs = runStartMs_;
    } else {
        state.startMs = runClockMs();
    }
    state.startTime = static_cast<double>(state.startMs) / 1000.0;
}

void RunEngine::RunAll()
{
    if (handlerDepth_ > 0 || !document_.get() || anyRunning())
        return;
    std::array<bool, kChannelCount> selected{};
    bool any = false;
    for (int c = 0; c < kChannelCount; ++c) {
        selected[c] = display_.isChecked(c) && !channels_[c].noData;
        any = any || selected[c];
    }
    if (!any)
        return;
    HandlerScope scope(*this);
    settlePreviousRun();

    RunObserver& observer = display_.observer();
    for (int c = 0; c < kChannelCount; ++c) {
        ChannelRunState& state = channels_[c];
        state.alarm = false;
        state.selected = selected[c];
        observer.countChanged(c, QStringLiteral("1"));
        if (state.selected) {
            showStarting(c);
        } else {
            display_.showStatus(c, Status::Standby);
            display_.showRunButton(c, false);
            display_.clearReadings(c);
        }
    }
    observer.runAllEnabled(false);
    observer.closeEnabled(false);
    observer.stopAllEnabled(true);
    for (int c = 0; c < kChannelCount; ++c)
        display_.showCheckBox(c, false);
    BusyGuard busy(prompt_);

    showCaption();
    clearLineTexts();
    if (logging()) {
        QString prefix;
        for (int c = 0; c < kChannelCount; ++c) {
            if (selected[c])
                prefix += RunFormats::modePrefix(settings_.ModeCh[c]);
        }
        if (!openLog(prefix)) {
            for (int c = 0; c < kChannelCount; ++c) {
                if (selected[c])
                    display_.showError(c);
            }
            display_.showRunIdle();
            return;
        }
    }

    unitFactor_ = StepSchedule::unitFactor(settings_.Unit);
    ChannelFlags flags{};
    for (int c = 0; c < kChannelCount; ++c) {
        flags[c] = selected[c] ? 1 : 0;
        if (selected[c])
            initialiseChannel(c);
        channels_[c].state = selected[c] ? RunRunning : RunIdle;
    }

    ChannelTexts currents;
    ChannelTexts voltages;
    if (!device_.StartChannels(flags, nullptr, currents, voltages, monitoringActive_ ? 1 : 0)) {
        discardLog();
        markAllError();
        return;
    }

    if (logging() && settings_.MonStart == 1) {
        for (int c = 0; c < kChannelCount; ++c) {
            if (selected[c]) {
                lineCurrent_[c] = currents[c];
                lineVoltage_[c] = voltages[c];
            }
        }
        storeLine(RunFormats::firstPassTimeText(settings_.PassTime), lineCurrent_, lineVoltage_, false);
    }
    for (int c = 0; c < kChannelCount; ++c) {
        if (selected[c])
            observer.graphStarted(c);
    }
    startRunClock(softwareControl());
    for (int c = 0; c < kChannelCount; ++c) {
        channels_[c].startMs = runStartMs_;
        channels_[c].startTime = static_cast<double>(runStartMs_) / 1000.0;
    }
}

void RunEngine::startRunClock(bool software)
{
    phase_ = Phase::Active;
    runSoftwareControl_ = software;
    const int period = StepSchedule::stepTimerPeriodMs(settings_.Unit);
    if (software && phasing_ == StepTickPhasing::Periodic) {
        stepTicking_ = true;
        stepTimer_ = timers_.startTimer(period, false, [this] {
            if (handlerDepth_ == 0)
                onStepTick();
        });
    }
    runStartMs_ = runClockMs();
    if (software && phasing_ == StepTickPhasing::Aligned) {
        stepTicking_ = true;
        armStepTick();
    }
    if (monitoringActive_ && !stepEndTiming()) {
        if (software && phasing_ == StepTickPhasing::Aligned) {
            monitorTicking_ = true;
            armMonitorTick();
        } else {
            monitorTimer_ = timers_.startTimer(monitorPeriodMs(), false, [this] {
                if (handlerDepth_ == 0)
                    onMonitorTick();
            });
        }
    }
    runStartCalendar_ = clock_.calendarNow().toSecsSinceEpoch();
    if (software && phasing_ == StepTickPhasing::Aligned) {
        statusTicking_ = true;
        armStatusTick();
    } else {
        statusTimer_ = timers_.startTimer(kStatusPeriodMs, false, [this] {
            if (handlerDepth_ == 0)
                onStatusTick();
        });
    }
}

void RunEngine::settlePreviousRun()
{
    // Timers left running after every channel failed, or a log still waiting for the save tick,
    // belong to the run before: they end before a new run starts.
    if (phase_ == Phase::Active && !anyRunning())
        endRun();
    if (phase_ == Phase::Finishing) {
        if (saveTimer_ != TimerService::noTimer) {
            timers_.stopTimer(saveTimer_);
            saveTimer_ = TimerService::noTimer;
        }
        finishLog();
    }
}

void RunEngine::stopChannel(int channel)
{
    ChannelRunState& state = channels_[channel];
    const bool wasRunning = state.selected && state.isRunning();
    if (wasRunning) {
        display_.observer().graphStopped(channel);
        if (!device_.StopChannelIfNeeded(channel)) {
            // The link is closed: the other channels cannot go on either.
            markAllError();
            if (phase_ == Phase::Active && !anyRunning())
                endRun();
            return;
        }
        display_.showStopped(channel);
        state.state = RunStopped;
        if (loggingAfterProcessing()) {
            const QString time = timeTextNow();
            if (!measure(channel))
                markChannelError(channel);
            lineCurrent_[channel] = displayedCurrent_[channel];
            lineVoltage_[channel] = displayedVoltage_[channel];
            storeLine(time, lineCurrent_, lineVoltage_, false);
        }
    } else {
        // A channel that already left the run (a trip, a failed reading) only gets its button back.
        display_.showRunButton(channel, false);
    }
    if (phase_ == Phase::Active && !anyRunning())
        endRun();
}

void RunEngine::StopAll()
{
    if (handlerDepth_ > 0) {
        stopAllPending_ = true;
        return;
    }
    if (phase_ != Phase::Active)
        return;
    HandlerScope scope(*this);
    if (!anyRunning()) {
        endRun();
        return;
    }
    killRunTimers();
    RunObserver& observer = display_.observer();
    for (int c = 0; c < kChannelCount; ++c) {
        if (channels_[c].selected && channels_[c].isRunning()) {
            observer.graphStopped(c);
            display_.showStopped(c);
        }
    }
    display_.showRunIdle();

    const bool keepOpen = loggingAfterProcessing();
    ChannelFlags selected{};
    ChannelFlags states{};
    for (int c = 0; c < kChannelCount; ++c) {
        selected[c] = channels_[c].selected ? 1 : 0;
        states[c] = channels_[c].state;
    }
    if (!device_.StopChannels(selected, states, keepOpen ? 0 : 1))
        markAllError();
    if (keepOpen) {
        const QString time = timeTextNow();
        for (int c = 0; c < kChannelCount; ++c) {
            if (channels_[c].isRunning()) {
                if (!measure(c))
                    markChannelError(c);
                lineCurrent_[c] = displayedCurrent_[c];
                lineVoltage_[c] = displayedVoltage_[c];
            } else {
                lineCurrent_[c].clear();
                lineVoltage_[c].clear();
            }
        }
        storeLine(time, lineCurrent_, lineVoltage_, false);
        // The readings were the last use of the link.
        port_.Close();
    }
    for (ChannelRunState& channel : channels_) {
        if (channel.isRunning())
            channel.state = RunStopped;
    }
    if (monitoringActive_ && settings_.File == 1) {
        phase_ = Phase::Finishing;
        armSaveTimer();
    } else {
        phase_ = Phase::Idle;
        discardLog();
        observer.runFinished();
    }
}

// ---------------------------------------------------------------------------------------------
// Timers

void RunEngine::armStepTick()
{
    if (stepTimer_ != TimerService::noTimer)
        timers_.stopTimer(stepTimer_);
    const int period = StepSchedule::stepTimerPeriodMs(settings_.Unit);
    const qint64 delay =
        StepSchedule::nextStepTickDelayMs(runStartMs_, runClockMs(), period, kStepTickMarginMs);
    stepTimer_ = timers_.startTimer(static_cast<int>(delay), true, [this] {
        stepTimer_ = TimerService::noTimer;
        if (handlerDepth_ > 0) {
            armStepTick();
            return;
        }
        onStepTick();
    });
}

void RunEngine::armStatusTick()
{
    if (statusTimer_ != TimerService::noTimer)
        timers_.stopTimer(statusTimer_);
    // Status polls fall between step ticks, so that their exchange never holds a step back.
    const qint64 delay =
        StepSchedule::nextStepTickDelayMs(runStartMs_, runClockMs(), kStatusPeriodMs, kStatusOffsetMs);
    statusTimer_ = timers_.startTimer(static_cast<int>(delay), true, [this] {
        statusTimer_ = TimerService::noTimer;
        if (handlerDepth_ == 0)
            onStatusTick();
        if (statusTicking_ && phase_ == Phase::Active && statusTimer_ == TimerService::noTimer)
            armStatusTick();
    });
}

void RunEngine::armMonitorTick()
{
    if (monitorTimer_ != TimerService::noTimer)
        timers_.stopTimer(monitorTimer_);
    // Readings follow the step tick they coincide with, so that the step's commands go first.
    const qint64 delay =
        StepSchedule::nextStepTickDelayMs(runStartMs_, runClockMs(), monitorPeriodMs(), kMonitorOffsetMs);
    monitorTimer_ = timers_.startTimer(static_cast<int>(delay), true, [this] {
        monitorTimer_ = TimerService::noTimer;
        if (handlerDepth_ == 0)
            onMonitorTick();
        if (monitorTicking_ && phase_ == Phase::Active && monitorTimer_ == TimerService::noTimer)
            armMonitorTick();
    });
}

void RunEngine::killRunTimers()
{
    stepTicking_ = false;
    statusTicking_ = false;
    monitorTicking_ = false;
    for (TimerService::TimerId* id : {&stepTimer_, &monitorTimer_, &statusTimer_}) {
        if (*id != TimerService::noTimer)
            timers_.stopTimer(*id);
        *id = TimerService::noTimer;
    }
}

void RunEngine::armSaveTimer()
{
    if (saveTimer_ != TimerService::noTimer)
        timers_.stopTimer(saveTimer_);
    saveTimer_ = timers_.startTimer(kSaveDelayMs, true, [this] {
        saveTimer_ = TimerService::noTimer;
        if (handlerDepth_ > 0) {
            armSaveTimer();
            return;
        }
        onSaveTick();
    });
}

void RunEngine::endRun()
{
    if (phase_ != Phase::Active)
        return;
    RunObserver& observer = display_.observer();
    for (int c = 0; c < kChannelCount; ++c) {
        if (channels_[c].selected)
            observer.graphStopped(c);
    }
    killRunTimers();
    display_.showRunIdle();
    port_.Close();
    if (monitoringActive_ && settings_.File == 1) {
        phase_ = Phase::Finishing;
        armSaveTimer();
    } else {
        phase_ = Phase::Idle;
        discardLog();
        observer.runFinished();
    }
}

void RunEngine::onSaveTick()
{
    HandlerScope scope(*this);
    finishLog();
}

void RunEngine::finishLog()
{
    RunObserver& observer = display_.observer();
    if (log_ && !log_->isEmpty()) {
        BusyGuard busy(prompt_);
        std::array<QString, kChannelCount> kept;
        for (int c = 0; c < kChannelCount; ++c) {
            if (channels_[c].selected) {
                kept[c] = display_.shownStatusText(c);
                display_.showStatusText(c, QStringLiteral("Saving"));
            }
        }
        display_.disableAllButtons();
        const bool ok = log_->finish();
        // Also after a failed write the panels show what they showed before.
        for (int c = 0; c < kChannelCount; ++c) {
            if (channels_[c].selected)
                display_.showStatusText(c, kept[c]);
        }
        display_.showRunIdle();
        observer.logFinished(log_->path(), ok);
    }
    log_.reset();
    showCaption();
    phase_ = Phase::Idle;
    observer.runFinished();
}

void RunEngine::onStatusTick()
{
    if (phase_ != Phase::Active)
        return;
    HandlerScope scope(*this);
    // Nothing is asked of a link that no running channel needs any more.
    if (!anyRunning()) {
        endRun();
        return;
    }
    RunObserver& observer = display_.observer();
    const qint64 elapsed = std::max<qint64>(0, clock_.calendarNow().toSecsSinceEpoch() - runStartCalendar_);

    ChannelTexts conditions;
    bool conditionsRead = false;
    if (runSoftwareControl_) {
        conditionsRead = device_.QueryStatus(conditions) != 0;
        if (!conditionsRead)
            markAllError();
    } else {
        clearLineTexts();
        ChannelFlags poll{};
        for (int c = 0; c < kChannelCount; ++c)
            poll[c] = channels_[c].selected && channels_[c].isRunning() ? 1 : 0;
        std::array<int, kChannelCount> running{};
        ChannelTexts steps;
        ChannelTexts loops;
        if (!device_.QueryProgramState(running, steps, loops, poll)) {
            markAllError();
        } else {
            const QString time = timeTextNow();
            bool finalReading = false;
            for (int c = 0; c < kChannelCount; ++c) {
                if (!poll[c])
                    continue;
                observer.stepChanged(c, steps[c]);
                observer.countChanged(c, loops[c]);
                if (running[c] == 2)
                    continue;
                channels_[c].state = RunIdle;
                observer.graphStopped(c);
                display_.showEnded(c, true, settings_.RepeatCh[c], stepCount(c));
                if (loggingAfterProcessing()) {
                    finalReading = true;
                    if (!measure(c))
                        markChannelError(c);
                    lineCurrent_[c] = displayedCurrent_[c];
                    lineVoltage_[c] = displayedVoltage_[c];
                }
            }
            if (finalReading)
                storeLine(time, lineCurrent_, lineVoltage_, false);
        }
    }

    for (int c = 0; c < kChannelCount; ++c) {
        ChannelRunState& state = channels_[c];
        if (!state.selected || !state.isRunning())
            continue;
        observer.elapsedChanged(c, RunFormats::elapsedText(elapsed));
        observer.dayChanged(c, RunFormats::dayText(elapsed));
        if (!runSoftwareControl_ || !conditionsRead)
            continue;
        if (conditions[c] != QLatin1String("0")) {
            display_.showStatus(c, Status::Alarm);
            state.alarm = true;
        } else if (state.alarm) {
            display_.showStatus(c, Status::Running);
            state.alarm = false;
        }
    }

    if (!anyRunning()) {
        endRun();
        return;
    }
    if (runSoftwareControl_) {
        for (int c = 0; c < kChannelCount; ++c) {
            if (channels_[c].selected && observer.graphPassDrawn(c)) {
                observer.resetGraphPass(c);
                ++channels_[c].graphCycle;
            }
        }
    }
}

void RunEngine::onMonitorTick()
{
    if (phase_ != Phase::Active)
        return;
    HandlerScope scope(*this);
    const QString time = timeTextNow();
    std::array<bool, kChannelCount> readOk{};
    for (int c = 0; c < kChannelCount; ++c) {
        if (channels_[c].isRunning()) {
            readOk[c] = measure(c);
            lineCurrent_[c] = displayedCurrent_[c];
            lineVoltage_[c] = displayedVoltage_[c];
            if (!readOk[c])
                markChannelError(c);
        } else {
            lineCurrent_[c].clear();
            lineVoltage_[c].clear();
        }
    }
    for (int c = 0; c < kChannelCount; ++c) {
        if (readOk[c] && channels_[c].isRunning())
            checkProtection(c);
    }
    if (settings_.File == 1)
        storeLine(time, lineCurrent_, lineVoltage_, true);
}

void RunEngine::checkProtection(int channel)
{
    ChannelRunState& state = channels_[channel];
    if (state.skipFirstCheck) {
        state.skipFirstCheck = false;
        return;
    }
    if (settings_.UvpOn[channel] == 1 && settings_.Volt == 1 &&
        decimalValue(displayedVoltage_[channel]) <= settings_.Uvp[channel]) {
        trip(channel, true);
    } else if (settings_.UcpOn[channel] == 1 && settings_.Curr == 1 &&
               decimalValue(displayedCurrent_[channel]) <= settings_.Ucp[channel]) {
        trip(channel, false);
    }
}

void RunEngine::trip(int channel, bool underVoltage)
{
    channels_[channel].state = underVoltage ? RunUvpTrip : RunUcpTrip;
    display_.observer().graphStopped(channel);
    // A protection limit always takes the load off, whatever Last Load OFF says: a battery under
    // test must not go on discharging below it.
    const bool stopped = device_.StopChannel(channel) != 0;
    if (!stopped)
        display_.showStatus(channel, Status::Error);
    else
        display_.showStatus(channel, underVoltage ? Status::Uvp : Status::Ucp);
}

// ---------------------------------------------------------------------------------------------
// Software Control stepping

void RunEngine::onStepTick()
{
    if (phase_ != Phase::Active)
        return;
    HandlerScope scope(*this);
    const QString time = timeTextNow();
    for (int c = 0; c < kChannelCount; ++c) {
        stepEndCurrent_[c].clear();
        stepEndVoltage_[c].clear();
    }
    bool stepEndReading = false;
    bool finalReading = false;
    bool abandoned = false;
    for (int c = 0; c < kChannelCount && !abandoned; ++c) {
        if (!channels_[c].selected || !channels_[c].isRunning())
            continue;
        abandoned = stepChannel(c, stepEndReading, finalReading) == StepOutcome::Abandon;
    }
    if (!abandoned) {
        if (stepEndReading && settings_.File == 1)
            storeLine(time, stepEndCurrent_, stepEndVoltage_, true);
        if (finalReading)
            storeLine(time, lineCurrent_, lineVoltage_, false);
    }
    if (stepTicking_ && phasing_ == StepTickPhasing::Aligned)
        armStepTick();
}

RunEngine::StepOutcome RunEngine::stepChannel(int channel, bool& stepEndReading, bool& finalReading)
{
    ChannelRunState& state = channels_[channel];
    const ChannelSequence* steps = sequence(channel);
    const int count = steps ? std::clamp(steps->count, 0, kMaxSteps) : 0;
    const int mode = settings_.ModeCh[channel];

    if (count > 0 && state.stepIndex < count) {
        const SequenceStep& step = steps->steps[state.stepIndex];
        const qint64 endMs = StepSchedule::stepEndMs(*steps, state.stepIndex, state.repetition, unitFactor_);
        const qint64 nowMs = runClockMs() - state.startMs;
        if (nowMs < endMs) {
            if (StepSchedule::isRamp(step) && state.loadOn) {
                const double value = StepSchedule::rampValue(
                    state.rampStart, state.rampEnd, decimalValue(step.interval) * unitFactor_,
                    static_cast<double>(endMs) / 1000.0, static_cast<double>(nowMs) / 1000.0);
                if (!writeChannel(channel, StepSchedule::computedValueCommand(mode, value)))
                    return StepOutcome::Abandon;
            }
            return StepOutcome::Continue;
        }

        if (!StepSchedule::isRamp(step) && monitoringActive_ && stepEndTiming()) {
            stepEndReading = true;
            const bool ok = measure(channel);
            stepEndCurrent_[channel] = displayedCurrent_[channel];
            stepEndVoltage_[channel] = displayedVoltage_[channel];
            if (!ok) {
                markChannelError(channel);
                return StepOutcome::Continue;
            }
        }

        ++state.stepIndex;
        if (state.stepIndex < count) {
            if (!applyStep(channel, *steps, state.stepIndex))
                return StepOutcome::Abandon;
            state.rampStart = decimalValue(steps->steps[state.stepIndex - 1].value);
            state.rampEnd = decimalValue(steps->steps[state.stepIndex].value);
            display_.observer().stepChanged(channel, QString::number(state.stepIndex + 1));
            return StepOutcome::Continue;
        }

        // The pass is complete: a closing ramp ends exactly on its value.
        if (StepSchedule::isRamp(steps->steps[count - 1]) &&
            !writeChannel(channel, StepSchedule::computedValueCommand(mode, state.rampEnd)))
            return StepOutcome::Abandon;

        if (state.repetition < settings_.RepeatCh[channel]) {
            const SequenceStep& first = steps->steps[0];
            ++state.repetition;
            state.stepIndex = 0;
            state.rampStart = 0.0;
            state.rampEnd = decimalValue(first.value);
            state.loadOn = StepSchedule::isLoadOn(first);
            if (!writeChannel(channel, StepSchedule::loadCommand(state.loadOn)))
                return StepOutcome::Abandon;
            const QString value =
                !StepSchedule::isRamp(first) || StepSchedule::isHalfSecondRamp(first, settings_.Unit)
                    ? StepSchedule::storedValueCommand(mode, first.value)
                    : StepSchedule::zeroValueCommand(mode);
            if (!writeChannel(channel, value))
                return StepOutcome::Abandon;
            display_.observer().countChanged(channel, QString::number(state.repetition));
            display_.observer().stepChanged(channel, QStringLiteral("1"));
            return StepOutcome::Continue;
        }
    }

    // The last pass is over (or the channel has no steps left to run).
    if (!device_.StopChannelIfNeeded(channel)) {
        markAllError();
        return StepOutcome::Abandon;
    }
    state.state = RunIdle;
    display_.observer().graphStopped(channel);
    display_.showEnded(channel, false, settings_.RepeatCh[channel], count);
    if (loggingAfterProcessing()) {
        finalReading = true;
        if (!measure(channel))
            markChannelError(channel);
        lineCurrent_[channel] = displayedCurrent_[channel];
        lineVoltage_[channel] = displayedVoltage_[channel];
    }
    if (!anyRunning())
        endRun();
    return StepOutcome::Finished;
}

bool RunEngine::applyStep(int channel, const ChannelSequence& sequence, int index)
{
    ChannelRunState& state = channels_[channel];
    const SequenceStep& step = sequence.steps[index];
    const int mode = settings_.ModeCh[channel];
    const bool on = StepSchedule::isLoadOn(step);
    if (on != state.loadOn) {
        if (!writeChannel(channel, StepSchedule::loadCommand(on)))
            return false;
        state.loadOn = on;
    }
    const SequenceStep& valueStep =
        !StepSchedule::isRamp(step) || StepSchedule::isHalfSecondRamp(step, settings_.Unit)
            ? step
            : sequence.steps[index - 1];
    return writeChannel(channel, StepSchedule::storedValueCommand(mode, valueStep.value));
}

bool RunEngine::writeChannel(int channel, const QString& command)
{
    if (port_.Write(QStringLiteral("INST:NSEL %1;:").arg(numbers_[channel]) + command))
        return true;
    port_.ReportError();
    port_.Close();
    markAllError();
    return false;
}

// ---------------------------------------------------------------------------------------------
// Monitoring and the log

bool RunEngine::measure(int channel)
{
    QString current;
    QString voltage;
    const bool ok = device_.Measure(current, voltage, channel) != 0;
    displayedCurrent_[channel] = current;
    displayedVoltage_[channel] = voltage;
    display_.observer().currentChanged(channel, current);
    display_.observer().voltageChanged(channel, voltage);
    return ok;
}

bool RunEngine::openLog(const QString& prefix)
{
    log_ = std::make_unique<MonitorLog>(MonitorLog::optionsFrom(settings_));
    if (!log_->open(prefix, clock_.calendarNow())) {
        log_.reset();
        return false;
    }
    showCaption(log_->displayedName());
    display_.observer().logOpened(log_->path());
    return true;
}

void RunEngine::discardLog()
{
    if (!log_)
        return;
    log_->discard();
    log_.reset();
    showCaption();
}

void RunEngine::storeLine(const QString& time, const ChannelTexts& currents, const ChannelTexts& voltages,
                          bool applyCut)
{
    if (!log_)
        return;
    if (applyCut) {
        const double seconds = static_cast<double>(runClockMs() - runStartMs_) / 1000.0;
        switch (log_->cutIfDue(seconds)) {
        case MonitorLog::CutResult::NotDue:
            break;
        case MonitorLog::CutResult::Cut:
            showCaption(log_->displayedName());
            display_.observer().logCut(log_->path());
            break;
        case MonitorLog::CutResult::Failed:
            log_->discard();
            log_.reset();
            markAllError();
            return;
        }
    }
    log_->store(RunFormats::dataLine(time, currents, voltages, log_->options().separator));
}

void RunEngine::clearLineTexts()
{
    for (int c = 0; c < kChannelCount; ++c) {
        lineCurrent_[c].clear();
        lineVoltage_[c].clear();
    }
}

bool RunEngine::logging() const
{
    return monitoringActive_ && settings_.File == 1;
}

bool RunEngine::loggingAfterProcessing() const
{
    return logging() && settings_.MonEnd == 1;
}

QString RunEngine::timeTextNow() const
{
    const double seconds = static_cast<double>(runClockMs() - runStartMs_) / 1000.0;
    return RunFormats::passTimeText(seconds, settings_.PassTime);
}

void RunEngine::showCaption(const QString& logName)
{
    captionText_ = RunFormats::monitoringCaption(settings_, monitoringActive_);
    caption_ = logName.isEmpty() ? captionText_ : captionText_ + QLatin1Char(' ') + logName;
    display_.observer().captionChanged(caption_);
}

// ---------------------------------------------------------------------------------------------
// Failures

void RunEngine::markChannelError(int channel)
{
    display_.observer().graphStopped(channel);
    display_.showError(channel);
}

void RunEngine::markAllError()
{
    for (int c = 0; c < kChannelCount; ++c) {
        if (channels_[c].selected && channels_[c].isRunning())
            markChannelError(c);
    }
    display_.showRunIdle();
}

// ---------------------------------------------------------------------------------------------
// Helpers

bool RunEngine::anyRunning() const
{
    return std::any_of(channels_.begin(), channels_.end(),
                       [](const ChannelRunState& channel) { return channel.isRunning(); });
}

const ChannelSequence* RunEngine::sequence(int channel) const
{
    const CMainDoc* document = document_.get();
    return document ? &document->channel(channel) : nullptr;
}

int RunEngine::stepCount(int channel) const
{
    const ChannelSequence* steps = sequence(channel);
    return steps ? std::clamp(steps->count, 0, kMaxSteps) : 0;
}

qint64 RunEngine::runClockMs() const
{
    return std::llround(clock_.runClock() * 1000.0);
}

bool RunEngine::softwareControl() const
{
    return settings_.SeqCtl != HardwareControl;
}

bool RunEngine::stepEndTiming() const
{
    return softwareControl() && settings_.MonTiming == 1;
}

int RunEngine::monitorPeriodMs() const
{
    return std::clamp(settings_.MonitorTime, kMinMonitorMs, kMaxMonitorMs);
}
