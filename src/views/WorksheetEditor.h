#pragma once

#include "model/SequenceStep.h"
#include "model/SequenceTypes.h"
#include "model/StepImport.h"

#include <QString>
#include <array>
#include <functional>
#include <utility>
#include <vector>

struct AppSettings;
class CMainDoc;
class GraphLink;
class ResourceModule;
class UserPrompt;

// What the worksheet's editing rules tell the grid after they changed the document's step texts.
// Lines are 1-based; a last line of kMaxSteps means "to the end".
class WorksheetDisplay {
public:
    virtual ~WorksheetDisplay() = default;
    // Every cell of the lines is to be read again.
    virtual void showLines(int channel, int firstLine, int lastLine) = 0;
    // Only the Time cells of the lines.
    virtual void showTimes(int channel, int firstLine, int lastLine) = 0;
    // The channel's step count changed (the title shows it).
    virtual void showStepCount(int channel) = 0;
};

// The worksheet's rules without the widgets: what a committed cell stores, when the entry row
// after the last step becomes a step, and the line operations Copy, Delete, Paste and Undo with
// their questions and the one-level undo record. Every change is written into the document at once,
// then shown by the display and passed on to the graph.
class WorksheetEditor {
public:
    // Import: steps added after the last steps of several channels at once.
    enum class UndoKind { None, Deletion, Insertion, Import };
    // The steps an import added to one channel: from its first line to the count it left.
    struct Appended {
        int channel = 0;
        int first = 0;
        int stepsAfter = 0;
    };
    // The last line operation on one channel and what Undo needs to take back exactly its lines.
    // A deletion keeps its own copy of the deleted lines (the copy buffer may be filled anew before
    // Undo); an insertion keeps where its lines went, and the document's insertion record, which
    // only insertions write, keeps the steps it pushed past the step limit.
    struct UndoRecord {
        UndoKind kind = UndoKind::None;
        int channel = 0;
        int first = 0;                     // first line deleted or inserted
        int count = 0;                     // lines deleted or inserted
        int stepsAfter = 0;                // the channel's step count the operation left
        std::vector<SequenceStep> deleted; // a deletion's lines, seven fields each
        std::vector<Appended> appended;    // an import's channels
    };
    // Which fields of the entry row have been committed since it became the entry row.
    struct EntryFlags {
        bool value = false;
        bool interval = false;
        bool transition = false;
    };

    WorksheetEditor(CMainDoc& document, const AppSettings& settings, UserPrompt& prompt,
                    const ResourceModule& strings, WorksheetDisplay& display);

    void setGraphLink(GraphLink* graph) { graph_ = graph; }
    // Receives the tab-separated text of every Copy for the system clipboard.
    void setClipboardWriter(std::function<void(const QString&)> writer) { clipboard_ = std::move(writer); }

    // Whether the cell opens an editor: columns 2 to 6 (only 2 and 5 in fast mode) of an existing line
    // or of the entry row, while the channel is below its step limit.
    bool isEditable(int channel, int line, int column) const;

    // Commits of the in-place editors. A refused text changes nothing.
    void commitValue(int channel, int line, const QString& text);
    void commitInterval(int channel, int line, const QString& text, const QString& textAtOpen);
    void commitTransition(int channel, int line, bool ramp);
    void commitLoad(int channel, int line, int column, bool on);
    EntryFlags entryFlags(int channel) const;

    // Line operations on the document's current channel. The lines are taken in ascending order
    // and capped at the step count; lines outside the existing steps do nothing.
    // Copies the lines into the copy buffer and onto the clipboard and says so; false when nothing
    // was copied.
    bool copyLines(int first, int last);
    // The three below return whether the lines changed (false when the user said No).
    // Asks, then deletes the lines (keeping them in the copy buffer for Undo). The entry row alone
    // is emptied without a question.
    bool deleteLines(int first, int last);
    // Inserts the copy buffer at the line after asking. Right after a deletion (the undo record
    // still "deletion") it puts the deleted lines back where they were, without asking. Either way
    // the undo record then describes this insertion.
    bool pasteLines(int line);
    // Asks, then undoes the last deletion or insertion of the shown channel, or the last import.
    bool undo();
    // Inserts steps from outside the copy buffer (the clipboard's columns, a CSV file) that the user
    // has seen in the change report and agreed to, as one operation that Undo takes back: into the
    // current channel at a line as an agreed Paste inserts, or, for several channels, after the last
    // step of each. The report refused what passes the step limit, so no step is pushed out. False
    // when nothing was inserted.
    bool insertSteps(const std::vector<StepImport::Insertion>& insertions);

    // Inserts lines (seven fields each) at the line of the current channel as an agreed Paste does:
    // the later steps move down, those pushed past the step limit drop out, and the undo record
    // describes this one insertion (Undo takes the lines out and brings the dropped steps back).
    // Asks nothing; false unless 1 <= line <= step count + 1 and there are lines.
    bool insertLines(int line, const std::vector<SequenceStep>& lines);
    // The current channel's lines (1-based, first..last) that inserting that many lines at the line
    // would push past the step limit; first > last when none would.
    std::pair<int, int> linesDroppedByInsertion(int line, int lines) const;
    // Asks before an insertion drops lines past the step limit; true when none would or on Yes.
    bool confirmDroppedLines(int line, int lines);

    void clearUndo() { undo_ = UndoRecord(); }
    const UndoRecord& undoRecord() const { return undo_; }
    // The record Undo acts on: none unless it belongs to the shown channel and, for an insertion,
    // nothing has changed the channel's step count since.
    UndoKind undoKind() const;

    // Rewrites the cumulative times of the channel from the line on, in the worksheet's format.
    void writeTimes(int channel, int fromLine);
    // The channel's steps were replaced as a whole (filled anew): its entry row and undo record go.
    void channelReplaced(int channel);
    // The channel's lines changed by other means than the recorded operation (a step appended, the
    // graph's edits): an insertion can no longer be undone once the step count is not the one it left,
    // and what was entered into the entry row no longer counts once the entry row moved.
    void noteStepCountChanged(int channel);
    // The rules the entry row's texts were checked by no longer hold (the control method changed):
    // what was typed there goes, and the row is shown empty.
    void dropEntryRow(int channel);

private:
    struct EntryRow {
        int line = 0; // the entry line the flags belong to
        EntryFlags flags;
    };

    bool isEntryLine(int channel, int line) const;
    EntryFlags& entryRow(int channel);
    // The set value or the transition of an existing step changed: the graph redraws it.
    void existingStepChanged(int channel, int line);
    void completeEntryRow(int channel, int line);
    // Takes lines first..last (within the steps) out of the current channel.
    void removeLines(int first, int last);
    // Copied lines with their set values in the current channel's set value format.
    std::vector<SequenceStep> inValueFormat(std::vector<SequenceStep> lines) const;
    // Puts lines in at the line of the current channel, capped at the step limit.
    void putLines(int line, const std::vector<SequenceStep>& lines);
    // Takes the steps of the last import out of its channels again.
    void undoImport();
    // Shows a line operation's result; the entry row starts afresh.
    void afterLineOperation(int channel, int firstLine);
    QString clipboardText() const;

    CMainDoc& document_;
    const AppSettings& settings_;
    UserPrompt& prompt_;
    const ResourceModule& strings_;
    WorksheetDisplay& display_;
    GraphLink* graph_ = nullptr;
    std::function<void(const QString&)> clipboard_;
    UndoRecord undo_;
    std::array<EntryRow, kChannelCount> entryRows_{};
};
