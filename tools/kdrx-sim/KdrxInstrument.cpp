#include "KdrxInstrument.h"

#include <QRegularExpression>
#include <cmath>

namespace {

// In the order of LoadFunction.
QStringList functionNames()
{
    return {QStringLiteral("CV"), QStringLiteral("CC"), QStringLiteral("CR"), QStringLiteral("CCCV"),
            QStringLiteral("CRCV")};
}

QString functionName(LoadFunction function)
{
    return functionNames().at(static_cast<int>(function));
}

// "CH3" (any case) gives 3; anything but CH1 to CH5 gives 0.
int channelFromName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^CH([1-5])$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(name);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

} // namespace

KdrxInstrument::KdrxInstrument()
{
    addCommand("*IDN?", &KdrxInstrument::identify);
    addCommand("*CLS", &KdrxInstrument::clearStatus);
    addCommand("*RST", &KdrxInstrument::resetInstrument);
    addCommand("*OPC?", &KdrxInstrument::operationComplete);
    addCommand("INSTrument:NSELect", &KdrxInstrument::selectChannelNumber);
    addCommand("INSTrument:NSELect?", &KdrxInstrument::queryChannelNumber);
    addCommand("INSTrument:[SELect]", &KdrxInstrument::selectChannelName);
    addCommand("INSTrument:[SELect]?", &KdrxInstrument::queryChannelName);
    addCommand("INSTrument:COUPle", &KdrxInstrument::couple);
    addCommand("INSTrument:COUPle?", &KdrxInstrument::queryCoupling);
    addCommand("INPut:PROTection:CLEar", &KdrxInstrument::clearProtection);
    addCommand("[SOURce]:FUNCtion", &KdrxInstrument::setFunction);
    addCommand("[SOURce]:FUNCtion?", &KdrxInstrument::queryFunction);
    addCommand("[SOURce]:VOLTage:[LEVel]", &KdrxInstrument::setVoltage);
    addCommand("[SOURce]:VOLTage:[LEVel]?", &KdrxInstrument::queryVoltage);
    addCommand("[SOURce]:CURRent:[LEVel]", &KdrxInstrument::setCurrent);
    addCommand("[SOURce]:CURRent:[LEVel]?", &KdrxInstrument::queryCurrent);
    addCommand("[SOURce]:CONDuctance:[LEVel]", &KdrxInstrument::setConductance);
    addCommand("[SOURce]:CONDuctance:[LEVel]?", &KdrxInstrument::queryConductance);
    addCommand("[SOURce]:VOLTage:RANGe", &KdrxInstrument::setVoltageRange);
    addCommand("[SOURce]:VOLTage:RANGe?", &KdrxInstrument::queryVoltageRange);
    addCommand("[SOURce]:CURRent:RANGe", &KdrxInstrument::setCurrentRange);
    addCommand("[SOURce]:CURRent:RANGe?", &KdrxInstrument::queryCurrentRange);
    addCommand("OUTPut:[STATe]", &KdrxInstrument::setOutput);
    addCommand("OUTPut:[STATe]?", &KdrxInstrument::queryOutput);
    addCommand("INPut:[STATe]", &KdrxInstrument::setOutput);
    addCommand("INPut:[STATe]?", &KdrxInstrument::queryOutput);
    addCommand("MEASure:[SCALar]:CURRent:[DC]?", &KdrxInstrument::measureCurrent);
    addCommand("MEASure:[SCALar]:VOLTage:[DC]?", &KdrxInstrument::measureVoltage);
    addCommand("MEASure:[SCALar]:POWer:[DC]?", &KdrxInstrument::measurePower);
    addCommand("PROGram:STATe", &KdrxInstrument::setProgramState);
    addCommand("PROGram:STATe?", &KdrxInstrument::queryProgramState);
    addCommand("PROGram:EXECuting?", &KdrxInstrument::queryExecution);
    addCommand("PROGram:FSP:END", &KdrxInstrument::setEndStep);
    addCommand("PROGram:FSP:END?", &KdrxInstrument::queryEndStep);
    addCommand("PROGram:FSP:EDIT", &KdrxInstrument::editStep);
    addCommand("PROGram:FSP:EDIT?", &KdrxInstrument::queryStep);
    addCommand("PROGram:LOOP", &KdrxInstrument::setLoopCount);
    addCommand("PROGram:LOOP?", &KdrxInstrument::queryLoopCount);
    addCommand("PROGram:LINP", &KdrxInstrument::setLoadAtEnd);
    addCommand("PROGram:LINP?", &KdrxInstrument::queryLoadAtEnd);
    addCommand("PROGram:LVAL", &KdrxInstrument::setEndValue);
    addCommand("PROGram:LVAL?", &KdrxInstrument::queryEndValue);
    addCommand("STATus:QUEStionable:INSTrument:ISUMmary#:CONDition?", &KdrxInstrument::queryQuestionable);
    addCommand("SYSTem:ERRor:[NEXT]?", &KdrxInstrument::queryError);
    addCommand("SYSTem:VERSion?", &KdrxInstrument::queryVersion);
}

void KdrxInstrument::addCommand(const char* header, Handler handler)
{
    commands_.push_back(Command{ScpiHeaderPattern(QLatin1String(header)), handler});
}

std::optional<QString> KdrxInstrument::execute(const QString& line, qint64 nowMs,
                                               const std::function<void(const QString&)>& afterUnit)
{
    settle(nowMs);
    QStringList answers;
    for (const ScpiUnit& unit : ScpiMessage::split(line)) {
        if (unit.malformed) {
            report(ScpiErrorQueue::kSyntaxError);
            break;
        }
        const Command* found = nullptr;
        int suffix = 1;
        for (const Command& command : commands_) {
            if (command.header.matches(unit.nodes, unit.query, &suffix)) {
                found = &command;
                break;
            }
        }
        if (!found) {
            report(ScpiErrorQueue::kUndefinedHeader);
            break;
        }
        Request request{ScpiParameters(unit.parameters, errors_), suffix, nowMs, answers};
        (this->*(found->handler))(request);
        if (afterUnit)
            afterUnit(unit.text);
    }
    if (answers.isEmpty())
        return std::nullopt;
    return answers.join(QLatin1Char(';'));
}

void KdrxInstrument::settle(qint64 nowMs)
{
    for (SimulatedChannel& channel : channels_)
        channel.settle(nowMs);
}

QString KdrxInstrument::formatValue(double value)
{
    QString text = QString::number(value, 'f', 8);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

QString KdrxInstrument::formatDuration(qint64 durationMs)
{
    return QStringLiteral("%1.%2").arg(durationMs / 1000).arg(durationMs % 1000, 3, 10, QLatin1Char('0'));
}

QString KdrxInstrument::formatCurrent(double amperes)
{
    return QString::number(amperes, 'f', 4);
}

QString KdrxInstrument::formatVoltage(double volts)
{
    return QString::number(volts, 'f', 3);
}

std::vector<int> KdrxInstrument::actingChannels() const
{
    if (coupled_.count(selected_) != 0)
        return coupledChannels();
    return {selected_};
}

void KdrxInstrument::report(int code)
{
    if (code != 0)
        errors_.push(code);
}

// Common commands.

void KdrxInstrument::identify(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << identity_;
}

void KdrxInstrument::clearStatus(Request& request)
{
    if (request.parameters.expect(0))
        errors_.clear();
}

void KdrxInstrument::resetInstrument(Request& request)
{
    if (!request.parameters.expect(0))
        return;
    for (SimulatedChannel& channel : channels_)
        channel.resetSettings(request.nowMs);
    selected_ = 1;
    coupled_.clear();
}

void KdrxInstrument::operationComplete(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << QStringLiteral("1");
}

// Channel selection and coupling.

void KdrxInstrument::selectChannelNumber(Request& request)
{
    if (!request.parameters.expect(1))
        return;
    const std::optional<int> number = request.parameters.integer(0);
    if (!number)
        return;
    if (*number < 1 || *number > kChannels) {
        report(ScpiErrorQueue::kDataOutOfRange);
        return;
    }
    selected_ = *number;
}

void KdrxInstrument::queryChannelNumber(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << QString::number(selected_);
}

void KdrxInstrument::selectChannelName(Request& request)
{
    if (!request.parameters.expect(1))
        return;
    const int number = channelFromName(request.parameters.texts().at(0));
    if (number == 0) {
        report(ScpiErrorQueue::kIllegalParameterValue);
        return;
    }
    selected_ = number;
}

void KdrxInstrument::queryChannelName(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << QStringLiteral("CH%1").arg(selected_);
}

void KdrxInstrument::couple(Request& request)
{
    if (request.parameters.texts().isEmpty()) {
        report(ScpiErrorQueue::kMissingParameter);
        return;
    }
    if (request.parameters.texts().size() == 1) {
        const QString keyword = request.parameters.texts().at(0).toUpper();
        if (keyword == QLatin1String("NONE")) {
            coupled_.clear();
            return;
        }
        if (keyword == QLatin1String("ALL")) {
            coupled_ = {1, 2, 3, 4, 5};
            return;
        }
    }
    std::set<int> channels;
    for (const QString& name : request.parameters.texts()) {
        const int number = channelFromName(name);
        if (number == 0) {
            report(ScpiErrorQueue::kIllegalParameterValue);
            return;
        }
        channels.insert(number);
    }
    coupled_ = channels;
}

void KdrxInstrument::queryCoupling(Request& request)
{
    if (!request.parameters.expect(0))
        return;
    if (coupled_.empty()) {
        request.answers << QStringLiteral("NONE");
        return;
    }
    QStringList names;
    for (const int number : coupled_)
        names << QStringLiteral("CH%1").arg(number);
    request.answers << names.join(QLatin1Char(','));
}

void KdrxInstrument::clearProtection(Request& request)
{
    // No protection of the simulated load ever latches; the command is accepted and does nothing.
    request.parameters.expect(0);
}

// Function, set values and ranges of the selected channel.

void KdrxInstrument::setFunction(Request& request)
{
    if (!request.parameters.expect(1))
        return;
    const int found = request.parameters.keyword(0, functionNames());
    if (found >= 0)
        report(selected().setFunction(static_cast<LoadFunction>(found)));
}

void KdrxInstrument::queryFunction(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << functionName(selected().function());
}

void KdrxInstrument::setVoltage(Request& request)
{
    if (!request.parameters.expect(1))
        return;
    if (const std::optional<double> value = request.parameters.decimal(0))
        report(selected().setVoltage(*value));
}

void KdrxInstrument::queryVoltage(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << formatValue(selected().voltage());
}

void KdrxInstrument::setCurrent(Request& request)
{
    if (!request.parameters.expect(1))
        return;
    if (const std::optional<double> value = request.parameters.decimal(0))
        report(selected().setCurrent(*value));
}

void KdrxInstrument::queryCurrent(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << formatValue(selected().current());
}

void KdrxInstrument::setConductance(Request& request)
{
    if (!request.parameters.expect(1))
        return;
    if (const std::optional<double> value = request.parameters.decimal(0))
        report(selected().setConductance(*value));
}

void KdrxInstrument::queryConductance(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << formatValue(selected().conductance());
}

void KdrxInstrument::setVoltageRange(Request& request)
{
    if (!request.parameters.expect(1))
        return;
    const int found = request.parameters.keyword(0, {QStringLiteral("HIGH"), QStringLiteral("LOW")});
    if (found >= 0)
        report(selected().setVoltageRange(static_cast<VoltageRange>(found)));
}

void KdrxInstrument::queryVoltageRange(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << (selected().voltageRange() == VoltageRange::High ? QStringLiteral("HIGH")
                                                                            : QStringLiteral("LOW"));
}

void KdrxInstrument::setCurrentRange(Request& request)
{
    if (!request.parameters.expect(1))
        return;
    const int found =
        request.parameters.keyword(0, {QStringLiteral("HIGH"), QStringLiteral("MED"), QStringLiteral("LOW")});
    if (found >= 0)
        report(selected().setCurrentRange(static_cast<CurrentRange>(found)));
}

void KdrxInstrument::queryCurrentRange(Request& request)
{
    if (!request.parameters.expect(0))
        return;
    const QStringList names = {QStringLiteral("HIGH"), QStringLiteral("MED"), QStringLiteral("LOW")};
    request.answers << names.at(static_cast<int>(selected().currentRange()));
}

void KdrxInstrument::setOutput(Request& request)
{
    if (!request.parameters.expect(1))
        return;
    const std::optional<bool> on = request.parameters.boolean(0);
    if (!on)
        return;
    for (const int number : actingChannels())
        channel(number).setLoad(*on, request.nowMs);
}

void KdrxInstrument::queryOutput(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << (selected().loadOn() ? QStringLiteral("1") : QStringLiteral("0"));
}

// Measurements.

void KdrxInstrument::measureCurrent(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << formatCurrent(selected().measure(request.nowMs).current);
}

void KdrxInstrument::measureVoltage(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << formatVoltage(selected().measure(request.nowMs).voltage);
}

void KdrxInstrument::measurePower(Request& request)
{
    if (!request.parameters.expect(0))
        return;
    const ChannelReading reading = selected().measure(request.nowMs);
    request.answers << QString::number(reading.current * reading.voltage, 'f', 3);
}

// Program memory and execution.

void KdrxInstrument::setProgramState(Request& request)
{
    if (!request.parameters.expect(1))
        return;
    const int found = request.parameters.keyword(0, {QStringLiteral("STOP"), QStringLiteral("RUN")});
    if (found < 0)
        return;
    for (const int number : actingChannels()) {
        if (found == 1)
            report(channel(number).startProgram(request.nowMs));
        else
            channel(number).stopProgram(request.nowMs);
    }
}

void KdrxInstrument::queryProgramState(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << (selected().isRunning() ? QStringLiteral("RUN") : QStringLiteral("STOP"));
}

void KdrxInstrument::queryExecution(Request& request)
{
    if (!request.parameters.expect(0))
        return;
    // State, end step, current step from 0, pass from 1, loop count.
    const SimulatedChannel& current = selected();
    const ProgramPosition where = current.position(request.nowMs);
    request.answers << QStringLiteral("%1,%2,%3,%4,%5")
                           .arg(where.running ? QStringLiteral("RUN") : QStringLiteral("STOP"))
                           .arg(current.endStep())
                           .arg(where.step)
                           .arg(where.pass)
                           .arg(current.loopCount());
}

void KdrxInstrument::setEndStep(Request& request)
{
    if (!request.parameters.expect(1))
        return;
    if (const std::optional<int> number = request.parameters.integer(0))
        report(selected().setEndStep(*number));
}

void KdrxInstrument::queryEndStep(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << QString::number(selected().endStep());
}

void KdrxInstrument::editStep(Request& request)
{
    if (!request.parameters.expect(4))
        return;
    const std::optional<int> number = request.parameters.integer(0);
    if (!number)
        return;
    const std::optional<double> value = request.parameters.decimal(1);
    if (!value)
        return;
    const std::optional<int> transition = request.parameters.integer(2);
    if (!transition)
        return;
    const std::optional<double> seconds = request.parameters.decimal(3);
    if (!seconds)
        return;
    // The instrument times steps to the millisecond.
    const double milliseconds = std::round(*seconds * 1000.0);
    if (milliseconds < 0.0 || milliseconds > static_cast<double>(SimulatedChannel::kMaxDurationMs)) {
        report(ScpiErrorQueue::kDataOutOfRange);
        return;
    }
    report(selected().setStep(*number, *value, *transition, static_cast<qint64>(milliseconds)));
}

void KdrxInstrument::queryStep(Request& request)
{
    if (!request.parameters.expect(1))
        return;
    const std::optional<int> number = request.parameters.integer(0);
    if (!number)
        return;
    if (*number < 1 || *number > SimulatedChannel::kProgramSteps) {
        report(ScpiErrorQueue::kDataOutOfRange);
        return;
    }
    const ProgramStep& step = selected().step(*number);
    request.answers << QStringLiteral("%1,%2,%3")
                           .arg(formatValue(step.value))
                           .arg(step.transition)
                           .arg(formatDuration(step.durationMs));
}

void KdrxInstrument::setLoopCount(Request& request)
{
    if (!request.parameters.expect(1))
        return;
    if (const std::optional<int> count = request.parameters.integer(0))
        report(selected().setLoopCount(*count));
}

void KdrxInstrument::queryLoopCount(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << QString::number(selected().loopCount());
}

void KdrxInstrument::setLoadAtEnd(Request& request)
{
    if (!request.parameters.expect(1))
        return;
    if (const std::optional<bool> on = request.parameters.boolean(0))
        report(selected().setLoadOnAtEnd(*on));
}

void KdrxInstrument::queryLoadAtEnd(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << (selected().loadOnAtEnd() ? QStringLiteral("ON") : QStringLiteral("OFF"));
}

void KdrxInstrument::setEndValue(Request& request)
{
    if (!request.parameters.expect(1))
        return;
    if (const std::optional<double> value = request.parameters.decimal(0))
        report(selected().setEndValue(*value));
}

void KdrxInstrument::queryEndValue(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << formatValue(selected().endValue());
}

// Status and system.

void KdrxInstrument::queryQuestionable(Request& request)
{
    if (!request.parameters.expect(0))
        return;
    if (request.suffix < 1 || request.suffix > kChannels) {
        report(ScpiErrorQueue::kHeaderSuffixOutOfRange);
        return;
    }
    request.answers << QString::number(channel(request.suffix).questionable());
}

void KdrxInstrument::queryError(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << errors_.pop();
}

void KdrxInstrument::queryVersion(Request& request)
{
    if (request.parameters.expect(0))
        request.answers << QStringLiteral("1999.0");
}
