#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QString>
#include <array>
#include <functional>

class CMainDoc;
class QIODevice;
class UserPrompt;
struct AppSettings;

// Reads a sequence file into a document: the header sets each channel's mode and constant
// voltage, the unit and the control method in the settings; then one block of step lines per
// channel, each block ended by an empty line. Every problem is shown through the prompt; the
// result is false only when the file cannot be opened (or is no regular file) or its header is
// incomplete.
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
    bool readHeader(QLatin1String line);
    void readSteps();
    // One line without its line end. A CR before the LF (or before the end of the file) belongs to
    // the line end. The text stays valid until the next call. A line longer than any the format
    // holds is not read (and nothing after it).
    enum class LineResult { Line, End, TooLong };
    LineResult nextLine(QLatin1String& line);
    // The first maxFields fields of a line (at most kMaxFields): runs of separators count as one,
    // leading and trailing ones are ignored. Returns their number.
    int splitFields(QLatin1String line, int maxFields);
    void showIllegalData(int lineNumber, int fieldNumber);

    static constexpr int kMaxFields = 12;

    CMainDoc& document_;
    AppSettings& settings_;
    UserPrompt& prompt_;
    std::function<void()> clearRunProgress_;
    char separator_ = '\t';
    // The file is read in blocks; lines are cut out of the block in memory.
    QIODevice* device_ = nullptr;
    QByteArray block_;
    qsizetype position_ = 0;
    bool deviceDone_ = false;
    std::array<QLatin1String, kMaxFields> fields_;
};
