#include "model/SequenceFileWriter.h"

#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/DecimalText.h"
#include "model/SequenceFormats.h"
#include "ui/UserPrompt.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace {

const char* const kLineEnd = "\r\n";

} // namespace

SequenceFileWriter::SequenceFileWriter(CMainDoc& document, AppSettings& settings, UserPrompt& prompt)
    : document_(document), settings_(settings), prompt_(prompt)
{
}

bool SequenceFileWriter::write(const QString& path)
{
    QSaveFile file(path);
    // A folder that takes no new file (the temporary one) may still hold a file the user can
    // write: that one is then written in place. Never a FIFO or a device, whose open could block.
    file.setDirectWriteFallback(QFileInfo(path).isFile());
    // Unbuffered: every write reaches the file at once and fails with the system's reason (a write
    // that fails inside commit()'s flush would still put the incomplete file in place).
    if (QFileInfo(path).isDir() || !file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const QString reason =
            QFileInfo(path).isDir() ? QString::fromLocal8Bit(std::strerror(EISDIR)) : file.errorString();
        prompt_.showMessage(
            QStringLiteral("The file does not exist or a new file could not be created.\n%1: %2")
                .arg(path, reason));
        return false;
    }
    const QByteArray text = fileText();
    // A write may take only part of the text (a disk that fills up meanwhile); the next one then
    // fails and says why.
    for (qint64 written = 0; written < text.size();) {
        const qint64 count = file.write(text.constData() + written, text.size() - written);
        if (count <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            showWriteFailure(path, reason);
            return false;
        }
        written += count;
    }
    if (!file.commit()) {
        showWriteFailure(path, file.errorString());
        return false;
    }
    return true;
}

void SequenceFileWriter::showWriteFailure(const QString& path, const QString& reason)
{
    prompt_.showMessage(QStringLiteral("The file could not be written.\n%1: %2").arg(path, reason));
}

QByteArray SequenceFileWriter::fileText()
{
    const char separator = settings_.Tsr == 1 ? ',' : '\t';
    const bool hardware = settings_.SeqCtl == HardwareControl;
    QByteArray text = headerLine(separator);
    for (int c = 0; c < kChannelCount; ++c) {
        ChannelSequence& channel = document_.channel(c);
        const int count = channel.stepCount();
        for (int slot = 0; slot < count; ++slot) {
            SequenceStep& step = channel.steps[slot];
            if (step.value.isEmpty())
                continue;
            if (hardware) {
                step.transition = QStringLiteral("0");
                step.load = QStringLiteral("1");
            }
            text += step.value.toLatin1();
            text += separator;
            text += step.interval.toLatin1();
            text += separator;
            text += step.transition.toLatin1();
            text += separator;
            text += step.load.toLatin1();
            text += kLineEnd;
        }
        text += kLineEnd;
    }
    return text;
}

QByteArray SequenceFileWriter::headerLine(char separator) const
{
    QByteArray line;
    for (int c = 0; c < kChannelCount; ++c) {
        const int mode = settings_.ModeCh[c];
        line += SequenceFormats::modeToken(mode).toLatin1();
        line += separator;
        if (mode == ModeCCCV)
            line += formatDouble("%.3f", settings_.Volt1Ch[c]).toLatin1();
        else if (mode == ModeCRCV)
            line += formatDouble("%.3f", settings_.Volt2Ch[c]).toLatin1();
        else
            line += '0';
        line += separator;
    }
    line += SequenceFormats::unitToken(settings_.Unit).toLatin1();
    line += separator;
    line += settings_.SeqCtl == HardwareControl ? "hard" : "soft";
    line += kLineEnd;
    return line;
}
