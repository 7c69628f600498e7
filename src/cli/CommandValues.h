#pragma once

#include "instrument/ChannelNumbers.h"

#include <QMap>
#include <QString>
#include <QStringList>

struct CliContext;

// A command's arguments when some of its options take a value ("--channels 1,3" or
// "--channels=1,3"): the values by option name, the flags, and the positional arguments in order.
struct CommandValues {
    QMap<QString, QString> values;
    QStringList flags;
    QStringList positional;

    bool has(const QString& option) const { return values.contains(option); }
    QString value(const QString& option) const { return values.value(option); }
};

// Splits the arguments; an unknown option, a missing value or an option given twice is a usage
// error written to context.err, and the result is false. After "--" every argument is positional.
bool splitCommandValues(CliContext& context, const QStringList& arguments, const QStringList& valueOptions,
                        const QStringList& flagOptions, CommandValues& result);

// "1,3,5", "2-4" or a mix ("1,3-5"): the channels 1..5 named, as selection flags. False with a
// complaint in error for anything else, or for a list that names no channel.
bool parseChannelList(const QString& text, ChannelFlags& channels, QString& error);
// The channels of the command's --channels option; a list that cannot be read is told on
// context.err and the result is false.
bool readChannelsOption(CliContext& context, const CommandValues& parsed, ChannelFlags& channels);
