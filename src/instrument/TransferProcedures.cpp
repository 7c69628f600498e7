#include "instrument/TransferProcedures.h"

#include "instrument/CKdrxDevice.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CurrentDocument.h"
#include "model/StepBounds.h"
#include "ui/UserPrompt.h"

namespace {

// The program number the run uses after a fast-mode write.
constexpr int kFastModeProgram = 11;

} // namespace

TransferProcedures::TransferProcedures(CKdrxDevice& device, AppSettings& settings, CurrentDocument& document,
                                       UserPrompt& prompt)
    : device_(device), settings_(settings), document_(document), prompt_(prompt)
{
}

TransferProcedures::RunWindowTotals TransferProcedures::runWindowTotals(const ChannelFlags& checked) const
{
    RunWindowTotals totals;
    const CMainDoc* doc = document_.get();
    for (int c = 0; c < kChannelCount; ++c) {
        if (!checked[c])
            continue;
        totals[c].active = true;
        totals[c].stepTotal = QStringLiteral("/ %1").arg(doc ? doc->channel(c).count : 0);
        totals[c].loopTotal = QStringLiteral("/ %1").arg(settings_.RepeatCh[c]);
    }
    return totals;
}

int TransferProcedures::writeChannels(const TransferData& data)
{
    data.storeHiddenValuesTo(settings_);
    const CMainDoc* doc = document_.get();
    if (!doc)
        return 0;
    // Every checked channel must have steps before anything is sent.
    for (int c = 0; c < kChannelCount; ++c) {
        if (data.channels[c] && doc->channel(c).count <= 0) {
            prompt_.showMessage(QStringLiteral("Channel %1 does not have data.").arg(c + 1));
            return 0;
        }
    }
    // Nor is anything sent while a checked channel holds a step the worksheet would refuse: the
    // load would refuse it too, or run a step that nobody asked for.
    std::array<bool, kChannelCount> checked{};
    for (int c = 0; c < kChannelCount; ++c)
        checked[c] = data.channels[c] != 0;
    const QString problem = StepBounds::channelsProblem(*doc, checked, settings_);
    if (!problem.isEmpty()) {
        prompt_.showMessage(problem);
        return 0;
    }

    BusyGuard busy(prompt_);
    for (int c = 0; c < kChannelCount; ++c) {
        if (!data.channels[c]) {
            settings_.RunCh[c] = 0;
            continue;
        }
        // A failed channel has shown its message; later channels are neither written nor marked.
        if (!device_.WriteSequence(c))
            return 0;
        settings_.RunCh[c] = 1;
    }
    prompt_.showMessage(QStringLiteral("Succeed to writing"), UserPrompt::Icon::Information);
    if (hooks_.updateRunWindow)
        hooks_.updateRunWindow(runWindowTotals(data.channels));
    settings_.RunProgNo = settings_.SeqMode == NormalSequence ? settings_.WriteProgNo : kFastModeProgram;
    return 1;
}

int TransferProcedures::readChannels(const TransferData& data)
{
    if (hooks_.closeDocuments && !hooks_.closeDocuments())
        return 0;
    BusyGuard busy(prompt_);
    if (!hooks_.createDocument || !hooks_.createDocument() || !document_.get())
        return 0;
    settings_.ReadProgNo = data.readProgramIndex + 1;

    for (int c = 0; c < kChannelCount; ++c) {
        if (!data.channels[c]) {
            settings_.RunCh[c] = 0;
            continue;
        }
        if (!device_.ReadSequence(c)) {
            // The new document keeps what was read before the failure; its windows must show it.
            if (hooks_.refreshViews)
                hooks_.refreshViews();
            return 0;
        }
        settings_.RunCh[c] = 1;
    }
    if (hooks_.refreshViews)
        hooks_.refreshViews();
    if (hooks_.updateRunWindow)
        hooks_.updateRunWindow(runWindowTotals(data.channels));
    return 1;
}

int TransferProcedures::writeRanges(const RangeData& data)
{
    if (!device_.SetRanges(data.currentRange, data.voltageRange, data.resistanceRange, data.enabled))
        return 0;
    data.storeTo(settings_);
    if (hooks_.clearRunWindow)
        hooks_.clearRunWindow();
    prompt_.showMessage(QStringLiteral("It succeeded in writing."), UserPrompt::Icon::Information);
    return 1;
}
