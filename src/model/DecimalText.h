#pragma once

#include <QString>

// The plain decimal conversion used for every number held as text: leading blanks are skipped,
// conversion stops at the first character that cannot belong to a number, and a text that is not
// a number (or is empty) reads as 0.
double decimalValue(const QString& text);
// The same for integers ("12abc" reads as 12, "x" as 0).
int integerValue(const QString& text);
// printf-style formatting of one double ("%.3f" and the like), locale-independent.
QString formatDouble(const char* format, double value);
