#pragma once

#include <QByteArray>
#include <QString>

class CMainDoc;
class UserPrompt;
struct AppSettings;

// Writes a document as a sequence file: the header with the active modes, constant voltages,
// unit and control method, then one block per channel (a line per step with a set value, an
// empty line at the end), lines ending in CR LF, text in Latin-1.
class SequenceFileWriter {
public:
    SequenceFileWriter(CMainDoc& document, AppSettings& settings, UserPrompt& prompt);

    // Writes the whole file to a temporary file next to path and puts it in place only when all
    // of it was written, so a failed write leaves the previous file as it was. Where no file can
    // be created beside it, an existing regular file is written in place. A failure is shown with
    // the path and the system's reason.
    bool write(const QString& path);
    // The file's bytes. Under Hardware Control every written step of the document becomes a step
    // transition with the load on, as the instrument's program runs it.
    QByteArray fileText();

private:
    QByteArray headerLine(char separator) const;
    void showWriteFailure(const QString& path, const QString& reason);

    CMainDoc& document_;
    AppSettings& settings_;
    UserPrompt& prompt_;
};
