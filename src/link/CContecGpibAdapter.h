#pragma once

#include "link/GpibEntryPoints.h"
#include "link/VendorLibrary.h"

#include <QString>

class ResourceModule;
class UserPrompt;

// GPIB through a Contec board: the library is loaded on Open and released on Close (kept while
// the board reports itself busy elsewhere); the board talks and listens with explicit addressing.
class CContecGpibAdapter {
public:
    static constexpr int bufferSize = 512;
    // Bus commands unlisten and untalk.
    static constexpr std::uint32_t unlisten = 0x3F;
    static constexpr std::uint32_t untalk = 0x5F;
    // GpBoardsts answers this when the board is in use by another program.
    static constexpr std::uint32_t boardInUse = 80;

    CContecGpibAdapter(const ResourceModule& strings, UserPrompt& prompt);

    int Open();
    int Write(const QString& command);
    QString Read();
    int Close();
    void ReportError();
    QString errorText() const;

    void setLibraryFolder(const QString& folder);
    bool isLoaded() const { return library_.isLoaded(); }
    bool reportedOwnOpenFailure() const { return reportedOwnOpenFailure_; }

    int address = 1;
    int machine = 0;
    int lastError = 0;

private:
    struct EntryPoints {
        ContecGpibApi::Exit exit = nullptr;
        ContecGpibApi::Ini ini = nullptr;
        ContecGpibApi::Boardsts boardsts = nullptr;
        ContecGpibApi::Ifc ifc = nullptr;
        ContecGpibApi::Ren ren = nullptr;
        ContecGpibApi::Timeout timeout = nullptr;
        ContecGpibApi::Delim delim = nullptr;
        ContecGpibApi::Talk talk = nullptr;
        ContecGpibApi::Listen listen = nullptr;
        ContecGpibApi::Comand comand = nullptr;
        ContecGpibApi::Resetren resetren = nullptr;
    };

    bool loadLibrary();
    void releaseLibrary();
    // Stores a failed result; false when it failed (its low byte is not 0).
    bool check(std::uint32_t result);

    const ResourceModule& strings_;
    UserPrompt& prompt_;
    VendorLibrary library_;
    EntryPoints entry_;
    bool reportedOwnOpenFailure_ = false;
};
