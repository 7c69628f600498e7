#include "run/RunFormats.h"

#include "model/AppSettings.h"
#include "model/DecimalText.h"
#include "model/SequenceFormats.h"

namespace RunFormats {

QString passTimeText(double seconds, int passTime)
{
    if (passTime != 1)
        return formatDouble("%.3f", seconds);
    const int hours = static_cast<int>(seconds * (1.0 / 3600.0));
    const int minutes = static_cast<int>((seconds - 3600.0 * hours) * (1.0 / 60.0));
    const double rest = seconds - 3600.0 * hours - 60.0 * minutes;
    return QString::asprintf("%d:%02d:%02.3f", hours, minutes, rest);
}

QString firstPassTimeText(int passTime)
{
    return passTime == 1 ? QStringLiteral("0:00:0.000") : QStringLiteral("0.000");
}

QChar separator(int txt)
{
    return txt == 0 ? QLatin1Char('\t') : QLatin1Char(',');
}

QString headerLine(int passTime, QChar separator)
{
    QString line = passTime == 1 ? QStringLiteral("Time[h:m:s]") : QStringLiteral("Time[s]");
    for (int c = 1; c <= kChannelCount; ++c) {
        line += separator + QStringLiteral("Ch%1[A]").arg(c);
        line += separator + QStringLiteral("Ch%1[V]").arg(c);
    }
    return line + QLatin1Char('\n');
}

QString dataLine(const QString& time, const ChannelTexts& currents, const ChannelTexts& voltages,
                 QChar separator)
{
    QString line = time;
    for (int c = 0; c < kChannelCount; ++c) {
        line += separator + currents[c];
        line += separator + voltages[c];
    }
    return line + QLatin1Char('\n');
}

QString modePrefix(int mode)
{
    // The mode as a sequence file names it; a value off the modes names none.
    if (mode < ModeCV || mode > ModeCRCV)
        return QString();
    return SequenceFormats::modeToken(mode) + QLatin1Char('_');
}

QString logName(const QString& prefix, const QDateTime& start)
{
    return prefix + start.toString(QStringLiteral("MM-dd-yy_HH-mm-ss"));
}

QString logBaseName(const QString& folder, const QString& name)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString monitoringCaption(const AppSettings& settings, bool monitoringActive, int intervalMs, bool fileCut)
{
    if (!monitoringActive)
        return QStringLiteral("Run - Monitoring:none, Output to File:none");
    const bool interval = settings.MonTiming == 0;
    const QString timing = interval ? QStringLiteral("%1[ms]").arg(intervalMs)
                                    : QStringLiteral("Immediately before end of the Step Transition");
    if (settings.File == 0)
        return QStringLiteral("Run - Monitoring:ON, Output to File:none ") + timing;
    QString caption = QStringLiteral("Run - Monitoring:ON, Output to File:provided ") + timing;
    if (fileCut)
        caption += QStringLiteral(", File cut:%1hour%2min").arg(settings.CutHour).arg(settings.CutMin);
    return caption;
}

QString timeSpanText(qint64 seconds, const QString& format)
{
    const qint64 days = seconds / 86400;
    const qint64 hours = seconds / 3600 % 24;
    const qint64 minutes = seconds / 60 % 60;
    const qint64 secs = seconds % 60;
    QString text;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar ch = format[i];
        if (ch != QLatin1Char('%')) {
            text += ch;
            continue;
        }
        if (++i >= format.size())
            break;
        switch (format[i].unicode()) {
        case 'D':
            text += QString::number(days);
            break;
        case 'H':
            text += QStringLiteral("%1").arg(hours, 2, 10, QLatin1Char('0'));
            break;
        case 'M':
            text += QStringLiteral("%1").arg(minutes, 2, 10, QLatin1Char('0'));
            break;
        case 'S':
            text += QStringLiteral("%1").arg(secs, 2, 10, QLatin1Char('0'));
            break;
        case '%':
            text += QLatin1Char('%');
            break;
        default:
            break;
        }
    }
    return text;
}

QString elapsedText(qint64 seconds)
{
    return timeSpanText(seconds, QStringLiteral("%H:%M:%S"));
}

QString dayText(qint64 seconds)
{
    return timeSpanText(seconds, QStringLiteral("(%Dday)"));
}

} // namespace RunFormats
