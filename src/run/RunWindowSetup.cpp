#include "run/RunWindowSetup.h"

#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CurrentDocument.h"
#include "run/RunMonitor.h"
#include "run/RunPanelDisplay.h"

RunWindowSetup::RunWindowSetup(AppSettings& settings, CurrentDocument& document,
                               const std::array<ChannelRunState, kChannelCount>& channels,
                               RunPanelDisplay& display, RunMonitor& monitor)
    : settings_(settings), document_(document), channels_(channels), display_(display), monitor_(monitor)
{
}

bool RunWindowSetup::softwareControl() const
{
    return settings_.SeqCtl != HardwareControl;
}

int RunWindowSetup::stepCount(int channel) const
{
    const CMainDoc* document = document_.get();
    return document ? document->channel(channel).stepCount() : 0;
}

void RunWindowSetup::prepare()
{
    if (CMainDoc* document = document_.get()) {
        for (int c = 0; c < kChannelCount; ++c)
            document->recomputeTimes(c, 0);
    }
    monitor_.showCaption();
    const bool software = softwareControl();
    display_.observer().lastLoadOffVisible(software);
    for (int c = 0; c < kChannelCount; ++c) {
        monitor_.clearReading(c);
        // Under Hardware Control the totals are the transfer's; every panel stays usable.
        display_.preparePanel(c, {software, settings_.RepeatCh[c], stepCount(c), settings_.RunCh[c] != 0,
                                  settings_.Curr == 1, settings_.Volt == 1});
        if (!software)
            display_.showPanelTotals(c);
    }
    display_.showRunIdle();
}

void RunWindowSetup::clickChannelCheck(int channel, bool checked)
{
    if (channel >= 0 && channel < kChannelCount)
        display_.clickCheck(channel, checked, settings_.Curr == 1, settings_.Volt == 1);
}

void RunWindowSetup::storeChecks()
{
    display_.copyChecksTo(settings_.RunCh);
}

void RunWindowSetup::setLastLoadOff(int channel, bool on)
{
    if (channel >= 0 && channel < kChannelCount)
        settings_.OutOffCh[channel] = on ? 1 : 0;
}

void RunWindowSetup::showTransferTotals(const TransferProcedures::RunWindowTotals& totals)
{
    display_.showTransferTotals(totals);
    for (int c = 0; c < kChannelCount; ++c) {
        if (!channels_[c].isRunning() && totals[c].active)
            monitor_.clearReading(c);
    }
}
