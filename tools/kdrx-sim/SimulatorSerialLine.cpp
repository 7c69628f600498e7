#include "SimulatorSerialLine.h"

#include "KdrxSimulator.h"

namespace {

constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;

} // namespace

SimulatorSerialLine::SimulatorSerialLine(KdrxSimulator& simulator, Clock& clock)
    : simulator_(simulator), clock_(clock)
{
}

bool SimulatorSerialLine::open(const QString& device)
{
    // The device is held exclusively: a second open without a close fails as a busy port would.
    if (failOpen_ || open_) {
        events_ << QStringLiteral("open %1 failed").arg(device);
        return false;
    }
    events_ << QStringLiteral("open %1").arg(device);
    open_ = true;
    device_ = device;
    partialLine_.clear();
    reply_.clear();
    replyRead_ = 0;
    return true;
}

bool SimulatorSerialLine::configure()
{
    if (failConfigure_ || !open_) {
        events_ << QStringLiteral("configure failed");
        return false;
    }
    events_ << QStringLiteral("configure");
    return true;
}

void SimulatorSerialLine::purge()
{
    events_ << QStringLiteral("purge");
    partialLine_.clear();
    reply_.clear();
    replyRead_ = 0;
}

bool SimulatorSerialLine::write(const QByteArray& bytes, int /*timeoutMs*/)
{
    if (!open_ || failWrite_)
        return false;
    for (const char byte : bytes) {
        if (byte == kXon || byte == kXoff)
            continue;
        if (byte != '\n') {
            partialLine_.append(byte);
            continue;
        }
        const QString line = QString::fromLatin1(partialLine_);
        partialLine_.clear();
        for (const QString& reply : simulator_.handleLine(line)) {
            reply_.append(reply.toLatin1());
            reply_.append('\n');
        }
    }
    return true;
}

SerialLine::ReadResult SimulatorSerialLine::readByte(char& byte, int timeoutMs)
{
    if (!open_ || failRead_)
        return ReadResult::Failed;
    if (replyRead_ >= reply_.size()) {
        clock_.waitMs(timeoutMs);
        return ReadResult::TimedOut;
    }
    byte = reply_.at(replyRead_++);
    if (replyRead_ == reply_.size()) {
        reply_.clear();
        replyRead_ = 0;
    }
    return ReadResult::Byte;
}

void SimulatorSerialLine::close()
{
    if (!open_)
        return;
    events_ << QStringLiteral("close");
    open_ = false;
    partialLine_.clear();
    reply_.clear();
    replyRead_ = 0;
}
