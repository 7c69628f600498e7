#pragma once

#include <QLatin1String>
#include <QString>

// The plain decimal conversion used for every number held as text: leading blanks are skipped,
// conversion stops at the first character that cannot belong to a number, and a text that is not
// a number (or is empty) reads as 0.
double decimalValue(const QString& text);
// The same for Latin-1 text as it stands in a file.
double decimalValue(QLatin1String text);
// The same for integers ("12abc" reads as 12, "x" as 0).
int integerValue(const QString& text);
// printf-style formatting of one double ("%.3f" and the like), locale-independent.
QString formatDouble(const char* format, double value);
// The value of a text formatted with that many decimals (0 to 9) as formatDouble("%.<decimals>f")
// formats it. A text that already has that form (files the program wrote) is taken as it is: a
// decimal of at most 15 significant digits comes back unchanged from its double.
QString fixedText(QLatin1String text, int decimals);
