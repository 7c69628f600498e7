#pragma once

#include <QPoint>
#include <vector>

class ChannelPlot;
class GraphStepEditor;

// The mouse rules of the graph on the current channel's plot: what a double-click, a press, a move
// and a release do with the selection, its handle and the line being dragged or drawn. It knows no
// widget; the view turns mouse events into these calls and sets the cursor and the tooltip from
// the state they leave.
class GraphInteraction {
public:
    enum class Handle { Time = 0, Value = 1 };
    enum class Drag { None, Value, Time, Drawing };
    // What a release did to the document.
    enum class Outcome { Nothing, ValueStored, IntervalStored, StepDrawn, FirstStepDrawn };

    explicit GraphInteraction(GraphStepEditor& editor) : editor_(editor) {}

    // The selected step or boundary (0-based), or -1, and its handle.
    int selectedIndex() const { return selected_; }
    Handle handle() const { return handle_; }
    QPoint handlePoint() const { return handlePoint_; }
    bool valueHandleSelected() const { return selected_ >= 0 && handle_ == Handle::Value; }
    Drag drag() const { return drag_; }
    // The line shown while dragging or drawing; empty otherwise.
    const std::vector<QPoint>& dragLine() const { return dragLine_; }
    // Where a drawing starts: the end of the line at the height of the press.
    QPoint drawingStart() const { return drawingStart_; }

    // The handle's square: 3 pixels to the left and above, 2 to the right and below.
    bool onHandle(const QPoint& point) const;
    // From the end of the line to 3 pixels right of it, within the plot's height.
    static bool inAppendZone(const ChannelPlot& plot, const QPoint& point);
    // Where a drawing may end: from 3 pixels left of the line's end to the plot's right edge + 3,
    // from 1 pixel above the plot to just above its bottom edge.
    static bool inDrawingArea(const ChannelPlot& plot, const QPoint& point);

    // Double-click with nothing selected: a boundary line (when shown, not in fast mode) gets its
    // time handle at its top end, else a step its value handle at its end point. True when something
    // was selected.
    bool select(ChannelPlot& plot, const QPoint& point, bool boundaryLines, bool fastMode);
    // Left press: on the handle a drag starts; elsewhere with a selection the selection goes; in the
    // append zone without one a drawing starts. True when anything changed.
    bool press(ChannelPlot& plot, const QPoint& point);
    // The drag line follows the mouse: a value handle's end (both points of a step) vertically, a
    // time handle's line horizontally, a drawing from its start to the mouse.
    void move(const ChannelPlot& plot, const QPoint& point);
    // Ends the drag or drawing and applies it through the editor; the selection goes.
    Outcome release(ChannelPlot& plot, int channel, const QPoint& point);

    // Forgets the selection; true when there was one.
    bool clearSelection(ChannelPlot& plot);
    void cancelDrag();
    // Moves the handle to its piece after the plot was laid out anew.
    void followPlot(const ChannelPlot& plot);

private:
    Outcome finishValueDrag(ChannelPlot& plot, int channel, int index, const QPoint& point);
    Outcome finishTimeDrag(ChannelPlot& plot, int channel, int index, const QPoint& point);
    Outcome finishDrawing(ChannelPlot& plot, int channel, const QPoint& point);

    GraphStepEditor& editor_;
    int selected_ = -1;
    Handle handle_ = Handle::Value;
    QPoint handlePoint_;
    Drag drag_ = Drag::None;
    std::vector<QPoint> dragLine_;
    QPoint drawingStart_;
    bool moved_ = false; // the mouse moved since the drawing started
};
