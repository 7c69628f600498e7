#include "run/RunEngine.h"

#include "instrument/CKdrxDevice.h"
#include "link/CInstrumentPort.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CurrentDocument.h"
#include "model/DecimalText.h"
#include "run/RunFormats.h"
#include "run/SoftwareStepper.h"
#include "run/StepSchedule.h"
#include "ui/Clock.h"
#include "ui/UserPrompt.h"

#include <algorithm>
#include <cmath>

using Status = RunPanelDisplay::Status;

// Marks the engine busy while a handler runs. A message box shown inside a handler may let timers
// fire; their ticks are then left out, and a Stop all asked for meanwhile runs when the outermost
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
      prompt_(prompt), clock_(clock), monitor_(settings, device, prompt, clock, channels_, display_),
      timers_(timers, clock,
              RunTimers::Handlers{[this] { onStepTick(); }, [this] { onMonitorTick(); },
                                  [this] { onStatusTick(); }, [this] { onSaveTick(); },
                                  [this] { return handlerDepth_ > 0; }})
{
}

RunEngine::~RunEngine() = default;

// ---------------------------------------------------------------------------------------------
// The dialog

void RunEngine::prepareDialog()
{
    // A run left behind by a dialog that ended without Close is finished first.
    if (anyRunning())
        StopAll();
    settlePreviousRun();

    monitor_.setActive(settings_.Curr == 1 || settings_.Volt == 1);
    monitor_.showCaption();
    const bool software = softwareControl();
    display_.observer().lastLoadOffVisible(software);
    for (int c = 0; c < kChannelCount; ++c) {
        monitor_.clearReading(c);
        // Under Hardware Control the totals are the transfer's; every panel stays usable.
        RunPanelDisplay::PanelSetup setup;
        setup.software = software;
        setup.repeatCount = settings_.RepeatCh[c];
        setup.stepCount = stepCount(c);
        setup.ticked = settings_.RunCh[c] != 0;
        setup.monitorCurrent = settings_.Curr == 1;
        setup.monitorVoltage = settings_.Volt == 1;
        display_.preparePanel(c, setup);
        if (!software && transferTotalsSet_)
            showPanelTotals(c);
    }
    display_.showRunIdle();
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

void RunEngine::showTransferTotals(const TransferProcedures::RunWindowTotals& totals)
{
    transferTotals_ = totals;
    transferTotalsSet_ = true;
    for (int c = 0; c < kChannelCount; ++c) {
        if (channels_[c].isRunning())
            continue;
        if (totals[c].active) {
            display_.showStatus(c, Status::Standby);
            RunObserver& observer = display_.observer();
            observer.countChanged(c, QStringLiteral("--"));
            observer.stepChanged(c, QStringLiteral("--"));
            observer.elapsedChanged(c, QStringLiteral("--"));
            monitor_.clearReading(c);
        }
        display_.showRunButton(c, false);
        showPanelTotals(c);
    }
}

void RunEngine::clearTransferTotals()
{
    showTransferTotals(TransferProcedures::RunWindowTotals{});
}

void RunEngine::showPanelTotals(int channel)
{
    const TransferProcedures::RunPanelTotals& totals = transferTotals_[channel];
    display_.observer().totalsChanged(channel, totals.loopTotal, totals.stepTotal);
}

// ---------------------------------------------------------------------------------------------
// Starting

void RunEngine::ToggleChannel(int channel)
{
    if (channel < 0 || channel >= kChannelCount || handlerDepth_ > 0)
        return;
    HandlerScope scope(*this);
    if (channels_[channel].runButtonActive)
        stopChannel(channel);
    else
        startChannel(channel);
}

void RunEngine::showStarting(int channel)
{
    display_.showStatus(channel, Status::Running);
    monitor_.clearReading(channel);
    display_.observer().elapsedChanged(channel, QStringLiteral("00:00:00"));
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
    display_.showRunActive();
    display_.showCheckBox(channel, false);
    BusyGuard busy(prompt_);

    if (first) {
        monitor_.showCaption();
        // Readings of an earlier run never reach this run's log.
        monitor_.clearLineTexts();
        if (monitor_.logging() && !monitor_.openLog(RunFormats::modePrefix(settings_.ModeCh[channel]))) {
            display_.showError(channel);
            display_.showRunIdle();
            return;
        }
    }

    unitFactor_ = StepSchedule::unitFactor(settings_.Unit);
    initialiseChannel(channel);

    ChannelTexts currents;
    ChannelTexts voltages;
    if (!device_.StartChannel(channel, first ? 1 : 0, currents, voltages, monitor_.isActive() ? 1 : 0)) {
        display_.clearReadings(channel);
        if (!first) {
            display_.markError(channel);
            return;
        }
        port_.Close();
        monitor_.discardLog();
        // The channel is not running yet: marking the running ones alone would leave it showing
        // "Running".
        display_.markError(channel);
        display_.markAllError();
        return;
    }

    if (monitor_.logging() && settings_.MonStart == 1) {
        monitor_.setLineTexts(channel, currents[channel], voltages[channel]);
        monitor_.storeLine(first ? RunFormats::firstPassTimeText(settings_.PassTime) : timeTextNow(),
                           runSeconds(), false);
    }

    state.state = RunRunning;
    observer.graphStarted(channel);
    if (first)
        startRunClock();
    state.startMs = first ? runStartMs_ : runClockMs();
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
    display_.showRunActive();
    for (int c = 0; c < kChannelCount; ++c)
        display_.showCheckBox(c, false);
    BusyGuard busy(prompt_);

    monitor_.showCaption();
    monitor_.clearLineTexts();
    if (monitor_.logging()) {
        QString prefix;
        for (int c = 0; c < kChannelCount; ++c) {
            if (selected[c])
                prefix += RunFormats::modePrefix(settings_.ModeCh[c]);
        }
        if (!monitor_.openLog(prefix)) {
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
    if (!device_.StartChannels(flags, nullptr, currents, voltages, monitor_.isActive() ? 1 : 0)) {
        monitor_.discardLog();
        display_.markAllError();
        return;
    }
    // The coupled start switches on only the channels whose first step has the load on; one whose
    // first step has it off is told so, or a load left on by an earlier run would stay on.
    if (softwareControl()) {
        for (int c = 0; c < kChannelCount; ++c) {
            if (selected[c] && !channels_[c].loadOn && !writeChannel(c, StepSchedule::loadCommand(false))) {
                monitor_.discardLog();
                return;
            }
        }
    }

    if (monitor_.logging() && settings_.MonStart == 1) {
        for (int c = 0; c < kChannelCount; ++c) {
            if (selected[c])
                monitor_.setLineTexts(c, currents[c], voltages[c]);
        }
        monitor_.storeLine(RunFormats::firstPassTimeText(settings_.PassTime), 0.0, false);
    }
    for (int c = 0; c < kChannelCount; ++c) {
        if (selected[c])
            observer.graphStarted(c);
    }
    startRunClock();
    for (ChannelRunState& state : channels_) {
        state.startMs = runStartMs_;
        state.startTime = static_cast<double>(runStartMs_) / 1000.0;
    }
}

void RunEngine::startRunClock()
{
    phase_ = Phase::Active;
    runSoftwareControl_ = softwareControl();
    const int stepPeriod = runSoftwareControl_ ? StepSchedule::stepTimerPeriodMs(settings_.Unit) : 0;
    const int monitorPeriod = monitor_.isActive() && !stepEndTiming()
                                  ? std::clamp(settings_.MonitorTime, kMinMonitorMs, kMaxMonitorMs)
                                  : 0;
    runStartMs_ = timers_.start(stepPeriod, monitorPeriod);
    runStartCalendar_ = clock_.calendarNow().toSecsSinceEpoch();
}

void RunEngine::settlePreviousRun()
{
    // Timers left running after every channel failed, or a log still waiting for the save tick,
    // belong to the run before: they end before a new run starts.
    if (phase_ == Phase::Active && !anyRunning())
        endRun();
    if (phase_ == Phase::Finishing) {
        timers_.cancelSave();
        monitor_.finishLog();
        finishRun();
    }
}

// ---------------------------------------------------------------------------------------------
// Stopping and ending

void RunEngine::stopChannel(int channel)
{
    ChannelRunState& state = channels_[channel];
    if (!state.selected || !state.isRunning()) {
        // A channel that already left the run (a trip, a failed reading) only gets its button back.
        display_.showRunButton(channel, false);
    } else {
        display_.observer().graphStopped(channel);
        if (!device_.StopChannelIfNeeded(channel)) {
            // The stop closed the link: the other channels cannot go on either.
            display_.markAllError();
        } else {
            display_.showStopped(channel);
            state.state = RunStopped;
            if (monitor_.loggingAfterProcessing()) {
                const QString time = timeTextNow();
                if (!monitor_.takeLineReading(channel))
                    display_.markError(channel);
                monitor_.storeLine(time, runSeconds(), false);
            }
        }
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
    timers_.stop();
    for (int c = 0; c < kChannelCount; ++c) {
        if (channels_[c].selected && channels_[c].isRunning()) {
            display_.observer().graphStopped(c);
            display_.showStopped(c);
        }
    }
    display_.showRunIdle();

    const bool keepOpen = monitor_.loggingAfterProcessing();
    ChannelFlags selected{};
    ChannelFlags states{};
    for (int c = 0; c < kChannelCount; ++c) {
        selected[c] = channels_[c].selected ? 1 : 0;
        states[c] = channels_[c].state;
    }
    if (!device_.StopChannels(selected, states, keepOpen ? 0 : 1))
        display_.markAllError();
    if (keepOpen) {
        const QString time = timeTextNow();
        for (int c = 0; c < kChannelCount; ++c) {
            if (!channels_[c].isRunning())
                monitor_.clearLineTexts(c);
            else if (!monitor_.takeLineReading(c))
                display_.markError(c);
        }
        monitor_.storeLine(time, runSeconds(), false);
        // The readings were the last use of the link.
        port_.Close();
    }
    for (ChannelRunState& channel : channels_) {
        if (channel.isRunning())
            channel.state = RunStopped;
    }
    phase_ = Phase::Finishing;
    if (monitor_.logging())
        timers_.armSave();
    else
        finishRun();
}

void RunEngine::endRun()
{
    if (phase_ != Phase::Active)
        return;
    for (int c = 0; c < kChannelCount; ++c) {
        if (channels_[c].selected)
            display_.observer().graphStopped(c);
    }
    timers_.stop();
    display_.showRunIdle();
    port_.Close();
    phase_ = Phase::Finishing;
    if (monitor_.logging())
        timers_.armSave();
    else
        finishRun();
}

void RunEngine::finishRun()
{
    monitor_.discardLog();
    phase_ = Phase::Idle;
    display_.observer().runFinished();
}

void RunEngine::onSaveTick()
{
    HandlerScope scope(*this);
    monitor_.finishLog();
    finishRun();
}

// ---------------------------------------------------------------------------------------------
// The status poll and the interval readings

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
            display_.markAllError();
    } else {
        pollPrograms();
    }

    for (int c = 0; c < kChannelCount; ++c) {
        ChannelRunState& state = channels_[c];
        if (!state.selected || !state.isRunning())
            continue;
        observer.elapsedChanged(c, RunFormats::elapsedText(elapsed));
        observer.dayChanged(c, RunFormats::dayText(elapsed));
        if (!conditionsRead)
            continue;
        // An alarm changes only the display; the sequence goes on.
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

void RunEngine::pollPrograms()
{
    // After a poll a line carries only the channels that finished in it.
    monitor_.clearLineTexts();
    ChannelFlags poll{};
    for (int c = 0; c < kChannelCount; ++c)
        poll[c] = channels_[c].selected && channels_[c].isRunning() ? 1 : 0;
    std::array<int, kChannelCount> running{};
    ChannelTexts steps;
    ChannelTexts loops;
    if (!device_.QueryProgramState(running, steps, loops, poll)) {
        display_.markAllError();
        return;
    }
    RunObserver& observer = display_.observer();
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
        if (monitor_.loggingAfterProcessing()) {
            finalReading = true;
            if (!monitor_.takeLineReading(c))
                display_.markError(c);
        }
    }
    if (finalReading)
        monitor_.storeLine(time, runSeconds(), false);
}

void RunEngine::onMonitorTick()
{
    if (phase_ != Phase::Active)
        return;
    HandlerScope scope(*this);
    monitor_.intervalReading(timeTextNow(), runSeconds());
}

// ---------------------------------------------------------------------------------------------
// Software Control stepping

void RunEngine::onStepTick()
{
    if (phase_ != Phase::Active)
        return;
    HandlerScope scope(*this);
    const QString time = timeTextNow();
    const double seconds = runSeconds();
    monitor_.clearStepEndTexts();
    bool stepEndReading = false;
    bool finalReading = false;
    for (int c = 0; c < kChannelCount; ++c) {
        if (channels_[c].selected && channels_[c].isRunning() &&
            !stepChannel(c, stepEndReading, finalReading))
            return;
    }
    if (stepEndReading && settings_.File == 1)
        monitor_.storeStepEndLine(time, seconds);
    if (finalReading)
        monitor_.storeLine(time, seconds, false);
}

bool RunEngine::stepChannel(int channel, bool& stepEndReading, bool& finalReading)
{
    ChannelRunState& state = channels_[channel];
    const ChannelSequence* steps = sequence(channel);
    if (!steps)
        return true;
    SoftwareStepper stepper(
        state, *steps, settings_.ModeCh[channel], settings_.Unit, unitFactor_, settings_.RepeatCh[channel],
        [this, channel](const QString& command) { return writeChannel(channel, command); });

    switch (stepper.tick(runClockMs() - state.startMs)) {
    case SoftwareStepper::Outcome::WriteFailed:
        return false;
    case SoftwareStepper::Outcome::StepEnded:
        break;
    default:
        return true;
    }
    // The reading before the next value is applied.
    if (stepper.endedStepIsStep() && monitor_.isActive() && stepEndTiming()) {
        stepEndReading = true;
        if (!monitor_.takeStepEndReading(channel)) {
            display_.markError(channel);
            return true;
        }
    }
    switch (stepper.advance()) {
    case SoftwareStepper::Outcome::WriteFailed:
        return false;
    case SoftwareStepper::Outcome::NextStep:
        display_.observer().stepChanged(channel, QString::number(state.stepIndex + 1));
        return true;
    case SoftwareStepper::Outcome::NextPass:
        display_.observer().countChanged(channel, QString::number(state.repetition));
        display_.observer().stepChanged(channel, QStringLiteral("1"));
        return true;
    default:
        break;
    }

    // The last pass is over.
    if (!device_.StopChannelIfNeeded(channel)) {
        display_.markAllError();
        return false;
    }
    state.state = RunIdle;
    display_.observer().graphStopped(channel);
    display_.showEnded(channel, false, settings_.RepeatCh[channel], stepCount(channel));
    if (monitor_.loggingAfterProcessing()) {
        finalReading = true;
        if (!monitor_.takeLineReading(channel))
            display_.markError(channel);
    }
    if (!anyRunning())
        endRun();
    return true;
}

bool RunEngine::writeChannel(int channel, const QString& command)
{
    if (port_.Write(QStringLiteral("INST:NSEL %1;:").arg(numbers_[channel]) + command))
        return true;
    port_.ReportError();
    port_.Close();
    display_.markAllError();
    return false;
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

double RunEngine::runSeconds() const
{
    return static_cast<double>(runClockMs() - runStartMs_) / 1000.0;
}

QString RunEngine::timeTextNow() const
{
    return RunFormats::passTimeText(runSeconds(), settings_.PassTime);
}

bool RunEngine::softwareControl() const
{
    return settings_.SeqCtl != HardwareControl;
}

bool RunEngine::stepEndTiming() const
{
    return softwareControl() && settings_.MonTiming == 1;
}
