#pragma once

#include "link/SerialLine.h"

#include <QString>
#include <functional>
#include <memory>

class Clock;
class ResourceModule;
class StopFlag;
class UserPrompt;

// The RS-232C link to the instrument: 19200 baud, 8N1, XON/XOFF, commands ended by a line feed
// and replies read up to the next one. The port number picks /dev/ttyS(n-1), the system's name
// of COMn, unless a device path (or the built-in simulator) is configured.
class CRs232cPort {
public:
    // Codes of lastError, each with its message in the string table (506 + code).
    enum ErrorCode {
        OpenFailed = 0,
        SetupFailed = 1,
        WriteFailed = 2,
        ReadFailed = 3,
        NoData = 4,
        DataOver = 5,
        InvalidData = 6,
        // A wait for the line cut short by a stop request: no message, the stop says why.
        Interrupted = 7
    };
    static constexpr int replyBufferSize = 8192;
    static constexpr int lineTimeoutMs = 15000;
    static constexpr int settleWaitMs = 200;
    static constexpr const char* simulatorDevice = "simulator";

    CRs232cPort(const ResourceModule& strings, UserPrompt& prompt, Clock& clock);
    ~CRs232cPort();
    CRs232cPort(const CRs232cPort&) = delete;
    CRs232cPort& operator=(const CRs232cPort&) = delete;

    int Open();
    int Write(const QString& command);
    int Read(QString& reply);
    int Close();
    void ReportError();
    // The message ReportError shows for lastError; empty when it shows none.
    QString errorText() const;
    // The device and the system's reason of the last failure ("/dev/ttyUSB0: No such file or
    // directory"); empty when the line could not tell.
    QString failureDetail() const { return failureDetail_; }

    // The device Open uses: the configured path, the simulator's, or the name of COM`address`.
    // Empty when the simulator is asked for and none is available.
    QString devicePath() const;
    bool isOpen() const { return line_ && line_->isOpen(); }

    // Replaces the byte line (closing the old one); the default is the termios line.
    void setLine(std::unique_ptr<SerialLine> line);
    SerialLine& line() { return *line_; }
    // Called while a read or write waits for the line (see SerialLine::setWaitHook); empty for none.
    void setWaitHook(std::function<void()> hook);
    // Shortens the read and write time-outs; for tests.
    void setTimeoutsMs(int readMs, int writeMs);
    // The stop request that cuts the line's waits short (see SerialLine::setStopFlag); null for none.
    void setStopFlag(const StopFlag* flag);
    // Gives the device path of the built-in simulator, starting it on first use.
    void setSimulatorProvider(std::function<QString()> provider) { simulatorProvider_ = std::move(provider); }

    int address = 1;
    int machine = 0;
    int lastError = 0;
    // Config/PortDevice: a device path, "simulator" (any case), or empty for the COM name.
    QString portDevice;

private:
    // Sets lastError and the failure's detail: the reason given, or else the line's; 0.
    int fail(int code, const QString& reason = QString());
    bool stopRequested() const;

    const ResourceModule& strings_;
    UserPrompt& prompt_;
    Clock& clock_;
    std::unique_ptr<SerialLine> line_;
    std::function<QString()> simulatorProvider_;
    std::function<void()> waitHook_;
    const StopFlag* stop_ = nullptr;
    QString device_;
    QString failureDetail_;
    int readTimeoutMs_ = lineTimeoutMs;
    int writeTimeoutMs_ = lineTimeoutMs;
};
