#pragma once

#include "model/ChannelSequence.h"
#include "model/SequenceTypes.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

struct AppSettings;
class UserPrompt;
class SequenceFile;

// One sequence document: the step tables of the five channels, the copy buffer and the insertion
// record, and its file access. The views and the run engine read and edit the tables; the
// settings that say how to read them (modes, unit, control method) live in AppSettings.
class CMainDoc {
public:
    CMainDoc(AppSettings& settings, UserPrompt& prompt);
    ~CMainDoc();
    CMainDoc(const CMainDoc&) = delete;
    CMainDoc& operator=(const CMainDoc&) = delete;

    // The channel that the views show and single-channel operations act on (0..4).
    int currentChannel() const { return currentChannel_; }
    void setCurrentChannel(int channel);

    ChannelSequence& channel(int c) { return channels_[c]; }
    const ChannelSequence& channel(int c) const { return channels_[c]; }
    ChannelSequence& current() { return channels_[currentChannel_]; }
    bool hasAnySteps() const;

    // Table operations on the current channel; slots are 0-based, lines 1-based.
    void moveStep(int fromSlot, int toSlot);
    void clearSteps(int fromSlot);
    void copyToBuffer(int firstLine, int lastLine);
    void writeBuffer(int line);
    int bufferCount() const { return static_cast<int>(copyBuffer_.size()); }
    void recordInsertion(int firstLine, int lastLine, int stepLimit);
    int restoreInsertion();
    int recordedCount() const { return insertionCount_; }
    int savedInsertionLines() const { return static_cast<int>(insertionLines_.size()); }
    // Recomputes the cumulative times from the slot on; returns the total time.
    double recomputeTimes(int fromSlot);
    double recomputeTimes(int channel, int fromSlot);

    bool isModified() const { return modified_; }
    void setModified(bool modified = true) { modified_ = modified; }

    // Open, Save and Close of the document, with their messages.
    bool openDocument(const QString& path);
    bool saveDocument(const QString& path);
    void closeDocument();

    // Called when the document closes (the main frame forgets it as the current document).
    void setCloseHook(std::function<void()> hook) { closeHook_ = std::move(hook); }
    // Called after every successful read: clears the run engine's per-channel progress.
    void setRunProgressResetHook(std::function<void()> hook);

    AppSettings& settings() { return settings_; }

private:
    AppSettings& settings_;
    UserPrompt& prompt_;
    int currentChannel_ = 0;
    std::array<ChannelSequence, kChannelCount> channels_;
    std::vector<SequenceStep> copyBuffer_;    // at most kMaxSteps lines, time unused
    int insertionCount_ = 0;                  // step count before the last insertion
    std::vector<SequenceStep> insertionLines_; // lines the insertion pushed past the limit
    std::unique_ptr<SequenceFile> file_;
    bool modified_ = false;
    std::function<void()> closeHook_;
};
