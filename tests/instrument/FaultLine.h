#pragma once

#include "SimulatorSerialLine.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <functional>

// The simulator's serial line with faults on cue: the write of a chosen command fails (as a cable
// pulled at that moment would), or the instrument's reply to a chosen message is replaced by a
// given text or rewritten, for reply forms the simulator never produces.
class FaultLine : public SerialLine {
public:
    explicit FaultLine(SimulatorSerialLine& line) : line_(line) {}

    bool open(const QString& device) override
    {
        pulled_ = false;
        return line_.open(device);
    }
    bool configure() override { return line_.configure(); }
    void purge() override
    {
        replaced_.clear();
        line_.purge();
    }
    bool write(const QByteArray& bytes, int timeoutMs) override
    {
        const QString command = QString::fromLatin1(bytes).chopped(bytes.endsWith('\n') ? 1 : 0);
        if (pulled_ || (!failWriteOf.isEmpty() && command.startsWith(failWriteOf))) {
            pulled_ = true;
            return false;
        }
        if (!line_.write(bytes, timeoutMs))
            return false;
        const auto replacement = replies.constFind(command);
        if (replacement != replies.constEnd()) {
            // The simulator's own answer is dropped unread.
            takeSimulatorReply();
            replaced_ += replacement->toLatin1() + '\n';
        } else if (rewriteReply && !line_.pendingReply().isEmpty()) {
            QByteArray reply = takeSimulatorReply();
            reply.chop(reply.endsWith('\n') ? 1 : 0);
            replaced_ += rewriteReply(command, QString::fromLatin1(reply)).toLatin1() + '\n';
        }
        return true;
    }
    ReadResult readByte(char& byte, int timeoutMs) override
    {
        if (!replaced_.isEmpty()) {
            byte = replaced_.at(0);
            replaced_.remove(0, 1);
            return ReadResult::Byte;
        }
        return line_.readByte(byte, timeoutMs);
    }
    void close() override
    {
        replaced_.clear();
        line_.close();
    }
    bool isOpen() const override { return line_.isOpen(); }
    void setWaitHook(std::function<void()> hook) override { waitHook = std::move(hook); }

    // The first command that begins with this text fails to be written, and so does every later
    // one until the line is opened again.
    QString failWriteOf;
    // Message -> reply given instead of the simulator's.
    QMap<QString, QString> replies;
    // (message, the simulator's reply) -> the reply given instead, for replies not in `replies`.
    std::function<QString(const QString& command, const QString& reply)> rewriteReply;
    // What the port asked to be called while it waits (the simulator answers at once, so it never
    // waits; a test calls it to play a long wait).
    std::function<void()> waitHook;

private:
    QByteArray takeSimulatorReply()
    {
        QByteArray bytes;
        char byte = 0;
        while (!line_.pendingReply().isEmpty() && line_.readByte(byte, 0) == ReadResult::Byte)
            bytes += byte;
        return bytes;
    }

    SimulatorSerialLine& line_;
    QByteArray replaced_;
    bool pulled_ = false;
};
