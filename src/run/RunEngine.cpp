#include "run/RunEngine.h"

#include "instrument/CKdrxDevice.h"
#include "link/CInstrumentPort.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CurrentDocument.h"
#include "run/RunFormats.h"
#include "run/SoftwareStepper.h"
#include "run/StepSchedule.h"
#include "ui/Clock.h"
#include "ui/UserPrompt.h"

#include <algorithm>
#include <cmath>

using Status = RunPanelDisplay::Status;

RunEngine::RunEngine(AppSettings& settings, CurrentDocument& document, CInstrumentPort& port,
                     CKdrxDevice& device, const ChannelNumbers& numbers, UserPrompt& prompt, Clock& clock,
                     TimerService& timers)
    : settings_(settings), document_(document), port_(port), device_(device), numbers_(numbers),
      prompt_(prompt), clock_(clock), monitor_(settings, device, prompt, clock, channels_, display_),
      window_(settings, document, channels_, display_, monitor_),
      timers_(timers, clock,
              RunTimers::Handlers{[this] { onStepTick(); }, [this] { onMonitorTick(); },
                                  [this] { onStatusTick(); }, [this] { onSaveTick(); },
                                  [this] { return handlerDepth_ > 0; }})
{
}

RunEngine::~RunEngine() = default;

void RunEngine::prepareDialog()
{
    // The dialog refuses to end while a run is active; should one be running all the same, its
    // loads are stopped before the panels forget it.
    if (anyRunning())
        StopAll();
    settlePreviousRun();
    monitor_.setActive(settings_.Curr == 1 || settings_.Volt == 1);
    window_.prepare();
}

void RunEngine::clearProgress()
{
    for (ChannelRunState& channel : channels_) {
        if (!channel.isRunning())
            channel.resetProgress();
    }
}

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
    monitor_.clearReading(channel);
    display_.showStarting(channel);
}

void RunEngine::initialiseChannel(int channel)
{
    const ChannelSequence* steps = sequence(channel);
    channels_[channel].beginFirstPass(steps ? &steps->steps[0] : nullptr, settings_.MonFirst[channel] != 0);
    display_.showProgress(channel);
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
    display_.showRunActive();
    display_.showCheckBox(channel, false);
    BusyGuard busy(prompt_);

    std::array<bool, kChannelCount> starting{};
    starting[channel] = true;
    if (!prepareStart(starting, first))
        return;
    ChannelTexts currents;
    ChannelTexts voltages;
    if (!device_.StartChannel(channel, first ? 1 : 0, currents, voltages, monitor_.isActive() ? 1 : 0)) {
        display_.clearReadings(channel);
        if (!first) {
            markError(channel);
            return;
        }
        port_.Close();
        monitor_.discardLog();
        // The channel is not running yet: marking the running ones alone would leave it showing
        // "Running".
        markError(channel);
        markAllError();
        return;
    }
    completeStart(starting, currents, voltages, first);
}

void RunEngine::RunAll()
{
    if (handlerDepth_ > 0 || !document_.get() || anyRunning())
        return;
    std::array<bool, kChannelCount> selected{};
    for (int c = 0; c < kChannelCount; ++c)
        selected[c] = display_.isChecked(c) && !channels_[c].noData;
    if (std::none_of(selected.begin(), selected.end(), [](bool s) { return s; }))
        return;
    HandlerScope scope(*this);
    settlePreviousRun();

    for (int c = 0; c < kChannelCount; ++c) {
        ChannelRunState& state = channels_[c];
        state.alarm = false;
        state.selected = selected[c];
        display_.observer().countChanged(c, QStringLiteral("1"));
        if (state.selected)
            showStarting(c);
        else
            display_.showLeftOut(c);
    }
    display_.showRunActive();
    for (int c = 0; c < kChannelCount; ++c)
        display_.showCheckBox(c, false);
    BusyGuard busy(prompt_);

    if (!prepareStart(selected, true))
        return;
    ChannelFlags flags{};
    for (int c = 0; c < kChannelCount; ++c) {
        flags[c] = selected[c] ? 1 : 0;
        channels_[c].state = selected[c] ? RunRunning : RunIdle;
    }
    ChannelTexts currents;
    ChannelTexts voltages;
    if (!device_.StartChannels(flags, nullptr, currents, voltages, monitor_.isActive() ? 1 : 0)) {
        monitor_.discardLog();
        markAllError();
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
    completeStart(selected, currents, voltages, true);
}

bool RunEngine::prepareStart(const std::array<bool, kChannelCount>& starting, bool first)
{
    if (first) {
        monitor_.showCaption();
        // Readings of an earlier run never reach this run's log.
        monitor_.clearLineTexts();
        if (monitor_.logging() && !monitor_.openLog(starting)) {
            // Nothing was sent: the channels being started show "Error" and the buttons return.
            for (int c = 0; c < kChannelCount; ++c) {
                if (starting[c]) {
                    channels_[c].state = RunError;
                    display_.showError(c);
                }
            }
            display_.showRunIdle();
            return false;
        }
    }
    unitFactor_ = StepSchedule::unitFactor(settings_.Unit);
    for (int c = 0; c < kChannelCount; ++c) {
        if (starting[c])
            initialiseChannel(c);
    }
    return true;
}

void RunEngine::completeStart(const std::array<bool, kChannelCount>& started, const ChannelTexts& currents,
                              const ChannelTexts& voltages, bool first)
{
    monitor_.storeBeforeProcessing(started, currents, voltages,
                                   first ? RunFormats::firstPassTimeText(settings_.PassTime) : timeTextNow());
    for (int c = 0; c < kChannelCount; ++c) {
        if (started[c]) {
            channels_[c].state = RunRunning;
            display_.observer().graphStarted(c);
        }
    }
    if (first)
        startRunClock();
    // A channel started while others run times its steps from its own start.
    const qint64 startMs = first ? runStartMs_ : runClockMs();
    for (int c = 0; c < kChannelCount; ++c) {
        if (started[c]) {
            channels_[c].startMs = startMs;
            channels_[c].startTime = static_cast<double>(startMs) / 1000.0;
        }
    }
}

void RunEngine::startRunClock()
{
    phase_ = Phase::Active;
    runSoftwareControl_ = softwareControl();
    const int stepPeriod = runSoftwareControl_ ? StepSchedule::stepTimerPeriodMs(settings_.Unit) : 0;
    const int monitorPeriod = monitor_.isActive() && !stepEndTiming() ? monitor_.intervalMs() : 0;
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
            markAllError();
        } else {
            display_.showStopped(channel);
            state.state = RunStopped;
            if (!monitor_.storeAfterProcessing(channel, timeTextNow(), runSeconds()))
                markError(channel);
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
        markAllError();
    if (keepOpen) {
        const auto readings = monitor_.readRunningChannels();
        for (int c = 0; c < kChannelCount; ++c) {
            if (readings[c] == RunMonitor::Reading::Failed)
                markError(c);
        }
        monitor_.storeLine(timeTextNow(), runSeconds(), false);
        // The readings were the last use of the link.
        port_.Close();
    }
    for (ChannelRunState& channel : channels_) {
        if (channel.isRunning())
            channel.state = RunStopped;
    }
    beginFinishing();
}

void RunEngine::shutDown()
{
    if (handlerDepth_ > 0) {
        stopAllPending_ = true;
        return;
    }
    StopAll();
    settlePreviousRun();
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
    beginFinishing();
}

void RunEngine::beginFinishing()
{
    // The log is written by the save tick, 50 ms later.
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
    const qint64 elapsed = std::max<qint64>(0, clock_.calendarNow().toSecsSinceEpoch() - runStartCalendar_);

    ChannelTexts conditions;
    bool conditionsRead = false;
    if (runSoftwareControl_) {
        conditionsRead = device_.QueryStatus(conditions) != 0;
        if (!conditionsRead)
            markAllError();
    } else {
        pollPrograms();
    }

    for (int c = 0; c < kChannelCount; ++c) {
        if (!channels_[c].selected || !channels_[c].isRunning())
            continue;
        display_.showElapsed(c, elapsed);
        // An alarm changes only the display; the sequence goes on.
        if (conditionsRead)
            display_.showCondition(c, conditions[c]);
    }

    if (!anyRunning()) {
        endRun();
        return;
    }
    if (runSoftwareControl_)
        display_.advanceGraphPasses();
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
        markAllError();
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
                markError(c);
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
    const QString time = timeTextNow();
    const double seconds = runSeconds();
    const auto readings = monitor_.readRunningChannels();
    for (int c = 0; c < kChannelCount; ++c) {
        if (readings[c] == RunMonitor::Reading::Failed)
            abandonChannel(c);
    }
    for (int c = 0; c < kChannelCount; ++c) {
        if (readings[c] == RunMonitor::Reading::Read && channels_[c].isRunning())
            trip(c, monitor_.checkProtection(c));
    }
    if (settings_.File == 1)
        storeLine(time, seconds, true);
}

void RunEngine::trip(int channel, RunMonitor::Trip trip)
{
    if (trip == RunMonitor::Trip::None)
        return;
    const bool underVoltage = trip == RunMonitor::Trip::UnderVoltage;
    channels_[channel].state = underVoltage ? RunUvpTrip : RunUcpTrip;
    display_.observer().graphStopped(channel);
    // A protection limit always takes the load off, whatever Last Load OFF says: a battery under
    // test must not go on discharging below it. A failed stop shows "Error"; the state stays.
    if (device_.StopChannel(channel))
        display_.showStatus(channel, underVoltage ? Status::Uvp : Status::Ucp);
    else
        display_.showError(channel);
}

void RunEngine::markError(int channel)
{
    channels_[channel].state = RunError;
    display_.observer().graphStopped(channel);
    display_.showError(channel);
}

void RunEngine::abandonChannel(int channel)
{
    markError(channel);
    // Nothing steps, reads or protects the channel any more (its under-voltage check among
    // them): while the link still takes commands its load goes off, whatever Last Load OFF says.
    // On a link that is gone this fails with nothing more to tell.
    port_.Write(QStringLiteral("INST:NSEL %1;:").arg(numbers_[channel]) +
                (runSoftwareControl_ ? QStringLiteral("OUTP 0") : QStringLiteral("PROG:STAT STOP")));
}

void RunEngine::markAllError()
{
    for (int c = 0; c < kChannelCount; ++c) {
        if (channels_[c].selected && channels_[c].isRunning())
            abandonChannel(c);
    }
    display_.showRunIdle();
}

void RunEngine::storeLine(const QString& time, double seconds, bool cutFirst)
{
    if (!monitor_.storeLine(time, seconds, cutFirst))
        markAllError();
}

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
    if (stepEndReading && settings_.File == 1 && !monitor_.storeStepEndLine(time, seconds))
        markAllError();
    if (finalReading)
        storeLine(time, seconds, false);
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
    SoftwareStepper::StepEndReader reader;
    if (monitor_.isActive() && stepEndTiming()) {
        reader = [this, channel, &stepEndReading] {
            stepEndReading = true;
            return monitor_.takeStepEndReading(channel);
        };
    }
    switch (stepper.step(runClockMs() - state.startMs, reader)) {
    case SoftwareStepper::Outcome::WriteFailed:
        return false;
    case SoftwareStepper::Outcome::ReadingFailed:
        abandonChannel(channel);
        return true;
    case SoftwareStepper::Outcome::PassesDone:
        break;
    default:
        display_.showProgress(channel);
        return true;
    }

    // The last pass is over.
    if (!device_.StopChannelIfNeeded(channel)) {
        markAllError();
        return false;
    }
    state.state = RunIdle;
    display_.observer().graphStopped(channel);
    display_.showEnded(channel, false, settings_.RepeatCh[channel], stepCount(channel));
    if (monitor_.loggingAfterProcessing()) {
        finalReading = true;
        if (!monitor_.takeLineReading(channel))
            markError(channel);
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
    markAllError();
    return false;
}

bool RunEngine::anyRunning() const
{
    return std::any_of(channels_.begin(), channels_.end(),
                       [](const ChannelRunState& channel) { return channel.isRunning(); });
}

int RunEngine::stepCount(int channel) const
{
    const ChannelSequence* steps = sequence(channel);
    return steps ? steps->stepCount() : 0;
}

const ChannelSequence* RunEngine::sequence(int channel) const
{
    const CMainDoc* document = document_.get();
    return document ? &document->channel(channel) : nullptr;
}

QString RunEngine::timeTextNow() const
{
    return RunFormats::passTimeText(runSeconds(), settings_.PassTime);
}
