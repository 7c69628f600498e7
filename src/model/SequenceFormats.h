#pragma once

#include "model/SequenceTypes.h"

#include <QLatin1String>
#include <QString>

struct AppSettings;

// Tokens and printf formats of the sequence file and of the document's time recomputation.
namespace SequenceFormats {

// Header token of an operation mode: "CV", "CC", "CR", "CCV", "CRV". A value outside the
// enumeration is written as "CV", the mode every unknown token reads back as.
QString modeToken(int mode);
// Mode of a header token. Only the all-upper and all-lower spellings are recognised; any other
// text (mixed case included) is CV.
OperationMode modeFromToken(const QString& token);

// Header token of a time unit: "ms", "s", "min", "h" ("s" for a value outside the enumeration).
QString unitToken(int unit);
// Unit of a header token, compared without regard to case: "min", "h", anything else s. The
// program edits no millisecond sequences, so "ms" reads as seconds as well.
TimeUnit unitFromToken(const QString& token);

// Format of a set value read from a file, by the channel's mode and the decimal-places settings:
// CV "%.2f"/"%.3f" (VoltPlace 0/other), CC and CC+CV "%.2f".."%.5f" (CurrPlace 0, 1, 2, other),
// CR and CR+CV "%.4f"/"%.5f" (ResistPlace 0/other).
const char* fileValueFormat(int mode, const AppSettings& settings);
// The decimals of that format.
int fileValueDecimals(int mode, const AppSettings& settings);

// Format of the cumulative time written by the document's recomputation: "%.3f" in fast mode and
// for seconds, "%.0f" for ms, "%.1f" for min and h.
const char* recomputedTimeFormat(int sequenceMode, int unit);

// The interval text of a step read from a file: ms "%.0f", min and h "%.1f", seconds under
// Hardware Control "%.3f", seconds under Software Control rounded to a multiple of 0.5 s.
QString fileIntervalText(double interval, int unit, int controlMethod);
// The same for the interval field as it stands in the file.
QString fileIntervalText(QLatin1String field, int unit, int controlMethod);

// Rounds a Software Control interval in seconds to a multiple of 0.5 s: the "%.1f" text stays
// when its tenths count is a multiple of 5; otherwise tenths ending in 1 or 2 (6 or 7) go down,
// 3 or 4 (8 or 9) go up, and the result is capped at 999.5.
QString halfSecondIntervalText(double seconds);

} // namespace SequenceFormats
