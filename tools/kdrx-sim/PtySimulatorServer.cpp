#include "PtySimulatorServer.h"

#include "ScpiErrorQueue.h"

#include <QByteArray>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

timespec toTimespec(SteadyClock::duration duration)
{
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(duration).count();
    const long long clamped = ns < 0 ? 0 : ns;
    return timespec{static_cast<time_t>(clamped / 1000000000), static_cast<long>(clamped % 1000000000)};
}

} // namespace

PtySimulatorServer::PtySimulatorServer(Clock& clock, int baud, FrontEnd frontEnd)
    : simulator_(clock), baud_(baud < 0 ? 0 : baud)
{
    if (frontEnd == FrontEnd::PrologixController)
        controller_ = std::make_unique<PrologixController>(simulator_);
    if (!openTerminal()) {
        closeDescriptors();
        return;
    }
    thread_ = std::thread(&PtySimulatorServer::serve, this);
}

PtySimulatorServer::~PtySimulatorServer()
{
    stop();
    closeDescriptors();
}

bool PtySimulatorServer::openTerminal()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        error_ = systemError("posix_openpt");
        return false;
    }
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error_ = systemError("unlockpt");
        return false;
    }
    char name[256] = {};
    if (ptsname_r(master_, name, sizeof name) != 0) {
        error_ = systemError("ptsname_r");
        return false;
    }
    devicePath_ = QString::fromLocal8Bit(name);
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        error_ = systemError("open slave");
        return false;
    }
    termios settings{};
    if (tcgetattr(slave_, &settings) != 0) {
        error_ = systemError("tcgetattr");
        return false;
    }
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&settings, B19200);
    cfsetospeed(&settings, B19200);
    if (tcsetattr(slave_, TCSANOW, &settings) != 0) {
        error_ = systemError("tcsetattr");
        return false;
    }
    int flags = fcntl(master_, F_GETFL);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0 ||
        fcntl(master_, F_SETFD, FD_CLOEXEC) != 0) {
        error_ = systemError("fcntl");
        return false;
    }
    int wake[2];
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        error_ = systemError("pipe2");
        return false;
    }
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
    return true;
}

void PtySimulatorServer::stop()
{
    if (!thread_.joinable())
        return;
    stopping_ = true;
    const char byte = 0;
    while (::write(wakeWrite_, &byte, 1) < 0 && errno == EINTR) {
    }
    thread_.join();
}

void PtySimulatorServer::closeDescriptors()
{
    for (int* fd : {&master_, &slave_, &wakeRead_, &wakeWrite_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void PtySimulatorServer::serve()
{
    const SteadyClock::duration byteTime = baud_ > 0 ? std::chrono::duration_cast<SteadyClock::duration>(
                                                           std::chrono::nanoseconds(10000000000LL / baud_))
                                                     : SteadyClock::duration::zero();
    struct Arriving {
        char byte;
        SteadyClock::time_point ready;
    };
    std::deque<Arriving> arriving;
    SteadyClock::time_point receiveFree = SteadyClock::now();
    SteadyClock::time_point sendNext = SteadyClock::now();
    QByteArray line;
    bool overrun = false;
    QByteArray outgoing;
    bool paused = false;
    bool masterIdle = false;

    while (!stopping_) {
        SteadyClock::time_point now = SteadyClock::now();

        // Bytes whose time on the line has passed reach the instrument.
        while (!arriving.empty() && arriving.front().ready <= now) {
            const char byte = arriving.front().byte;
            arriving.pop_front();
            if (controller_) {
                const bool wasIdle = outgoing.isEmpty();
                const QByteArray answer = controller_->receive(QByteArray(1, byte));
                if (outgoing.size() <= kMaxPendingReplyBytes)
                    outgoing.append(answer);
                if (wasIdle && !outgoing.isEmpty())
                    sendNext = std::max(sendNext, now + byteTime);
            } else if (byte == kXoff) {
                paused = true;
            } else if (byte == kXon) {
                paused = false;
            } else if (byte == '\n') {
                if (!overrun) {
                    const bool wasIdle = outgoing.isEmpty();
                    for (const QString& reply : simulator_.handleLine(QString::fromLatin1(line))) {
                        // A peer that sends queries and never reads loses replies rather than
                        // growing the queue without end.
                        if (outgoing.size() > kMaxPendingReplyBytes)
                            break;
                        outgoing.append(reply.toLatin1());
                        outgoing.append('\n');
                    }
                    // A byte reaches the other end when its time on the line is over, the
                    // first one of a reply included.
                    if (wasIdle && !outgoing.isEmpty())
                        sendNext = std::max(sendNext, now + byteTime);
                }
                line.clear();
                overrun = false;
            } else if (!overrun) {
                line.append(byte);
                if (line.size() > kMaxLineBytes) {
                    line.clear();
                    overrun = true;
                    simulator_.pushError(ScpiErrorQueue::entryText(ScpiErrorQueue::kInputBufferOverrun));
                }
            }
        }

        // Replies go out as fast as the line allows.
        bool waitWritable = false;
        if (!outgoing.isEmpty() && !paused &&
            (byteTime == SteadyClock::duration::zero() || now >= sendNext)) {
            qsizetype allowed = outgoing.size();
            if (byteTime != SteadyClock::duration::zero())
                allowed = std::min<qsizetype>(allowed, 1 + (now - sendNext) / byteTime);
            const ssize_t written = ::write(master_, outgoing.constData(), static_cast<size_t>(allowed));
            if (written > 0) {
                outgoing.remove(0, written);
                sendNext += byteTime * written;
            } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                waitWritable = true;
            }
        }

        now = SteadyClock::now();
        std::optional<SteadyClock::duration> timeout;
        const auto consider = [&](SteadyClock::time_point at) {
            const SteadyClock::duration wait = at - now;
            if (!timeout || wait < *timeout)
                timeout = wait;
        };
        if (!arriving.empty())
            consider(arriving.front().ready);
        if (!outgoing.isEmpty() && !paused && !waitWritable)
            consider(byteTime == SteadyClock::duration::zero() ? now : sendNext);
        if (masterIdle)
            consider(now + std::chrono::milliseconds(50));

        pollfd fds[2] = {
            {wakeRead_, POLLIN, 0},
            {masterIdle ? -1 : master_, static_cast<short>(POLLIN | (waitWritable ? POLLOUT : 0)), 0}};
        timespec waitFor{};
        if (timeout)
            waitFor = toTimespec(*timeout);
        const int ready = ppoll(fds, 2, timeout ? &waitFor : nullptr, nullptr);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents != 0)
            break;
        masterIdle = false;
        if ((fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            char buffer[4096];
            const ssize_t count = ::read(master_, buffer, sizeof buffer);
            if (count > 0) {
                const SteadyClock::time_point received = SteadyClock::now();
                for (ssize_t i = 0; i < count; ++i) {
                    SteadyClock::time_point readyAt = received;
                    if (byteTime != SteadyClock::duration::zero()) {
                        receiveFree = std::max(receiveFree, received) + byteTime;
                        readyAt = receiveFree;
                    }
                    arriving.push_back(Arriving{buffer[i], readyAt});
                }
            } else if (count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                // A hang-up cannot last while the server holds the slave open; should the terminal
                // report one anyway, wait a little instead of spinning on it.
                masterIdle = true;
            }
        }
    }
}
