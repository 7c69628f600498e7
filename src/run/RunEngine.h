#pragma once

#include "instrument/ChannelNumbers.h"
#include "run/MonitorLog.h"
#include "run/RunPanelDisplay.h"
#include "run/RunState.h"
#include "ui/TimerService.h"

#include <QString>
#include <array>
#include <memory>

class CInstrumentPort;
class CKdrxDevice;
class CurrentDocument;
class Clock;
class RunObserver;
class UserPrompt;
struct AppSettings;
struct ChannelSequence;

// Executes the current document's sequences on the load and shows their progress: the engine of
// the Run dialog (CRunDlg), which only displays what the observer is told and forwards its button
// presses here. Under Software Control the PC steps the sequences (ramps, repeats, Last Load OFF);
// under Hardware Control it starts the instrument's programs and polls them. While a run is active
// it measures, checks the under-voltage and under-current limits and writes the monitoring log.
//
// Everything runs on the thread of the timer service, driven by four timers: status (2000 ms),
// monitor (MonitorTime), save (50 ms, once) and step (500 ms with unit s, 1000 ms otherwise). The
// step ticks are single shots on a grid from the run's start, a few milliseconds after each grid
// point; interval readings follow them and the status polls fall between them.
class RunEngine {
public:
    static constexpr int kStatusPeriodMs = 2000;
    static constexpr int kSaveDelayMs = 50;
    // A step tick lands this long after its grid point, so that a boundary on the grid has passed.
    static constexpr int kStepTickMarginMs = 5;
    // Under Software Control the status polls land this long after their 2000 ms grid points,
    // between two step ticks.
    static constexpr int kStatusOffsetMs = 250;
    // ... and the monitoring readings just after the step tick of the same grid point.
    static constexpr int kMonitorOffsetMs = kStepTickMarginMs + 1;
    // The range of the monitoring interval that the engine accepts.
    static constexpr int kMinMonitorMs = 500;
    static constexpr int kMaxMonitorMs = 600000;

    // How the ticks of a Software Control run are timed: single shots on the run's grid (step ticks
    // a margin after runStart + k x period, readings right after them, status polls between them),
    // or the plain periodic timers set when the run starts (kept for comparison in bench/).
    enum class StepTickPhasing { Aligned, Periodic };

    RunEngine(AppSettings& settings, CurrentDocument& document, CInstrumentPort& port, CKdrxDevice& device,
              const ChannelNumbers& numbers, UserPrompt& prompt, Clock& clock, TimerService& timers);
    ~RunEngine();
    RunEngine(const RunEngine&) = delete;
    RunEngine& operator=(const RunEngine&) = delete;

    void setObserver(RunObserver* observer) { display_.setObserver(observer); }
    void setStepTickPhasing(StepTickPhasing phasing) { phasing_ = phasing; }

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
    bool monitoringActive() const { return monitoringActive_; }
    double unitFactor() const { return unitFactor_; }
    // The run clock at the run's first start, in milliseconds.
    qint64 runStartMs() const { return runStartMs_; }
    qint64 runStartCalendar() const { return runStartCalendar_; }
    QString caption() const { return caption_; }
    // The log file being written (or to be written); empty without a log.
    QString logPath() const { return log_ ? log_->path() : QString(); }
    QString displayedCurrent(int channel) const { return displayedCurrent_[channel]; }
    QString displayedVoltage(int channel) const { return displayedVoltage_[channel]; }

private:
    enum class Phase { Idle, Active, Finishing };
    class HandlerScope;

    // Starting.
    void startChannel(int channel);
    void stopChannel(int channel);
    void initialiseChannel(int channel);
    void showStarting(int channel);
    bool openLog(const QString& prefix);
    void discardLog();
    void startRunClock(bool softwareControl);
    void settlePreviousRun();

    // Timers.
    void onStatusTick();
    void onMonitorTick();
    void onSaveTick();
    void onStepTick();
    void armStepTick();
    void armStatusTick();
    void armMonitorTick();
    void killRunTimers();
    void armSaveTimer();
    void endRun();
    void finishLog();

    // Software Control stepping of one channel; false when a write failed (the tick is abandoned).
    enum class StepOutcome { Continue, Finished, Abandon };
    StepOutcome stepChannel(int channel, bool& stepEndReading, bool& finalReading);
    bool applyStep(int channel, const ChannelSequence& sequence, int index);
    bool writeChannel(int channel, const QString& command);

    // Monitoring.
    bool measure(int channel);
    void checkProtection(int channel);
    void trip(int channel, bool underVoltage);
    void storeLine(const QString& time, const ChannelTexts& currents, const ChannelTexts& voltages,
                   bool applyCut);
    void clearLineTexts();
    bool logging() const;
    bool loggingAfterProcessing() const;
    QString timeTextNow() const;

    // Failures.
    void markChannelError(int channel);
    void markAllError();

    const ChannelSequence* sequence(int channel) const;
    int stepCount(int channel) const;
    qint64 runClockMs() const;
    bool softwareControl() const;
    bool stepEndTiming() const;
    int monitorPeriodMs() const;
    void showCaption(const QString& logName = QString());

    AppSettings& settings_;
    CurrentDocument& document_;
    CInstrumentPort& port_;
    CKdrxDevice& device_;
    const ChannelNumbers& numbers_;
    UserPrompt& prompt_;
    Clock& clock_;
    TimerService& timers_;

    std::array<ChannelRunState, kChannelCount> channels_{};
    RunPanelDisplay display_{channels_};
    StepTickPhasing phasing_ = StepTickPhasing::Aligned;

    Phase phase_ = Phase::Idle;
    qint64 runStartMs_ = 0;
    qint64 runStartCalendar_ = 0;
    double unitFactor_ = 1.0;
    bool monitoringActive_ = false;
    bool runSoftwareControl_ = true;
    QString captionText_;
    QString caption_;
    std::unique_ptr<MonitorLog> log_;

    TimerService::TimerId statusTimer_ = TimerService::noTimer;
    TimerService::TimerId monitorTimer_ = TimerService::noTimer;
    TimerService::TimerId saveTimer_ = TimerService::noTimer;
    TimerService::TimerId stepTimer_ = TimerService::noTimer;
    bool stepTicking_ = false;
    bool statusTicking_ = false;
    bool monitorTicking_ = false;

    // Displayed readings, the texts for the next log line and those of a step-end line.
    ChannelTexts displayedCurrent_;
    ChannelTexts displayedVoltage_;
    ChannelTexts lineCurrent_;
    ChannelTexts lineVoltage_;
    ChannelTexts stepEndCurrent_;
    ChannelTexts stepEndVoltage_;

    int handlerDepth_ = 0;
    bool stopAllPending_ = false;
};
