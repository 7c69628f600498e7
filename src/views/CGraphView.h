#pragma once

#include "model/SequenceTypes.h"
#include "ui/TimerService.h"
#include "views/ChannelPlot.h"
#include "views/CommandTable.h"
#include "views/GraphInteraction.h"
#include "views/GraphStepEditor.h"
#include "views/GraphViewTooltip.h"
#include "views/PlotPainter.h"
#include "views/SequenceViewLink.h"
#include "views/ViewContext.h"

#include <QFont>
#include <QWidget>
#include <array>
#include <memory>
#include <vector>

class CMainDoc;
class GraphPrinter;
class QDialog;
class QImage;

// The graph of a document, hosted in the document's graph window: the current channel's sequence
// as a line of set value over time, edited with the mouse. A double-click selects a step (its value
// handle at its end) or a boundary line (its time handle at the top); dragging a handle changes the
// value or the interval; pressing at the end of the line and dragging draws a new step. The main
// frame routes the Graph menu and the printing commands to its command table while its window is
// current. The worksheet of the same document reaches it through GraphLink.
class CGraphView : public QWidget, public GraphLink {
    Q_OBJECT
public:
    enum Command {
        IdRamp = 32783,
        IdStep = 32784,
        IdDelete = 32785,
        IdVerticalAxis = 32779,
        IdScale = 32786,
        IdColorBackground = 32771,
        IdColorLine = 32776,
        IdColorDraw = 32777,
        IdColorVerticalAxis = 32778,
        IdColorAxis = 32780,
        IdCopy = 57634,
        IdPrint = 57607,
        IdPrintPreview = 57609,
        IdPrintSetup = 57606,
    };
    static constexpr int kContextMenu = 134;
    // The face of the axis labels in the string table.
    static constexpr int kLabelFontString = 109;

    using Handle = GraphInteraction::Handle;
    using Drag = GraphInteraction::Drag;

    CGraphView(CMainDoc& document, const ViewContext& context, QWidget* parent = nullptr);
    // Writes the flags, the current channel's range labels and the colours to "Graph".
    ~CGraphView() override;

    CMainDoc& document() { return document_; }
    CommandTable& commands() { return commands_; }
    // The worksheet of the same document, told about every edit; null until the session wires it.
    void setWorksheetLink(WorksheetLink* worksheet);

    // Switches the graph to the channel and rescales it.
    void showChannel(int channel);
    // Rebuilds the channel's line from the document (applying the automatic ranges) and redraws.
    void rebuildChannel(int channel);
    // Resets the plot rectangle, recomputes the automatic ranges, rebuilds, relabels the axes,
    // refreshes the title and the worksheet's cursor and redraws.
    void rescaleChannel(int channel);
    // The title "Graph - Channel%d" of the current channel.
    void refreshTitle();

    // GraphLink
    void stepChanged(int channel, int line) override;
    void timesChangedFrom(int channel, int line) override;
    void stepAppended(int channel, int line) override;
    void channelRebuilt(int channel) override;

    // What the view shows, for the commands and for tests.
    const ChannelPlot& plot(int channel) const { return plots_.at(channel); }
    const PlotColours& colours() const { return colours_; }
    bool showsBoundaryLines() const { return showBoundaries_; }
    bool automaticTimeMax() const { return autoTimeMax_; }
    bool automaticValueMax() const { return autoValueMax_; }
    bool automaticValueMin() const { return autoValueMin_; }
    // The selected step or boundary (0-based), or -1.
    int selectedIndex() const { return mouse_.selectedIndex(); }
    Handle handle() const { return mouse_.handle(); }
    QPoint handlePoint() const { return mouse_.handlePoint(); }
    Drag drag() const { return mouse_.drag(); }
    const std::vector<QPoint>& dragLine() const { return mouse_.dragLine(); }
    // The selection and the drag or drawing, held together.
    const GraphInteraction::State& mouseState() const { return mouse_.state(); }
    // The tooltip text set for the last mouse position (empty: none).
    QString tooltipText() const { return tooltip_.text(); }
    const QFont& labelFont() const { return labelFont_; }
    GraphPrinter& printer() { return *printer_; }

    // The picture of the view, as Copy puts it on the clipboard.
    QImage picture();
    // Paints the current channel's graph with its title, scaled into a page.
    void paintPage(QPainter& painter, const QRect& page);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int current() const;
    ChannelPlot& currentPlot() { return plots_[current()]; }
    QRect clientArea() const { return QRect(0, 0, width(), height()); }
    bool fastMode() const;
    bool hardwareControl() const;
    int modeOf(int channel) const;
    void relabel(int channel);
    // The channel's plot for a worksheet edit of step index, or null after rebuilding it.
    ChannelPlot* plotForEdit(int channel, int index);
    // Rebuilds with the automatic ranges when the channel's data left the ranges they keep.
    void followData(int channel);
    void statesChanged();
    int runDialog(QDialog& dialog);

    void defineCommands();
    void readSettings();
    void writeSettings();
    void clearSelection();
    void cancelDrag();
    void setDragCursor();
    // The cursor and the tooltip for the mouse without a drag.
    void hover(const QPoint& point);

    void applyTransition(int transition);
    void deleteSelected();
    void toggleBoundaryLines();
    void runScaleDialog();
    void chooseColour(QColor PlotColours::*colour, const QString& key);
    void copyPicture();
    void print();
    void printPreview();
    void printSetup();

    CMainDoc& document_;
    const ViewContext& context_;
    WorksheetLink* worksheet_ = nullptr;
    CommandTable commands_;
    GraphStepEditor editor_;
    GraphInteraction mouse_;
    GraphViewTooltip tooltip_;
    std::unique_ptr<GraphPrinter> printer_;
    std::array<ChannelPlot, kChannelCount> plots_;
    PlotColours colours_;
    QFont labelFont_;
    bool settingsRead_ = false;
    bool showBoundaries_ = true;
    bool autoTimeMax_ = true;
    bool autoValueMax_ = true;
    bool autoValueMin_ = true;
};
