#include "link/TermiosSerialLine.h"

#include "ui/StopFlag.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr cc_t xonCharacter = 0x11;
constexpr cc_t xoffCharacter = 0x13;

// A pseudo-terminal has no modem lines and refuses to set them; that refusal is not a fault.
bool isModemLineRefusal(int error)
{
    return error == ENOTTY || error == EINVAL;
}

speed_t lineSpeed(int baud)
{
    return baud == 115200 ? B115200 : B19200;
}

} // namespace

int TermiosSerialLine::waitLeftMs(qint64 elapsedMs, int timeoutMs) const
{
    const qint64 left = timeoutMs - elapsedMs;
    const int remaining = left > 0 ? static_cast<int>(left) : 0;
    return stop_ ? stop_->waitLimitMs(remaining) : remaining;
}

bool TermiosSerialLine::fail(const QString& reason)
{
    error_ = reason;
    return false;
}

bool TermiosSerialLine::failWithErrno(int error)
{
    return fail(QString::fromLocal8Bit(std::strerror(error)));
}

// A line still open at the end is released the same way, so that it is not left marked exclusive.
TermiosSerialLine::~TermiosSerialLine()
{
    close();
}

bool TermiosSerialLine::open(const QString& device)
{
    close();
    error_.clear();
    const QByteArray path = QFile::encodeName(device);
    if (path.isEmpty())
        return fail(QStringLiteral("no device is named"));
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        // A terminal that another program opened exclusively (TIOCEXCL) answers EBUSY.
        if (error == EBUSY)
            return fail(QStringLiteral("it is in use by another program (%1)")
                            .arg(QString::fromLocal8Bit(std::strerror(error))));
        return failWithErrno(error);
    }
    if (!isatty(fd)) {
        ::close(fd);
        return fail(QStringLiteral("it is not a serial device"));
    }
    // TIOCEXCL turns away later opens by other programs (though not by a privileged one); the
    // lock also turns away a second opener in this process, which TIOCEXCL lets through.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return fail(QStringLiteral("it is in use by another program (locked)"));
    }
    if (ioctl(fd, TIOCEXCL) != 0) {
        const int error = errno;
        ::close(fd);
        return failWithErrno(error);
    }
    fd_ = fd;
    error_.clear();
    return true;
}

bool TermiosSerialLine::configure()
{
    if (fd_ < 0)
        return fail(QStringLiteral("the line is not open"));
    termios settings{};
    const speed_t speed = lineSpeed(settings_.baud);
    if (tcgetattr(fd_, &settings) != 0)
        return failWithErrno(errno);
    cfmakeraw(&settings);
    if (cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0)
        return failWithErrno(errno);
    settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CREAD | CLOCAL;
    if (settings_.holdDtr)
        settings.c_cflag &= ~HUPCL;
    settings.c_iflag &= ~IXANY;
    if (settings_.xonXoff) {
        settings.c_iflag |= IXON | IXOFF | INPCK;
        settings.c_cc[VSTART] = xonCharacter;
        settings.c_cc[VSTOP] = xoffCharacter;
    } else {
        settings.c_iflag &= ~(IXON | IXOFF);
    }
    // The waits are done with poll(); a read returns what is there.
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (tcsetattr(fd_, TCSANOW, &settings) != 0)
        return failWithErrno(errno);

    int lines = TIOCM_DTR | TIOCM_RTS;
    if (ioctl(fd_, TIOCMBIS, &lines) != 0 && !isModemLineRefusal(errno))
        return failWithErrno(errno);
    return true;
}

void TermiosSerialLine::purge()
{
    if (fd_ >= 0)
        tcflush(fd_, settings_.keepOutput ? TCIFLUSH : TCIOFLUSH);
}

bool TermiosSerialLine::write(const QByteArray& bytes, int timeoutMs)
{
    if (fd_ < 0)
        return fail(QStringLiteral("the line is not open"));
    QElapsedTimer timer;
    timer.start();
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(fd_, bytes.constData() + written, bytes.size() - written);
        if (count > 0) {
            written += count;
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EINTR)
            return failWithErrno(errno);
        const int left = waitLeftMs(timer.elapsed(), timeoutMs);
        if (left == 0)
            return fail(QStringLiteral("the line took nothing for %1 ms").arg(timer.elapsed()));
        short revents = 0;
        const int ready = waitFor(POLLOUT, left, revents);
        if (ready < 0 && errno != EINTR)
            return failWithErrno(errno);
        if (ready > 0 && (revents & (POLLERR | POLLNVAL)))
            return fail(QStringLiteral("the line reported an error"));
    }
    return true;
}

SerialLine::ReadResult TermiosSerialLine::readByte(char& byte, int timeoutMs)
{
    if (fd_ < 0) {
        fail(QStringLiteral("the line is not open"));
        return ReadResult::Failed;
    }
    QElapsedTimer timer;
    timer.start();
    bool reportedReady = false;
    const auto failed = [this](const QString& reason) {
        fail(reason);
        return ReadResult::Failed;
    };
    for (;;) {
        const ssize_t count = ::read(fd_, &byte, 1);
        if (count == 1)
            return ReadResult::Byte;
        if (count < 0 && errno != EAGAIN && errno != EINTR)
            return failed(QString::fromLocal8Bit(std::strerror(errno)));
        // With no byte waiting the raw line returns nothing; after poll() reported input, nothing
        // means the line was hung up.
        if (count == 0 && reportedReady)
            return failed(QStringLiteral("the line was hung up"));
        const int left = waitLeftMs(timer.elapsed(), timeoutMs);
        if (left == 0) {
            fail(QStringLiteral("no reply within %1 ms").arg(timer.elapsed()));
            return ReadResult::TimedOut;
        }
        short revents = 0;
        const int ready = waitFor(POLLIN, left, revents);
        if (ready < 0 && errno != EINTR)
            return failed(QString::fromLocal8Bit(std::strerror(errno)));
        if (ready > 0) {
            if (revents & (POLLERR | POLLNVAL))
                return failed(QStringLiteral("the line reported an error"));
            if ((revents & POLLHUP) && !(revents & POLLIN))
                return failed(QStringLiteral("the line was hung up"));
            reportedReady = true;
        }
    }
}

int TermiosSerialLine::waitFor(short events, int leftMs, short& revents)
{
    // The stop flag is watched until it is set; from then on the time left holds only its grace.
    const bool watchStop = stop_ && stop_->descriptor() >= 0 && !stop_->isSet();
    pollfd watched[2] = {{fd_, events, 0}, {watchStop ? stop_->descriptor() : -1, POLLIN, 0}};
    // Nothing on the line within the slice (or a stop request) comes back as "nothing yet"; the
    // caller's loop asks again with the time then left.
    const int ready = poll(watched, watchStop ? 2 : 1, waitHook_ ? std::min(leftMs, kWaitSliceMs) : leftMs);
    revents = watched[0].revents;
    if (ready == 0 && waitHook_)
        waitHook_();
    if (ready < 0)
        return ready;
    return revents != 0 ? 1 : 0;
}

void TermiosSerialLine::close()
{
    if (fd_ < 0)
        return;
    int lines = TIOCM_DTR;
    if (settings_.keepOutput)
        tcdrain(fd_);
    if (!settings_.holdDtr)
        ioctl(fd_, TIOCMBIC, &lines);
    tcflush(fd_, settings_.keepOutput ? TCIFLUSH : TCIOFLUSH);
    // A pseudo-terminal keeps the exclusive mark after the last close while its other end stays
    // open, which would turn away our own next open.
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}
