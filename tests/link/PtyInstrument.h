#pragma once

#include <QByteArray>
#include <QString>
#include <termios.h>
#include <thread>

// The instrument's end of a pseudo-terminal, played by hand: the port under test opens the
// returned device path; the test reads what was written and sends replies.
class PtyInstrument {
public:
    PtyInstrument();
    ~PtyInstrument();
    PtyInstrument(const PtyInstrument&) = delete;
    PtyInstrument& operator=(const PtyInstrument&) = delete;

    bool isOpen() const { return master_ >= 0; }
    QString devicePath() const { return devicePath_; }
    // Sends the bytes from a helper thread, so that a reply larger than the terminal's buffers
    // does not block the test while the port reads it byte by byte.
    void send(const QByteArray& bytes, int delayMs = 0);
    // Waits for the sender to finish.
    void finishSending();
    // Everything the port wrote that arrives within waitMs of the last byte.
    QByteArray received(int waitMs = 200);
    // The line settings the port gave the terminal; false when they cannot be read.
    bool lineSettings(termios& settings) const;
    // Whether the terminal is marked for exclusive use: 1 or 0, -1 when that cannot be asked
    // (the port holds it exclusively against this user).
    int exclusiveMark() const;
    // Hangs up the instrument's end.
    void hangUp();

private:
    int master_ = -1;
    QString devicePath_;
    std::thread sender_;
};
