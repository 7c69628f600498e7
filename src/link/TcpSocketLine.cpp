#include "link/TcpSocketLine.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kReceiveChunk = 4096;

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

int remainingMs(const QElapsedTimer& timer, int timeoutMs)
{
    const qint64 left = timeoutMs - timer.elapsed();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

TcpSocketLine::~TcpSocketLine()
{
    close();
}

bool TcpSocketLine::splitAddress(const QString& text, QString& host, int& port)
{
    const QString trimmed = text.trimmed();
    QString portText;
    if (trimmed.startsWith(QLatin1Char('['))) {
        const qsizetype end = trimmed.indexOf(QLatin1String("]:"));
        if (end < 0)
            return false;
        host = trimmed.mid(1, end - 1);
        portText = trimmed.mid(end + 2);
    } else {
        const qsizetype colon = trimmed.lastIndexOf(QLatin1Char(':'));
        if (colon < 0)
            return false;
        host = trimmed.left(colon);
        portText = trimmed.mid(colon + 1);
        // An IPv6 address needs its brackets, or its last group would be taken for the port.
        if (host.contains(QLatin1Char(':')))
            return false;
    }
    bool isNumber = false;
    port = portText.toInt(&isNumber);
    return !host.isEmpty() && isNumber && port >= 1 && port <= 65535;
}

bool TcpSocketLine::open(const QString& hostAndPort)
{
    close();
    error_.clear();
    QString host;
    int port = 0;
    if (!splitAddress(hostAndPort, host, port)) {
        error_ = QStringLiteral("not a host:port address");
        return false;
    }
    return connectTo(host, port);
}

bool TcpSocketLine::connectTo(const QString& host, int port)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const int lookup =
        getaddrinfo(host.toUtf8().constData(), QByteArray::number(port).constData(), &hints, &found);
    if (lookup != 0) {
        error_ = QString::fromLocal8Bit(gai_strerror(lookup));
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    for (addrinfo* address = found; address && fd_ < 0; address = address->ai_next) {
        const int fd = ::socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                address->ai_protocol);
        if (fd < 0) {
            error_ = systemReason(errno);
            continue;
        }
        int result = ::connect(fd, address->ai_addr, address->ai_addrlen);
        if (result != 0 && errno == EINPROGRESS) {
            pollfd connecting{fd, POLLOUT, 0};
            int ready = 0;
            do {
                ready = poll(&connecting, 1, remainingMs(timer, connectTimeoutMs));
            } while (ready < 0 && errno == EINTR);
            int error = ETIMEDOUT;
            socklen_t length = sizeof error;
            if (ready > 0 && getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                error = errno;
            errno = error;
            result = error == 0 ? 0 : -1;
        }
        if (result != 0) {
            error_ = systemReason(errno);
            ::close(fd);
            continue;
        }
        fd_ = fd;
    }
    freeaddrinfo(found);
    return fd_ >= 0;
}

bool TcpSocketLine::configure()
{
    if (fd_ < 0)
        return false;
    const int on = 1;
    if (setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0) {
        error_ = systemReason(errno);
        return false;
    }
    return true;
}

void TcpSocketLine::purge()
{
    received_.clear();
    receivedAt_ = 0;
    if (fd_ < 0)
        return;
    char buffer[kReceiveChunk];
    while (::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
    }
}

bool TcpSocketLine::write(const QByteArray& bytes, int timeoutMs)
{
    if (fd_ < 0)
        return false;
    QElapsedTimer timer;
    timer.start();
    qsizetype written = 0;
    while (written < bytes.size()) {
        // No SIGPIPE when the far end has gone: the write fails instead.
        const ssize_t count = ::send(fd_, bytes.constData() + written,
                                     static_cast<size_t>(bytes.size() - written), MSG_NOSIGNAL);
        if (count > 0) {
            written += count;
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
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

SerialLine::ReadResult TcpSocketLine::readByte(char& byte, int timeoutMs)
{
    if (fd_ < 0)
        return ReadResult::Failed;
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (receivedAt_ < received_.size()) {
            byte = received_.at(receivedAt_++);
            return ReadResult::Byte;
        }
        received_.resize(kReceiveChunk);
        receivedAt_ = 0;
        const ssize_t count = ::recv(fd_, received_.data(), kReceiveChunk, MSG_DONTWAIT);
        received_.resize(count > 0 ? count : 0);
        if (count > 0)
            continue;
        // The far end closed the connection.
        if (count == 0)
            return ReadResult::Failed;
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return ReadResult::Failed;
        const int left = remainingMs(timer, timeoutMs);
        if (left == 0)
            return ReadResult::TimedOut;
        short revents = 0;
        const int ready = waitFor(POLLIN, left, revents);
        if (ready < 0 && errno != EINTR)
            return ReadResult::Failed;
        if (ready > 0 && (revents & (POLLERR | POLLNVAL)))
            return ReadResult::Failed;
    }
}

int TcpSocketLine::waitFor(short events, int leftMs, short& revents)
{
    pollfd line{fd_, events, 0};
    if (!waitHook_) {
        const int ready = poll(&line, 1, leftMs);
        revents = line.revents;
        return ready;
    }
    const int ready = poll(&line, 1, std::min(leftMs, kWaitSliceMs));
    revents = line.revents;
    if (ready == 0)
        waitHook_();
    return ready;
}

void TcpSocketLine::close()
{
    received_.clear();
    receivedAt_ = 0;
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
}
