#include "model/SequenceFileWriter.h"

#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/DecimalText.h"
#include "model/SequenceFormats.h"
#include "ui/UserPrompt.h"

#include <QSaveFile>

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
    if (!file.open(QIODevice::WriteOnly)) {
        prompt_.showMessage(QStringLiteral("The file does not exist or a new file could not be created."));
        return false;
    }
    const QByteArray text = fileText();
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
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
