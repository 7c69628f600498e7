#include "TcpSimulatorServer.h"

#include <QByteArray>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

// Sends all of it, waiting while the host's side is full; false when the connection is gone.
bool sendAll(int fd, const QByteArray& bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count =
            ::send(fd, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (count > 0) {
            sent += count;
        } else if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            pollfd writable{fd, POLLOUT, 0};
            if (poll(&writable, 1, 1000) <= 0)
                return false;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

TcpSimulatorServer::TcpSimulatorServer(Clock& clock, int port) : simulator_(clock), controller_(simulator_)
{
    if (!listenOn(port)) {
        closeDescriptors();
        return;
    }
    thread_ = std::thread(&TcpSimulatorServer::serve, this);
}

TcpSimulatorServer::~TcpSimulatorServer()
{
    stop();
    closeDescriptors();
}

QString TcpSimulatorServer::address() const
{
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

bool TcpSimulatorServer::listenOn(int port)
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener_ < 0) {
        error_ = systemError("socket");
        return false;
    }
    const int on = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error_ = systemError("bind");
        return false;
    }
    if (::listen(listener_, 4) != 0) {
        error_ = systemError("listen");
        return false;
    }
    socklen_t length = sizeof address;
    if (getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error_ = systemError("getsockname");
        return false;
    }
    port_ = ntohs(address.sin_port);
    int wake[2];
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        error_ = systemError("pipe2");
        return false;
    }
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
    return true;
}

void TcpSimulatorServer::stop()
{
    if (!thread_.joinable())
        return;
    stopping_ = true;
    const char byte = 0;
    while (::write(wakeWrite_, &byte, 1) < 0 && errno == EINTR) {
    }
    thread_.join();
}

void TcpSimulatorServer::closeDescriptors()
{
    for (int* fd : {&listener_, &wakeRead_, &wakeWrite_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void TcpSimulatorServer::serve()
{
    int client = -1;
    const auto endConnection = [&] {
        ::close(client);
        client = -1;
        controller_.resetInput();
    };
    while (!stopping_) {
        pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {client >= 0 ? client : listener_, POLLIN, 0}};
        const int ready = poll(fds, 2, -1);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents != 0)
            break;
        if (fds[1].revents == 0)
            continue;
        if (client < 0) {
            client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (client >= 0) {
                const int on = 1;
                setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            }
            continue;
        }
        char buffer[4096];
        const ssize_t count = ::recv(client, buffer, sizeof buffer, 0);
        if (count > 0) {
            if (!sendAll(client, controller_.receive(QByteArray(buffer, count))))
                endConnection();
        } else if (count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            endConnection();
        }
    }
    if (client >= 0)
        ::close(client);
}
