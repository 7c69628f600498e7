#pragma once

#include <QString>
#include <QStringList>

class CMainDoc;
struct AppSettings;

// Prints a document with the settings that say how to read it: a readable table per channel, or
// one JSON object for scripts. Times are whatever the document's tables hold (callers recompute
// them first).
namespace DocumentReport {

QString table(const CMainDoc& document, const AppSettings& settings);
// {"result", "messages", "control", "unit", "seqMode", "channels": [{"channel", "mode", "volt1",
// "volt2", "count", "steps": [{"time", "value", "interval", "transition", "load", "load2"}]}]}
QString json(const CMainDoc& document, const AppSettings& settings, bool result, const QStringList& messages);

} // namespace DocumentReport
