#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

// Readable GoogleTest output for Qt texts (instead of byte dumps) when an expectation fails.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '[';
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i)
            *os << ", ";
        PrintTo(list[i], os);
    }
    *os << ']';
}

// Bytes with the control characters spelled out ("\n", "\x1b"), so that wire traffic reads plainly.
inline void PrintTo(const QByteArray& bytes, std::ostream* os)
{
    static const char hex[] = "0123456789abcdef";
    *os << '"';
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (byte == '\n')
            *os << "\\n";
        else if (byte == '\r')
            *os << "\\r";
        else if (byte == '\\' || byte == '"')
            *os << '\\' << byte;
        else if (code < 0x20 || code == 0x7f)
            *os << "\\x" << hex[code >> 4] << hex[code & 15];
        else
            *os << byte;
    }
    *os << '"';
}
