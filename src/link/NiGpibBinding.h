#pragma once

#include "link/GpibEntryPoints.h"
#include "link/VendorLibrary.h"

// The NI-488.2 library bound on first use: linux-gpib's libgpib.so.0, else NI-488.2 for Linux.
// Each entry point is looked up on its first call and kept; after every call that reaches the
// library its status, error and count are copied into the mirrors. When the library or an entry
// point is missing, the call fails with the error bit set and error 0 (no GPIB set up).
class NiGpibBinding {
public:
    NiGpibBinding() = default;
    NiGpibBinding(const NiGpibBinding&) = delete;
    NiGpibBinding& operator=(const NiGpibBinding&) = delete;

    // Looks the library up in this folder instead of the system search; for tests.
    void setLibraryFolder(const QString& folder);

    int ibdev(int board, int primaryAddress, int secondaryAddress, int timeout, int sendEoi, int endOfString);
    int ibclr(int descriptor);
    int ibwrt(int descriptor, const void* buffer, long count);
    int ibrd(int descriptor, void* buffer, long count);
    int ibstop(int descriptor);
    int ibonl(int descriptor, int online);

    bool isLoaded() const { return library_.isLoaded(); }
    // True when the last call failed (the error bit of ibsta).
    bool failed() const { return (ibsta & NiGpibApi::errorBit) != 0; }

    int ibsta = 0;
    int iberr = 0;
    int ibcnt = 0;
    int ibcntl = 0;

private:
    struct EntryPoints {
        NiGpibApi::Ibdev ibdev = nullptr;
        NiGpibApi::Ibclr ibclr = nullptr;
        NiGpibApi::Ibwrt ibwrt = nullptr;
        NiGpibApi::Ibrd ibrd = nullptr;
        NiGpibApi::Ibstop ibstop = nullptr;
        NiGpibApi::Ibonl ibonl = nullptr;
    };

    bool bind();
    template <typename Function> bool lookUp(Function& cache, const char* name);
    void setUnavailable();
    void copyStatus();

    VendorLibrary library_;
    EntryPoints entry_;
    NiGpibApi::ThreadIbsta threadIbsta_ = nullptr;
    NiGpibApi::ThreadIberr threadIberr_ = nullptr;
    NiGpibApi::ThreadIbcntl threadIbcntl_ = nullptr;
};
