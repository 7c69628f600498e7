#include "run/RunMonitor.h"

#include "instrument/CKdrxDevice.h"
#include "model/AppSettings.h"
#include "model/DecimalText.h"
#include "run/RunFormats.h"
#include "run/RunPanelDisplay.h"
#include "ui/Clock.h"
#include "ui/UserPrompt.h"

#include <algorithm>

RunMonitor::RunMonitor(AppSettings& settings, CKdrxDevice& device, UserPrompt& prompt, Clock& clock,
                       std::array<ChannelRunState, kChannelCount>& channels, RunPanelDisplay& display)
    : settings_(settings), device_(device), prompt_(prompt), clock_(clock), channels_(channels),
      display_(display)
{
}

RunMonitor::~RunMonitor() = default;

bool RunMonitor::logging() const
{
    return active_ && settings_.File == 1;
}

bool RunMonitor::loggingAfterProcessing() const
{
    return logging() && settings_.MonEnd == 1;
}

int RunMonitor::intervalMs() const
{
    return std::clamp(settings_.MonitorTime, kMinIntervalMs, kMaxIntervalMs);
}

void RunMonitor::showCaption()
{
    // A cut that the log does not make (in memory, or a period of 0) is not named.
    caption_ = RunFormats::monitoringCaption(settings_, active_, intervalMs(),
                                             MonitorLog::optionsFrom(settings_).cut);
    if (log_)
        caption_ += QLatin1Char(' ') + log_->displayedName();
    display_.observer().captionChanged(caption_);
}

bool RunMonitor::openLog(const std::array<bool, kChannelCount>& starting)
{
    QString prefix;
    for (int c = 0; c < kChannelCount; ++c) {
        if (starting[c])
            prefix += RunFormats::modePrefix(settings_.ModeCh[c]);
    }
    log_ = std::make_unique<MonitorLog>(MonitorLog::optionsFrom(settings_));
    if (!log_->open(prefix, clock_.calendarNow())) {
        display_.observer().logNotCreated(log_->path(), log_->errorText());
        log_.reset();
        return false;
    }
    showCaption();
    display_.observer().logOpened(log_->path());
    tellWriteFailure();
    return true;
}

void RunMonitor::discardLog()
{
    if (!log_)
        return;
    log_->discard();
    log_.reset();
    showCaption();
}

void RunMonitor::finishLog()
{
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
        if (log_->createFailed())
            display_.observer().logNotCreated(log_->path(), log_->errorText());
        else
            tellWriteFailure();
        // Also after a failed write the panels show what they showed before.
        for (int c = 0; c < kChannelCount; ++c) {
            if (channels_[c].selected)
                display_.showStatusText(c, kept[c]);
        }
        display_.showRunIdle();
        display_.observer().logFinished(log_->path(), ok);
    }
    log_.reset();
    showCaption();
}

bool RunMonitor::measure(int channel)
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

void RunMonitor::clearReading(int channel)
{
    displayedCurrent_[channel].clear();
    displayedVoltage_[channel].clear();
    display_.clearReadings(channel);
}

bool RunMonitor::takeLineReading(int channel)
{
    const bool ok = measure(channel);
    lineCurrent_[channel] = displayedCurrent_[channel];
    lineVoltage_[channel] = displayedVoltage_[channel];
    return ok;
}

void RunMonitor::setLineTexts(int channel, const QString& current, const QString& voltage)
{
    lineCurrent_[channel] = current;
    lineVoltage_[channel] = voltage;
}

void RunMonitor::clearLineTexts()
{
    for (int c = 0; c < kChannelCount; ++c)
        clearLineTexts(c);
}

void RunMonitor::clearLineTexts(int channel)
{
    lineCurrent_[channel].clear();
    lineVoltage_[channel].clear();
}

bool RunMonitor::takeStepEndReading(int channel)
{
    const bool ok = measure(channel);
    stepEndCurrent_[channel] = displayedCurrent_[channel];
    stepEndVoltage_[channel] = displayedVoltage_[channel];
    return ok;
}

void RunMonitor::clearStepEndTexts()
{
    for (int c = 0; c < kChannelCount; ++c) {
        stepEndCurrent_[c].clear();
        stepEndVoltage_[c].clear();
    }
}

bool RunMonitor::storeLine(const QString& time, double runSeconds, bool cutFirst)
{
    return store(time, lineCurrent_, lineVoltage_, runSeconds, cutFirst);
}

bool RunMonitor::storeStepEndLine(const QString& time, double runSeconds)
{
    return store(time, stepEndCurrent_, stepEndVoltage_, runSeconds, true);
}

bool RunMonitor::store(const QString& time, const ChannelTexts& currents, const ChannelTexts& voltages,
                       double runSeconds, bool cutFirst)
{
    if (!log_)
        return true;
    if (cutFirst) {
        switch (log_->cutIfDue(runSeconds)) {
        case MonitorLog::CutResult::NotDue:
            break;
        case MonitorLog::CutResult::Cut:
            showCaption();
            display_.observer().logCut(log_->path());
            break;
        case MonitorLog::CutResult::Failed:
            // No log exists for the rest of the run, so the save step finds none.
            display_.observer().logNotCreated(log_->path(), log_->errorText());
            log_->discard();
            log_.reset();
            return false;
        }
    }
    log_->store(RunFormats::dataLine(time, currents, voltages, log_->options().separator));
    tellWriteFailure();
    return true;
}

void RunMonitor::tellWriteFailure()
{
    if (log_ && log_->takeWriteFailure())
        display_.observer().logWriteFailed(log_->path(), log_->errorText());
}

void RunMonitor::storeBeforeProcessing(const std::array<bool, kChannelCount>& started,
                                       const ChannelTexts& currents, const ChannelTexts& voltages,
                                       const QString& time)
{
    if (!logging() || settings_.MonStart != 1)
        return;
    for (int c = 0; c < kChannelCount; ++c) {
        if (started[c])
            setLineTexts(c, currents[c], voltages[c]);
    }
    store(time, lineCurrent_, lineVoltage_, 0.0, false);
}

bool RunMonitor::storeAfterProcessing(int channel, const QString& time, double runSeconds)
{
    if (!loggingAfterProcessing())
        return true;
    const bool ok = takeLineReading(channel);
    store(time, lineCurrent_, lineVoltage_, runSeconds, false);
    return ok;
}

std::array<RunMonitor::Reading, kChannelCount> RunMonitor::readRunningChannels()
{
    std::array<Reading, kChannelCount> readings{};
    for (int c = 0; c < kChannelCount; ++c) {
        if (!channels_[c].isRunning()) {
            clearLineTexts(c);
            readings[c] = Reading::NotRunning;
        } else {
            readings[c] = takeLineReading(c) ? Reading::Read : Reading::Failed;
        }
    }
    return readings;
}

RunMonitor::Trip RunMonitor::checkProtection(int channel)
{
    ChannelRunState& state = channels_[channel];
    if (state.skipFirstCheck) {
        state.skipFirstCheck = false;
        return Trip::None;
    }
    if (settings_.UvpOn[channel] == 1 && settings_.Volt == 1 &&
        decimalValue(displayedVoltage_[channel]) <= settings_.Uvp[channel])
        return Trip::UnderVoltage;
    if (settings_.UcpOn[channel] == 1 && settings_.Curr == 1 &&
        decimalValue(displayedCurrent_[channel]) <= settings_.Ucp[channel])
        return Trip::UnderCurrent;
    return Trip::None;
}
