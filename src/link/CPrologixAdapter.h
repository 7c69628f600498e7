#pragma once

#include "link/SerialLine.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class ResourceModule;
class UserPrompt;

// GPIB through a Prologix-compatible controller (the Prologix GPIB-USB and GPIB-ETHERNET, the
// AR488): a serial device, or a TCP connection to the network model, that takes lines beginning
// with "++" as its own commands and passes every other line to the instrument at `address`. Data
// bytes the controller would act on (CR, LF, ESC, '+') go escaped; each command carries the load's
// line feed and EOI marks its last byte. Replies are fetched with "++read eoi".
class CPrologixAdapter {
public:
    // Codes of lastError, each with its message in the string table (firstMessageId - 1 + code).
    enum ErrorCode {
        NoController = 1,
        OpenFailed = 2,
        ControllerSilent = 3,
        NotCompatible = 4,
        AddressRefused = 5,
        SendFailed = 6,
        InstrumentSilent = 7,
        ReplyCut = 8,
        ReceiveFailed = 9,
        DataOver = 10
    };
    static constexpr int firstMessageId = 570;
    static constexpr int replyBufferSize = 8192;
    // The whole wait for one reply, as on the other GPIB links.
    static constexpr int replyTimeoutMs = 10000;
    // The wait for each answer of the controller itself; "++ver" is asked up to versionTries times,
    // since a controller that restarts when its port is opened misses what comes during its start.
    static constexpr int controllerTimeoutMs = 1000;
    static constexpr int versionTries = 3;
    // The controller's own wait for the instrument ("++read_tmo_ms"): the largest every
    // Prologix-compatible controller accepts.
    static constexpr int busTimeoutMs = 3000;
    static constexpr int defaultNetworkPort = 1234;
    static constexpr int serialBaud = 115200;

    CPrologixAdapter(const ResourceModule& strings, UserPrompt& prompt);
    ~CPrologixAdapter();
    CPrologixAdapter(const CPrologixAdapter&) = delete;
    CPrologixAdapter& operator=(const CPrologixAdapter&) = delete;

    int Open();
    int Write(const QString& command);
    // The reply without its line feed (and a carriage return before it); empty on failure.
    QString Read();
    int Close();
    void ReportError();
    QString errorText() const;
    bool reportedOwnOpenFailure() const { return false; }
    bool isOpen() const { return line_ && line_->isOpen(); }

    // The data bytes as the controller must receive them: ESC before each CR, LF, ESC and '+'.
    static QByteArray escaped(const QByteArray& data);
    // "tcp:HOST[:PORT]", "HOST:PORT" or a bare host name the network model; a path (beginning
    // with "/") a serial device. Empty for a serial device, else "host:port" (port 1234 by default).
    static QString networkAddress(const QString& device);
    // Whether a "++ver" answer is that of a Prologix-compatible controller.
    static bool isCompatibleVersion(const QString& answer);

    // Makes the line for a serial device (network false) or a TCP connection; tests put their own.
    void setLineFactory(std::function<std::unique_ptr<SerialLine>(bool network)> factory);
    // Called while a read or write waits (see SerialLine::setWaitHook); empty for none.
    void setWaitHook(std::function<void()> hook);
    // Shortens the waits for the controller's answers and for a reply; for tests.
    void setTimeoutsMs(int controllerMs, int replyMs);

    int address = 1;
    int machine = 0;
    int lastError = 0;
    // Config/GpibDevice: the controller's serial device or network address.
    QString device;
    // The controller's answer to "++ver" at the last Open.
    QString version;

private:
    enum class LineResult { Line, Nothing, Cut, Failed, Over };

    int failOpen(int code);
    bool send(const QByteArray& bytes);
    LineResult readLine(QByteArray& line, int timeoutMs);
    bool identifyController();
    bool setUpController();

    const ResourceModule& strings_;
    UserPrompt& prompt_;
    std::unique_ptr<SerialLine> line_;
    std::function<std::unique_ptr<SerialLine>(bool)> lineFactory_;
    std::function<void()> waitHook_;
    int controllerTimeoutMs_ = controllerTimeoutMs;
    int replyTimeoutMs_ = replyTimeoutMs;
    QString openReason_;
};
