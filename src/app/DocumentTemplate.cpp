#include "app/DocumentTemplate.h"

#include <QStringList>

DocumentTemplate DocumentTemplate::fromString(const QString& entry)
{
    const QStringList fields = entry.split(QLatin1Char('\n'));
    const auto field = [&fields](int i) { return i < fields.size() ? fields.at(i) : QString(); };
    return DocumentTemplate{field(0), field(1), field(2), field(3), field(4), field(5), field(6)};
}

FileFilter DocumentTemplate::filter() const
{
    FileFilter filter;
    filter.name = filterName;
    for (const QString& extension : filterExtensions.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        filter.patterns << QLatin1Char('*') + extension.trimmed();
    return filter;
}

QString DocumentTemplate::defaultSuffix() const
{
    QString first = filterExtensions.section(QLatin1Char(';'), 0, 0).trimmed();
    if (first.startsWith(QLatin1Char('.')))
        first.remove(0, 1);
    return first;
}
