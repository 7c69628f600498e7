#pragma once

#include "instrument/TransferProcedures.h"
#include "model/SequenceTypes.h"
#include "run/RunObserver.h"
#include "run/RunState.h"
#include "run/UnattendedRun.h"

#include <QString>
#include <array>

// The Run dialog's channel panels and run-wide buttons as the run engine drives them: the status
// texts and colours, the Run buttons, the channel check boxes and the enabling rules. It keeps the
// check boxes' state, the status text each panel shows and the panels' button flags (noData,
// runButtonActive), and reports every change to the observer. It never moves a channel's run
// state: that is the engine's alone.
class RunPanelDisplay {
public:
    enum class Status { Standby, Running, Stop, End, Error, Alarm, Uvp, Ucp };

    explicit RunPanelDisplay(std::array<ChannelRunState, kChannelCount>& channels);

    void setObserver(RunObserver* observer) { observer_ = observer ? observer : &nullObserver_; }
    RunObserver& observer() { return *observer_; }

    static QString statusText(Status status);
    static RunColor textColor(Status status);
    static RunColor backgroundColor(Status status);

    // What a panel is prepared from when the Run window opens.
    struct PanelSetup {
        bool software = true;
        int repeatCount = 1;
        int stepCount = 0;
        bool ticked = false; // RunCh
        bool monitorCurrent = false;
        bool monitorVoltage = false;
    };
    // Standby, "--" in Count, Step and Elapsed, the totals under Software Control; a channel
    // without steps under Software Control (noData) gets its box cleared and its panel disabled.
    void preparePanel(int channel, const PanelSetup& setup);

    bool isChecked(int channel) const { return checked_[channel]; }
    bool anyChecked() const;
    // "Close": the boxes as RunCh.
    void copyChecksTo(std::array<int, kChannelCount>& runCh) const;
    // A channel check box clicked: a box cannot be cleared when it is the last ticked one, and a
    // channel without data or one that runs keeps its box; the panel follows the box.
    void clickCheck(int channel, bool checked, bool monitorCurrent, bool monitorVoltage);

    void showStatus(int channel, Status status);
    // The text alone, colours unchanged.
    void showStatusText(int channel, const QString& text);
    QString shownStatusText(int channel) const { return shownStatus_[channel]; }

    // A running channel's questionable condition: "ALARM" while it is not "0", "Running" again once
    // it clears. Only the display changes.
    void showCondition(int channel, const QString& condition);
    // A channel left out of Run all: Standby, Run button "Run", no readings.
    void showLeftOut(int channel);
    // A channel being started: status "Running", elapsed "00:00:00", its Run button "Stop"; its
    // live graph counts passes from 1.
    void showStarting(int channel);
    // The totals the Transfer dialog wrote into the instrument (Hardware Control): shown at once on
    // the panels that are not running, the transferred ones back at Standby, and again whenever the
    // window opens.
    void showTransferTotals(const TransferProcedures::RunWindowTotals& totals);
    const TransferProcedures::RunWindowTotals& transferTotals() const { return transferTotals_; }
    void showPanelTotals(int channel);
    // The Count field shows the channel's pass and the Step field its step, both from 1.
    void showProgress(int channel);
    // The Elapsed Time and day fields of a running channel.
    void showElapsed(int channel, qint64 seconds);
    // Under Software Control: every selected channel whose live graph has drawn a whole pass starts
    // the next one (graphCycle counts them).
    void advanceGraphPasses();
    // Empties the Current and Voltage fields.
    void clearReadings(int channel);
    // "Stop" (enabled) while the channel is active, otherwise "Run", enabled when its channel has
    // data and its check box is ticked.
    void showRunButton(int channel, bool active);
    void showCheckBox(int channel, bool enabled);
    // Stop display: status "Stop", Run button "Run", runButtonActive cleared.
    void showStopped(int channel);
    // End display: status "End", Run button "Run", runButtonActive cleared; under Hardware Control
    // the Count field shows the repeat count and the Step field the step count.
    void showEnded(int channel, bool hardwareControl, int repeatCount, int stepCount);
    // Error display: status "Error" in white on red.
    void showError(int channel) { showStatus(channel, Status::Error); }

    // While a run is active: "&Run all" and "Close" disabled, "&Stop all" enabled.
    void showRunActive();
    // After a run, after Stop all and after every channel was marked "Error": "&Run all" and
    // "Close" enabled, "&Stop all" disabled; check boxes enabled unless the channel has no data;
    // Run buttons read "Run" and are enabled with data and a ticked box; runButtonActive cleared.
    void showRunIdle();
    // Disables every Run button, check box and run-wide button (while the log is written).
    void disableAllButtons();
    // The panel's fields follow the check box (Current and Voltage also need their monitoring);
    // a channel without data has everything disabled.
    void followCheckBox(int channel, bool monitorCurrent, bool monitorVoltage);

private:
    std::array<ChannelRunState, kChannelCount>& channels_;
    std::array<bool, kChannelCount> checked_{};
    std::array<QString, kChannelCount> shownStatus_;
    TransferProcedures::RunWindowTotals transferTotals_{};
    bool transferTotalsSet_ = false;
    UnattendedRun nullObserver_;
    RunObserver* observer_ = &nullObserver_;
};
