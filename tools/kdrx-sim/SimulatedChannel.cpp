#include "SimulatedChannel.h"

#include "ScpiErrorQueue.h"

#include <algorithm>

namespace {

// Set values arrive as decimal texts; a value written with more digits than the limit has
// (60.0000000001) is the limit.
bool exceeds(double value, double limit)
{
    return value > limit * (1.0 + 1e-12);
}

bool outside(double value, double limit)
{
    return value < 0.0 || exceeds(value, limit);
}

} // namespace

double SimulatedChannel::voltageLimit(VoltageRange range)
{
    return range == VoltageRange::High ? 150.0 : 15.0;
}

double SimulatedChannel::currentLimit(CurrentRange range)
{
    switch (range) {
    case CurrentRange::High:
        return 60.0;
    case CurrentRange::Med:
        return 6.0;
    case CurrentRange::Low:
        break;
    }
    return 0.6;
}

double SimulatedChannel::conductanceLimit(CurrentRange range)
{
    switch (range) {
    case CurrentRange::High:
        return 40.0;
    case CurrentRange::Med:
        return 4.0;
    case CurrentRange::Low:
        break;
    }
    return 0.4;
}

SimulatedChannel::SimulatedChannel() : steps_(kProgramSteps) {}

void SimulatedChannel::resetSettings(qint64 nowMs)
{
    stopProgram(nowMs);
    function_ = LoadFunction::CC;
    voltage_ = 0.0;
    current_ = 0.0;
    conductance_ = 0.0;
    voltageRange_ = VoltageRange::High;
    currentRange_ = CurrentRange::High;
    loadOn_ = false;
}

double SimulatedChannel::programValueLimit() const
{
    switch (function_) {
    case LoadFunction::CV:
        return voltageLimit(voltageRange_);
    case LoadFunction::CC:
    case LoadFunction::CCCV:
        return currentLimit(currentRange_);
    case LoadFunction::CR:
    case LoadFunction::CRCV:
        break;
    }
    return conductanceLimit(currentRange_);
}

int SimulatedChannel::setFunction(LoadFunction function)
{
    if (running_)
        return ScpiErrorQueue::kSettingsConflict;
    function_ = function;
    return 0;
}

int SimulatedChannel::setVoltage(double volts)
{
    if (running_)
        return ScpiErrorQueue::kSettingsConflict;
    if (outside(volts, voltageLimit(voltageRange_)))
        return ScpiErrorQueue::kDataOutOfRange;
    voltage_ = volts;
    return 0;
}

int SimulatedChannel::setCurrent(double amperes)
{
    if (running_)
        return ScpiErrorQueue::kSettingsConflict;
    if (outside(amperes, currentLimit(currentRange_)))
        return ScpiErrorQueue::kDataOutOfRange;
    current_ = amperes;
    return 0;
}

int SimulatedChannel::setConductance(double siemens)
{
    if (running_)
        return ScpiErrorQueue::kSettingsConflict;
    if (outside(siemens, conductanceLimit(currentRange_)))
        return ScpiErrorQueue::kDataOutOfRange;
    conductance_ = siemens;
    return 0;
}

int SimulatedChannel::setVoltageRange(VoltageRange range)
{
    if (running_)
        return ScpiErrorQueue::kSettingsConflict;
    voltageRange_ = range;
    voltage_ = std::min(voltage_, voltageLimit(range));
    return 0;
}

int SimulatedChannel::setCurrentRange(CurrentRange range)
{
    if (running_)
        return ScpiErrorQueue::kSettingsConflict;
    currentRange_ = range;
    current_ = std::min(current_, currentLimit(range));
    conductance_ = std::min(conductance_, conductanceLimit(range));
    return 0;
}

void SimulatedChannel::setLoad(bool on, qint64 nowMs)
{
    settle(nowMs);
    if (running_) {
        if (!on)
            stopProgram(nowMs);
        return;
    }
    loadOn_ = on;
}

int SimulatedChannel::setEndStep(int number)
{
    if (running_)
        return ScpiErrorQueue::kSettingsConflict;
    if (number < 1 || number > kProgramSteps)
        return ScpiErrorQueue::kDataOutOfRange;
    endStep_ = number;
    return 0;
}

int SimulatedChannel::setStep(int number, double value, int transition, qint64 durationMs)
{
    if (running_)
        return ScpiErrorQueue::kSettingsConflict;
    if (number < 1 || number > kProgramSteps || outside(value, programValueLimit()) || durationMs < 0 ||
        durationMs > kMaxDurationMs)
        return ScpiErrorQueue::kDataOutOfRange;
    if (transition != 0 && transition != 1)
        return ScpiErrorQueue::kIllegalParameterValue;
    steps_[static_cast<std::size_t>(number - 1)] = ProgramStep{value, transition, durationMs};
    return 0;
}

int SimulatedChannel::setLoopCount(int count)
{
    if (running_)
        return ScpiErrorQueue::kSettingsConflict;
    if (count < 1 || count > kMaxLoopCount)
        return ScpiErrorQueue::kDataOutOfRange;
    loopCount_ = count;
    return 0;
}

int SimulatedChannel::setLoadOnAtEnd(bool on)
{
    if (running_)
        return ScpiErrorQueue::kSettingsConflict;
    loadOnAtEnd_ = on;
    return 0;
}

int SimulatedChannel::setEndValue(double value)
{
    if (running_)
        return ScpiErrorQueue::kSettingsConflict;
    if (outside(value, programValueLimit()))
        return ScpiErrorQueue::kDataOutOfRange;
    endValue_ = value;
    return 0;
}

int SimulatedChannel::startProgram(qint64 nowMs)
{
    settle(nowMs);
    if (running_)
        return 0;
    // The function or range may have changed since the program was written: a program that the
    // channel cannot regulate now is refused as a whole rather than clipped.
    const double limit = programValueLimit();
    for (int number = 1; number <= endStep_; ++number) {
        if (exceeds(step(number).value, limit))
            return ScpiErrorQueue::kSettingsConflict;
    }
    if (exceeds(endValue_, limit))
        return ScpiErrorQueue::kSettingsConflict;
    running_ = true;
    runStartMs_ = nowMs;
    loadOn_ = true;
    lastPosition_ = ProgramPosition{true, 0, 1};
    settle(nowMs);
    return 0;
}

void SimulatedChannel::stopProgram(qint64 nowMs)
{
    settle(nowMs);
    if (!running_)
        return;
    lastPosition_ = position(nowMs);
    lastPosition_.running = false;
    running_ = false;
    loadOn_ = false;
}

void SimulatedChannel::settle(qint64 nowMs)
{
    if (!running_ || nowMs < programEndMs())
        return;
    running_ = false;
    loadOn_ = loadOnAtEnd_;
    setPrimarySetValue(endValue_);
    lastPosition_ = finalPosition();
}

qint64 SimulatedChannel::passMs() const
{
    qint64 total = 0;
    for (int number = 1; number <= endStep_; ++number)
        total += step(number).durationMs;
    return total;
}

qint64 SimulatedChannel::programEndMs() const
{
    return runStartMs_ + passMs() * loopCount_;
}

ProgramPosition SimulatedChannel::finalPosition() const
{
    return ProgramPosition{false, endStep_ - 1, loopCount_};
}

ProgramPosition SimulatedChannel::position(qint64 nowMs) const
{
    if (!running_)
        return lastPosition_;
    const qint64 pass = passMs();
    if (nowMs >= programEndMs() || pass == 0)
        return finalPosition();
    const qint64 elapsed = std::max<qint64>(0, nowMs - runStartMs_);
    const qint64 withinPass = elapsed % pass;
    ProgramPosition where{true, 0, static_cast<int>(elapsed / pass) + 1};
    qint64 stepEnd = 0;
    for (int number = 1; number <= endStep_; ++number) {
        stepEnd += step(number).durationMs;
        if (withinPass < stepEnd) {
            where.step = number - 1;
            break;
        }
    }
    return where;
}

double SimulatedChannel::regulatedValue(qint64 nowMs) const
{
    if (!running_)
        return primarySetValue();
    if (nowMs >= programEndMs() || passMs() == 0)
        return endValue_;
    const ProgramPosition where = position(nowMs);
    const ProgramStep& current = step(where.step + 1);
    if (current.transition == 0 || current.durationMs == 0)
        return current.value;
    // A ramp runs from the value of the step before (0 for the first step of a pass).
    const double from = where.step > 0 ? step(where.step).value : 0.0;
    qint64 stepStart = 0;
    for (int number = 1; number <= where.step; ++number)
        stepStart += step(number).durationMs;
    const qint64 intoStep = std::max<qint64>(0, nowMs - runStartMs_) % passMs() - stepStart;
    return from +
           (current.value - from) * static_cast<double>(intoStep) / static_cast<double>(current.durationMs);
}

double SimulatedChannel::primarySetValue() const
{
    switch (function_) {
    case LoadFunction::CV:
        return voltage_;
    case LoadFunction::CC:
    case LoadFunction::CCCV:
        return current_;
    case LoadFunction::CR:
    case LoadFunction::CRCV:
        break;
    }
    return conductance_;
}

void SimulatedChannel::setPrimarySetValue(double value)
{
    switch (function_) {
    case LoadFunction::CV:
        voltage_ = value;
        return;
    case LoadFunction::CC:
    case LoadFunction::CCCV:
        current_ = value;
        return;
    case LoadFunction::CR:
    case LoadFunction::CRCV:
        break;
    }
    conductance_ = value;
}

void SimulatedChannel::setSource(double openVoltage, double resistance)
{
    sourceVoltage_ = std::max(0.0, openVoltage);
    sourceResistance_ = std::max(0.0, resistance);
}

ChannelReading SimulatedChannel::measure(qint64 nowMs) const
{
    const bool finished = running_ && nowMs >= programEndMs();
    const bool on = running_ ? (finished ? loadOnAtEnd_ : true) : loadOn_;
    const double open = sourceVoltage_;
    const double r = sourceResistance_;
    if (!on)
        return ChannelReading{0.0, open};

    const double rangeLimit = currentLimit(currentRange_);
    // The current that holds the terminals at v: nothing when the source cannot reach v.
    const auto constantVoltageCurrent = [&](double v) {
        if (v >= open)
            return 0.0;
        return r > 0.0 ? (open - v) / r : rangeLimit;
    };
    const auto constantConductanceCurrent = [&](double g) { return open * g / (1.0 + g * r); };

    const double value = regulatedValue(nowMs);
    double amperes = 0.0;
    switch (function_) {
    case LoadFunction::CC:
        amperes = value;
        break;
    case LoadFunction::CR:
        amperes = constantConductanceCurrent(value);
        break;
    case LoadFunction::CV:
        amperes = constantVoltageCurrent(value);
        break;
    case LoadFunction::CCCV:
        amperes = std::min(value, constantVoltageCurrent(voltage_));
        break;
    case LoadFunction::CRCV:
        amperes = std::min(constantConductanceCurrent(value), constantVoltageCurrent(voltage_));
        break;
    }
    if (r > 0.0)
        amperes = std::min(amperes, open / r);
    amperes = std::clamp(amperes, 0.0, rangeLimit);
    return ChannelReading{amperes, open - amperes * r};
}
