#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "model/SettingsKeys.h"
#include "model/StepBounds.h"

#include <QTextStream>
#include <limits>

// --set KEY=VALUE: one "Config" key of the profile, by its stored name ("SeqCtl", "Volt1Ch3",
// "Repeat0"), takes the value for this run. Integers and reals must parse completely, integers
// within the key's range.
bool applySetOption(CliContext& context, const QString& value)
{
    const qsizetype equals = value.indexOf(QLatin1Char('='));
    if (equals <= 0) {
        context.err << "tessorctl: --set needs KEY=VALUE, not \"" << value << "\"" << Qt::endl;
        return false;
    }
    const QString name = value.left(equals);
    const QString text = value.mid(equals + 1);
    const auto slot = SettingsKeys::find(QStringLiteral("Config"), name);
    if (!slot) {
        context.err << "tessorctl: --set: no Config setting is named " << name << Qt::endl;
        return false;
    }
    if (!SettingsKeys::setFromText(context.settings, *slot->key, slot->slot, text)) {
        const SettingsKeys::Key& key = *slot->key;
        context.err << "tessorctl: --set: " << name << " needs a number";
        if (key.minimum != std::numeric_limits<int>::min() || key.maximum != std::numeric_limits<int>::max())
            context.err << " from " << key.minimum << " to " << key.maximum;
        context.err << ", not \"" << text << "\"" << Qt::endl;
        return false;
    }
    // A repeat count the load cannot take would be refused only once the write reached it.
    if (std::holds_alternative<std::array<int, 8> AppSettings::*>(slot->key->member) &&
        !StepBounds::isRepeatCount(context.settings.RepeatCh[slot->slot])) {
        context.err << "tessorctl: --set: " << name << " takes a repeat count from "
                    << StepBounds::kFirstRepeat << " to " << StepBounds::kLastRepeat << ", not \"" << text
                    << "\"" << Qt::endl;
        return false;
    }
    return true;
}
