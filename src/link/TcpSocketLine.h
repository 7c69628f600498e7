#pragma once

#include "link/SerialLine.h"

#include <QByteArray>

// A TCP connection used as a byte line, the way the network model of a GPIB controller is reached:
// open() connects to "host:port" ("[v6 address]:port" for an IPv6 address) within the connect
// time-out, configure() turns off the send delay so that each command leaves at once. Reads and
// writes wait with poll(), as the serial line does; a connection the far end closed reads as failed.
class TcpSocketLine : public SerialLine {
public:
    static constexpr int connectTimeoutMs = 10000;

    TcpSocketLine() = default;
    ~TcpSocketLine() override;
    TcpSocketLine(const TcpSocketLine&) = delete;
    TcpSocketLine& operator=(const TcpSocketLine&) = delete;

    bool open(const QString& hostAndPort) override;
    bool configure() override;
    // Drops what has arrived and not been read.
    void purge() override;
    bool write(const QByteArray& bytes, int timeoutMs) override;
    ReadResult readByte(char& byte, int timeoutMs) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    void setWaitHook(std::function<void()> hook) override { waitHook_ = std::move(hook); }
    QString errorString() const override { return error_; }

    // Splits "host:port" or "[v6 address]:port"; false when there is no host or no port 1..65535.
    static bool splitAddress(const QString& text, QString& host, int& port);

private:
    bool connectTo(const QString& host, int port);
    int waitFor(short events, int leftMs, short& revents);

    int fd_ = -1;
    QByteArray received_;
    qsizetype receivedAt_ = 0;
    std::function<void()> waitHook_;
    QString error_;
};
