#include "model/DecimalText.h"

#include <QByteArray>
#include <QByteArrayView>
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

// The longest prefix of [begin, end) (after blanks) that forms a decimal number:
// [sign] digits [. digits] [e [sign] digits]. Hexadecimal, "inf" and "nan" are not numbers here.
// Empty when there is none.
QLatin1String numberPrefix(const char* begin, const char* end)
{
    const char* p = begin;
    while (p != end && isBlank(*p))
        ++p;
    const char* start = p;
    if (p != end && (*p == '+' || *p == '-'))
        ++p;
    bool digits = false;
    while (p != end && isDigit(*p)) {
        ++p;
        digits = true;
    }
    if (p != end && *p == '.') {
        ++p;
        while (p != end && isDigit(*p)) {
            ++p;
            digits = true;
        }
    }
    if (!digits)
        return QLatin1String();
    if (p != end && (*p == 'e' || *p == 'E')) {
        const char* exponent = p + 1;
        if (exponent != end && (*exponent == '+' || *exponent == '-'))
            ++exponent;
        if (exponent != end && isDigit(*exponent)) {
            while (exponent != end && isDigit(*exponent))
                ++exponent;
            p = exponent;
        }
    }
    return QLatin1String(start, p);
}

// "%.3f" -> 3; -1 for any other format.
int fixedDecimals(const char* format)
{
    if (format[0] == '%' && format[1] == '.' && isDigit(format[2]) && format[3] == 'f' && format[4] == '\0')
        return format[2] - '0';
    return -1;
}

// The text is what formatting its own value with that many decimals gives: an optional minus, an
// integer part without leading zeros, exactly `decimals` decimals, at most 15 significant digits,
// and no minus on a zero (which formats without one).
bool isFixedForm(QLatin1String text, int decimals)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    const bool negative = p != end && *p == '-';
    if (negative)
        ++p;
    const char* const digits = p;
    while (p != end && isDigit(*p))
        ++p;
    const qsizetype integerDigits = p - digits;
    if (integerDigits == 0 || (integerDigits > 1 && *digits == '0'))
        return false;
    if (decimals > 0) {
        if (p == end || *p != '.')
            return false;
        const char* const fraction = ++p;
        while (p != end && isDigit(*p))
            ++p;
        if (p - fraction != decimals)
            return false;
    }
    if (p != end)
        return false;
    // Significant digits run from the first one that is not 0; the point does not count.
    int significant = 0;
    for (const char* digit = digits; digit != end; ++digit) {
        if (*digit == '.' || (significant == 0 && *digit == '0'))
            continue;
        ++significant;
    }
    if (significant == 0)
        return !negative;
    return significant <= 15;
}

} // namespace

double decimalValue(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return decimalValue(QLatin1String(bytes.constData(), bytes.size()));
}

double decimalValue(QLatin1String text)
{
    const QLatin1String number = numberPrefix(text.data(), text.data() + text.size());
    if (number.isEmpty())
        return 0.0;
    // strtod would follow LC_NUMERIC; the prefix uses only the C locale's point, so parse it with
    // Qt's locale-independent conversion.
    bool ok = false;
    const double value = QByteArrayView(number.data(), number.size()).toDouble(&ok);
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
    // QString::number formats "%.Nf" with the same engine as asprintf, without parsing a format.
    const int decimals = fixedDecimals(format);
    if (decimals >= 0)
        return QString::number(value, 'f', decimals);
    return QString::asprintf(format, value);
}

QString fixedText(QLatin1String text, int decimals)
{
    if (isFixedForm(text, decimals))
        return QString(text);
    return QString::number(decimalValue(text), 'f', decimals);
}
