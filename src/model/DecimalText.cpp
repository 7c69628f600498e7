#include "model/DecimalText.h"

#include <QByteArray>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the longest prefix of text (after blanks) that forms a decimal number:
// [sign] digits [. digits] [e [sign] digits]. Hexadecimal, "inf" and "nan" are not numbers here.
QByteArray numberPrefix(const QByteArray& text)
{
    const char* p = text.constData();
    while (isBlank(*p))
        ++p;
    const char* start = p;
    if (*p == '+' || *p == '-')
        ++p;
    bool digits = false;
    while (isDigit(*p)) {
        ++p;
        digits = true;
    }
    if (*p == '.') {
        ++p;
        while (isDigit(*p)) {
            ++p;
            digits = true;
        }
    }
    if (!digits)
        return QByteArray();
    if (*p == 'e' || *p == 'E') {
        const char* exponent = p + 1;
        if (*exponent == '+' || *exponent == '-')
            ++exponent;
        if (isDigit(*exponent)) {
            while (isDigit(*exponent))
                ++exponent;
            p = exponent;
        }
    }
    return QByteArray(start, static_cast<int>(p - start));
}

} // namespace

double decimalValue(const QString& text)
{
    const QByteArray number = numberPrefix(text.toLatin1());
    if (number.isEmpty())
        return 0.0;
    // strtod would follow LC_NUMERIC; the prefix uses only the C locale's point, so parse it with
    // Qt's locale-independent conversion.
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? value : 0.0;
}

int integerValue(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    const char* p = bytes.constData();
    while (isBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    long long value = 0;
    while (isDigit(*p)) {
        value = value * 10 + (*p - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
        ++p;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

QString formatDouble(const char* format, double value)
{
    return QString::asprintf(format, value);
}
