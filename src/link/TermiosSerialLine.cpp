#include "link/TermiosSerialLine.h"

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

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

speed_t lineSpeed(int baud)
{
    return baud == 115200 ? B115200 : B19200;
}

int remainingMs(const QElapsedTimer& timer, int timeoutMs)
{
    const qint64 left = timeoutMs - timer.elapsed();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

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
    if (path.isEmpty()) {
        error_ = systemReason(ENOENT);
        return false;
    }
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error_ = systemReason(errno);
        return false;
    }
    // TIOCEXCL turns away later opens by other programs (though not by a privileged one); the
    // lock also turns away a second opener in this process, which TIOCEXCL lets through.
    const bool terminal = isatty(fd);
    if (!terminal || flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
        error_ = systemReason(terminal ? errno : ENOTTY);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

bool TermiosSerialLine::configure()
{
    if (fd_ < 0)
        return false;
    termios settings{};
    const speed_t speed = lineSpeed(settings_.baud);
    const auto fail = [this] {
        error_ = systemReason(errno);
        return false;
    };
    if (tcgetattr(fd_, &settings) != 0)
        return fail();
    cfmakeraw(&settings);
    if (cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0)
        return fail();
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
        return fail();

    int lines = TIOCM_DTR | TIOCM_RTS;
    if (ioctl(fd_, TIOCMBIS, &lines) != 0 && !isModemLineRefusal(errno))
        return fail();
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
        return false;
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
            return false;
        const int left = remainingMs(timer, timeoutMs);
        if (left == 0)
            return false;
        short revents = 0;
        const int ready = waitFor(POLLOUT, left, revents);
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready > 0 && (revents & (POLLERR | POLLNVAL)))
            return false;
    }
    return true;
}

SerialLine::ReadResult TermiosSerialLine::readByte(char& byte, int timeoutMs)
{
    if (fd_ < 0)
        return ReadResult::Failed;
    QElapsedTimer timer;
    timer.start();
    bool reportedReady = false;
    for (;;) {
        const ssize_t count = ::read(fd_, &byte, 1);
        if (count == 1)
            return ReadResult::Byte;
        if (count < 0 && errno != EAGAIN && errno != EINTR)
            return ReadResult::Failed;
        // With no byte waiting the raw line returns nothing; after poll() reported input, nothing
        // means the line was hung up.
        if (count == 0 && reportedReady)
            return ReadResult::Failed;
        const int left = remainingMs(timer, timeoutMs);
        if (left == 0)
            return ReadResult::TimedOut;
        short revents = 0;
        const int ready = waitFor(POLLIN, left, revents);
        if (ready < 0 && errno != EINTR)
            return ReadResult::Failed;
        if (ready > 0) {
            if (revents & (POLLERR | POLLNVAL))
                return ReadResult::Failed;
            if ((revents & POLLHUP) && !(revents & POLLIN))
                return ReadResult::Failed;
            reportedReady = true;
        }
    }
}

int TermiosSerialLine::waitFor(short events, int leftMs, short& revents)
{
    pollfd line{fd_, events, 0};
    if (!waitHook_) {
        const int ready = poll(&line, 1, leftMs);
        revents = line.revents;
        return ready;
    }
    // Nothing on the line within the slice comes back as "nothing yet"; the caller's loop asks again
    // with the time then left.
    const int ready = poll(&line, 1, std::min(leftMs, kWaitSliceMs));
    revents = line.revents;
    if (ready == 0)
        waitHook_();
    return ready;
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
