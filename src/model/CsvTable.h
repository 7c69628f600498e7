#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// Text in rows and fields as spreadsheets and scripts write it: one row a line (CR LF, LF or CR),
// fields separated by a TAB, a semicolon or a comma, a field optionally in double quotes (a doubled
// quote inside stands for one). The separator is the first of TAB, semicolon and comma that occurs
// outside quotes; text without any is one column. Numbers take a point as the decimal sign, and a
// comma as well when the separator is not a comma.
class CsvTable {
public:
    struct Row {
        int line = 0;           // 1-based line of the text
        QStringList fields;     // unquoted and trimmed; empty fields at the end of the line dropped
        bool openQuote = false; // a quoted field was not closed before the end of the line
    };

    static CsvTable parse(const QString& text);

    QChar separator() const { return separator_; } // '\t', ';', ',' or a null QChar for one column
    bool decimalComma() const { return separator_ != QLatin1Char(','); }
    // The rows that hold any text, in order; blank lines (nothing but blanks and separators) are left out.
    const std::vector<Row>& rows() const { return rows_; }

    // The number a field holds: [sign] digits [point digits] [e [sign] digits], with a comma for the
    // point when decimalComma(); empty for anything else (units, words, a second point, inf, nan).
    std::optional<double> number(const QString& field) const;

private:
    QChar separator_;
    std::vector<Row> rows_;
};
