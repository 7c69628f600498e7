#pragma once

#include "RecordedTransferHooks.h"
#include "dialogs/TransferProgress.h"
#include "instrument/TransferProcedures.h"
#include "views/TemplateLoader.h"

#include <QStringList>
#include <memory>
#include <vector>

// Where a test sees the transfer progress: every text shown and every removal, in order.
class RecordingProgressDisplay : public TransferProgress::Display {
public:
    void showProgress(const QString& text, int step, int total) override
    {
        shown << text;
        lastStep = step;
        lastTotal = total;
        visible = true;
        if (onShow)
            onShow();
    }
    void hideProgress() override
    {
        visible = false;
        ++hides;
    }

    QStringList shown;
    int lastStep = -1;
    int lastTotal = -1;
    bool visible = false;
    int hides = 0;
    std::function<void()> onShow; // runs inside the transfer, at each step shown
};

// The dialogs of the Sequence menu on CKdrxDevice talking to the in-process simulator on a fake
// clock (SimulatedInstrument), with the procedures' hooks recorded (RecordedTransferHooks) and the
// transfer progress shown to a recorder.
struct TransferRig : SimulatedInstrument {
    TransferRig()
    {
        procedures.setHooks(recorded.hooks(*this));
        progress.attach(device, &port);
        settings.SeqCtl = HardwareControl;
        settings.deriveActiveValues();
    }

    TemplateLoader loader{strings, prompt};
    TransferProcedures procedures{device, settings, current, prompt};
    RecordingProgressDisplay display;
    TransferProgress progress{strings, display};
    RecordedTransferHooks recorded;
    std::vector<TransferProcedures::RunWindowTotals>& runWindow = recorded.runWindow;
    int& runWindowClears = recorded.runWindowClears;
    int& closes = recorded.closes;
    int& creates = recorded.creates;
    int& refreshes = recorded.refreshes;
    bool& allowClose = recorded.allowClose;
};
