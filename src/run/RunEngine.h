#pragma once

#include "instrument/ChannelNumbers.h"
#include "instrument/TransferProcedures.h"
#include "run/RunMonitor.h"
#include "run/RunPanelDisplay.h"
#include "run/RunState.h"
#include "run/RunTimers.h"

#include <QString>
#include <array>

class CInstrumentPort;
class CKdrxDevice;
class CurrentDocument;
class Clock;
class RunObserver;
class TimerService;
class UserPrompt;
struct AppSettings;
struct ChannelSequence;

// Executes the current document's sequences on the load and shows their progress: the engine of
// the Run dialog (CRunDlg), which only displays what the observer is told and forwards its button
// presses here. Under Software Control the PC steps the sequences (ramps, repeats, Last Load OFF);
// under Hardware Control it starts the instrument's programs and polls them. While a run is active
// it measures, checks the under-voltage and under-current limits and writes the monitoring log.
//
// Everything runs on the thread of the timer service, driven by four timers (RunTimers): status
// (2000 ms), monitor (MonitorTime), save (50 ms, once) and step (500 ms with unit s, 1000 ms
// otherwise).
class RunEngine {
public:
    // The range of the monitoring interval that the engine accepts.
    static constexpr int kMinMonitorMs = 500;
    static constexpr int kMaxMonitorMs = 600000;

    // How the ticks of a Software Control run are timed (RunTimers): on the run's grid, or the
    // plain periodic timers (kept for comparison in bench/).
    using StepTickPhasing = RunTimers::Phasing;

    RunEngine(AppSettings& settings, CurrentDocument& document, CInstrumentPort& port, CKdrxDevice& device,
              const ChannelNumbers& numbers, UserPrompt& prompt, Clock& clock, TimerService& timers);
    ~RunEngine();
    RunEngine(const RunEngine&) = delete;
    RunEngine& operator=(const RunEngine&) = delete;

    void setObserver(RunObserver* observer) { display_.setObserver(observer); }
    void setStepTickPhasing(StepTickPhasing phasing) { timers_.setPhasing(phasing); }

    // The dialog.
    // Opening: monitoringActive is fixed, the caption set, every panel shows Standby and "--", the
    // totals and Last Load OFF follow the control method, the check boxes are taken from RunCh
    // and a channel without steps under Software Control is disabled.
    void prepareDialog();
    // "Close": the check boxes go back into RunCh.
    void closeDialog();
    // The dialog ended another way (Esc): a run in progress is stopped as Stop all stops it.
    void dismissDialog();
    // A channel check box clicked: the last ticked box cannot be cleared.
    void clickChannelCheck(int channel, bool checked);
    // A "Last Load OFF" box clicked: the channel's OutOffCh takes its value at once.
    void setLastLoadOff(int channel, bool on);
    // Forgets the per-channel progress (after a file was read or the control method changed);
    // running channels keep theirs.
    void clearProgress();

    // The Transfer and Initial Settings dialogs' changes to the panels. After a write or read a
    // transferred channel's panel is reset (Standby, "--", Run button "Run") and shows the totals
    // of its program; any other panel loses its totals and its Run button is no longer active.
    // After a range write every panel is so. Running channels are left alone. Under Hardware
    // Control the panels show the last of these totals whenever the dialog opens.
    void showTransferTotals(const TransferProcedures::RunWindowTotals& totals);
    void clearTransferTotals();
    const TransferProcedures::RunWindowTotals& transferTotals() const { return transferTotals_; }

    // The buttons.
    void ToggleChannel(int channel);
    void RunAll();
    void StopAll();

    // State.
    const ChannelRunState& channelState(int channel) const { return channels_[channel]; }
    bool isChecked(int channel) const { return display_.isChecked(channel); }
    bool anyRunning() const;
    // Timers run or the log is still to be written.
    bool isRunActive() const { return phase_ != Phase::Idle; }
    bool monitoringActive() const { return monitor_.isActive(); }
    double unitFactor() const { return unitFactor_; }
    // The run clock at the run's first start, in milliseconds.
    qint64 runStartMs() const { return runStartMs_; }
    QString caption() const { return monitor_.caption(); }
    // The log file being written (or to be written); empty without a log.
    QString logPath() const { return monitor_.logPath(); }

private:
    enum class Phase { Idle, Active, Finishing };
    class HandlerScope;

    void startChannel(int channel);
    void stopChannel(int channel);
    void showStarting(int channel);
    void initialiseChannel(int channel);
    void startRunClock();
    void settlePreviousRun();
    void showPanelTotals(int channel);
    void endRun();
    void finishRun();

    void onStatusTick();
    void pollPrograms();
    void onMonitorTick();
    void onSaveTick();
    void onStepTick();
    // One channel in a step tick; false when the tick is abandoned (a write failed).
    bool stepChannel(int channel, bool& stepEndReading, bool& finalReading);
    bool writeChannel(int channel, const QString& command);

    const ChannelSequence* sequence(int channel) const;
    int stepCount(int channel) const;
    qint64 runClockMs() const;
    double runSeconds() const;
    QString timeTextNow() const;
    bool softwareControl() const;
    bool stepEndTiming() const;

    AppSettings& settings_;
    CurrentDocument& document_;
    CInstrumentPort& port_;
    CKdrxDevice& device_;
    const ChannelNumbers& numbers_;
    UserPrompt& prompt_;
    Clock& clock_;

    std::array<ChannelRunState, kChannelCount> channels_{};
    RunPanelDisplay display_{channels_};
    RunMonitor monitor_;
    RunTimers timers_;

    Phase phase_ = Phase::Idle;
    bool runSoftwareControl_ = true;
    qint64 runStartMs_ = 0;
    qint64 runStartCalendar_ = 0;
    double unitFactor_ = 1.0;
    int handlerDepth_ = 0;
    bool stopAllPending_ = false;
    TransferProcedures::RunWindowTotals transferTotals_{};
    bool transferTotalsSet_ = false;
};
