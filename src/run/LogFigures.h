#pragma once

#include "run/LogData.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class ResourceModule;

// The figures of each channel of a log: its first and last time with a reading, the range and mean
// of its current and voltage, and its charge and energy (RunningIntegral over its lines). The
// viewer's table, its CSV export and tessorctl log show the same figures in the same texts.
namespace LogFigures {

struct Range {
    int count = 0; // readings
    double min = 0.0;
    double max = 0.0;
    double mean = 0.0; // of the readings
};

struct Channel {
    int channel = 1; // 1..5
    double firstSeconds = 0.0;
    double lastSeconds = 0.0;
    double durationSeconds() const { return lastSeconds - firstSeconds; }
    Range current;
    Range voltage;
    std::optional<double> chargeAh; // with current readings
    std::optional<double> energyWh; // with current and voltage readings on the same lines
};

// The channels that hold readings, in channel order.
std::vector<Channel> summarize(const LogData& data);

// The table: the column headers (from the string table) and one row of texts per channel.
QStringList headers(const ResourceModule& module);
QStringList rowTexts(const Channel& channel);
// The summary as CSV: the header row and one row per channel, comma separated, line feeds.
QString csv(const std::vector<Channel>& channels, const ResourceModule& module);
// The summary as one JSON object: file, lines, channels (times in seconds; null where a quantity
// has no readings).
QString json(const QString& file, size_t lines, const std::vector<Channel>& channels);

} // namespace LogFigures
