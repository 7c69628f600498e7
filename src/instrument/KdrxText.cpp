#include "instrument/KdrxText.h"

#include "model/DecimalText.h"

QStringList KdrxText::pieces(const QString& reply, int cap, QChar separator)
{
    return reply.left(cap).split(separator, Qt::SkipEmptyParts);
}

QString KdrxText::conductanceText(const QString& resistance)
{
    const double r = decimalValue(resistance);
    return formatDouble("%.8f", r == 0.0 ? 0.0 : 1.0 / r);
}

QString KdrxText::resistanceText(const QString& conductance)
{
    const double g = decimalValue(conductance);
    return formatDouble("%.5f", g == 0.0 ? 0.0 : 1.0 / g);
}

double KdrxText::invertedToFiveDecimals(double value)
{
    const double inverted = value == 0.0 ? 0.0 : 1.0 / value;
    return decimalValue(formatDouble("%.5f", inverted));
}
