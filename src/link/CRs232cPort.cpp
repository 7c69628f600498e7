#include "link/CRs232cPort.h"

#include "link/TermiosSerialLine.h"
#include "ui/Clock.h"
#include "ui/ResourceModule.h"
#include "ui/StopFlag.h"
#include "ui/UserPrompt.h"

namespace {
constexpr int firstMessageId = 506;
}

CRs232cPort::CRs232cPort(const ResourceModule& strings, UserPrompt& prompt, Clock& clock)
    : strings_(strings), prompt_(prompt), clock_(clock), line_(std::make_unique<TermiosSerialLine>())
{
}

// The owning operations close the port; destruction only lets the line release the device.
CRs232cPort::~CRs232cPort() = default;

QString CRs232cPort::devicePath() const
{
    const QString configured = portDevice.trimmed();
    if (configured.compare(QLatin1String(simulatorDevice), Qt::CaseInsensitive) == 0)
        return simulatorProvider_ ? simulatorProvider_() : QString();
    if (!configured.isEmpty())
        return configured;
    return QStringLiteral("/dev/ttyS%1").arg(address - 1);
}

int CRs232cPort::Open()
{
    if (isOpen())
        Close();
    clock_.waitMs(settleWaitMs);

    device_ = devicePath();
    if (device_.isEmpty())
        return fail(OpenFailed, QStringLiteral("no device"));
    if (!line_->open(device_))
        return fail(OpenFailed);
    line_->purge();
    // The device stays open, unconfigured; the next Open or Close releases it.
    if (!line_->configure())
        return fail(SetupFailed);
    return 1;
}

bool CRs232cPort::stopRequested() const
{
    return stop_ && stop_->isSet();
}

int CRs232cPort::fail(int code, const QString& reason)
{
    // A wait that a stop request cut short looks like a time-out to the line.
    if (stopRequested() && (code == WriteFailed || code == NoData))
        code = Interrupted;
    lastError = code;
    const QString why = reason.isEmpty() ? line_->errorString() : reason;
    failureDetail_.clear();
    // The simulator that could not start has said so itself.
    if (code != Interrupted && !device_.isEmpty() && !why.isEmpty())
        failureDetail_ = device_ + QStringLiteral(": ") + why;
    return 0;
}

int CRs232cPort::Write(const QString& command)
{
    QByteArray bytes = command.toLatin1();
    bytes.append('\n');
    // A write that could not hand over every byte within the time-out is a failed write.
    if (!isOpen())
        return fail(WriteFailed, QStringLiteral("the port is not open"));
    if (!line_->write(bytes, writeTimeoutMs_))
        return fail(WriteFailed);
    return 1;
}

int CRs232cPort::Read(QString& reply)
{
    reply.clear();
    if (!isOpen())
        return fail(ReadFailed, QStringLiteral("the port is not open"));
    QByteArray buffer;
    buffer.reserve(replyBufferSize);
    for (;;) {
        char byte = 0;
        switch (line_->readByte(byte, readTimeoutMs_)) {
        case SerialLine::ReadResult::Failed:
            return fail(ReadFailed);
        case SerialLine::ReadResult::TimedOut:
            return fail(NoData);
        case SerialLine::ReadResult::Byte:
            break;
        }
        buffer.append(byte);
        // The buffer holds 8192 bytes with the line feed; a line that fills it is refused even
        // when its last byte is the line feed.
        if (buffer.size() >= replyBufferSize) {
            lastError = DataOver;
            failureDetail_.clear();
            return 0;
        }
        if (byte == '\n')
            break;
    }
    buffer.chop(1);
    reply = QString::fromLatin1(buffer);
    return 1;
}

int CRs232cPort::Close()
{
    clock_.waitMs(settleWaitMs);
    if (line_)
        line_->close();
    return 1;
}

QString CRs232cPort::errorText() const
{
    if (lastError < OpenFailed || lastError > InvalidData)
        return QString();
    return strings_.string(firstMessageId + lastError);
}

void CRs232cPort::ReportError()
{
    const QString text = errorText();
    if (!text.isEmpty())
        prompt_.showMessage(text);
}

void CRs232cPort::setLine(std::unique_ptr<SerialLine> line)
{
    if (line_)
        line_->close();
    line_ = line ? std::move(line) : std::make_unique<TermiosSerialLine>();
    line_->setWaitHook(waitHook_);
    line_->setStopFlag(stop_);
}

void CRs232cPort::setStopFlag(const StopFlag* flag)
{
    stop_ = flag;
    line_->setStopFlag(flag);
}

void CRs232cPort::setWaitHook(std::function<void()> hook)
{
    waitHook_ = std::move(hook);
    line_->setWaitHook(waitHook_);
}

void CRs232cPort::setTimeoutsMs(int readMs, int writeMs)
{
    readTimeoutMs_ = readMs;
    writeTimeoutMs_ = writeMs;
}
