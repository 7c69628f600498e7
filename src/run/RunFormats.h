#pragma once

#include "instrument/ChannelNumbers.h"

#include <QChar>
#include <QDateTime>
#include <QString>

struct AppSettings;

// The texts a run produces: log names, header and data lines, time stamps, the Run dialog's
// caption and its elapsed-time display.
namespace RunFormats {

// A log line's time t (seconds from the run's start): "%.3f" with PassTime 0 (75.25 gives
// 75.250); "%d:%02d:%02.3f" hours, minutes, seconds with PassTime 1 (75.25 gives 0:01:15.250,
// 5.123 gives 0:00:5.123: the seconds are not padded).
QString passTimeText(double seconds, int passTime);
// The fixed time of the first channel's before-processing line: "0.000" or "0:00:0.000".
QString firstPassTimeText(int passTime);

// TAB when Txt is 0, a comma otherwise.
QChar separator(int txt);
// "Time[s]" (or "Time[h:m:s]"), then "Ch1[A]", "Ch1[V]" ... "Ch5[V]", each after a separator,
// and a line feed.
QString headerLine(int passTime, QChar separator);
// The time, then each channel's current and voltage after a separator, and a line feed: always
// eleven fields.
QString dataLine(const QString& time, const ChannelTexts& currents, const ChannelTexts& voltages,
                 QChar separator);

// "CV_", "CC_", "CR_", "CCV_" or "CRV_" by OperationMode; empty for any other value.
QString modePrefix(int mode);
// prefix + the local start time as "%m-%d-%y_%H-%M-%S".
QString logName(const QString& prefix, const QDateTime& start);
// folder + name with a "/" between them unless the folder already ends with one.
QString logBaseName(const QString& folder, const QString& name);

// The Run dialog's caption from the monitoring settings (File, the active timing, CutHour, CutMin),
// the monitoring interval in force and whether the log is cut into files.
QString monitoringCaption(const AppSettings& settings, bool monitoringActive, int intervalMs, bool fileCut);

// Time-span formatting: "%D" whole days, "%H" hours within the day ("%02"), "%M" minutes within
// the hour, "%S" seconds within the minute, "%%" a percent sign; any other character after "%"
// is dropped, every other character is copied.
QString timeSpanText(qint64 seconds, const QString& format);
// The Elapsed Time field ("%H:%M:%S") and the day field ("(%Dday)").
QString elapsedText(qint64 seconds);
QString dayText(qint64 seconds);

} // namespace RunFormats
