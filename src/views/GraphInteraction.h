#pragma once

#include <QPoint>
#include <vector>

class ChannelPlot;
class GraphStepEditor;

// The mouse rules of the graph on the current channel's plot: what a double-click, a press, a move
// and a release do with the selection, its handle and the line being dragged or drawn. It knows no
// widget; the view turns mouse events into these calls and sets the cursor, the tooltip and the
// selection square from the state they leave.
class GraphInteraction {
public:
    enum class Handle { Time = 0, Value = 1 };
    enum class Drag { None, Value, Time, Drawing };
    // What a release did to the document.
    enum class Outcome { Nothing, ValueStored, IntervalStored, StepDrawn, FirstStepDrawn };

    // Everything the mouse holds, in one place. A value or time drag belongs to the selection it
    // started from, so whatever ends the selection ends the drag; a drawing holds no selection.
    struct State {
        int selected = -1; // the selected step or boundary (0-based), or -1
        Handle handle = Handle::Value;
        QPoint handlePoint;
        Drag drag = Drag::None;
        std::vector<QPoint> dragLine; // the line shown while dragging or drawing
        QPoint drawingStart;          // the end of the line at the height of the press
        bool moved = false;           // the mouse moved since the drawing started
    };

    explicit GraphInteraction(GraphStepEditor& editor) : editor_(editor) {}

    const State& state() const { return state_; }
    int selectedIndex() const { return state_.selected; }
    Handle handle() const { return state_.handle; }
    QPoint handlePoint() const { return state_.handlePoint; }
    bool valueHandleSelected() const { return state_.selected >= 0 && state_.handle == Handle::Value; }
    Drag drag() const { return state_.drag; }
    const std::vector<QPoint>& dragLine() const { return state_.dragLine; }
    QPoint drawingStart() const { return state_.drawingStart; }
    // The pieces that carry the selection square: the step of a value handle, the boundary line of a
    // time handle; -1 for none.
    int markedSegment() const { return state_.handle == Handle::Value ? state_.selected : -1; }
    int markedBoundary() const { return state_.handle == Handle::Time ? state_.selected : -1; }

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
    bool select(const ChannelPlot& plot, const QPoint& point, bool boundaryLines, bool fastMode);
    // Left press: on the handle a drag starts; elsewhere with a selection the selection goes; in the
    // append zone without one a drawing starts. True when anything changed.
    bool press(const ChannelPlot& plot, const QPoint& point);
    // The drag line follows the mouse: a value handle's end (both points of a step) vertically, a
    // time handle's line horizontally, a drawing from its start to the mouse.
    void move(const ChannelPlot& plot, const QPoint& point);
    // Ends the drag or drawing and applies it through the editor; the selection goes.
    Outcome release(ChannelPlot& plot, int channel, const QPoint& point);

    // Forgets the selection and ends any drag or drawing; true when something was selected.
    bool clearSelection();
    // Ends a drag or a drawing; the selection stays. True when one was running.
    bool cancelDrag();
    // Moves the handle to its piece after the plot was laid out anew; a selection whose piece is
    // gone goes.
    void followPlot(const ChannelPlot& plot);

private:
    // The selection still names a piece of the plot; otherwise everything is forgotten.
    bool selectionFits(const ChannelPlot& plot);
    Outcome finishValueDrag(ChannelPlot& plot, int channel, int index, const QPoint& point);
    Outcome finishTimeDrag(ChannelPlot& plot, int channel, int index, const QPoint& point);
    Outcome finishDrawing(ChannelPlot& plot, int channel, const QPoint& start, bool moved,
                          const QPoint& point);

    GraphStepEditor& editor_;
    State state_;
};
