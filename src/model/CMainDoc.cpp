#include "model/CMainDoc.h"

#include "model/AppSettings.h"
#include "model/DecimalText.h"
#include "model/SequenceFileReader.h"
#include "model/SequenceFileWriter.h"
#include "model/SequenceFormats.h"
#include "ui/UserPrompt.h"

#include <algorithm>

CMainDoc::CMainDoc(AppSettings& settings, UserPrompt& prompt) : settings_(settings), prompt_(prompt)
{
    copyBuffer_.reserve(kMaxSteps);
    insertionLines_.reserve(kMaxSteps);
}

void CMainDoc::setCurrentChannel(int channel)
{
    if (channel >= 0 && channel < kChannelCount)
        currentChannel_ = channel;
}

bool CMainDoc::hasAnySteps() const
{
    return std::any_of(channels_.begin(), channels_.end(),
                       [](const ChannelSequence& channel) { return channel.count > 0; });
}

void CMainDoc::moveStep(int fromSlot, int toSlot)
{
    if (!isSlot(fromSlot) || !isSlot(toSlot))
        return;
    auto& steps = current().steps;
    if (fromSlot == toSlot) {
        // Copying onto itself and then emptying the source would lose the step.
        steps[toSlot].time.clear();
        return;
    }
    steps[toSlot].assignFieldsButTime(steps[fromSlot]);
    steps[toSlot].time.clear();
    steps[fromSlot].clear();
}

void CMainDoc::clearSteps(int fromSlot)
{
    if (fromSlot < 0)
        return;
    auto& steps = current().steps;
    for (int slot = fromSlot; slot < kMaxSteps; ++slot)
        steps[slot].clear();
}

void CMainDoc::copyToBuffer(int firstLine, int lastLine)
{
    const int lines = std::clamp(lastLine - firstLine + 1, 0, kMaxSteps);
    const auto& steps = current().steps;
    copyBuffer_.clear();
    for (int i = 0; i < lines; ++i) {
        SequenceStep line;
        const int slot = firstLine - 1 + i;
        if (isSlot(slot))
            line.assignFieldsButTime(steps[slot]);
        copyBuffer_.push_back(line);
    }
}

void CMainDoc::writeBuffer(int line)
{
    auto& steps = current().steps;
    for (int i = 0; i < bufferCount(); ++i) {
        const int slot = line - 1 + i;
        if (isSlot(slot))
            steps[slot].assignFieldsButTime(copyBuffer_[i]);
    }
}

int CMainDoc::firstSlotDroppedByInsertion(int firstLine, long long lines, int stepLimit) const
{
    const int count = current().stepCount();
    if (lines < 1)
        return count;
    // The steps from the insertion line on move down by the inserted lines; those landing at or
    // past the limit drop out. Steps before the insertion line stay where they are, which is past
    // the limit for the ones a longer channel already held there.
    const long long limit = std::clamp(stepLimit, 0, kMaxSteps);
    const long long moved = std::max<long long>(firstLine - 1LL, limit - lines);
    return static_cast<int>(std::clamp<long long>(std::min(moved, limit), 0, count));
}

void CMainDoc::recordInsertion(int firstLine, int lastLine, int stepLimit)
{
    const ChannelSequence& channel = current();
    const int count = channel.stepCount();
    const long long lines = static_cast<long long>(lastLine) - firstLine + 1;
    insertionCount_ = channel.count;
    insertionLines_.clear();
    if (lines < 1)
        return;
    long long from = firstSlotDroppedByInsertion(firstLine, lines, stepLimit);
    // The last inserted-line-count steps that pass the limit once moved are kept as well, also when
    // the insertion moves only some of them: restored, they land where they stand anyway.
    if (count >= firstLine)
        from = std::min(from, std::max({static_cast<long long>(count) - lines,
                                        static_cast<long long>(stepLimit) - lines, 0LL}));
    for (long long slot = from; slot < count; ++slot) {
        SequenceStep kept;
        kept.assignFieldsButTime(channel.steps[static_cast<int>(slot)]);
        insertionLines_.push_back(kept);
    }
}

int CMainDoc::restoreInsertion()
{
    auto& steps = current().steps;
    const int saved = savedInsertionLines();
    for (int i = 0; i < saved; ++i) {
        const int slot = insertionCount_ - saved + i;
        if (isSlot(slot))
            steps[slot].assignFieldsButTime(insertionLines_[i]);
    }
    return insertionCount_;
}

double CMainDoc::recomputeTimes(int fromSlot)
{
    return recomputeTimes(currentChannel_, fromSlot);
}

double CMainDoc::recomputeTimes(int c, int fromSlot)
{
    ChannelSequence& table = channel(c);
    const int from = std::max(fromSlot, 0);
    double t = 0.0;
    if (from > 0 && isSlot(from - 1))
        t = decimalValue(table.steps[from - 1].time);
    const char* format = SequenceFormats::recomputedTimeFormat(settings_.SeqMode, settings_.Unit);
    const int end = table.stepCount();
    for (int slot = from; slot < end; ++slot) {
        t += decimalValue(table.steps[slot].interval);
        table.steps[slot].time = formatDouble(format, t);
    }
    return t;
}

bool CMainDoc::openDocument(const QString& path)
{
    SequenceFileReader reader(*this, settings_, prompt_, runProgressResetHook_);
    if (!reader.read(path)) {
        prompt_.showMessage(QStringLiteral("Failed to read the file"));
        return false;
    }
    return true;
}

bool CMainDoc::saveDocument(const QString& path)
{
    BusyGuard busy(prompt_);
    // The file holds all five channels, so a save is refused only when none of them has a step.
    if (!hasAnySteps()) {
        prompt_.showMessage(QStringLiteral("There is no data to save."));
        modified_ = false;
        return true;
    }
    SequenceFileWriter writer(*this, settings_, prompt_);
    if (!writer.write(path)) {
        prompt_.showMessage(QStringLiteral("Failed to write the file"));
        return false;
    }
    modified_ = false;
    return true;
}

void CMainDoc::closeDocument()
{
    if (closeHook_)
        closeHook_();
}
