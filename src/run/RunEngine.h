#pragma once

#include "instrument/ChannelNumbers.h"
#include "instrument/TransferProcedures.h"
#include "model/AppSettings.h"
#include "run/RunMonitor.h"
#include "run/RunPanelDisplay.h"
#include "run/RunState.h"
#include "run/RunTimers.h"
#include "run/RunWindowSetup.h"
#include "ui/Clock.h"

#include <QString>
#include <array>
#include <cmath>

class CInstrumentPort;
class CKdrxDevice;
class CurrentDocument;
class RunObserver;
class TimerService;
class UserPrompt;
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
    static constexpr int kMinMonitorMs = RunMonitor::kMinIntervalMs;
    static constexpr int kMaxMonitorMs = RunMonitor::kMaxIntervalMs;

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

    // The dialog (RunWindowSetup keeps what it shows and stores outside a run).
    // Opening: a run somehow still going is stopped and the one before settled, monitoringActive
    // is fixed and the panels are prepared.
    void prepareDialog();
    // "Close": the check boxes go back into RunCh.
    void closeDialog() { window_.storeChecks(); }
    // The dialog is asked to end another way (Esc, a close request). While a run is active this
    // is refused (false) and nothing changes: the loads go on as the sequences say, and Stop all
    // or the channels' Stop buttons end them. Otherwise the dialog may end without copying back.
    bool dismissDialog() const { return !anyRunning(); }
    void clickChannelCheck(int channel, bool checked) { window_.clickChannelCheck(channel, checked); }
    void setLastLoadOff(int channel, bool on) { window_.setLastLoadOff(channel, on); }
    // Forgets the per-channel progress (after a file was read or the control method changed);
    // running channels keep theirs.
    void clearProgress();

    // The Transfer and Initial Settings dialogs' changes to the panels; after a range write every
    // panel loses its totals. Under Hardware Control the panels show the last of these totals
    // whenever the dialog opens.
    void showTransferTotals(const TransferProcedures::RunWindowTotals& totals)
    {
        window_.showTransferTotals(totals);
    }
    void clearTransferTotals() { showTransferTotals(TransferProcedures::RunWindowTotals{}); }
    const TransferProcedures::RunWindowTotals& transferTotals() const { return display_.transferTotals(); }

    // The buttons.
    void ToggleChannel(int channel);
    void RunAll();
    void StopAll();
    // The program ends: a run still active is stopped as Stop all stops it, and its log is
    // written now rather than by the save tick. Inside a handler the stop waits for its end.
    void shutDown();

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

    // Marks the engine busy while a handler runs. A message box shown inside a handler may let
    // timers fire; their ticks are then left out, and a Stop all asked for meanwhile runs when the
    // outermost handler ends.
    class HandlerScope {
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

    void startChannel(int channel);
    void stopChannel(int channel);
    void showStarting(int channel);
    void initialiseChannel(int channel);
    // The start's common part once the panels show "Running": the caption and the log for the
    // run's first start, the unit factor and the channels' progress. False when the log cannot be
    // created: the channels show "Error" and nothing is sent.
    bool prepareStart(const std::array<bool, kChannelCount>& starting, bool first);
    // After a successful start: the before-processing line, the channels running with their
    // graphs, and for the run's first start its clock and timers.
    void completeStart(const std::array<bool, kChannelCount>& started, const ChannelTexts& currents,
                       const ChannelTexts& voltages, bool first);
    void startRunClock();
    void settlePreviousRun();
    void endRun();
    void beginFinishing();
    void finishRun();

    // The run-state changes that failures and trips make.
    void markError(int channel);
    // A running channel that an instrument or log failure leaves uncontrolled: "Error", and its
    // load taken off while the link still works.
    void abandonChannel(int channel);
    void markAllError();
    void trip(int channel, RunMonitor::Trip trip);
    // Stores the line texts; a cut that cannot create its file marks every running channel "Error".
    void storeLine(const QString& time, double seconds, bool cutFirst);

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
    // The run clock in milliseconds, and the seconds since the run's start.
    qint64 runClockMs() const { return std::llround(clock_.runClock() * 1000.0); }
    double runSeconds() const { return static_cast<double>(runClockMs() - runStartMs_) / 1000.0; }
    QString timeTextNow() const;
    bool softwareControl() const { return settings_.SeqCtl != HardwareControl; }
    bool stepEndTiming() const { return softwareControl() && settings_.MonTiming == 1; }

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
    RunWindowSetup window_;
    RunTimers timers_;

    Phase phase_ = Phase::Idle;
    bool runSoftwareControl_ = true;
    qint64 runStartMs_ = 0;
    qint64 runStartCalendar_ = 0;
    double unitFactor_ = 1.0;
    int handlerDepth_ = 0;
    bool stopAllPending_ = false;
};
