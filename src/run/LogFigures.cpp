#include "run/LogFigures.h"

#include "run/RunningIntegral.h"
#include "ui/ResourceModule.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <algorithm>

namespace {

// The string table's column headers, Channel to Energy.
constexpr int kFirstHeader = 870;
constexpr int kHeaderCount = 12;

LogFigures::Range rangeOf(const std::vector<double>& values)
{
    LogFigures::Range range;
    double sum = 0.0;
    for (double value : values) {
        if (std::isnan(value))
            continue;
        if (range.count == 0) {
            range.min = value;
            range.max = value;
        } else {
            range.min = std::min(range.min, value);
            range.max = std::max(range.max, value);
        }
        sum += value;
        ++range.count;
    }
    if (range.count > 0)
        range.mean = sum / range.count;
    return range;
}

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

QString optionalText(const std::optional<double>& value, int decimals)
{
    return value ? fixed(*value, decimals) : QString();
}

void rangeTexts(const LogFigures::Range& range, int decimals, QStringList& texts)
{
    for (double value : {range.min, range.max, range.mean})
        texts << (range.count > 0 ? fixed(value, decimals) : QString());
}

QString jsonNumber(double value)
{
    return QString::number(value, 'g', 15);
}

QString jsonRange(const LogFigures::Range& range)
{
    if (range.count == 0)
        return QStringLiteral("null");
    return QStringLiteral("{\"min\": %1, \"max\": %2, \"mean\": %3}")
        .arg(jsonNumber(range.min), jsonNumber(range.max), jsonNumber(range.mean));
}

QString jsonOptional(const std::optional<double>& value)
{
    return value ? jsonNumber(*value) : QStringLiteral("null");
}

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

namespace LogFigures {

std::vector<Channel> summarize(const LogData& data)
{
    std::vector<Channel> result;
    for (int c = 0; c < LogData::kChannels; ++c) {
        const LogData::Channel& column = data.channels[static_cast<size_t>(c)];
        if (!column.hasReadings())
            continue;
        Channel figures;
        figures.channel = c + 1;
        RunningIntegral integral;
        bool first = true;
        for (size_t line = 0; line < data.lineCount(); ++line) {
            const double current = column.currentAt(line);
            const double voltage = column.voltageAt(line);
            if (std::isnan(current) && std::isnan(voltage)) {
                integral.add(data.times[line], NAN, NAN);
                continue;
            }
            if (first)
                figures.firstSeconds = data.times[line];
            first = false;
            figures.lastSeconds = data.times[line];
            integral.add(data.times[line], current, voltage);
        }
        figures.current = rangeOf(column.current);
        figures.voltage = rangeOf(column.voltage);
        if (integral.hasCharge())
            figures.chargeAh = integral.chargeAh();
        if (integral.hasEnergy())
            figures.energyWh = integral.energyWh();
        result.push_back(figures);
    }
    return result;
}

QStringList headers(const ResourceModule& module)
{
    QStringList texts;
    for (int i = 0; i < kHeaderCount; ++i)
        texts << module.string(kFirstHeader + i);
    return texts;
}

QStringList rowTexts(const Channel& channel)
{
    QStringList texts{QString::number(channel.channel), fixed(channel.firstSeconds, 3),
                      fixed(channel.lastSeconds, 3), fixed(channel.durationSeconds(), 3)};
    rangeTexts(channel.current, 4, texts);
    rangeTexts(channel.voltage, 3, texts);
    texts << optionalText(channel.chargeAh, 6) << optionalText(channel.energyWh, 6);
    return texts;
}

QString csv(const std::vector<Channel>& channels, const ResourceModule& module)
{
    const auto rowOf = [](const QStringList& texts) {
        QStringList fields;
        for (const QString& text : texts)
            fields << csvField(text);
        return fields.join(QLatin1Char(',')) + QLatin1Char('\n');
    };
    QString text = rowOf(headers(module));
    for (const Channel& channel : channels)
        text += rowOf(rowTexts(channel));
    return text;
}

QString json(const QString& file, size_t lines, const std::vector<Channel>& channels)
{
    QStringList objects;
    for (const Channel& channel : channels) {
        objects << QStringLiteral(
                       "{\"channel\": %1, \"first_s\": %2, \"last_s\": %3, \"duration_s\": %4, "
                       "\"current_A\": %5, \"voltage_V\": %6, \"charge_Ah\": %7, \"energy_Wh\": %8}")
                       .arg(QString::number(channel.channel), jsonNumber(channel.firstSeconds),
                            jsonNumber(channel.lastSeconds), jsonNumber(channel.durationSeconds()),
                            jsonRange(channel.current), jsonRange(channel.voltage),
                            jsonOptional(channel.chargeAh), jsonOptional(channel.energyWh));
    }
    // The file name as a JSON string, escapes and all.
    const QString fileText =
        QString::fromUtf8(QJsonDocument(QJsonArray{QJsonValue(file)}).toJson(QJsonDocument::Compact));
    return QStringLiteral("{\"file\": %1, \"lines\": %2, \"channels\": [%3]}\n")
        .arg(fileText.mid(1, fileText.size() - 2), QString::number(lines),
             objects.join(QStringLiteral(", ")));
}

} // namespace LogFigures
