#pragma once

#include "SimulatedInstrument.h"
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
// clock (SimulatedInstrument), with the procedures' hooks recorded: the run window's totals, the
// document replaced by a read, the views refreshed.
struct TransferRig : SimulatedInstrument {
    TransferRig()
    {
        TransferProcedures::Hooks hooks;
        hooks.updateRunWindow = [this](const TransferProcedures::RunWindowTotals& totals) {
            runWindow.push_back(totals);
        };
        hooks.clearRunWindow = [this] { ++runWindowClears; };
        hooks.closeDocuments = [this] {
            ++closes;
            if (!allowClose)
                return false;
            current.clear();
            document.reset();
            return true;
        };
        hooks.createDocument = [this] {
            document = std::make_unique<CMainDoc>(settings, prompt);
            current.set(document.get());
            ++creates;
            return true;
        };
        hooks.refreshViews = [this] { ++refreshes; };
        procedures.setHooks(hooks);
        progress.attach(device, &port.rs232c());
        settings.SeqCtl = HardwareControl;
        settings.deriveActiveValues();
    }

    // Channel c's steps, one per value, each 10 s long (a step transition with the load on).
    void setSteps(int c, const QStringList& values, const QString& interval = QStringLiteral("10"))
    {
        ChannelSequence& channel = document->channel(c);
        for (int i = 0; i < values.size(); ++i) {
            channel.steps[i].value = values[i];
            channel.steps[i].interval = interval;
            channel.steps[i].transition = QStringLiteral("0");
            channel.steps[i].load = QStringLiteral("1");
            channel.steps[i].load2 = QStringLiteral("1");
        }
        channel.count = static_cast<int>(values.size());
    }

    TemplateLoader loader{strings, prompt};
    TransferProcedures procedures{device, settings, current, prompt};
    RecordingProgressDisplay display;
    TransferProgress progress{strings, display};
    std::vector<TransferProcedures::RunWindowTotals> runWindow;
    int runWindowClears = 0;
    int closes = 0;
    int creates = 0;
    int refreshes = 0;
    bool allowClose = true;
};
