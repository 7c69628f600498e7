#pragma once

#include "model/ChannelSequence.h"
#include "model/SequenceTypes.h"

#include <QString>
#include <array>
#include <functional>
#include <vector>

struct AppSettings;
class UserPrompt;

// One sequence document: the step tables of the five channels, the copy buffer and the insertion
// record, and its file access. The views and the run engine read and edit the tables; the
// settings that say how to read them (modes, unit, control method) live in AppSettings.
// The tables hold 5 x 1024 steps of eight texts: create documents on the heap.
class CMainDoc {
public:
    CMainDoc(AppSettings& settings, UserPrompt& prompt);
    CMainDoc(const CMainDoc&) = delete;
    CMainDoc& operator=(const CMainDoc&) = delete;

    // The channel that the views show and single-channel operations act on (0..4). Values outside
    // that range are ignored.
    int currentChannel() const { return currentChannel_; }
    void setCurrentChannel(int channel);

    // The table of channel c (0..4); any other c is a programming error and throws.
    ChannelSequence& channel(int c) { return channels_.at(c); }
    const ChannelSequence& channel(int c) const { return channels_.at(c); }
    ChannelSequence& current() { return channels_[currentChannel_]; }
    const ChannelSequence& current() const { return channels_[currentChannel_]; }
    bool hasAnySteps() const;

    // Table operations on the current channel; slots are 0-based, lines 1-based. Arguments that
    // would reach outside the 1024 slots touch nothing there.
    //
    // Copies the seven fields other than time from one slot to another, empties the target's time
    // and then every field of the source.
    void moveStep(int fromSlot, int toSlot);
    // Empties every field of the slots from fromSlot to the last one; the count stays.
    void clearSteps(int fromSlot);
    // Puts lines firstLine..lastLine (seven fields each) into the copy buffer.
    void copyToBuffer(int firstLine, int lastLine);
    // Writes the buffer into the slots from line on, dropping lines past the last slot. The count
    // stays; the caller sets it.
    void writeBuffer(int line);
    int bufferCount() const { return static_cast<int>(copyBuffer_.size()); }
    const std::vector<SequenceStep>& copyBuffer() const { return copyBuffer_; }
    // The first slot whose step an insertion of that many lines at firstLine would push past
    // stepLimit, or leave there in a channel that holds more (a file may); the step count when none
    // would. Every step from it to the end goes.
    int firstSlotDroppedByInsertion(int firstLine, long long lines, int stepLimit) const;
    // Called before lastLine - firstLine + 1 lines are inserted at firstLine: keeps every step that
    // the insertion pushes past stepLimit so that undoing it can bring them back.
    void recordInsertion(int firstLine, int lastLine, int stepLimit);
    // Puts the kept steps back at the end of the recorded count; returns that count, which the
    // caller makes the step count again.
    int restoreInsertion();
    int recordedCount() const { return insertionCount_; }
    int savedInsertionLines() const { return static_cast<int>(insertionLines_.size()); }
    // Recomputes the cumulative times of the current channel (or of the given one) from the slot
    // on, in the recomputation's time format; returns the time at the end of the last step.
    double recomputeTimes(int fromSlot);
    double recomputeTimes(int channel, int fromSlot);

    bool isModified() const { return modified_; }
    void setModified(bool modified = true) { modified_ = modified; }

    // Open: reads the sequence file into this document; "Failed to read the file" after the
    // reader's own message when it fails.
    bool openDocument(const QString& path);
    // Save: writes all five channels; "There is no data to save." (and success, nothing written)
    // when every channel is empty; "Failed to write the file" after the writer's message when the
    // write fails, the document then staying modified and the old file intact.
    bool saveDocument(const QString& path);
    // Close: tells the close hook (the main frame forgets the current document).
    void closeDocument();

    // Called when the document closes (the main frame forgets it as the current document).
    void setCloseHook(std::function<void()> hook) { closeHook_ = std::move(hook); }
    // Called after every successful read: clears the run engine's per-channel progress.
    void setRunProgressResetHook(std::function<void()> hook) { runProgressResetHook_ = std::move(hook); }

    AppSettings& settings() { return settings_; }
    const AppSettings& settings() const { return settings_; }

private:
    static bool isSlot(int slot) { return slot >= 0 && slot < kMaxSteps; }

    AppSettings& settings_;
    UserPrompt& prompt_;
    int currentChannel_ = 0;
    std::array<ChannelSequence, kChannelCount> channels_;
    std::vector<SequenceStep> copyBuffer_;     // at most kMaxSteps lines, time unused
    int insertionCount_ = 0;                   // step count before the last insertion
    std::vector<SequenceStep> insertionLines_; // steps the insertion pushed past the limit
    bool modified_ = false;
    std::function<void()> closeHook_;
    std::function<void()> runProgressResetHook_;
};
