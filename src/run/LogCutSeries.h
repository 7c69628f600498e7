#pragma once

#include <QString>
#include <QStringList>

// The files of a cut log: the log's name (mode prefixes and start time) followed directly by the
// cut index 0, 1, 2 ... and the extension. Opening any of them opens the whole series.
namespace LogCutSeries {

// The files of the series that the path belongs to, in index order: the unbroken run of existing
// files around it. A path that is not named as a cut file is a series of its own.
QStringList members(const QString& path);

// The cut index in a file name ("CC_12-24-05_14-03-0912.txt" gives 12), or -1 when the name is not
// that of a cut file.
int cutIndex(const QString& fileName);

} // namespace LogCutSeries
