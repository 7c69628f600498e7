#pragma once

#include "link/NiGpibBinding.h"

#include <QString>

class ResourceModule;
class UserPrompt;

// GPIB through a National Instruments compatible board (NI-488.2): one device descriptor for the
// instrument at `address` on board 0, EOI marking the end of each message, 10 s time-out.
class CNiGpibAdapter {
public:
    static constexpr int replyBufferSize = 100;

    CNiGpibAdapter(const ResourceModule& strings, UserPrompt& prompt);

    int Open();
    int Write(const QString& command);
    // The reply without its line feed (and a carriage return before it); empty on failure.
    QString Read();
    int Close();
    void ReportError();
    QString errorText() const;

    // Looks the library up in this folder instead of the system search; for tests.
    void setLibraryFolder(const QString& folder) { binding_.setLibraryFolder(folder); }
    NiGpibBinding& binding() { return binding_; }
    bool reportedOwnOpenFailure() const { return false; }

    int address = 1;
    int lastError = 0;
    int descriptor = -1;

private:
    const ResourceModule& strings_;
    UserPrompt& prompt_;
    NiGpibBinding binding_;
};
