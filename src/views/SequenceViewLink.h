#pragma once

// The two views of one document tell each other what they changed in the document, through these
// narrow interfaces that the document session wires when it creates both windows. Channels are
// 0..4 and lines 1-based; every call comes after the document's step texts were written.

// What the worksheet tells the graph.
class GraphLink {
public:
    virtual ~GraphLink() = default;
    // The set value or the transition of an existing step changed: move its points and redraw.
    virtual void stepChanged(int channel, int line) = 0;
    // An interval changed and the document recomputed the times from the line on: the step's end
    // and every later segment move.
    virtual void timesChangedFrom(int channel, int line) = 0;
    // The worksheet appended the step at line (the count already includes it).
    virtual void stepAppended(int channel, int line) = 0;
    // Lines were deleted or inserted: rebuild the channel's line from the document.
    virtual void channelRebuilt(int channel) = 0;
};

// What the graph tells the worksheet.
class WorksheetLink {
public:
    virtual ~WorksheetLink() = default;
    // Rewrites one line's cells; the channel's saved cell becomes that line, column 1.
    virtual void refreshLine(int channel, int line) = 0;
    // Rewrites the Time cells from the line to the end of the channel.
    virtual void refreshTimesFrom(int channel, int line) = 0;
    // Rewrites every line from the line on (after the graph deleted a step) and the title.
    virtual void refreshLinesFrom(int channel, int line) = 0;
    // The title "Worksheet - Data Count:%d" and the value header of the current channel.
    virtual void refreshTitle() = 0;
    // Puts the grid's cursor back on the current channel's saved cell.
    virtual void restoreCursor() = 0;
};
