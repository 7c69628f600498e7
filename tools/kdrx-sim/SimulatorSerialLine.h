#pragma once

#include "link/SerialLine.h"
#include "ui/Clock.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class KdrxSimulator;

// A serial line whose far end is a KdrxSimulator, answered synchronously: write() hands each
// complete line to the simulator at once and queues its reply bytes; readByte() returns them,
// and with none queued it lets the clock run for the whole time-out and reports TimedOut. With a
// fake clock a run over this line is deterministic and the transcript carries the fake time.
// It records its own open, configure, purge and close calls, and can be made to fail them.
class SimulatorSerialLine : public SerialLine {
public:
    SimulatorSerialLine(KdrxSimulator& simulator, Clock& clock);

    bool open(const QString& device) override;
    bool configure() override;
    void purge() override;
    bool write(const QByteArray& bytes, int timeoutMs) override;
    ReadResult readByte(char& byte, int timeoutMs) override;
    void close() override;
    bool isOpen() const override { return open_; }

    // "open DEVICE", "open DEVICE failed", "configure", "configure failed", "purge", "close", in order.
    QStringList events() const { return events_; }
    void clearEvents() { events_.clear(); }
    QString device() const { return device_; }
    // Reply bytes not read yet.
    QByteArray pendingReply() const { return reply_.mid(replyRead_); }

    void failOpen(bool fail) { failOpen_ = fail; }
    void failConfigure(bool fail) { failConfigure_ = fail; }
    void failWrite(bool fail) { failWrite_ = fail; }
    void failRead(bool fail) { failRead_ = fail; }

private:
    KdrxSimulator& simulator_;
    Clock& clock_;
    bool open_ = false;
    QString device_;
    QByteArray partialLine_;
    QByteArray reply_;
    qsizetype replyRead_ = 0;
    QStringList events_;
    bool failOpen_ = false;
    bool failConfigure_ = false;
    bool failWrite_ = false;
    bool failRead_ = false;
};
