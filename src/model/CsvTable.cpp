#include "model/CsvTable.h"

#include <QStringView>
#include <cmath>

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The separator outside quotes that the text uses first in the order TAB, semicolon, comma.
QChar findSeparator(QStringView text)
{
    bool quoted = false;
    bool semicolon = false;
    bool comma = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            quoted = false; // a quote never reaches past its line
        else if (quoted)
            continue;
        else if (c == QLatin1Char('\t'))
            return c;
        else if (c == QLatin1Char(';'))
            semicolon = true;
        else if (c == QLatin1Char(','))
            comma = true;
    }
    if (semicolon)
        return QLatin1Char(';');
    if (comma)
        return QLatin1Char(',');
    return QChar();
}

CsvTable::Row splitLine(QStringView line, QChar separator, int number)
{
    CsvTable::Row row;
    row.line = number;
    qsizetype i = 0;
    const qsizetype size = line.size();
    while (true) {
        // Blanks before a quote belong to nothing; a field that then starts with a quote is quoted.
        qsizetype start = i;
        while (start < size && line[start] != separator && line[start].isSpace())
            ++start;
        QString field;
        if (start < size && line[start] == QLatin1Char('"')) {
            i = start + 1;
            bool closed = false;
            while (i < size) {
                if (line[i] == QLatin1Char('"')) {
                    if (i + 1 < size && line[i + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                field += line[i++];
            }
            if (!closed)
                row.openQuote = true;
            // Anything between the closing quote and the separator is kept after the quoted text.
            while (i < size && line[i] != separator)
                field += line[i++];
            field = field.trimmed();
        } else {
            qsizetype end = start;
            while (end < size && line[end] != separator)
                ++end;
            field = line.mid(start, end - start).trimmed().toString();
            i = end;
        }
        row.fields << field;
        if (i >= size || separator.isNull())
            break;
        ++i; // the separator
    }
    while (!row.fields.isEmpty() && row.fields.constLast().isEmpty())
        row.fields.removeLast();
    return row;
}

} // namespace

CsvTable CsvTable::parse(const QString& text)
{
    CsvTable table;
    QStringView rest(text);
    if (rest.startsWith(QChar(0xFEFF)))
        rest = rest.mid(1);
    table.separator_ = findSeparator(rest);
    int number = 0;
    while (!rest.isEmpty()) {
        qsizetype end = 0;
        while (end < rest.size() && rest[end] != QLatin1Char('\n') && rest[end] != QLatin1Char('\r'))
            ++end;
        ++number;
        Row row = splitLine(rest.left(end), table.separator_, number);
        if (!row.fields.isEmpty())
            table.rows_.push_back(std::move(row));
        if (end < rest.size() && rest[end] == QLatin1Char('\r') && end + 1 < rest.size() &&
            rest[end + 1] == QLatin1Char('\n'))
            ++end;
        rest = rest.mid(std::min(end + 1, rest.size()));
    }
    return table;
}

std::optional<double> CsvTable::number(const QString& field) const
{
    const QStringView trimmed = QStringView(field).trimmed();
    QString withPoint;
    QStringView text = trimmed;
    if (decimalComma() && trimmed.contains(QLatin1Char(','))) {
        withPoint = trimmed.toString().replace(QLatin1Char(','), QLatin1Char('.'));
        text = withPoint;
    }
    qsizetype i = 0;
    const qsizetype size = text.size();
    if (i < size && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    bool digits = false;
    while (i < size && isDigit(text[i])) {
        ++i;
        digits = true;
    }
    if (i < size && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < size && isDigit(text[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return std::nullopt;
    if (i < size && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        if (i < size && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            ++i;
        if (i >= size || !isDigit(text[i]))
            return std::nullopt;
        while (i < size && isDigit(text[i]))
            ++i;
    }
    if (i != size)
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}
