#pragma once

#include <QtGlobal>
#include <vector>

enum class LoadFunction { CV, CC, CR, CCCV, CRCV };
enum class VoltageRange { High, Low };
enum class CurrentRange { High, Med, Low };

// One step of a channel's program memory: the set value in the unit of the channel's function
// (V, A, or S as conductance), a transition (0 step, 1 ramp from the value before) and a duration.
struct ProgramStep {
    double value = 0.0;
    int transition = 0;
    qint64 durationMs = 0;
};

// Where a channel's program stands: running or not, the step counted from 0 and the pass counted
// from 1 (0 before the first run).
struct ProgramPosition {
    bool running = false;
    int step = 0;
    int pass = 0;
};

// One current and voltage reading at the load's terminals.
struct ChannelReading {
    double current = 0.0;
    double voltage = 0.0;
};

// One channel of the simulated load: its function, set values, ranges and load switch, its program
// memory and the program's execution in time, and the device under test at its terminals (a
// voltage source with an internal resistance, 12 V and 0.1 ohm unless a test says otherwise).
//
// Time is given to every call that depends on it, in milliseconds of the instrument's clock.
// settle() applies a program's end once its time has come; callers settle before they look.
// Setters return 0 when they accept the value, or the error code the instrument reports.
class SimulatedChannel {
public:
    static constexpr int kProgramSteps = 1024;
    static constexpr int kMaxLoopCount = 9999;
    static constexpr qint64 kMaxDurationMs = 9999999;

    static double voltageLimit(VoltageRange range);
    static double currentLimit(CurrentRange range);
    static double conductanceLimit(CurrentRange range);

    SimulatedChannel();

    // Back to the settings after power-on; the program memory is kept, a running program stops.
    void resetSettings(qint64 nowMs);

    LoadFunction function() const { return function_; }
    double voltage() const { return voltage_; }
    double current() const { return current_; }
    double conductance() const { return conductance_; }
    VoltageRange voltageRange() const { return voltageRange_; }
    CurrentRange currentRange() const { return currentRange_; }
    bool loadOn() const { return loadOn_; }
    // The limit of the quantity that the function regulates (its program values and end value).
    double programValueLimit() const;

    int setFunction(LoadFunction function);
    int setVoltage(double volts);
    int setCurrent(double amperes);
    int setConductance(double siemens);
    // A narrower range lowers set values above its limit to the limit.
    int setVoltageRange(VoltageRange range);
    int setCurrentRange(CurrentRange range);
    // Switching the load off aborts a running program; switching it on while one runs changes nothing.
    void setLoad(bool on, qint64 nowMs);

    // Program memory; steps are numbered from 1.
    int endStep() const { return endStep_; }
    const ProgramStep& step(int number) const { return steps_[static_cast<std::size_t>(number - 1)]; }
    int loopCount() const { return loopCount_; }
    bool loadOnAtEnd() const { return loadOnAtEnd_; }
    double endValue() const { return endValue_; }
    int setEndStep(int number);
    int setStep(int number, double value, int transition, qint64 durationMs);
    int setLoopCount(int count);
    int setLoadOnAtEnd(bool on);
    int setEndValue(double value);

    // Starts the stored program (steps 1 to the end step, the whole LOOP times) with the load on.
    // Starting a running program changes nothing.
    int startProgram(qint64 nowMs);
    // Aborts a running program with the load off; the position stays where it stopped.
    void stopProgram(qint64 nowMs);
    void settle(qint64 nowMs);
    bool isRunning() const { return running_; }
    ProgramPosition position(qint64 nowMs) const;
    // The value the function regulates to now: the set value, or the program's while it runs.
    double regulatedValue(qint64 nowMs) const;

    ChannelReading measure(qint64 nowMs) const;
    void setSource(double openVoltage, double resistance);
    double sourceVoltage() const { return sourceVoltage_; }
    double sourceResistance() const { return sourceResistance_; }

    int questionable() const { return questionable_; }
    void setQuestionable(int condition) { questionable_ = condition; }

private:
    qint64 passMs() const;
    qint64 programEndMs() const;
    double primarySetValue() const;
    void setPrimarySetValue(double value);
    ProgramPosition finalPosition() const;

    LoadFunction function_ = LoadFunction::CC;
    double voltage_ = 0.0;
    double current_ = 0.0;
    double conductance_ = 0.0;
    VoltageRange voltageRange_ = VoltageRange::High;
    CurrentRange currentRange_ = CurrentRange::High;
    bool loadOn_ = false;

    int endStep_ = 1;
    std::vector<ProgramStep> steps_;
    int loopCount_ = 1;
    bool loadOnAtEnd_ = false;
    double endValue_ = 0.0;

    bool running_ = false;
    qint64 runStartMs_ = 0;
    ProgramPosition lastPosition_;

    double sourceVoltage_ = 12.0;
    double sourceResistance_ = 0.1;
    int questionable_ = 0;
};
