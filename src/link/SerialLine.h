#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class StopFlag;

// One serial line as the RS-232C adapter uses it: opened exclusively by device name, set to the
// instrument's fixed line settings, written in one call and read one byte at a time. The program
// uses the termios line; tests and the synchronous simulator plug in their own.
class SerialLine {
public:
    enum class ReadResult { Byte, TimedOut, Failed };

    virtual ~SerialLine() = default;
    // Opens the device for reading and writing, exclusively; false when it cannot be opened.
    virtual bool open(const QString& device) = 0;
    // Applies the line settings (19200 baud, 8N1, raw, XON/XOFF both ways) and raises DTR and RTS;
    // false when the settings cannot be applied (the line stays open).
    virtual bool configure() = 0;
    // Discards pending input and output.
    virtual void purge() = 0;
    // Writes all bytes in one call; false when the call fails or does not finish within timeoutMs.
    virtual bool write(const QByteArray& bytes, int timeoutMs) = 0;
    // Waits up to timeoutMs for one byte.
    virtual ReadResult readByte(char& byte, int timeoutMs) = 0;
    // Lowers DTR, purges and closes; harmless when already closed.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Called every kWaitSliceMs or so while a read or write waits for the line, so that the caller
    // can keep its windows painted during a long time-out. Lines that never wait ignore it.
    static constexpr int kWaitSliceMs = 100;
    virtual void setWaitHook(std::function<void()> hook) { (void)hook; }
    // A stop request cuts a read's or write's wait short once its grace has passed: the call then
    // returns as if its time-out had run out. Lines that never wait ignore it.
    virtual void setStopFlag(const StopFlag* flag) { (void)flag; }
    // Why the last open, set-up, write or read failed, as the system says it ("No such file or
    // directory"); empty when the line cannot tell.
    virtual QString errorString() const { return QString(); }
};
