#pragma once

#include "instrument/ChannelNumbers.h"
#include "instrument/RangeData.h"
#include "instrument/TransferData.h"

#include <QString>
#include <array>
#include <functional>

class CKdrxDevice;
class CurrentDocument;
class UserPrompt;
struct AppSettings;

// The Transfer dialog's write and read and the Initial Settings dialog's range write, without the
// dialogs: the dialogs (and tessorctl) hand in their data and fill the hooks for the windows these
// procedures must not know. Each returns 1 when it ran to its end and 0 when it stopped; every
// stop has shown its message.
class TransferProcedures {
public:
    // What one run-window panel shows after a write or read: a checked channel is reset and
    // shows its totals ("/ 12" steps, "/ 3" loops); an unchecked one is cleared and made inactive.
    struct RunPanelTotals {
        bool active = false;
        QString stepTotal;
        QString loopTotal;
    };
    using RunWindowTotals = std::array<RunPanelTotals, kChannelCount>;

    struct Hooks {
        // The run window after a write or read.
        std::function<void(const RunWindowTotals&)> updateRunWindow;
        // The run window after a range write: every panel's totals and active flag cleared.
        std::function<void()> clearRunWindow;
        // Read: offers to save every modified document and closes them all; false when the user
        // cancels (nothing is closed then).
        std::function<bool()> closeDocuments;
        // Read: creates a new, empty document and makes it the current one; false on failure.
        std::function<bool()> createDocument;
        // Read: redraws the worksheet and graph of all five channels and restores the layout; also
        // after a read that stopped once the new document was made.
        std::function<void()> refreshViews;
    };

    TransferProcedures(CKdrxDevice& device, AppSettings& settings, CurrentDocument& document,
                       UserPrompt& prompt);

    void setHooks(Hooks hooks) { hooks_ = std::move(hooks); }

    // "&Run" of the Write group: the checked channels of the current document into the
    // instrument. A checked channel without steps stops it before anything is sent.
    int writeChannels(const TransferData& data);
    // "R&un" of the Read group: the checked channels from the instrument into a new document.
    int readChannels(const TransferData& data);
    // "&Write" of the Initial Settings dialog: the ranges of the enabled channels; the settings
    // keep them only when the instrument took them.
    int writeRanges(const RangeData& data);

    // The totals the run window shows for the checked channels of the current document.
    RunWindowTotals runWindowTotals(const ChannelFlags& checked) const;

private:
    CKdrxDevice& device_;
    AppSettings& settings_;
    CurrentDocument& document_;
    UserPrompt& prompt_;
    Hooks hooks_;
};
