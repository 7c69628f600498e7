#pragma once

#include "link/GpibEntryPoints.h"
#include "link/VendorLibrary.h"

#include <QString>

class ResourceModule;
class UserPrompt;

// GPIB through an Interface board: its library is loaded on Open and released on Close; line
// feed with EOI delimits messages both ways and the library removes it from replies.
class CInterfaceGpibAdapter {
public:
    static constexpr int replyBufferSize = 64;
    static constexpr const char* delimiterConfig = "/SDELIM=LF+EOI /RDELIM=LF+EOI";

    CInterfaceGpibAdapter(const ResourceModule& strings, UserPrompt& prompt);

    int Open();
    int Write(const QString& command);
    // The reply, at most 64 bytes; empty on failure.
    QString Read();
    int Close();
    void ReportError();
    QString errorText() const;

    void setLibraryFolder(const QString& folder);
    bool isLoaded() const { return library_.isLoaded(); }
    // True when the last Open failed with a message of the adapter's own (the library is missing).
    bool reportedOwnOpenFailure() const { return reportedOwnOpenFailure_; }

    int address = 1;
    int machine = 0;
    int lastError = 0;
    int board = 0;
    int addressList[2] = {1, -1};

private:
    struct EntryPoints {
        InterfaceGpibApi::InitBoard initBoard = nullptr;
        InterfaceGpibApi::SetConfig setConfig = nullptr;
        InterfaceGpibApi::SetIfc setIfc = nullptr;
        InterfaceGpibApi::SetRen setRen = nullptr;
        InterfaceGpibApi::ExecDevClear execDevClear = nullptr;
        InterfaceGpibApi::FinishBoard finishBoard = nullptr;
        InterfaceGpibApi::MastSendData mastSendData = nullptr;
        InterfaceGpibApi::MastRecvData mastRecvData = nullptr;
    };

    void resetAddressing();
    bool loadLibrary();
    void releaseLibrary();

    const ResourceModule& strings_;
    UserPrompt& prompt_;
    VendorLibrary library_;
    EntryPoints entry_;
    bool reportedOwnOpenFailure_ = false;
};
