#pragma once

#include "link/SerialLine.h"

// A serial device of the system driven through POSIX termios: opened non-blocking and exclusively
// (TIOCEXCL against other programs, an advisory lock against a second opener that the system lets
// through), 19200 baud 8N1 raw with XON/XOFF both ways, DTR and RTS raised. Reads and writes wait
// with poll() so that their time-outs hold even when the instrument holds the line with XOFF, and
// so that a stop request ends them.
class TermiosSerialLine : public SerialLine {
public:
    // The load's own line unless told otherwise.
    struct Settings {
        int baud = 19200; // 19200 or 115200
        bool xonXoff = true;
        // DTR stays raised when the line closes, so that a device restarted by a DTR edge (an
        // Arduino-based controller) is not restarted by every operation.
        bool holdDtr = false;
        // What was written is never discarded: the close waits for it to leave and a purge drops
        // only what has arrived. Nothing else waits for the last command of an operation, and the
        // next operation's purge must not take it off the line.
        bool keepOutput = false;
    };

    TermiosSerialLine() = default;
    explicit TermiosSerialLine(const Settings& settings) : settings_(settings) {}
    ~TermiosSerialLine() override;
    TermiosSerialLine(const TermiosSerialLine&) = delete;
    TermiosSerialLine& operator=(const TermiosSerialLine&) = delete;

    bool open(const QString& device) override;
    bool configure() override;
    void purge() override;
    bool write(const QByteArray& bytes, int timeoutMs) override;
    ReadResult readByte(char& byte, int timeoutMs) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    void setWaitHook(std::function<void()> hook) override { waitHook_ = std::move(hook); }
    void setStopFlag(const StopFlag* flag) override { stop_ = flag; }
    QString errorString() const override { return error_; }

private:
    // poll() for the events within the time left, in slices that end with the wait hook; a stop
    // request ends the slice.
    int waitFor(short events, int leftMs, short& revents);
    // The time a wait may still take: what is left of the time-out, or of a stop request's grace.
    int waitLeftMs(qint64 elapsedMs, int timeoutMs) const;
    bool fail(const QString& reason);
    bool failWithErrno(int error);

    Settings settings_;
    int fd_ = -1;
    std::function<void()> waitHook_;
    const StopFlag* stop_ = nullptr;
    QString error_;
};
