#pragma once

#include "link/CContecGpibAdapter.h"
#include "link/CInterfaceGpibAdapter.h"
#include "link/CNiGpibAdapter.h"
#include "link/CPrologixAdapter.h"
#include "link/CRatocGpibAdapter.h"
#include "link/CRatocUsbGpibAdapter.h"
#include "link/CRs232cPort.h"

#include <QString>
#include <functional>

struct AppSettings;
class Clock;
class ResourceModule;
class StopFlag;
class UserPrompt;

// The one object every command and reply passes through. It holds an adapter of every kind and
// dispatches each call to the one the interface kind selects; a failed Open shows the adapter's
// message, failed writes and reads are left to the caller (ReportError). A kind that names no
// adapter (a GPIB maker off the list) fails Open, Write and Read with a message naming it.
class CInstrumentPort {
public:
    // InterfaceKind.
    enum Kind {
        Rs232c = 0,
        NiGpib = 1,
        InterfaceGpib = 2,
        ContecGpib = 3,
        RatocGpib = 4,
        RatocUsbGpib = 5,
        PrologixGpib = 6
    };

    CInstrumentPort(const ResourceModule& strings, UserPrompt& prompt, Clock& clock);

    // kind/address/machine from Interface, Port, Maker, Address and Machine; the serial device
    // from PortDevice, the GPIB controller's device from GpibDevice. Nothing is opened.
    void applySettings(const AppSettings& settings);

    int kind = Rs232c;
    int address = 1;
    int machine = 0;

    // 1 on success; on failure the adapter's message has been shown and 0 is returned.
    int Open();
    // Sends one command without terminator (the adapter adds its own); shows nothing.
    int Write(const QString& command);
    // One reply without terminator. An empty RS-232C line is a reply; an empty GPIB reply fails.
    int Read(QString& reply);
    // The longest reply Read hands over on the selected link: a longer one comes out cut to this
    // length (the GPIB boards' read buffers), so a reply of this length may be incomplete.
    int replyLimit() const;
    int Close();
    // Shows the message for the selected adapter's lastError.
    void ReportError();
    // The text ReportError shows; empty when it shows none.
    QString errorText() const;
    // The device and the system's reason of the last failure, where the link can tell
    // ("/dev/ttyUSB0: No such file or directory"); empty otherwise.
    QString failureDetail() const;
    // Called by ReportError after the message, with failureDetail() when there is one.
    void setDetailReporter(std::function<void(const QString& detail)> reporter)
    {
        detailReporter_ = std::move(reporter);
    }

    // A stop request (Ctrl-C and the like) ends the link's waits once its grace has passed: a
    // serial read or write waiting for the line returns, and no GPIB transfer is started, since a
    // board library's call cannot be cut short. Such a failure shows no message. Null for none.
    void setStopFlag(const StopFlag* flag);
    bool stopRequested() const;
    // Write and Read calls that failed so far, and whether the last of them was cut short by a
    // stop request.
    int failureCount() const { return failures_; }
    bool lastFailureInterrupted() const { return interrupted_; }

    // Gives the simulator's device path for PortDevice "simulator", starting it on first use.
    // Without a provider such an Open fails with code 0.
    void setSimulatorProvider(std::function<QString()> provider);
    // Looks every GPIB library up in this folder instead of the system search; for tests.
    void setLibraryFolder(const QString& folder);
    // Called while a serial or network read or write waits (see SerialLine::setWaitHook).
    void setWaitHook(const std::function<void()>& hook);

    CRs232cPort& rs232c() { return rs232c_; }
    CNiGpibAdapter& niGpib() { return niGpib_; }
    CInterfaceGpibAdapter& interfaceGpib() { return interfaceGpib_; }
    CContecGpibAdapter& contecGpib() { return contecGpib_; }
    CRatocGpibAdapter& ratocGpib() { return ratocGpib_; }
    CRatocUsbGpibAdapter& ratocUsbGpib() { return ratocUsbGpib_; }
    CPrologixAdapter& prologix() { return prologix_; }

private:
    void copyFieldsToAdapters();
    bool adapterReportedOwnOpenFailure() const;
    // The stop's grace has passed: no GPIB transfer may start.
    bool gpibTransfersRefused() const;
    int counted(int result, bool interrupted);

    UserPrompt& prompt_;
    const StopFlag* stop_ = nullptr;
    std::function<void(const QString&)> detailReporter_;
    int failures_ = 0;
    bool interrupted_ = false;
    CNiGpibAdapter niGpib_;
    CInterfaceGpibAdapter interfaceGpib_;
    CContecGpibAdapter contecGpib_;
    CRatocGpibAdapter ratocGpib_;
    CRatocUsbGpibAdapter ratocUsbGpib_;
    CPrologixAdapter prologix_;
    CRs232cPort rs232c_;
};
