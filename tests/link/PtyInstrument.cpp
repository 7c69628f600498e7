#include "PtyInstrument.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

PtyInstrument::PtyInstrument()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        return;
    if (grantpt(master) != 0 || unlockpt(master) != 0) {
        ::close(master);
        return;
    }
    char name[128] = {};
    if (ptsname_r(master, name, sizeof name) != 0) {
        ::close(master);
        return;
    }
    // Non-blocking, so that a sender the port stops reading from gives up instead of hanging.
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    master_ = master;
    devicePath_ = QString::fromLocal8Bit(name);
}

PtyInstrument::~PtyInstrument()
{
    finishSending();
    hangUp();
}

void PtyInstrument::send(const QByteArray& bytes, int delayMs)
{
    finishSending();
    const int fd = master_;
    sender_ = std::thread([fd, bytes, delayMs] {
        if (delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        qsizetype sent = 0;
        while (fd >= 0 && sent < bytes.size()) {
            const ssize_t count =
                ::write(fd, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent));
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0 && errno == EAGAIN) {
                pollfd waitFor{fd, POLLOUT, 0};
                if (poll(&waitFor, 1, 2000) <= 0)
                    return;
                continue;
            }
            if (count <= 0)
                return;
            sent += count;
        }
    });
}

void PtyInstrument::finishSending()
{
    if (sender_.joinable())
        sender_.join();
}

QByteArray PtyInstrument::received(int waitMs)
{
    QByteArray bytes;
    for (;;) {
        pollfd waitFor{master_, POLLIN, 0};
        if (master_ < 0 || poll(&waitFor, 1, waitMs) <= 0 || !(waitFor.revents & POLLIN))
            return bytes;
        char chunk[4096];
        const ssize_t count = ::read(master_, chunk, sizeof chunk);
        if (count <= 0)
            return bytes;
        bytes.append(chunk, count);
    }
}

bool PtyInstrument::lineSettings(termios& settings) const
{
    // The pseudo-terminal's settings are shared: the master reports what the port set.
    return master_ >= 0 && tcgetattr(master_, &settings) == 0;
}

int PtyInstrument::exclusiveMark() const
{
    const int fd = ::open(devicePath_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    int exclusive = 0;
    const int result = ioctl(fd, TIOCGEXCL, &exclusive);
    ::close(fd);
    return result == 0 ? (exclusive ? 1 : 0) : -1;
}

void PtyInstrument::hangUp()
{
    finishSending();
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}
