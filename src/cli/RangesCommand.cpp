#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliInstrument.h"
#include "cli/CommandValues.h"
#include "instrument/TransferProcedures.h"

#include <QTextStream>

namespace {

// The index of the option's value in its list (any case); a missing or unknown value is a usage
// error that names the option and the values it takes.
int rangeIndex(CliContext& context, const CommandValues& parsed, const QString& option,
               const QStringList& names)
{
    const QString allowed =
        names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") + names.last();
    if (!parsed.has(option)) {
        usageError(context, QStringLiteral("ranges needs %1 %2").arg(option, names.join(QLatin1Char('|'))));
        return -1;
    }
    const int index = names.indexOf(parsed.value(option).toUpper());
    if (index < 0)
        usageError(context,
                   QStringLiteral("%1 takes %2, not '%3'").arg(option, allowed, parsed.value(option)));
    return index;
}

} // namespace

// tessorctl ranges --channels LIST --cc HIGH|MED|LOW --cv HIGH|LOW: sets the ranges of the listed
// channels as the Initial Settings dialog's Write does.
int runRangesCommand(CliContext& context, const QStringList& arguments)
{
    CommandValues parsed;
    const QStringList options{QStringLiteral("--channels"), QStringLiteral("--cc"), QStringLiteral("--cv")};
    if (!splitCommandValues(context, arguments, options, {}, parsed))
        return ExitUsage;
    if (!parsed.positional.isEmpty())
        return usageError(context,
                          QStringLiteral("ranges takes no argument '%1'").arg(parsed.positional.first()));
    if (!parsed.has(QStringLiteral("--channels")))
        return usageError(context, QStringLiteral("ranges needs --channels LIST"));
    const QStringList currentNames{QStringLiteral("HIGH"), QStringLiteral("MED"), QStringLiteral("LOW")};
    const int currentRange = rangeIndex(context, parsed, QStringLiteral("--cc"), currentNames);
    if (currentRange < 0)
        return ExitUsage;
    const int voltageRange =
        rangeIndex(context, parsed, QStringLiteral("--cv"), {QStringLiteral("HIGH"), QStringLiteral("LOW")});
    if (voltageRange < 0)
        return ExitUsage;
    ChannelFlags channels;
    if (!readChannelsOption(context, parsed, channels))
        return ExitUsage;

    // The channels not listed keep their stored ranges and are not sent.
    RangeData data = RangeData::fromSettings(context.settings);
    QStringList keep;
    for (int c = 0; c < kChannelCount; ++c) {
        data.enabled[c] = channels[c];
        if (channels[c]) {
            data.currentRange[c] = currentRange;
            data.voltageRange[c] = voltageRange;
            keep << QStringLiteral("--set RangeCC%1=%2").arg(c + 1).arg(currentRange);
        }
    }
    CliInstrument instrument(context);
    TransferProcedures procedures(instrument.device(), context.settings, instrument.current(),
                                  context.prompt);
    if (!procedures.writeRanges(data)) {
        if (!instrument.stopRequested())
            return ExitFailure;
        context.err << "tessorctl: stopped; some of the listed channels may keep their old ranges."
                    << Qt::endl;
        return ExitInterrupted;
    }
    // The instrument keeps the ranges, but a Software Control run sets the current range again
    // from the profile, which tessorctl does not write.
    context.err << "tessorctl: a Software Control run sets each channel's current range from the profile "
                   "again; to run with "
                << currentNames[currentRange] << ", give run " << keep.join(QLatin1Char(' ')) << '.'
                << Qt::endl;
    return ExitSuccess;
}
