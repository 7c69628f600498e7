#include "model/CsvTable.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

// The rows as "line:field|field|...".
QStringList rowsOf(const CsvTable& table)
{
    QStringList rows;
    for (const CsvTable::Row& row : table.rows())
        rows << QStringLiteral("%1:%2%3").arg(row.line).arg(
            row.fields.join(QLatin1Char('|')), row.openQuote ? QStringLiteral(" open") : QString());
    return rows;
}

} // namespace

TEST(CsvTable, SplitsRowsAtTheSeparatorItFinds)
{
    const struct {
        const char* name;
        const char* text;
        char separator; // 0: one column
        QStringList rows;
    } cases[] = {
        {"tab", "1.5\t10\tStep\ton\n2\t3\n", '\t', {"1:1.5|10|Step|on", "2:2|3"}},
        {"tab before semicolon and comma", "1,5\t10;x\n", '\t', {"1:1,5|10;x"}},
        {"semicolon", "1,5;10;Ramp;off\r\n", ';', {"1:1,5|10|Ramp|off"}},
        {"comma", "1.5, 10 ,Step\r\n", ',', {"1:1.5|10|Step"}},
        {"one column", "1.5\n2.5\n", 0, {"1:1.5", "2:2.5"}},
        {"CR line ends", "1\t2\r3\t4\r", '\t', {"1:1|2", "2:3|4"}},
        {"blank lines keep their numbers", "1\t2\n\n  \n\t\t\n3\t4", '\t', {"1:1|2", "5:3|4"}},
        {"empty fields inside stay, at the end go", "1;;2;;\n", ';', {"1:1||2"}},
        {"byte order mark",
         "\xEF\xBB\xBF"
         "1,2\n",
         ',',
         {"1:1|2"}},
        {"quoted separator", "\"1,5\",\"10\"\n", ',', {"1:1,5|10"}},
        {"doubled quote", "\"say \"\"on\"\"\",2\n", ',', {"1:say \"on\"|2"}},
        {"quote not closed", "\"1.5,2\n3,4\n", ',', {"1:1.5,2 open", "2:3|4"}},
        {"separator only inside quotes is none", "\"a;b\"\n", 0, {"1:a;b"}},
        {"empty text", "", 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CsvTable table = CsvTable::parse(QString::fromUtf8(c.text));
        EXPECT_EQ(table.separator(), c.separator ? QChar(QLatin1Char(c.separator)) : QChar());
        EXPECT_EQ(rowsOf(table), c.rows);
    }
}

TEST(CsvTable, ReadsNumbersWithAPointOrADecimalComma)
{
    const struct {
        const char* field;
        char separator;
        std::optional<double> number;
    } cases[] = {
        {"1.5", ',', 1.5},  {"-0.25", '\t', -0.25}, {"+3", ';', 3.0},      {".5", '\t', 0.5},
        {"5.", '\t', 5.0},  {"1e3", ',', 1000.0},   {"2.5E-1", ',', 0.25}, {" 7 ", ',', 7.0},
        {"1,5", '\t', 1.5}, {"1,5", ';', 1.5},      {"1,5", 0, 1.5},       {"1.5", ';', 1.5},
        {"1.2.3", ',', {}}, {"1,2,3", ';', {}},     {"1.000,5", ';', {}},  {"1e", ',', {}},
        {"inf", ',', {}},   {"nan", ',', {}},       {"0x10", ',', {}},     {"10 s", ',', {}},
        {"", ',', {}},      {"-", ',', {}},         {"1e999", ',', {}},    {"Step", '\t', {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        // The separator is what the text holds; a one-column text holds none.
        QString text = QStringLiteral("\"x\"");
        if (c.separator)
            text += QLatin1Char(c.separator) + QStringLiteral("y");
        const CsvTable table = CsvTable::parse(text);
        EXPECT_EQ(table.number(QString::fromLatin1(c.field)), c.number);
    }
}
