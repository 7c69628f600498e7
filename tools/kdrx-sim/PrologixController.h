#pragma once

#include "KdrxSimulator.h"

#include <QByteArray>
#include <QString>
#include <deque>
#include <functional>
#include <mutex>

// A Prologix-compatible GPIB controller with the simulated load on its bus: what the host sends
// goes in, what the controller sends back comes out. Lines beginning with an unescaped "++" are the
// controller's commands (ver, mode, addr, auto, eoi, eos, eot_enable, eot_char, read_tmo_ms, read,
// clr and a few that are only accepted); every other line goes to the device at the controller's
// address, with ESC taking the byte after it as data and the line's unescaped CR or LF replaced by
// the "++eos" terminator. The load ends a message at a line feed or at EOI, and drops an answer
// nobody read when the next message comes; "++read" passes its oldest waiting answer to the host,
// "++auto 1" does so after every data line. The faults: a
// controller that answers nothing, another "++ver" answer, the load at another address, replies
// cut to their first bytes. Thread-safe (one mutex), since a server answers on its own thread.
class PrologixController {
public:
    static constexpr int kDefaultInstrumentAddress = 5;

    explicit PrologixController(KdrxSimulator& instrument);

    // Takes bytes from the host; returns the bytes the controller sends back.
    QByteArray receive(const QByteArray& bytes);
    // Forgets a half-received line, as when the host's connection ends.
    void resetInput();

    // The wire as the controller saw it: every byte from the host and to it.
    QByteArray receivedBytes() const;
    QByteArray sentBytes() const;
    void clearWire();
    // Called with each controller command as received ("++addr 5"), under the controller's lock;
    // it must not call back into the controller.
    void setCommandObserver(std::function<void(const QString&)> observer);

    // The controller's settings as the host left them.
    int mode() const;
    int address() const;
    bool autoRead() const;
    bool eoi() const;
    int eos() const;
    bool eotEnabled() const;
    int readTimeoutMs() const;

    // Faults.
    // Answers nothing and passes nothing on: not a controller, or one that is not there.
    void setSilent(bool silent);
    // The "++ver" answer.
    void setVersion(const QString& version);
    // The load's own GPIB address; a controller set to any other talks to nobody.
    void setInstrumentAddress(int address);
    // Passes only the first `bytes` bytes of each reply of the load (the rest is lost); negative
    // for whole replies.
    void cutRepliesAfter(int bytes);

    static QString defaultVersion()
    {
        return QStringLiteral("Prologix GPIB-USB Controller version 6.107 (kdrx-sim)");
    }

private:
    void endOfLine(QByteArray& out);
    void command(const QByteArray& text, QByteArray& out);
    void data(const QByteArray& bytes, QByteArray& out);
    void deliver(const QByteArray& message);
    void talk(QByteArray& out);
    bool instrumentListens() const { return address_ == instrumentAddress_; }

    KdrxSimulator& instrument_;
    mutable std::mutex mutex_;
    std::function<void(const QString&)> observer_;

    // The line being received.
    QByteArray line_;
    bool escaped_ = false;
    int leadingPluses_ = 0;

    int mode_ = 1;
    int address_ = kDefaultInstrumentAddress;
    bool auto_ = false;
    bool eoi_ = true;
    int eos_ = 0;
    bool eotEnabled_ = false;
    int eotChar_ = 0;
    int readTimeoutMs_ = 500;

    // The load's side: bytes of a message still without its end, and replies not yet read.
    QByteArray listened_;
    std::deque<QByteArray> replies_;

    bool silent_ = false;
    QString version_ = defaultVersion();
    int instrumentAddress_ = kDefaultInstrumentAddress;
    int cutAfter_ = -1;

    QByteArray received_;
    QByteArray sent_;
};
