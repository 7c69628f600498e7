#include "run/RunPanelDisplay.h"

#include "run/RunFormats.h"

RunPanelDisplay::RunPanelDisplay(std::array<ChannelRunState, kChannelCount>& channels) : channels_(channels)
{
}

QString RunPanelDisplay::statusText(Status status)
{
    switch (status) {
    case Status::Standby:
        return QStringLiteral("Standby");
    case Status::Running:
        return QStringLiteral("Running");
    case Status::Stop:
        return QStringLiteral("Stop");
    case Status::End:
        return QStringLiteral("End");
    case Status::Error:
        return QStringLiteral("Error");
    case Status::Alarm:
        return QStringLiteral("ALARM");
    case Status::Uvp:
        return QStringLiteral("UVP");
    case Status::Ucp:
        return QStringLiteral("UCP");
    }
    return QString();
}

RunColor RunPanelDisplay::textColor(Status status)
{
    return status == Status::Error ? RunColors::white : RunColors::black;
}

RunColor RunPanelDisplay::backgroundColor(Status status)
{
    switch (status) {
    case Status::Running:
        return RunColors::green;
    case Status::Stop:
    case Status::Alarm:
    case Status::Uvp:
    case Status::Ucp:
        return RunColors::yellow;
    case Status::Error:
        return RunColors::red;
    case Status::Standby:
    case Status::End:
        break;
    }
    return RunColors::lightGrey;
}

void RunPanelDisplay::preparePanel(int channel, const PanelSetup& setup)
{
    ChannelRunState& state = channels_[channel];
    showStatus(channel, Status::Standby);
    observer_->countChanged(channel, QStringLiteral("--"));
    observer_->stepChanged(channel, QStringLiteral("--"));
    observer_->elapsedChanged(channel, QStringLiteral("--"));
    if (setup.software)
        observer_->totalsChanged(channel, QStringLiteral("/ %1").arg(setup.repeatCount),
                                 QStringLiteral("/ %1").arg(setup.stepCount));
    state.runButtonActive = false;
    state.noData = setup.software && setup.stepCount == 0;
    checked_[channel] = !state.noData && setup.ticked;
    followCheckBox(channel, setup.monitorCurrent, setup.monitorVoltage);
}

bool RunPanelDisplay::anyChecked() const
{
    for (bool checked : checked_) {
        if (checked)
            return true;
    }
    return false;
}

void RunPanelDisplay::copyChecksTo(std::array<int, kChannelCount>& runCh) const
{
    for (int c = 0; c < kChannelCount; ++c)
        runCh[c] = checked_[c] ? 1 : 0;
}

void RunPanelDisplay::clickCheck(int channel, bool checked, bool monitorCurrent, bool monitorVoltage)
{
    const ChannelRunState& state = channels_[channel];
    if (state.noData || (state.isRunning() && state.selected))
        return;
    checked_[channel] = checked;
    if (!anyChecked()) {
        checked_[channel] = true;
        showCheckBox(channel, true);
    }
    followCheckBox(channel, monitorCurrent, monitorVoltage);
    if (!state.runButtonActive)
        showRunButton(channel, false);
}

void RunPanelDisplay::showStatus(int channel, Status status)
{
    shownStatus_[channel] = statusText(status);
    observer_->statusChanged(channel, shownStatus_[channel], textColor(status), backgroundColor(status));
}

void RunPanelDisplay::showStatusText(int channel, const QString& text)
{
    shownStatus_[channel] = text;
    observer_->statusTextChanged(channel, text);
}

void RunPanelDisplay::showCondition(int channel, const QString& condition)
{
    ChannelRunState& state = channels_[channel];
    if (condition != QLatin1String("0")) {
        showStatus(channel, Status::Alarm);
        state.alarm = true;
    } else if (state.alarm) {
        showStatus(channel, Status::Running);
        state.alarm = false;
    }
}

void RunPanelDisplay::showLeftOut(int channel)
{
    showStatus(channel, Status::Standby);
    showRunButton(channel, false);
    clearReadings(channel);
}

void RunPanelDisplay::showStarting(int channel)
{
    showStatus(channel, Status::Running);
    observer_->elapsedChanged(channel, QStringLiteral("00:00:00"));
    channels_[channel].graphCycle = 1;
    showRunButton(channel, true);
}

void RunPanelDisplay::showTransferTotals(const TransferProcedures::RunWindowTotals& totals)
{
    transferTotals_ = totals;
    transferTotalsSet_ = true;
    for (int c = 0; c < kChannelCount; ++c) {
        if (channels_[c].isRunning())
            continue;
        if (totals[c].active) {
            showStatus(c, Status::Standby);
            observer_->countChanged(c, QStringLiteral("--"));
            observer_->stepChanged(c, QStringLiteral("--"));
            observer_->elapsedChanged(c, QStringLiteral("--"));
        }
        showRunButton(c, false);
        showPanelTotals(c);
    }
}

void RunPanelDisplay::showPanelTotals(int channel)
{
    if (!transferTotalsSet_)
        return;
    const TransferProcedures::RunPanelTotals& totals = transferTotals_[channel];
    observer_->totalsChanged(channel, totals.loopTotal, totals.stepTotal);
}

void RunPanelDisplay::showProgress(int channel)
{
    observer_->countChanged(channel, QString::number(channels_[channel].repetition));
    observer_->stepChanged(channel, QString::number(channels_[channel].stepIndex + 1));
}

void RunPanelDisplay::showElapsed(int channel, qint64 seconds)
{
    observer_->elapsedChanged(channel, RunFormats::elapsedText(seconds));
    observer_->dayChanged(channel, RunFormats::dayText(seconds));
}

void RunPanelDisplay::advanceGraphPasses()
{
    for (int c = 0; c < kChannelCount; ++c) {
        if (channels_[c].selected && observer_->graphPassDrawn(c)) {
            observer_->resetGraphPass(c);
            ++channels_[c].graphCycle;
        }
    }
}

void RunPanelDisplay::clearReadings(int channel)
{
    observer_->currentChanged(channel, QString());
    observer_->voltageChanged(channel, QString());
}

void RunPanelDisplay::showRunButton(int channel, bool active)
{
    channels_[channel].runButtonActive = active;
    if (active)
        observer_->runButtonChanged(channel, QStringLiteral("Stop"), true);
    else
        observer_->runButtonChanged(channel, QStringLiteral("Run"),
                                    checked_[channel] && !channels_[channel].noData);
}

void RunPanelDisplay::showCheckBox(int channel, bool enabled)
{
    observer_->channelCheckChanged(channel, checked_[channel], enabled);
}

void RunPanelDisplay::showStopped(int channel)
{
    showStatus(channel, Status::Stop);
    showRunButton(channel, false);
}

void RunPanelDisplay::showEnded(int channel, bool hardwareControl, int repeatCount, int stepCount)
{
    showStatus(channel, Status::End);
    if (hardwareControl) {
        observer_->countChanged(channel, QString::number(repeatCount));
        observer_->stepChanged(channel, QString::number(stepCount));
    }
    showRunButton(channel, false);
}

void RunPanelDisplay::showRunActive()
{
    observer_->runAllEnabled(false);
    observer_->closeEnabled(false);
    observer_->stopAllEnabled(true);
}

void RunPanelDisplay::showRunIdle()
{
    for (int c = 0; c < kChannelCount; ++c) {
        showCheckBox(c, !channels_[c].noData);
        showRunButton(c, false);
    }
    observer_->runAllEnabled(true);
    observer_->closeEnabled(true);
    observer_->stopAllEnabled(false);
}

void RunPanelDisplay::disableAllButtons()
{
    for (int c = 0; c < kChannelCount; ++c) {
        observer_->runButtonChanged(
            c, channels_[c].runButtonActive ? QStringLiteral("Stop") : QStringLiteral("Run"), false);
        observer_->channelCheckChanged(c, checked_[c], false);
    }
    observer_->runAllEnabled(false);
    observer_->stopAllEnabled(false);
    observer_->closeEnabled(false);
}

void RunPanelDisplay::followCheckBox(int channel, bool monitorCurrent, bool monitorVoltage)
{
    const bool enabled = checked_[channel] && !channels_[channel].noData;
    observer_->panelEnabled(channel, enabled, enabled && monitorCurrent, enabled && monitorVoltage);
}
