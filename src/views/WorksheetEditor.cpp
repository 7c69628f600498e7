#include "views/WorksheetEditor.h"

#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/DecimalText.h"
#include "model/StepRules.h"
#include "ui/ResourceModule.h"
#include "ui/UserPrompt.h"
#include "views/SequenceViewLink.h"
#include "views/WorksheetFormats.h"

#include <algorithm>

using namespace WorksheetFormats;

namespace {

const QString kOn = QStringLiteral("1");
const QString kOff = QStringLiteral("0");

// The question before an insertion drops lines past the step limit: one line, or lines.
constexpr int kDropLineQuestion = 620;
constexpr int kDropLinesQuestion = 621;

bool isChannel(int channel)
{
    return channel >= 0 && channel < kChannelCount;
}

} // namespace

WorksheetEditor::WorksheetEditor(CMainDoc& document, const AppSettings& settings, UserPrompt& prompt,
                                 const ResourceModule& strings, WorksheetDisplay& display)
    : document_(document), settings_(settings), prompt_(prompt), strings_(strings), display_(display)
{
}

bool WorksheetEditor::isEntryLine(int channel, int line) const
{
    const int count = document_.channel(channel).count;
    return line == count + 1 && count < stepLimit(settings_);
}

bool WorksheetEditor::isEditable(int channel, int line, int column) const
{
    if (!isChannel(channel) || column < ValueColumn || column > Load2Column)
        return false;
    if (settings_.SeqMode == FastSequence && column != ValueColumn && column != LoadColumn)
        return false;
    const int count = document_.channel(channel).count;
    return (line >= 1 && line <= count) || isEntryLine(channel, line);
}

WorksheetEditor::EntryFlags WorksheetEditor::entryFlags(int channel) const
{
    if (!isChannel(channel))
        return EntryFlags();
    const EntryRow& row = entryRows_[channel];
    // The flags belong to one entry line; once the step count moved (a deletion, a paste, a step
    // drawn in the graph) they describe a row that is no longer the entry row.
    return row.line == document_.channel(channel).count + 1 ? row.flags : EntryFlags();
}

WorksheetEditor::EntryFlags& WorksheetEditor::entryRow(int channel)
{
    EntryRow& row = entryRows_[channel];
    const int entryLine = document_.channel(channel).count + 1;
    if (row.line != entryLine)
        row = EntryRow{entryLine, EntryFlags()};
    return row.flags;
}

void WorksheetEditor::commitValue(int channel, int line, const QString& text)
{
    if (!isEditable(channel, line, ValueColumn))
        return;
    const std::optional<QString> stored = acceptedValue(text, settings_.ModeCh[channel], settings_);
    if (!stored)
        return;
    SequenceStep& step = document_.channel(channel).steps[line - 1];
    step.value = *stored;
    display_.showLines(channel, line, line);
    if (!isEntryLine(channel, line)) {
        existingStepChanged(channel, line);
        return;
    }
    EntryFlags& flags = entryRow(channel);
    flags.value = true;
    if (settings_.SeqMode == FastSequence) {
        // Fast mode steps all last the fast-mode step time and jump to their value.
        step.transition = kOff;
        step.interval = formatDouble("%.1f", settings_.SeqTime);
        flags.interval = true;
        flags.transition = true;
        display_.showLines(channel, line, line);
    }
    if (settings_.SeqCtl == HardwareControl)
        flags.transition = true;
    completeEntryRow(channel, line);
}

void WorksheetEditor::commitInterval(int channel, int line, const QString& text, const QString& textAtOpen)
{
    if (text == textAtOpen || !isEditable(channel, line, IntervalColumn))
        return;
    const std::optional<QString> stored = acceptedInterval(text, settings_);
    if (!stored)
        return;
    document_.channel(channel).steps[line - 1].interval = *stored;
    display_.showLines(channel, line, line);
    if (!isEntryLine(channel, line)) {
        document_.recomputeTimes(channel, line - 1);
        if (graph_)
            graph_->timesChangedFrom(channel, line);
        display_.showTimes(channel, line, kMaxSteps);
        document_.setModified();
        return;
    }
    EntryFlags& flags = entryRow(channel);
    flags.interval = true;
    if (settings_.SeqCtl == HardwareControl)
        flags.transition = true;
    completeEntryRow(channel, line);
}

void WorksheetEditor::commitTransition(int channel, int line, bool ramp)
{
    if (!isEditable(channel, line, TransitionColumn))
        return;
    document_.channel(channel).steps[line - 1].transition = ramp ? kOn : kOff;
    display_.showLines(channel, line, line);
    if (!isEntryLine(channel, line)) {
        existingStepChanged(channel, line);
        return;
    }
    entryRow(channel).transition = true;
    completeEntryRow(channel, line);
}

void WorksheetEditor::commitLoad(int channel, int line, int column, bool on)
{
    if ((column != LoadColumn && column != Load2Column) || !isEditable(channel, line, column))
        return;
    SequenceStep& step = document_.channel(channel).steps[line - 1];
    (column == LoadColumn ? step.load : step.load2) = on ? kOn : kOff;
    display_.showLines(channel, line, line);
    // A load typed into the entry row waits there for the step; on an existing step it is an edit
    // like any other, and the document must not close without asking about it.
    if (!isEntryLine(channel, line))
        document_.setModified();
}

void WorksheetEditor::existingStepChanged(int channel, int line)
{
    if (graph_)
        graph_->stepChanged(channel, line);
    document_.setModified();
}

void WorksheetEditor::completeEntryRow(int channel, int line)
{
    EntryFlags& flags = entryRow(channel);
    if (!flags.value || !flags.interval || !flags.transition)
        return;
    flags = EntryFlags();
    ChannelSequence& table = document_.channel(channel);
    SequenceStep& step = table.steps[line - 1];
    if (step.load.isEmpty())
        step.load = kOn;
    if (step.load2.isEmpty())
        step.load2 = kOn;
    table.count = line;
    document_.recomputeTimes(channel, line - 1);
    noteStepCountChanged(channel);
    if (graph_)
        graph_->stepAppended(channel, line);
    document_.setModified();
    display_.showStepCount(channel);
    display_.showLines(channel, line, line + 1);
}

bool WorksheetEditor::copyLines(int first, int last)
{
    if (first > last)
        std::swap(first, last);
    const int count = document_.current().count;
    if (first < 1 || first > count)
        return false;
    last = std::min(last, count);
    document_.copyToBuffer(first, last);
    if (clipboard_)
        clipboard_(clipboardText());
    if (first == last)
        prompt_.showMessage(QStringLiteral("Data in the %1-th line has been copied.").arg(first),
                            UserPrompt::Icon::Information);
    else
        prompt_.showMessage(
            QStringLiteral("Data from the %1-th to %2-th lines has been copied.").arg(first).arg(last),
            UserPrompt::Icon::Information);
    return true;
}

QString WorksheetEditor::clipboardText() const
{
    const int channel = document_.currentChannel();
    const QChar tab = QLatin1Char('\t');
    QString text = valueHeader(settings_.ModeCh[channel]) + tab +
                   intervalHeader(settings_.Unit, settings_.SeqMode) + tab + QStringLiteral("Transition") +
                   tab + QStringLiteral("Load") + QLatin1Char('\n');
    for (const SequenceStep& step : document_.copyBuffer())
        text += step.value + tab + step.interval + tab + transitionText(step.transition).trimmed() + tab +
                loadText(step.load).trimmed() + QLatin1Char('\n');
    return text;
}

bool WorksheetEditor::deleteLines(int first, int last)
{
    if (first > last)
        std::swap(first, last);
    const int channel = document_.currentChannel();
    ChannelSequence& table = document_.current();
    const int count = table.count;
    if (first >= 1 && first <= count) {
        BusyGuard busy(prompt_);
        last = std::min(last, count);
        const QString question =
            first == last ? QStringLiteral("Delete all data from the %1-th line?").arg(first)
                          : QStringLiteral("Delete all data from the %1-th line to the %2-th line?")
                                .arg(first)
                                .arg(last);
        if (!prompt_.askYesNo(question, UserPrompt::Icon::Information))
            return false;
        // Delete cuts: the lines go to the copy buffer, and the record keeps its own copy for Undo.
        document_.copyToBuffer(first, last);
        undo_ =
            UndoRecord{UndoKind::Deletion, channel, first, last - first + 1, 0, document_.copyBuffer(), {}};
        removeLines(first, last);
        undo_.stepsAfter = table.count;
        afterLineOperation(channel, first);
        return true;
    }
    if (first == last && first == count + 1 && first <= kMaxSteps) {
        table.steps[first - 1].clear();
        entryRows_[channel] = EntryRow();
        display_.showLines(channel, first, first);
        return true;
    }
    return false;
}

void WorksheetEditor::removeLines(int first, int last)
{
    ChannelSequence& table = document_.current();
    const int count = table.count;
    const int removed = last - first + 1;
    if (last == count) {
        document_.clearSteps(first - 1);
        table.count = first - 1;
        return;
    }
    for (int slot = last; slot < count; ++slot)
        document_.moveStep(slot, slot - removed);
    table.count = count - removed;
    document_.clearSteps(table.count);
}

bool WorksheetEditor::pasteLines(int line)
{
    // Right after a deletion the menu's Paste takes it back: the deleted lines return to where they
    // were, without the insertion question.
    if (undoKind() == UndoKind::Deletion) {
        const UndoRecord deletion = undo_;
        BusyGuard busy(prompt_);
        if (!confirmDroppedLines(deletion.first, static_cast<int>(deletion.deleted.size())))
            return false;
        return insertLines(deletion.first, deletion.deleted);
    }
    const int lines = document_.bufferCount();
    if (lines <= 0 || line < 1 || line > document_.current().count + 1)
        return false;
    BusyGuard busy(prompt_);
    const QString question =
        QStringLiteral("Step data from the %1-th line will be inserted into the %2-th line.")
            .arg(line)
            .arg(lines);
    if (!prompt_.askYesNo(question, UserPrompt::Icon::Information) || !confirmDroppedLines(line, lines))
        return false;
    return insertLines(line, inValueFormat(document_.copyBuffer()));
}

std::vector<SequenceStep> WorksheetEditor::inValueFormat(std::vector<SequenceStep> lines) const
{
    // The copy buffer serves every channel: lines copied from a channel of another mode bring that
    // mode's decimals. They take this channel's, as typed values do, so that the file gives back
    // what the worksheet shows.
    const char* format = valueFormat(settings_.ModeCh[document_.currentChannel()], settings_);
    for (SequenceStep& step : lines) {
        if (!step.value.isEmpty())
            step.value = StepRules::valueText(decimalValue(step.value), format);
    }
    return lines;
}

bool WorksheetEditor::insertLines(int line, const std::vector<SequenceStep>& lines)
{
    const int channel = document_.currentChannel();
    ChannelSequence& table = document_.current();
    const int inserted = static_cast<int>(lines.size());
    if (inserted <= 0 || inserted > kMaxSteps || line < 1 || line > table.count + 1)
        return false;
    document_.recordInsertion(line, line + inserted - 1, stepLimit(settings_));
    putLines(line, lines);
    undo_ = UndoRecord{UndoKind::Insertion, channel, line, inserted, table.count, {}, {}};
    afterLineOperation(channel, line);
    return true;
}

void WorksheetEditor::putLines(int line, const std::vector<SequenceStep>& lines)
{
    ChannelSequence& table = document_.current();
    const int inserted = static_cast<int>(lines.size());
    const int count = table.stepCount();
    const int limit = stepLimit(settings_);
    // From the last step up: each moves down by the inserted lines; those pushed past the limit drop
    // out (the insertion record keeps them for Undo), as do the lines past it in a longer channel.
    for (int slot = count - 1; slot >= line - 1; --slot) {
        if (slot + inserted < limit)
            document_.moveStep(slot, slot + inserted);
    }
    for (int i = 0; i < inserted && line - 1 + i < limit; ++i)
        table.steps[line - 1 + i].assignFieldsButTime(lines[i]);
    table.count = std::min(count + inserted, limit);
    document_.clearSteps(table.count);
}

std::pair<int, int> WorksheetEditor::linesDroppedByInsertion(int line, int lines) const
{
    const int from = document_.firstSlotDroppedByInsertion(line, lines, stepLimit(settings_));
    return {from + 1, document_.current().stepCount()};
}

bool WorksheetEditor::confirmDroppedLines(int line, int lines)
{
    const auto [first, last] = linesDroppedByInsertion(line, lines);
    if (first > last)
        return true;
    const int limit = stepLimit(settings_);
    const QString question = first == last
                                 ? strings_.string(kDropLineQuestion).arg(first).arg(limit)
                                 : strings_.string(kDropLinesQuestion).arg(first).arg(last).arg(limit);
    return prompt_.askYesNo(question, UserPrompt::Icon::Information);
}

void WorksheetEditor::afterLineOperation(int channel, int firstLine)
{
    // Whatever waited in the entry row belonged to a row that has moved: the new entry row is empty
    // and nothing of it counts as entered.
    entryRows_[channel] = EntryRow();
    ChannelSequence& table = document_.channel(channel);
    if (table.count >= 0 && table.count < stepLimit(settings_))
        table.steps[table.count].clear();
    writeTimes(channel, 1);
    display_.showLines(channel, firstLine, kMaxSteps);
    display_.showTimes(channel, 1, kMaxSteps);
    display_.showStepCount(channel);
    if (graph_)
        graph_->channelRebuilt(channel);
    document_.setModified();
}

bool WorksheetEditor::insertSteps(const std::vector<StepImport::Insertion>& insertions)
{
    if (insertions.size() == 1 && insertions.front().channel == document_.currentChannel()) {
        const StepImport::Insertion& insertion = insertions.front();
        const int room = stepLimit(settings_) - document_.current().stepCount();
        const auto end =
            insertion.steps.begin() + std::clamp(room, 0, static_cast<int>(insertion.steps.size()));
        BusyGuard busy(prompt_);
        return insertLines(insertion.line, std::vector<SequenceStep>(insertion.steps.begin(), end));
    }
    BusyGuard busy(prompt_);
    UndoRecord record;
    record.kind = UndoKind::Import;
    record.channel = -1;
    for (const StepImport::Insertion& insertion : insertions) {
        if (!isChannel(insertion.channel))
            continue;
        ChannelSequence& table = document_.channel(insertion.channel);
        const int first = table.stepCount() + 1;
        int slot = first - 1;
        for (const SequenceStep& step : insertion.steps) {
            if (slot >= stepLimit(settings_))
                break;
            table.steps[slot].clear();
            table.steps[slot].assignFieldsButTime(step);
            ++slot;
        }
        if (slot + 1 == first)
            continue;
        table.count = slot;
        record.appended.push_back(Appended{insertion.channel, first, slot});
        afterLineOperation(insertion.channel, first);
    }
    if (record.appended.empty())
        return false;
    undo_ = std::move(record);
    return true;
}

void WorksheetEditor::undoImport()
{
    const std::vector<Appended> appended = std::move(undo_.appended);
    undo_ = UndoRecord();
    BusyGuard busy(prompt_);
    for (const Appended& channel : appended) {
        ChannelSequence& table = document_.channel(channel.channel);
        for (int slot = channel.first - 1; slot < kMaxSteps; ++slot)
            table.steps[slot].clear();
        table.count = channel.first - 1;
        afterLineOperation(channel.channel, channel.first);
    }
}

bool WorksheetEditor::undo()
{
    const UndoKind kind = undoKind();
    if (kind == UndoKind::None)
        return false;
    const QString question =
        kind == UndoKind::Deletion ? QStringLiteral("Undo deletion?") : QStringLiteral("Undo insertion?");
    if (!prompt_.askYesNo(question, UserPrompt::Icon::Information))
        return false;
    if (kind == UndoKind::Import) {
        undoImport();
        return true;
    }
    const UndoRecord record = undo_;
    const int channel = document_.currentChannel();
    ChannelSequence& table = document_.current();
    BusyGuard busy(prompt_);
    if (kind == UndoKind::Deletion) {
        // The deleted lines come back where they were; steps added since may not fit any more.
        if (record.first > table.count + 1) {
            undo_ = UndoRecord();
            return false;
        }
        if (!confirmDroppedLines(record.first, static_cast<int>(record.deleted.size())))
            return false;
        undo_ = UndoRecord();
        putLines(record.first, record.deleted);
    } else {
        undo_ = UndoRecord();
        // The inserted lines go, and the steps the insertion pushed past the limit come back.
        if (record.first <= table.count)
            removeLines(record.first, std::min(record.first + record.count - 1, table.count));
        table.count = document_.restoreInsertion();
    }
    afterLineOperation(channel, record.first);
    return true;
}

WorksheetEditor::UndoKind WorksheetEditor::undoKind() const
{
    if (undo_.kind == UndoKind::Import) {
        // An import spans channels, whichever is shown; it is taken back only while every channel it
        // added to still ends with its steps.
        const bool unchanged =
            std::all_of(undo_.appended.begin(), undo_.appended.end(), [&](const Appended& a) {
                return document_.channel(a.channel).count == a.stepsAfter;
            });
        return unchanged ? UndoKind::Import : UndoKind::None;
    }
    if (undo_.kind == UndoKind::None || undo_.channel != document_.currentChannel())
        return UndoKind::None;
    // Undoing an insertion puts the recorded step count back: after another change of the count that
    // would drop or resurrect steps.
    if (undo_.kind == UndoKind::Insertion && document_.channel(undo_.channel).count != undo_.stepsAfter)
        return UndoKind::None;
    return undo_.kind;
}

void WorksheetEditor::writeTimes(int channel, int fromLine)
{
    ChannelSequence& table = document_.channel(channel);
    const char* format = timeTextFormat(settings_);
    const int from = std::max(fromLine, 1);
    double t = from > 1 && from <= kMaxSteps ? decimalValue(table.steps[from - 2].time) : 0.0;
    const int end = table.stepCount();
    for (int slot = from - 1; slot < end; ++slot) {
        t += decimalValue(table.steps[slot].interval);
        table.steps[slot].time = formatDouble(format, t);
    }
}

void WorksheetEditor::dropEntryRow(int channel)
{
    if (!isChannel(channel))
        return;
    entryRows_[channel] = EntryRow();
    ChannelSequence& table = document_.channel(channel);
    if (table.count >= kMaxSteps)
        return;
    table.steps[table.count].clear();
    display_.showLines(channel, table.count + 1, table.count + 1);
}

void WorksheetEditor::channelReplaced(int channel)
{
    if (!isChannel(channel))
        return;
    entryRows_[channel] = EntryRow();
    const bool imported = std::any_of(undo_.appended.begin(), undo_.appended.end(),
                                      [channel](const Appended& a) { return a.channel == channel; });
    if (undo_.channel == channel || imported)
        undo_ = UndoRecord();
}

void WorksheetEditor::noteStepCountChanged(int channel)
{
    if (undo_.kind == UndoKind::Insertion && undo_.channel == channel &&
        document_.channel(channel).count != undo_.stepsAfter)
        undo_ = UndoRecord();
    // The flags belong to the entry row they were entered in: a count that moves away and back (a
    // step drawn in the graph and deleted again) brings back the line, not what was entered there.
    if (isChannel(channel) && entryRows_[channel].line != document_.channel(channel).count + 1)
        entryRows_[channel] = EntryRow();
}
