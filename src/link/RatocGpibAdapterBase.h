#pragma once

#include "link/GpibEntryPoints.h"
#include "link/VendorLibrary.h"

#include <QString>

class Clock;
class UserPrompt;

// What the Ratoc REX-5052 card and REX-USB220 adapter have in common: one library of gp_ calls,
// the instrument addressed by its number as text, codes of the adapter's own in lastError and
// fixed Japanese messages. The two adapters differ in library, delimiters and waits.
class RatocGpibAdapterBase {
public:
    // lastError codes; 5, 8 and 11 have texts but no step sets them.
    enum ErrorCode {
        CardResources = 1,
        Initialisation = 2,
        InterfaceClear = 3,
        RemoteEnable = 4,
        DeviceClear = 6,
        Delimiter = 7,
        Send = 9,
        Receive = 10
    };
    static constexpr int replyBufferSize = 128;
    static constexpr int addressTextSize = 7;
    // The operating-system generation this build runs on: Linux counts as the 2000 family.
    static constexpr int linuxOsGeneration = 2000;

    virtual ~RatocGpibAdapterBase() = default;
    RatocGpibAdapterBase(const RatocGpibAdapterBase&) = delete;
    RatocGpibAdapterBase& operator=(const RatocGpibAdapterBase&) = delete;

    int Open();
    int Write(const QString& command);
    QString Read();
    int Close();
    void ReportError();
    // Empty for a code without a text (nothing is shown).
    QString errorText() const;

    void setLibraryFolder(const QString& folder);
    bool isLoaded() const { return library_.isLoaded(); }
    QString loadedFile() const { return library_.loadedFile(); }
    bool reportedOwnOpenFailure() const { return reportedOwnOpenFailure_; }

    int address = 1;
    int machine = 0;
    int lastError = 0;
    std::uint16_t ioBase = 0;
    std::uint16_t irq = 0;
    QByteArray addressText;
    // The generation Open chooses the library by: 2000, 98, 40 or 0 for an unsupported system.
    int osGeneration = linuxOsGeneration;

protected:
    RatocGpibAdapterBase(UserPrompt& prompt, Clock& clock, bool usb);

private:
    struct EntryPoints {
        RatocGpibApi::Init init = nullptr;
        RatocGpibApi::CardInfo cardInfo = nullptr;
        RatocGpibApi::Cli cli = nullptr;
        RatocGpibApi::Ren ren = nullptr;
        RatocGpibApi::Clr clr = nullptr;
        RatocGpibApi::Delm delm = nullptr;
        RatocGpibApi::Wrt wrt = nullptr;
        RatocGpibApi::Red red = nullptr;
    };

    // The library file for the generation, or empty when the system is not supported.
    QString libraryFileFor(int generation) const;
    bool loadLibrary(const QString& file);
    void releaseLibrary();
    int openFailure(int code);

    UserPrompt& prompt_;
    Clock& clock_;
    const bool usb_;
    VendorLibrary library_;
    EntryPoints entry_;
    bool reportedOwnOpenFailure_ = false;
};
