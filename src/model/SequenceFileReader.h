#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class CMainDoc;
class QIODevice;
class UserPrompt;
struct AppSettings;

// Reads a sequence file into a document: the header sets each channel's mode and constant
// voltage, the unit and the control method in the settings; then one block of step lines per
// channel, each block ended by an empty line. Every problem is shown through the prompt; the
// result is false only when the file cannot be opened or its header is incomplete.
class SequenceFileReader {
public:
    // clearRunProgress, when given, is called after the steps were read (the run engine forgets
    // its per-channel progress).
    SequenceFileReader(CMainDoc& document, AppSettings& settings, UserPrompt& prompt,
                       std::function<void()> clearRunProgress = {});

    bool read(const QString& path);
    // The same from an open device (the file's bytes, Latin-1, lines ending in CR LF or LF).
    bool readFrom(QIODevice& device);

private:
    bool readHeader(const QByteArray& line);
    void readSteps(QIODevice& device);
    // One line without its line end; false at the end of the file. A CR before the LF (or before
    // the end of the file) belongs to the line end.
    static bool nextLine(QIODevice& device, QByteArray& line);
    // The first maxFields fields of a line: runs of separators count as one, leading and trailing
    // ones are ignored.
    QStringList splitFields(const QByteArray& line, int maxFields) const;
    void showIllegalData(int lineNumber, int fieldNumber);

    CMainDoc& document_;
    AppSettings& settings_;
    UserPrompt& prompt_;
    std::function<void()> clearRunProgress_;
    char separator_ = '\t';
};
