#pragma once

#include "views/CommandTable.h"
#include "views/SequenceViewLink.h"
#include "views/ViewContext.h"

#include <QWidget>

class CMainDoc;

// The graph of a document, hosted in the document's graph window. The main frame routes the Graph
// menu to its command table while its window is active, and tells it when the current channel or
// the control method changes. The worksheet of the same document reaches it through GraphLink.
// The drawing and mouse editing are still to come; until then the view shows nothing and handles
// no command.
class CGraphView : public QWidget, public GraphLink {
    Q_OBJECT
public:
    CGraphView(CMainDoc& document, const ViewContext& context, QWidget* parent = nullptr);

    CMainDoc& document() { return document_; }
    CommandTable& commands() { return commands_; }
    // The worksheet of the same document, told about every edit; null until the session wires it.
    void setWorksheetLink(WorksheetLink* worksheet) { worksheet_ = worksheet; }

    // Switches the graph to the channel and rescales it.
    void showChannel(int channel);
    // Rebuilds the channel's line from the document and redraws.
    void rebuildChannel(int channel);
    // Recomputes the automatic ranges, rebuilds, relabels the axes and redraws.
    void rescaleChannel(int channel);
    // The title "Graph - Channel%d" of the current channel.
    void refreshTitle();

    // GraphLink
    void stepChanged(int channel, int line) override;
    void timesChangedFrom(int channel, int line) override;
    void stepAppended(int channel, int line) override;
    void channelRebuilt(int channel) override;

private:
    CMainDoc& document_;
    const ViewContext& context_;
    WorksheetLink* worksheet_ = nullptr;
    CommandTable commands_;
};
