#include "model/SequenceFileReader.h"

#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/DecimalText.h"
#include "model/SequenceFormats.h"
#include "ui/UserPrompt.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Fields that mean something: five mode and voltage pairs, the unit and the control method; value,
// interval, transition, load and the second load flag. Anything after them is never looked at.
constexpr int kHeaderFields = 2 * kChannelCount + 2;
constexpr int kStepFields = 5;

// Lines are cut out of blocks of this size.
constexpr qint64 kBlockSize = 64 * 1024;
// The longest line read. The format's lines hold a few dozen characters; one longer than this is
// an illegal line, whatever it holds, so a file without line ends is never read whole.
constexpr qsizetype kMaxLineLength = 16 * 1024;

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Opens the file only if it is a regular file (or a link to one): the open of a FIFO would wait
// for a writer, a device such as /dev/zero never ends. Returns why it cannot, or an empty text.
QString openRegularFile(const QString& path, QFile& file)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0)
        return systemReason(errno);
    if (S_ISDIR(info.st_mode))
        return systemReason(EISDIR);
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("not a regular file");
    // Without waiting, should the name have become a FIFO since; the descriptor is checked again.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return systemReason(errno);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return QStringLiteral("not a regular file");
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
    return QString();
}

char separatorOf(const AppSettings& settings)
{
    return settings.Tsr == 1 ? ',' : '\t';
}

// The transition field as the step keeps it; the usual "0" and "1" share one text.
QString flagText(QLatin1String field)
{
    if (field == QLatin1String("0"))
        return QStringLiteral("0");
    if (field == QLatin1String("1"))
        return QStringLiteral("1");
    return QString(field);
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
    QFile file;
    const QString problem = openRegularFile(path, file);
    if (!problem.isEmpty()) {
        prompt_.showMessage(QStringLiteral("Cannot open the specified file as it does not exist.\n%1: %2")
                                .arg(path, problem));
        return false;
    }
    return readFrom(file);
}

bool SequenceFileReader::readFrom(QIODevice& device)
{
    separator_ = separatorOf(settings_);
    for (int c = 0; c < kChannelCount; ++c)
        document_.channel(c).count = 0;
    device_ = &device;
    block_.clear();
    position_ = 0;
    deviceDone_ = false;

    QLatin1String header;
    const LineResult first = nextLine(header);
    if (first == LineResult::End) {
        prompt_.showMessage(QStringLiteral("There is no data."));
        return true;
    }
    if (first == LineResult::TooLong) {
        showIllegalData(1, 1);
        return false;
    }
    if (!readHeader(header))
        return false;
    readSteps();
    if (clearRunProgress_)
        clearRunProgress_();
    return true;
}

bool SequenceFileReader::readHeader(QLatin1String line)
{
    const int count = splitFields(line, kHeaderFields);
    QStringList fields;
    for (int i = 0; i < count; ++i)
        fields << QString(fields_[static_cast<std::size_t>(i)]);
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

void SequenceFileReader::readSteps()
{
    const bool hardware = settings_.SeqCtl == HardwareControl;
    int lineNumber = 1;
    int channel = 0;
    int steps = 0;
    QLatin1String line;
    // Blocks after the fifth are ignored.
    while (channel < kChannelCount) {
        const LineResult result = nextLine(line);
        if (result == LineResult::End)
            break;
        ++lineNumber;
        if (result == LineResult::TooLong) {
            showIllegalData(lineNumber, 1);
            break;
        }
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
        const int count = splitFields(line, kStepFields);
        if (count == 0) {
            showIllegalData(lineNumber, 1);
            break;
        }
        if (count < 2) {
            showIllegalData(lineNumber, 2);
            break;
        }
        if (count < 3 && !hardware) {
            showIllegalData(lineNumber, 3);
            break;
        }
        SequenceStep& step = document_.channel(channel).steps[steps];
        step = SequenceStep();
        step.value =
            fixedText(fields_[0], SequenceFormats::fileValueDecimals(settings_.ModeCh[channel], settings_));
        step.interval = SequenceFormats::fileIntervalText(fields_[1], settings_.Unit, settings_.SeqCtl);
        step.transition = hardware ? QStringLiteral("0") : flagText(fields_[2]);
        step.load =
            count > 3 && fields_[3].startsWith(QLatin1Char('1')) ? QStringLiteral("1") : QStringLiteral("0");
        step.load2 =
            count > 4 && fields_[4].startsWith(QLatin1Char('0')) ? QStringLiteral("0") : QStringLiteral("1");
        ++steps;
    }
    if (channel < kChannelCount)
        document_.channel(channel).count = steps;
}

SequenceFileReader::LineResult SequenceFileReader::nextLine(QLatin1String& line)
{
    qsizetype end = block_.indexOf('\n', position_);
    while (end < 0 && !deviceDone_) {
        // Unread text longer than any line and still no line end: nothing more is read.
        if (block_.size() - position_ > kMaxLineLength + 1)
            return LineResult::TooLong;
        // Keep the unread rest and append the next block behind it.
        block_.remove(0, position_);
        position_ = 0;
        const qsizetype searched = block_.size();
        const QByteArray more = device_->read(kBlockSize);
        // A device that fails mid-file gives nothing more, not even a line end.
        if (more.isEmpty())
            deviceDone_ = true;
        block_ += more;
        end = block_.indexOf('\n', searched);
    }
    if (position_ >= block_.size())
        return LineResult::End;
    const qsizetype next = end < 0 ? block_.size() : end + 1;
    qsizetype length = (end < 0 ? block_.size() : end) - position_;
    if (length > 0 && block_.at(position_ + length - 1) == '\r')
        --length;
    if (length > kMaxLineLength)
        return LineResult::TooLong;
    line = QLatin1String(block_.constData() + position_, length);
    position_ = next;
    return LineResult::Line;
}

int SequenceFileReader::splitFields(QLatin1String line, int maxFields)
{
    const char* data = line.data();
    const qsizetype size = line.size();
    const int limit = std::min(maxFields, kMaxFields);
    int count = 0;
    qsizetype start = 0;
    while (start < size && count < limit) {
        while (start < size && data[start] == separator_)
            ++start;
        qsizetype end = start;
        while (end < size && data[end] != separator_)
            ++end;
        if (end > start)
            fields_[static_cast<std::size_t>(count++)] = QLatin1String(data + start, end - start);
        start = end;
    }
    return count;
}

void SequenceFileReader::showIllegalData(int lineNumber, int fieldNumber)
{
    prompt_.showMessage(QString::asprintf("%d-th line : %d-th data is illegal.", lineNumber, fieldNumber));
}
