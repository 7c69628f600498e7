#pragma once

#include "instrument/TransferProcedures.h"
#include "model/SequenceTypes.h"
#include "run/RunState.h"

#include <array>

class CurrentDocument;
class RunMonitor;
class RunPanelDisplay;
struct AppSettings;

// The Run window around its runs: the panels prepared when it opens, the channel boxes and the
// "Last Load OFF" boxes taken into the settings, and the totals a transfer leaves on the panels. It
// shows and keeps settings only; no channel's run state moves here.
class RunWindowSetup {
public:
    RunWindowSetup(AppSettings& settings, CurrentDocument& document,
                   const std::array<ChannelRunState, kChannelCount>& channels, RunPanelDisplay& display,
                   RunMonitor& monitor);

    // Opening, once no run is left: the steps' end times from their intervals (whichever view last
    // showed the document), the caption, every panel at Standby with "--", the totals by control
    // method (the transfer's under Hardware Control), the boxes from RunCh, and a channel without
    // steps under Software Control disabled.
    void prepare();
    // A channel check box clicked: the last ticked box cannot be cleared.
    void clickChannelCheck(int channel, bool checked);
    // "Close": the check boxes go back into RunCh.
    void storeChecks();
    // A "Last Load OFF" box clicked: the channel's OutOffCh takes its value at once.
    void setLastLoadOff(int channel, bool on);
    // After a write or read a transferred channel's panel is reset (Standby, "--", Run button "Run",
    // no readings) and shows the totals of its program; any other panel loses its totals and its
    // Run button is no longer active. Running channels are left alone.
    void showTransferTotals(const TransferProcedures::RunWindowTotals& totals);

private:
    bool softwareControl() const;
    // The channel's steps in the current document; 0 without a document.
    int stepCount(int channel) const;

    AppSettings& settings_;
    CurrentDocument& document_;
    const std::array<ChannelRunState, kChannelCount>& channels_;
    RunPanelDisplay& display_;
    RunMonitor& monitor_;
};
