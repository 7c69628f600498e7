#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// The text rules of the KDR-X dialogue that several operations share: cutting a reply into its
// answers and converting set values between resistance and the conductance the instrument takes.
class KdrxText {
public:
    // The answers in the first `cap` characters of a reply, split at `separator`. Empty pieces are
    // skipped: separators at the start are ignored and several in a row count as one.
    static QStringList pieces(const QString& reply, int cap, QChar separator);

    // A resistance text as the conductance sent to the instrument: 1 / r, or 0 for a resistance
    // of 0, with eight decimals ("4" gives "0.25000000").
    static QString conductanceText(const QString& resistance);
    // A conductance text read back from the instrument as a resistance: 1 / g, or 0 for 0, with
    // five decimals ("0.25" gives "4.00000").
    static QString resistanceText(const QString& conductance);
    // 1 / value for a value other than 0, rounded to five decimals; 0 stays 0.
    static double invertedToFiveDecimals(double value);
};
