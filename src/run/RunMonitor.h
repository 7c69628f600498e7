#pragma once

#include "instrument/ChannelNumbers.h"
#include "run/MonitorLog.h"
#include "run/RunState.h"

#include <QString>
#include <array>
#include <memory>

class CKdrxDevice;
class Clock;
class RunPanelDisplay;
class UserPrompt;
struct AppSettings;

// The readings of a run and what becomes of them: the Current and Voltage fields, the
// under-voltage and under-current checks, the texts of the next log line and of a step-end line,
// the log file itself and the Run window's caption that names it.
class RunMonitor {
public:
    RunMonitor(AppSettings& settings, CKdrxDevice& device, UserPrompt& prompt, Clock& clock,
               std::array<ChannelRunState, kChannelCount>& channels, RunPanelDisplay& display);
    ~RunMonitor();
    RunMonitor(const RunMonitor&) = delete;
    RunMonitor& operator=(const RunMonitor&) = delete;

    // The range of the monitoring interval that a run takes readings with.
    static constexpr int kMinIntervalMs = 500;
    static constexpr int kMaxIntervalMs = 600000;

    // monitoringActive: Curr or Volt on, fixed when the Run window opens.
    void setActive(bool active) { active_ = active; }
    bool isActive() const { return active_; }
    // Readings go to a file (File 1), and also after processing or a stop (MonEnd 1).
    bool logging() const;
    bool loggingAfterProcessing() const;
    // The interval in force: MonitorTime held to its range (a profile edited by hand or a setting
    // given on the command line may hold any number).
    int intervalMs() const;

    // The caption: the monitoring status text, followed by the log's name while one is open.
    void showCaption();
    QString caption() const { return caption_; }

    // Opens the log named by the operation modes of the channels being started (in channel order)
    // and the start time; false when its file cannot be created.
    bool openLog(const std::array<bool, kChannelCount>& starting);
    // Drops the log without writing anything more.
    void discardLog();
    bool hasLog() const { return static_cast<bool>(log_); }
    QString logPath() const { return log_ ? log_->path() : QString(); }
    // The save step: writes (memory) or closes (file) the log while the panels show "Saving".
    void finishLog();

    // Measures a channel into its Current and Voltage fields; false when the reading failed.
    bool measure(int channel);
    void clearReading(int channel);
    // A reading for the next log line (also after a failed reading, with what it left).
    bool takeLineReading(int channel);
    void setLineTexts(int channel, const QString& current, const QString& voltage);
    void clearLineTexts();
    void clearLineTexts(int channel);
    bool takeStepEndReading(int channel);
    void clearStepEndTexts();

    // Stores a line of the line texts, or of the step-end texts; cutFirst applies the file cut
    // (runSeconds from the run's start). False when a cut could not create its file: the log is
    // then gone for the rest of the run.
    bool storeLine(const QString& time, double runSeconds, bool cutFirst);
    bool storeStepEndLine(const QString& time, double runSeconds);

    // The before-processing line (MonStart, with a file): the started channels' line texts are the
    // texts their start returned.
    void storeBeforeProcessing(const std::array<bool, kChannelCount>& started, const ChannelTexts& currents,
                               const ChannelTexts& voltages, const QString& time);
    // The after-processing line (MonEnd, with a file) of a channel that was stopped: it is measured
    // and one line stored. False when the reading failed.
    bool storeAfterProcessing(int channel, const QString& time, double runSeconds);

    // The interval reading: every running channel is measured into its line texts, the others'
    // line texts are emptied.
    enum class Reading { NotRunning, Read, Failed };
    std::array<Reading, kChannelCount> readRunningChannels();
    // The protection check of a channel whose reading succeeded: under-voltage first, then
    // under-current, each at or below its limit. The first check after a start is skipped when
    // MonFirst asked for it.
    enum class Trip { None, UnderVoltage, UnderCurrent };
    Trip checkProtection(int channel);

    QString displayedCurrent(int channel) const { return displayedCurrent_[channel]; }
    QString displayedVoltage(int channel) const { return displayedVoltage_[channel]; }

private:
    // Tells the observer of the log's first failed write, once.
    void tellWriteFailure();
    bool store(const QString& time, const ChannelTexts& currents, const ChannelTexts& voltages,
               double runSeconds, bool cutFirst);

    AppSettings& settings_;
    CKdrxDevice& device_;
    UserPrompt& prompt_;
    Clock& clock_;
    std::array<ChannelRunState, kChannelCount>& channels_;
    RunPanelDisplay& display_;
    bool active_ = false;
    QString caption_;
    std::unique_ptr<MonitorLog> log_;
    ChannelTexts displayedCurrent_;
    ChannelTexts displayedVoltage_;
    ChannelTexts lineCurrent_;
    ChannelTexts lineVoltage_;
    ChannelTexts stepEndCurrent_;
    ChannelTexts stepEndVoltage_;
};
