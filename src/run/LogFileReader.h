#pragma once

#include "run/LogData.h"

#include <QString>
#include <optional>

class ResourceModule;

// Why a file could not be read as a log: the file, the line (from 1) and what did not fit.
struct LogReadProblem {
    enum class Kind {
        CannotOpen,   // detail: the system's reason
        Empty,        // the first file holds nothing at all
        FieldCount,   // detail: the number of fields found
        BadHeader,    // the line begins like the header but is not one
        BadTime,      // detail: the field
        BadValue,     // detail: the field; column: its header text ("Ch2[V]")
        TimeGoesBack, // detail: the field
    };
    Kind kind = Kind::CannotOpen;
    QString file;
    qint64 line = 0;
    QString detail;
    QString column;

    // The message, from the string table, naming the file and the line.
    QString message(const ResourceModule& module) const;
};

// Reads the monitoring logs the program writes: TAB or comma separated, times in seconds ("%.3f")
// or hours:minutes:seconds, with the header line or without it (the files of a cut series after the
// first), written line by line or at the end from memory. A cut series is read as one log. Eleven
// fields a line, an empty field is a channel without a reading; the times never go back.
//
// A last line without its line feed that does not fit is what a write cut short leaves (a full
// disk, a power cut): it is left out and noted in the data, not refused.
class LogFileReader {
public:
    struct Result {
        std::optional<LogData> data;
        LogReadProblem problem; // when data is empty
    };

    // Reads the file, with the rest of its cut series when it is one.
    static Result read(const QString& path);
    // Reads exactly these files, in order, as one log.
    static Result readFiles(const QStringList& files);

    // Whether the file's first line is a log's header or a log line: a dropped file is opened as a
    // log when it is, as a sequence file otherwise.
    static bool looksLikeLog(const QString& path);

    // One time field in seconds: "75.250" or "0:01:15.250"; empty when it is neither.
    static std::optional<double> parseTime(const char* begin, const char* end);
    // One value field: a decimal number, optionally signed, with an exponent; empty when not.
    static std::optional<double> parseNumber(const char* begin, const char* end);
};
