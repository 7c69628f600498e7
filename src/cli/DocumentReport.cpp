#include "cli/DocumentReport.h"

#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/DecimalText.h"
#include "model/SequenceFormats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

namespace DocumentReport {

namespace {

// One JSON value as text, through Qt's writer (strings escaped, numbers in their shortest form).
QString jsonValue(const QJsonValue& value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString member(const char* name, const QString& valueText)
{
    return QLatin1Char('"') + QLatin1String(name) + QStringLiteral("\": ") + valueText;
}

QString object(const QStringList& members)
{
    return QLatin1Char('{') + members.join(QStringLiteral(", ")) + QLatin1Char('}');
}

QString array(const QStringList& items)
{
    return QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']');
}

QString transitionName(const QString& transition)
{
    if (transition == QLatin1String("0"))
        return QStringLiteral("step");
    if (transition == QLatin1String("1"))
        return QStringLiteral("ramp");
    return QLatin1Char('"') + transition + QLatin1Char('"');
}

QString loadName(const QString& load)
{
    if (load == QLatin1String("1"))
        return QStringLiteral("on");
    if (load == QLatin1String("0"))
        return QStringLiteral("off");
    return QLatin1Char('"') + load + QLatin1Char('"');
}

QString modeDescription(int mode, const AppSettings& settings, int c)
{
    switch (mode) {
    case ModeCCCV:
        return QStringLiteral("CC+CV at %1 V").arg(formatDouble("%.3f", settings.Volt1Ch[c]));
    case ModeCRCV:
        return QStringLiteral("CR+CV at %1 V").arg(formatDouble("%.3f", settings.Volt2Ch[c]));
    default:
        return SequenceFormats::modeToken(mode);
    }
}

} // namespace

QString table(const CMainDoc& document, const AppSettings& settings)
{
    QString text;
    text += QStringLiteral("Control: %1    Unit: %2    Sequence mode: %3\n")
                .arg(settings.SeqCtl == HardwareControl ? QStringLiteral("Hardware Control")
                                                        : QStringLiteral("Software Control"),
                     SequenceFormats::unitToken(settings.Unit),
                     settings.SeqMode == FastSequence ? QStringLiteral("fast") : QStringLiteral("normal"));
    for (int c = 0; c < kChannelCount; ++c) {
        const ChannelSequence& channel = document.channel(c);
        const int count = channel.stepCount();
        text += QStringLiteral("\nChannel %1: %2, %3\n")
                    .arg(c + 1)
                    .arg(modeDescription(settings.ModeCh[c], settings, c))
                    .arg(count == 0   ? QStringLiteral("no steps")
                         : count == 1 ? QStringLiteral("1 step")
                                      : QStringLiteral("%1 steps").arg(count));
        if (count == 0)
            continue;
        text += QStringLiteral("  %1 %2 %3 %4  %5 %6\n")
                    .arg(QStringLiteral("Line"), 5)
                    .arg(QStringLiteral("Time"), 12)
                    .arg(QStringLiteral("Value"), 12)
                    .arg(QStringLiteral("Interval"), 12)
                    .arg(QStringLiteral("Transition"), -10)
                    .arg(QStringLiteral("Load"));
        for (int slot = 0; slot < count; ++slot) {
            const SequenceStep& step = channel.steps[slot];
            text += QStringLiteral("  %1 %2 %3 %4  %5 %6\n")
                        .arg(slot + 1, 5)
                        .arg(step.time, 12)
                        .arg(step.value, 12)
                        .arg(step.interval, 12)
                        .arg(transitionName(step.transition), -10)
                        .arg(loadName(step.load));
        }
    }
    return text;
}

QString json(const CMainDoc& document, const AppSettings& settings, bool result, const QStringList& messages)
{
    QStringList messageItems;
    for (const QString& message : messages)
        messageItems << jsonValue(message);

    QStringList channels;
    for (int c = 0; c < kChannelCount; ++c) {
        const ChannelSequence& channel = document.channel(c);
        const int count = channel.stepCount();
        QStringList steps;
        for (int slot = 0; slot < count; ++slot) {
            const SequenceStep& step = channel.steps[slot];
            steps << object({member("time", jsonValue(step.time)), member("value", jsonValue(step.value)),
                             member("interval", jsonValue(step.interval)),
                             member("transition", jsonValue(step.transition)),
                             member("load", jsonValue(step.load)), member("load2", jsonValue(step.load2))});
        }
        channels << object({member("channel", QString::number(c + 1)),
                            member("mode", jsonValue(SequenceFormats::modeToken(settings.ModeCh[c]))),
                            member("volt1", jsonValue(settings.Volt1Ch[c])),
                            member("volt2", jsonValue(settings.Volt2Ch[c])),
                            member("count", QString::number(count)), member("steps", array(steps))});
    }
    return object({member("result", result ? QStringLiteral("true") : QStringLiteral("false")),
                   member("messages", array(messageItems)),
                   member("control", jsonValue(settings.SeqCtl == HardwareControl ? QStringLiteral("hard")
                                                                                  : QStringLiteral("soft"))),
                   member("unit", jsonValue(SequenceFormats::unitToken(settings.Unit))),
                   member("seqMode", QString::number(settings.SeqMode)),
                   member("channels", array(channels))});
}

} // namespace DocumentReport
