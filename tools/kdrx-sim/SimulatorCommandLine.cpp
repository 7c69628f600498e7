#include "SimulatorCommandLine.h"

#include "KdrxSimulator.h"

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
        "it, it reads command lines on standard input and writes the replies to standard output.\n"
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
    parser.addOptions(
        {pty, transcript, baud, stopAfter, garbage, model, errorAfter, questionable, source, help});

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
