#include "model/DecimalText.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// What the file reader relies on: a number text turned into its "%.Nf" text is the same whether
// the text is taken as it stands (when it already has that form) or formatted from its value.
QString reference(const QByteArray& text, int decimals)
{
    return QString::asprintf(QByteArray("%." + QByteArray::number(decimals) + "f").constData(),
                             decimalValue(QString::fromLatin1(text)));
}

TEST(DecimalText, FixedTextIsTheFormattedValue)
{
    struct Case {
        const char* text;
        int decimals;
        const char* expected;
    };
    const Case cases[] = {
        {"1.2500", 4, "1.2500"},
        {"1.25", 4, "1.2500"},
        {"01.2500", 4, "1.2500"},
        {"+1.2500", 4, "1.2500"},
        {"-0.0000", 4, "0.0000"},
        {"-0.0010", 4, "-0.0010"},
        {"0.125", 2, "0.13"},
        {" 2.5", 1, "2.5"},
        {"2.5x", 1, "2.5"},
        {"abc", 2, "0.00"},
        {"", 3, "0.000"},
        {"12", 0, "12"},
        {"12.", 0, "12"},
        {"1e3", 1, "1000.0"},
        {".5", 1, "0.5"},
        {"-.5", 1, "-0.5"},
        {"0.5", 0, "1"},
        {"999999999999999.9", 1, "999999999999999.9"},
        {"1234567890123456.5", 1, "1234567890123456.5"},
        {"0.000000001", 9, "0.000000001"},
        {"100000000000000000000.0000", 4, "100000000000000000000.0000"},
    };
    for (const Case& c : cases) {
        const QByteArray text(c.text);
        EXPECT_EQ(fixedText(QLatin1String(text), c.decimals), QString::fromLatin1(c.expected))
            << c.text << " with " << c.decimals;
        EXPECT_EQ(fixedText(QLatin1String(text), c.decimals), reference(text, c.decimals)) << c.text;
    }
}

TEST(DecimalText, FixedTextAgreesWithFormattingOnManyNumbers)
{
    QRandomGenerator random(20240601);
    for (int i = 0; i < 50000; ++i) {
        const int decimals = int(random.bounded(10));
        const int written = int(random.bounded(10));
        double value = random.generateDouble() * std::pow(10.0, int(random.bounded(18))) - 1.0;
        if (i % 3 == 0)
            value = -value;
        if (i % 5 == 0)
            value = double(random.bounded(100000)) / 8.0; // exact halves, quarters and eighths
        const QByteArray text = QString::number(value, 'f', written).toLatin1();
        ASSERT_EQ(fixedText(QLatin1String(text), decimals), reference(text, decimals))
            << text.constData() << " with " << decimals;
    }
}

TEST(DecimalText, FormatDoubleIsPrintfStyle)
{
    QRandomGenerator random(7);
    for (int i = 0; i < 20000; ++i) {
        const double value = (random.generateDouble() - 0.5) * std::pow(10.0, int(random.bounded(12)));
        for (const char* format : {"%.0f", "%.1f", "%.3f", "%.5f", "%.8f", "%f"})
            ASSERT_EQ(formatDouble(format, value), QString::asprintf(format, value)) << format << value;
    }
    // A minus zero and a tie as the program has always written them.
    EXPECT_EQ(formatDouble("%.2f", -0.0), QStringLiteral("0.00"));
    EXPECT_EQ(formatDouble("%.2f", 0.125), QString::asprintf("%.2f", 0.125));
}

} // namespace
