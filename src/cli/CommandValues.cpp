#include "cli/CommandValues.h"

#include "cli/CliCommand.h"
#include "cli/CliContext.h"

#include <QTextStream>

bool splitCommandValues(CliContext& context, const QStringList& arguments, const QStringList& valueOptions,
                        const QStringList& flagOptions, CommandValues& result)
{
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument.size() == 1) {
            result.positional << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = equals > 0 ? argument.left(equals) : argument;
        if (flagOptions.contains(name) && equals < 0) {
            if (!result.flags.contains(name))
                result.flags << name;
            continue;
        }
        if (!valueOptions.contains(name)) {
            usageError(context, QStringLiteral("unknown option '%1'").arg(argument));
            return false;
        }
        if (result.values.contains(name)) {
            usageError(context, QStringLiteral("%1 is given twice").arg(name));
            return false;
        }
        if (equals > 0) {
            result.values.insert(name, argument.mid(equals + 1));
        } else if (i + 1 < arguments.size()) {
            result.values.insert(name, arguments[++i]);
        } else {
            usageError(context, QStringLiteral("%1 needs a value").arg(name));
            return false;
        }
    }
    return true;
}

bool parseChannelList(const QString& text, ChannelFlags& channels, QString& error)
{
    channels = ChannelFlags{};
    const auto channelNumber = [](const QString& piece, int& number) {
        bool ok = false;
        number = piece.trimmed().toInt(&ok);
        return ok && number >= 1 && number <= kChannelCount;
    };
    bool any = false;
    for (const QString& piece : text.split(QLatin1Char(','))) {
        const qsizetype dash = piece.indexOf(QLatin1Char('-'));
        int first = 0;
        int last = 0;
        const bool valid = dash < 0 ? channelNumber(piece, first) && channelNumber(piece, last)
                                    : channelNumber(piece.left(dash), first) &&
                                          channelNumber(piece.mid(dash + 1), last) && first <= last;
        if (!valid) {
            error =
                QStringLiteral("--channels takes channel numbers from 1 to %1 such as 1,3 or 2-4, not \"%2\"")
                    .arg(kChannelCount)
                    .arg(text);
            return false;
        }
        for (int number = first; number <= last; ++number)
            channels[number - 1] = 1;
        any = true;
    }
    if (!any) {
        error = QStringLiteral("--channels names no channel");
        return false;
    }
    return true;
}

bool readChannelsOption(CliContext& context, const CommandValues& parsed, ChannelFlags& channels)
{
    QString error;
    if (parseChannelList(parsed.value(QStringLiteral("--channels")), channels, error))
        return true;
    usageError(context, error);
    return false;
}
