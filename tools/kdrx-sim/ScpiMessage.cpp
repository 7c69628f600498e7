#include "ScpiMessage.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace {

// Splits at the separator outside double-quoted strings.
QStringList splitOutsideQuotes(const QString& text, QChar separator)
{
    QStringList pieces;
    QString current;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (c == separator && !quoted) {
            pieces << current;
            current.clear();
        } else {
            current += c;
        }
    }
    pieces << current;
    return pieces;
}

bool isWellFormedHeader(const QString& header)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"re(^(\*[A-Za-z]+\??|:?[A-Za-z][A-Za-z0-9]*(:[A-Za-z][A-Za-z0-9]*)*\??)$)re"));
    return pattern.match(header).hasMatch();
}

} // namespace

std::vector<ScpiUnit> ScpiMessage::split(const QString& line)
{
    std::vector<ScpiUnit> units;
    QStringList path;
    for (const QString& piece : splitOutsideQuotes(line, QLatin1Char(';'))) {
        const QString text = piece.trimmed();
        if (text.isEmpty())
            continue;
        ScpiUnit unit;
        unit.text = text;
        qsizetype headerEnd = 0;
        while (headerEnd < text.size() && !text.at(headerEnd).isSpace())
            ++headerEnd;
        QString header = text.left(headerEnd);
        const QString arguments = text.mid(headerEnd).trimmed();
        if (!arguments.isEmpty()) {
            for (const QString& parameter : splitOutsideQuotes(arguments, QLatin1Char(',')))
                unit.parameters << parameter.trimmed();
        }
        if (!isWellFormedHeader(header)) {
            unit.malformed = true;
            units.push_back(unit);
            continue;
        }
        if (header.endsWith(QLatin1Char('?'))) {
            unit.query = true;
            header.chop(1);
        }
        if (header.startsWith(QLatin1Char('*'))) {
            unit.common = true;
            unit.nodes << header;
        } else {
            const bool fromRoot = header.startsWith(QLatin1Char(':'));
            if (fromRoot)
                header.remove(0, 1);
            unit.nodes = fromRoot ? QStringList() : path;
            unit.nodes << header.split(QLatin1Char(':'));
            path = unit.nodes;
            path.removeLast();
        }
        units.push_back(unit);
    }
    return units;
}

std::optional<double> ScpiMessage::decimal(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"re(^[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?$)re"));
    const QString trimmed = text.trimmed();
    if (!pattern.match(trimmed).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> ScpiMessage::integer(const QString& text)
{
    const std::optional<double> value = decimal(text);
    if (!value || std::floor(*value) != *value || *value < std::numeric_limits<int>::min() ||
        *value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(*value);
}
