#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliInstrument.h"
#include "cli/CommandValues.h"
#include "instrument/TransferProcedures.h"

#include <QTextStream>

// tessorctl ranges --channels LIST --cc HIGH|MED|LOW --cv HIGH|LOW: sets the ranges of the listed
// channels as the Initial Settings dialog's Write does.
int runRangesCommand(CliContext& context, const QStringList& arguments)
{
    CommandValues parsed;
    const QStringList options{QStringLiteral("--channels"), QStringLiteral("--cc"), QStringLiteral("--cv")};
    if (!splitCommandValues(context, arguments, options, {}, parsed))
        return ExitUsage;
    const int currentRange =
        QStringList{QStringLiteral("HIGH"), QStringLiteral("MED"), QStringLiteral("LOW")}.indexOf(
            parsed.value(QStringLiteral("--cc")).toUpper());
    const int voltageRange = QStringList{QStringLiteral("HIGH"), QStringLiteral("LOW")}.indexOf(
        parsed.value(QStringLiteral("--cv")).toUpper());
    if (!parsed.positional.isEmpty() || !parsed.has(QStringLiteral("--channels")) || currentRange < 0 ||
        voltageRange < 0) {
        context.err << "Usage: tessorctl ranges --channels LIST --cc HIGH|MED|LOW --cv HIGH|LOW" << Qt::endl;
        return ExitUsage;
    }
    ChannelFlags channels;
    if (!readChannelsOption(context, parsed, channels))
        return ExitUsage;

    // The channels not listed keep their stored ranges and are not sent.
    RangeData data = RangeData::fromSettings(context.settings);
    for (int c = 0; c < kChannelCount; ++c) {
        data.enabled[c] = channels[c];
        if (channels[c]) {
            data.currentRange[c] = currentRange;
            data.voltageRange[c] = voltageRange;
        }
    }
    CliInstrument instrument(context);
    TransferProcedures procedures(instrument.device(), context.settings, instrument.current(),
                                  context.prompt);
    return procedures.writeRanges(data) ? ExitSuccess : ExitFailure;
}
