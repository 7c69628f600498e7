#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <array>
#include <cmath>
#include <vector>

// What a monitoring log holds once read: one time per line (seconds from the run's start, whatever
// the file's time format) and, per channel, its current and voltage on every line. A field that was
// empty in the file is NaN: the channel had no reading on that line.
struct LogData {
    static constexpr int kChannels = 5;

    struct Channel {
        // Both as long as times, or empty when the column never holds a reading.
        std::vector<double> current;
        std::vector<double> voltage;
        bool hasReadings() const { return !current.empty() || !voltage.empty(); }
        double currentAt(size_t line) const { return current.empty() ? NAN : current[line]; }
        double voltageAt(size_t line) const { return voltage.empty() ? NAN : voltage[line]; }
    };

    QStringList files; // the file, or every file of a cut series in order
    std::vector<double> times;
    std::array<Channel, kChannels> channels;
    QChar separator = QLatin1Char('\t');
    bool hoursMinutesSeconds = false; // the time column reads h:m:s
    // Set when the last line of a file was not written completely and was left out.
    QString incompleteFile;
    qint64 incompleteLine = 0;

    size_t lineCount() const { return times.size(); }
    // Channels 1..5 that hold at least one reading.
    std::vector<int> channelNumbers() const
    {
        std::vector<int> numbers;
        for (int c = 0; c < kChannels; ++c) {
            if (channels[static_cast<size_t>(c)].hasReadings())
                numbers.push_back(c + 1);
        }
        return numbers;
    }
};
