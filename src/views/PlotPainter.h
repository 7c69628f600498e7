#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QString>
#include <vector>

class ChannelPlot;
struct GraphSettings;
class QPainter;
struct PlotPen;
struct StepSegment;

// The user's five colours of a plot.
struct PlotColours {
    QColor background = QColor(255, 255, 255);
    QColor line = QColor(255, 0, 0);
    QColor axis = QColor(0, 0, 0);
    QColor verticalAxis = QColor(0, 0, 255); // boundary lines and the zero line
    QColor draw = QColor(0, 255, 0);         // the line drawn with the mouse, the run cursor

    // Takes the colours stored in the profile's "Graph" section; one not stored keeps its value.
    void applyStored(const GraphSettings& graph);
    // Puts all five colours into the "Graph" section's fields.
    void store(GraphSettings& graph) const;
    // A colour as the profile keeps it: an RGB number with red in the low byte.
    static long storedNumber(const QColor& colour);
};

// Paints a ChannelPlot into a QPainter, piece by piece or whole, in the order background, zero
// line, boundary lines, axes, sequence line (with its connectors and selection marks), labels and
// a free polyline on top. Used by the graph view, its printout and the run window's live graphs.
// Each piece sets its own pen and brush and leaves the painter's state as it found it.
class PlotPainter {
public:
    PlotPainter(QPainter& painter, const PlotColours& colours);

    // The label font: the face named by the resource string at 9 points, normal weight. Where the
    // face is not installed the font system substitutes a sans-serif face of similar width.
    static QFont labelFont(const QString& face);

    struct Options {
        bool boundaryLines = true;
        bool labels = true;
        // The piece (0-based) that carries the 7 x 7 selection square, a step or a boundary line;
        // -1 for none.
        int markedSegment = -1;
        int markedBoundary = -1;
        std::vector<QPoint> freeLine; // drawn on top in the draw colour when it has two points
    };
    // Every piece in order.
    void paint(const ChannelPlot& plot, const QFont& font, const Options& options);

    void paintBackground(const ChannelPlot& plot);
    void paintZeroLine(const ChannelPlot& plot);
    // The boundary lines within the plot's time range; the marked one gets the selection square.
    void paintBoundaryLines(const ChannelPlot& plot, int marked = -1);
    void paintAxes(const ChannelPlot& plot);
    // Segments lying wholly inside the plot rectangle, the connectors that show the jumps of step
    // transitions between them, and the selection square of the marked one when it is drawn.
    void paintSequence(const ChannelPlot& plot, int marked = -1);
    void paintLabels(const ChannelPlot& plot, const QFont& font);
    // A polyline in the given colour with the pen of a new segment.
    void paintPolyline(const std::vector<QPoint>& points, const QColor& colour);

    // The 7 x 7 pixel square centred on a point, drawn by inverting the pixels under it (a square
    // in the inverse of the background colour where the device cannot invert).
    void invertSquare(const QPoint& centre);

private:
    void stroke(const std::vector<QPoint>& points, const PlotPen& pen, const QColor& colour);
    void text(const QPoint& anchor, const QString& text, bool rightAligned, int minX, int maxX);

    QPainter& painter_;
    PlotColours colours_;
};
