#include "model/CsvFile.h"

#include "ui/ResourceModule.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// String-table texts.
enum Text {
    CannotReadText = 815,  // "The file %1 cannot be imported: %2"
    NotAFileText = 816,    // "it is not a regular file."
    TooLargeText = 817,    // "it is larger than %1 MB."
    CannotWriteText = 818, // "The file %1 could not be written: %2"
};

} // namespace

namespace CsvFile {

QString read(const QString& path, const ResourceModule& strings, QString& failure)
{
    const QFileInfo info(path);
    const auto refuse = [&](const QString& reason) {
        failure = strings.string(CannotReadText).arg(info.fileName(), reason);
        return QString();
    };
    // A pipe or a device would never end (or never start) giving a table of steps; opening a missing
    // file gives the system's reason.
    QFile file(path);
    if (info.exists() && !info.isFile())
        return refuse(strings.string(NotAFileText));
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    const QByteArray bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return refuse(file.errorString());
    if (bytes.size() > kMaxBytes)
        return refuse(strings.string(TooLargeText).arg(kMaxBytes / (1024 * 1024)));
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    // An empty file is an empty table, not a failure.
    if (text.isNull())
        text = QLatin1String("");
    return text;
}

bool write(const QString& path, const QString& text, const ResourceModule& strings, QString& failure)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0 && file.commit())
        return true;
    failure = strings.string(CannotWriteText).arg(QFileInfo(path).fileName(), file.errorString());
    return false;
}

} // namespace CsvFile
