#pragma once

#include "SimulatedInstrument.h"
#include "instrument/TransferProcedures.h"

#include <memory>
#include <vector>

// The transfer procedures' hooks as a test sees them: the run window's totals and clearings are
// kept, closing the documents drops the rig's document (or is refused), a new document becomes the
// rig's current one, and the view refreshes are counted.
struct RecordedTransferHooks {
    TransferProcedures::Hooks hooks(SimulatedInstrument& rig)
    {
        TransferProcedures::Hooks hooks;
        hooks.updateRunWindow = [this](const TransferProcedures::RunWindowTotals& totals) {
            runWindow.push_back(totals);
        };
        hooks.clearRunWindow = [this] { ++runWindowClears; };
        hooks.closeDocuments = [this, &rig] {
            ++closes;
            if (!allowClose)
                return false;
            rig.current.clear();
            rig.document.reset();
            return true;
        };
        hooks.createDocument = [this, &rig] {
            ++creates;
            busyAtCreate = rig.prompt.busyDepth;
            rig.document = std::make_unique<CMainDoc>(rig.settings, rig.prompt);
            rig.current.set(rig.document.get());
            return true;
        };
        hooks.refreshViews = [this] { ++refreshes; };
        return hooks;
    }

    std::vector<TransferProcedures::RunWindowTotals> runWindow;
    int runWindowClears = 0;
    int closes = 0;
    int creates = 0;
    int refreshes = 0;
    int busyAtCreate = -1;
    bool allowClose = true;
};
