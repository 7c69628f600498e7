#include "run/LogCutSeries.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// The start time "MM-dd-yy_HH-mm-ss" has a fixed width, so the digits after it are the cut index.
const QRegularExpression& cutName()
{
    static const QRegularExpression pattern(
        QStringLiteral("^(.*\\d{2}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2})(\\d{1,9})(\\..*)?$"));
    return pattern;
}

} // namespace

namespace LogCutSeries {

int cutIndex(const QString& fileName)
{
    const QRegularExpressionMatch match = cutName().match(fileName);
    return match.hasMatch() ? match.captured(2).toInt() : -1;
}

QStringList members(const QString& path)
{
    const QFileInfo info(path);
    const QRegularExpressionMatch match = cutName().match(info.fileName());
    if (!match.hasMatch())
        return {path};
    const QDir folder = info.dir();
    const QString base = match.captured(1);
    const QString extension = match.captured(3);
    const auto fileOf = [&](int index) { return folder.filePath(base + QString::number(index) + extension); };
    const int index = match.captured(2).toInt();
    // "…-090.txt" and "…-0900.txt" are other series' names only when written with leading zeros,
    // which the program never does.
    if (fileOf(index) != folder.filePath(info.fileName()))
        return {path};
    int first = index;
    while (first > 0 && QFileInfo(fileOf(first - 1)).isFile())
        --first;
    QStringList files;
    for (int i = first; i == index || QFileInfo(fileOf(i)).isFile(); ++i)
        files << (i == index ? path : fileOf(i));
    return files;
}

} // namespace LogCutSeries
