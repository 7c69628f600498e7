#include "SimulatorCommandLine.h"

#include "KdrxSimulator.h"
#include "PrologixController.h"

#include <QCommandLineParser>
#include <cmath>

namespace {

std::optional<int> wholeNumber(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<double> realNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// "LEFT=RIGHT" split at the first "=", both sides non-empty.
bool splitAssignment(const QString& text, QString* left, QString* right)
{
    const qsizetype at = text.indexOf(QLatin1Char('='));
    if (at <= 0 || at == text.size() - 1)
        return false;
    *left = text.left(at);
    *right = text.mid(at + 1);
    return true;
}

std::optional<int> channelNumber(const QString& text)
{
    const std::optional<int> channel = wholeNumber(text);
    if (!channel || *channel < 1 || *channel > 5)
        return std::nullopt;
    return channel;
}

} // namespace

QString SimulatorCommandLine::usage()
{
    return QStringLiteral(
        "Usage: kdrx-sim [options]\n"
        "A simulated Morvane KDR-X five-channel electronic load. With --pty it serves on a\n"
        "pseudo-terminal linked at PATH until SIGTERM, SIGINT or SIGHUP, which remove the link; without\n"
        "it, it reads command lines on standard input and writes the replies to standard output. With\n"
        "--prologix (or --tcp) a Prologix-compatible GPIB controller stands in front of it.\n"
        "\n"
        "  --pty PATH                 serve on a pseudo-terminal; PATH becomes a symbolic link to it\n"
        "                             (refused while another simulator serves PATH)\n"
        "  --transcript FILE          write every received line, stamped to the millisecond\n"
        "  --baud N                   take the time of a line of N baud (10 bits per byte)\n"
        "  --stop-after N             answer the first N lines, then nothing\n"
        "  --garbage                  answer every query with garbage\n"
        "  --model NAME               report NAME as the model in \"*IDN?\"\n"
        "  --error-after CMD=ERROR    push ERROR (e.g. -222,\"Data out of range\") after CMD (repeatable)\n"
        "  --questionable CH=COND     channel CH (1-5) reports questionable condition COND (repeatable)\n"
        "  --source CH=VOLTS,OHMS     the source at channel CH's terminals (default 12 V, 0.1 ohm)\n"
        "  --prologix                 put a Prologix-compatible GPIB controller in front of the load\n"
        "  --tcp PORT                 serve the controller on 127.0.0.1:PORT (0: a free port, printed)\n"
        "  --gpib-address N           the load's GPIB address behind the controller (default 5)\n"
        "  --prologix-silent          the controller answers nothing (not even ++ver)\n"
        "  --prologix-version TEXT    the controller's answer to ++ver\n"
        "  --prologix-cut N           the controller passes only the first N bytes of each reply\n"
        "  -h, --help                 show this text\n");
}

std::optional<SimulatorOptions> SimulatorCommandLine::parse(const QStringList& arguments, QString* error)
{
    QCommandLineParser parser;
    const QCommandLineOption pty(QStringLiteral("pty"), QString(), QStringLiteral("PATH"));
    const QCommandLineOption transcript(QStringLiteral("transcript"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption baud(QStringLiteral("baud"), QString(), QStringLiteral("N"));
    const QCommandLineOption stopAfter(QStringLiteral("stop-after"), QString(), QStringLiteral("N"));
    const QCommandLineOption garbage(QStringLiteral("garbage"));
    const QCommandLineOption model(QStringLiteral("model"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption errorAfter(QStringLiteral("error-after"), QString(),
                                        QStringLiteral("CMD=ERROR"));
    const QCommandLineOption questionable(QStringLiteral("questionable"), QString(),
                                          QStringLiteral("CH=COND"));
    const QCommandLineOption source(QStringLiteral("source"), QString(), QStringLiteral("CH=VOLTS,OHMS"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption prologix(QStringLiteral("prologix"));
    const QCommandLineOption tcp(QStringLiteral("tcp"), QString(), QStringLiteral("PORT"));
    const QCommandLineOption gpibAddress(QStringLiteral("gpib-address"), QString(), QStringLiteral("N"));
    const QCommandLineOption controllerSilent(QStringLiteral("prologix-silent"));
    const QCommandLineOption controllerVersion(QStringLiteral("prologix-version"), QString(),
                                               QStringLiteral("TEXT"));
    const QCommandLineOption cutReplies(QStringLiteral("prologix-cut"), QString(), QStringLiteral("N"));
    parser.addOptions({pty, transcript, baud, stopAfter, garbage, model, errorAfter, questionable, source,
                       help, prologix, tcp, gpibAddress, controllerSilent, controllerVersion, cutReplies});

    const auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return std::nullopt;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("Unexpected argument \"%1\".").arg(parser.positionalArguments().first()));

    SimulatorOptions options;
    options.help = parser.isSet(help);
    options.ptyPath = parser.value(pty);
    options.transcriptPath = parser.value(transcript);
    if (parser.isSet(baud)) {
        const std::optional<int> value = wholeNumber(parser.value(baud));
        if (!value || *value <= 0)
            return fail(QStringLiteral("--baud needs a positive number of baud."));
        options.baud = *value;
    }
    if (parser.isSet(stopAfter)) {
        const std::optional<int> value = wholeNumber(parser.value(stopAfter));
        if (!value || *value < 0)
            return fail(QStringLiteral("--stop-after needs a number of lines, 0 or more."));
        options.stopAfter = *value;
    }
    options.garbage = parser.isSet(garbage);
    if (parser.isSet(model))
        options.model = parser.value(model);
    for (const QString& value : parser.values(errorAfter)) {
        QString command;
        QString text;
        if (!splitAssignment(value, &command, &text))
            return fail(QStringLiteral("--error-after needs COMMAND=ERROR, not \"%1\".").arg(value));
        options.errorsAfter.push_back({command, text});
    }
    for (const QString& value : parser.values(questionable)) {
        QString channel;
        QString condition;
        std::optional<int> number;
        std::optional<int> bits;
        if (!splitAssignment(value, &channel, &condition) || !(number = channelNumber(channel)) ||
            !(bits = wholeNumber(condition)))
            return fail(
                QStringLiteral("--questionable needs CHANNEL=CONDITION with a channel 1 to 5, not \"%1\".")
                    .arg(value));
        options.questionable.push_back({*number, *bits});
    }
    for (const QString& value : parser.values(source)) {
        QString channel;
        QString figures;
        std::optional<int> number;
        const auto bad = [&] {
            return fail(
                QStringLiteral("--source needs CHANNEL=VOLTS,OHMS with a channel 1 to 5 and values of 0 "
                               "or more, not \"%1\".")
                    .arg(value));
        };
        if (!splitAssignment(value, &channel, &figures) || !(number = channelNumber(channel)))
            return bad();
        const QStringList parts = figures.split(QLatin1Char(','));
        if (parts.size() != 2)
            return bad();
        const std::optional<double> volts = realNumber(parts.at(0));
        const std::optional<double> ohms = realNumber(parts.at(1));
        if (!volts || !ohms || *volts < 0.0 || *ohms < 0.0)
            return bad();
        options.sources.push_back({*number, *volts, *ohms});
    }

    if (parser.isSet(tcp)) {
        const std::optional<int> value = wholeNumber(parser.value(tcp));
        if (!value || *value < 0 || *value > 65535)
            return fail(QStringLiteral("--tcp needs a port from 0 to 65535."));
        if (!options.ptyPath.isEmpty())
            return fail(QStringLiteral("--tcp and --pty cannot be used together."));
        options.tcpPort = *value;
    }
    options.prologix = parser.isSet(prologix) || options.tcpPort.has_value();
    const bool controllerFault = parser.isSet(gpibAddress) || parser.isSet(controllerSilent) ||
                                 parser.isSet(controllerVersion) || parser.isSet(cutReplies);
    if (controllerFault && !options.prologix)
        return fail(
            QStringLiteral("--gpib-address and the --prologix-... options need --prologix or --tcp."));
    if (parser.isSet(gpibAddress)) {
        const std::optional<int> value = wholeNumber(parser.value(gpibAddress));
        if (!value || *value < 0 || *value > 30)
            return fail(QStringLiteral("--gpib-address needs an address from 0 to 30."));
        options.gpibAddress = *value;
    }
    options.controllerSilent = parser.isSet(controllerSilent);
    if (parser.isSet(controllerVersion))
        options.controllerVersion = parser.value(controllerVersion);
    if (parser.isSet(cutReplies)) {
        const std::optional<int> value = wholeNumber(parser.value(cutReplies));
        if (!value || *value < 0)
            return fail(QStringLiteral("--prologix-cut needs a number of bytes, 0 or more."));
        options.cutReplies = *value;
    }
    return options;
}

void SimulatorCommandLine::apply(const SimulatorOptions& options, KdrxSimulator& simulator)
{
    if (options.stopAfter >= 0)
        simulator.stopAnsweringAfter(options.stopAfter);
    simulator.answerGarbage(options.garbage);
    if (options.model)
        simulator.setModel(*options.model);
    for (const SimulatorOptions::ErrorAfter& rule : options.errorsAfter)
        simulator.pushErrorAfter(rule.command, rule.error);
    for (const SimulatorOptions::Questionable& fault : options.questionable)
        simulator.setQuestionable(fault.channel, fault.condition);
    for (const SimulatorOptions::Source& dut : options.sources)
        simulator.setSource(dut.channel, dut.openVoltage, dut.resistance);
}

void SimulatorCommandLine::applyController(const SimulatorOptions& options, PrologixController& controller)
{
    controller.setInstrumentAddress(options.gpibAddress);
    controller.setSilent(options.controllerSilent);
    if (options.controllerVersion)
        controller.setVersion(*options.controllerVersion);
    controller.cutRepliesAfter(options.cutReplies);
}
