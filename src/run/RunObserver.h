#pragma once

#include <QString>
#include <cmath>

// A colour of the Run dialog's status fields.
struct RunColor {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const RunColor& other) const
    {
        return red == other.red && green == other.green && blue == other.blue;
    }
    bool operator!=(const RunColor& other) const { return !(*this == other); }
};

namespace RunColors {
constexpr RunColor black{0, 0, 0};
constexpr RunColor white{255, 255, 255};
constexpr RunColor lightGrey{192, 192, 192};
constexpr RunColor green{0, 255, 0};
constexpr RunColor yellow{255, 255, 0};
constexpr RunColor red{255, 0, 0};
} // namespace RunColors

// One reading of a channel as it was taken: its time since the channel started, the pass of the
// sequence it belongs to, the values read (NaN where not read or the reading failed) and the
// channel's charge and energy from its readings so far.
struct RunReading {
    double seconds = 0.0;
    int pass = 0; // from 1 under Software Control; 0 under Hardware Control, where the PC does not count
    double current = NAN;
    double voltage = NAN;
    bool hasCharge = false;
    double chargeAh = 0.0;
    bool hasEnergy = false;
    double energyWh = 0.0;
};

// Everything the run engine shows. The Run dialog implements it by setting its controls, tessorctl
// by printing progress. The failures of the log have no default: whoever shows a run tells them.
// Channels are 0..4.
class RunObserver {
public:
    virtual ~RunObserver() = default;

    // A channel panel's fields.
    virtual void statusChanged(int /*channel*/, const QString& /*text*/, RunColor /*textColor*/,
                               RunColor /*background*/)
    {
    }
    // The status text alone, colours unchanged ("Saving" while the log is written, and back).
    virtual void statusTextChanged(int /*channel*/, const QString& /*text*/) {}
    virtual void countChanged(int /*channel*/, const QString& /*text*/) {}
    virtual void stepChanged(int /*channel*/, const QString& /*text*/) {}
    virtual void currentChanged(int /*channel*/, const QString& /*text*/) {}
    virtual void voltageChanged(int /*channel*/, const QString& /*text*/) {}
    // Every reading of a running channel, after its Current and Voltage fields were set; no extra
    // exchange with the instrument is made for it.
    virtual void readingTaken(int /*channel*/, const RunReading& /*reading*/) {}
    virtual void elapsedChanged(int /*channel*/, const QString& /*text*/) {}
    virtual void dayChanged(int /*channel*/, const QString& /*text*/) {}
    // The totals beside Count and Step ("/ %d").
    virtual void totalsChanged(int /*channel*/, const QString& /*countTotal*/, const QString& /*stepTotal*/)
    {
    }

    // A channel panel's controls. The panel fields are Count, Step, status, Elapsed and the
    // "Last Load OFF" box with their labels; Current and Voltage have their own flags.
    virtual void panelEnabled(int /*channel*/, bool /*fields*/, bool /*current*/, bool /*voltage*/) {}
    virtual void runButtonChanged(int /*channel*/, const QString& /*text*/, bool /*enabled*/) {}
    virtual void channelCheckChanged(int /*channel*/, bool /*checked*/, bool /*enabled*/) {}
    virtual void lastLoadOffVisible(bool /*visible*/) {}

    // Run-wide controls and the window.
    virtual void runAllEnabled(bool /*enabled*/) {}
    virtual void stopAllEnabled(bool /*enabled*/) {}
    virtual void closeEnabled(bool /*enabled*/) {}
    virtual void captionChanged(const QString& /*caption*/) {}

    // The channel's live graph: its progress cursor starts and stops; graphPassDrawn asks whether
    // it has drawn one whole pass, resetGraphPass sets it back for the next one.
    virtual void graphStarted(int /*channel*/) {}
    virtual void graphStopped(int /*channel*/) {}
    virtual bool graphPassDrawn(int /*channel*/) { return false; }
    virtual void resetGraphPass(int /*channel*/) {}

    // The log file: opened (its first path), cut (the new path), finished (written and closed, or
    // not when ok is false: the data could not be written).
    virtual void logOpened(const QString& /*path*/) {}
    virtual void logCut(const QString& /*path*/) {}
    virtual void logFinished(const QString& /*path*/, bool /*ok*/) {}
    // The log file could not be created (the reason as the system gives it): the run does not
    // start, or after a failed cut no log is kept for the rest of the run.
    virtual void logNotCreated(const QString& path, const QString& reason) = 0;
    // A write to the log file failed; told at the first failure only, while the run goes on.
    virtual void logWriteFailed(const QString& path, const QString& reason) = 0;
    // The readings kept in memory could not be written to path at the run's end: where to write
    // them instead. Asked again while the new place fails too; an empty answer drops them.
    virtual QString logRescuePath(const QString& path, const QString& reason) = 0;
    // The run is over: no timer runs and the log is finished.
    virtual void runFinished() {}
};
