#include "model/SequenceFileReader.h"

#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/DecimalText.h"
#include "model/SequenceFormats.h"
#include "ui/UserPrompt.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Fields that mean something: five mode and voltage pairs, the unit and the control method; value,
// interval, transition, load and the second load flag. Anything after them is never looked at.
constexpr int kHeaderFields = 2 * kChannelCount + 2;
constexpr int kStepFields = 5;

char separatorOf(const AppSettings& settings)
{
    return settings.Tsr == 1 ? ',' : '\t';
}

} // namespace

SequenceFileReader::SequenceFileReader(CMainDoc& document, AppSettings& settings, UserPrompt& prompt,
                                       std::function<void()> clearRunProgress)
    : document_(document), settings_(settings), prompt_(prompt),
      clearRunProgress_(std::move(clearRunProgress))
{
}

bool SequenceFileReader::read(const QString& path)
{
    for (int c = 0; c < kChannelCount; ++c)
        document_.channel(c).count = 0;
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        prompt_.showMessage(QStringLiteral("Cannot open the specified file as it does not exist."));
        return false;
    }
    return readFrom(file);
}

bool SequenceFileReader::readFrom(QIODevice& device)
{
    separator_ = separatorOf(settings_);
    for (int c = 0; c < kChannelCount; ++c)
        document_.channel(c).count = 0;

    QByteArray header;
    if (!nextLine(device, header)) {
        prompt_.showMessage(QStringLiteral("There is no data."));
        return true;
    }
    if (!readHeader(header))
        return false;
    readSteps(device);
    if (clearRunProgress_)
        clearRunProgress_();
    return true;
}

bool SequenceFileReader::readHeader(const QByteArray& line)
{
    const QStringList fields = splitFields(line, kHeaderFields);
    for (int c = 0; c < kChannelCount; ++c) {
        const int modeField = 2 * c;
        if (modeField >= fields.size()) {
            showIllegalData(1, 1);
            return false;
        }
        // The active modes and voltages change as each channel is read, so a header that breaks
        // off leaves the channels before the break changed.
        const OperationMode mode = SequenceFormats::modeFromToken(fields[modeField]);
        settings_.ModeCh[c] = mode;
        if (modeField + 1 >= fields.size()) {
            showIllegalData(1, modeField + 1);
            return false;
        }
        const double volt = decimalValue(fields[modeField + 1]);
        settings_.Volt1Ch[c] = mode == ModeCCCV ? volt : 0.0;
        settings_.Volt2Ch[c] = mode == ModeCRCV ? volt : 0.0;
        if (modeField + 2 >= fields.size()) {
            showIllegalData(1, modeField + 1);
            return false;
        }
    }

    settings_.SeqMode = NormalSequence;
    settings_.Mode = 0;
    settings_.Unit = SequenceFormats::unitFromToken(fields[2 * kChannelCount]);
    const int controlField = 2 * kChannelCount + 1;
    const bool hardware = controlField < fields.size() &&
                          fields[controlField].compare(QLatin1String("hard"), Qt::CaseInsensitive) == 0;
    settings_.SeqCtl = hardware ? HardwareControl : SoftwareControl;
    for (int c = 0; c < kChannelCount; ++c) {
        if (hardware) {
            // The instrument's own programs run CC or CR only, timed in seconds.
            if (settings_.ModeCh[c] != ModeCC && settings_.ModeCh[c] != ModeCR)
                settings_.ModeCh[c] = ModeCC;
            settings_.ModeChHard[c] = settings_.ModeCh[c];
        } else {
            settings_.ModeChSoft[c] = settings_.ModeCh[c];
        }
    }
    if (hardware)
        settings_.Unit = UnitS;
    // Monitoring at each step's end exists only under Software Control.
    settings_.MonTiming = hardware ? 0 : settings_.MonSoft;
    return true;
}

void SequenceFileReader::readSteps(QIODevice& device)
{
    const bool hardware = settings_.SeqCtl == HardwareControl;
    int lineNumber = 1;
    int channel = 0;
    int steps = 0;
    QByteArray line;
    // Blocks after the fifth are ignored.
    while (channel < kChannelCount && nextLine(device, line)) {
        ++lineNumber;
        if (line.isEmpty()) {
            document_.channel(channel).count = steps;
            ++channel;
            steps = 0;
            continue;
        }
        if (steps == kMaxSteps) {
            prompt_.showMessage(QStringLiteral("Up to 1024 steps are enabled. "));
            break;
        }
        const QStringList fields = splitFields(line, kStepFields);
        if (fields.isEmpty()) {
            showIllegalData(lineNumber, 1);
            break;
        }
        if (fields.size() < 2) {
            showIllegalData(lineNumber, 2);
            break;
        }
        if (fields.size() < 3 && !hardware) {
            showIllegalData(lineNumber, 3);
            break;
        }
        SequenceStep step;
        step.value = formatDouble(SequenceFormats::fileValueFormat(settings_.ModeCh[channel], settings_),
                                  decimalValue(fields[0]));
        step.interval =
            SequenceFormats::fileIntervalText(decimalValue(fields[1]), settings_.Unit, settings_.SeqCtl);
        step.transition = hardware ? QStringLiteral("0") : fields[2];
        step.load = fields.size() > 3 && fields[3].startsWith(QLatin1Char('1')) ? QStringLiteral("1")
                                                                                : QStringLiteral("0");
        step.load2 = fields.size() > 4 && fields[4].startsWith(QLatin1Char('0')) ? QStringLiteral("0")
                                                                                 : QStringLiteral("1");
        document_.channel(channel).steps[steps] = step;
        ++steps;
    }
    if (channel < kChannelCount)
        document_.channel(channel).count = steps;
}

bool SequenceFileReader::nextLine(QIODevice& device, QByteArray& line)
{
    if (device.atEnd())
        return false;
    line = device.readLine();
    // A device that fails mid-file gives nothing at all, not even a line end.
    if (line.isEmpty())
        return false;
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return true;
}

QStringList SequenceFileReader::splitFields(const QByteArray& line, int maxFields) const
{
    QStringList fields;
    const char* data = line.constData();
    const qsizetype size = line.size();
    qsizetype start = 0;
    while (start < size && fields.size() < maxFields) {
        while (start < size && data[start] == separator_)
            ++start;
        qsizetype end = start;
        while (end < size && data[end] != separator_)
            ++end;
        if (end > start)
            fields << QString::fromLatin1(data + start, end - start);
        start = end;
    }
    return fields;
}

void SequenceFileReader::showIllegalData(int lineNumber, int fieldNumber)
{
    prompt_.showMessage(QString::asprintf("%d-th line : %d-th data is illegal.", lineNumber, fieldNumber));
}
