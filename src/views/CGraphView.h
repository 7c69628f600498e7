#pragma once

#include "views/CommandTable.h"

#include <QWidget>

struct AppSettings;
class CMainDoc;

// The graph of a document, hosted in the document's graph window. The main frame routes the Graph
// menu to its command table while its window is active, and tells it when the current channel or
// the control method changes. The drawing and mouse editing are still to come; until then the view
// shows nothing and handles no command.
class CGraphView : public QWidget {
    Q_OBJECT
public:
    CGraphView(CMainDoc& document, AppSettings& settings, QWidget* parent = nullptr);

    CMainDoc& document() { return document_; }
    CommandTable& commands() { return commands_; }

    // Switches the graph to the channel and rescales it.
    void showChannel(int channel);
    // Rebuilds the channel's line from the document and redraws.
    void rebuildChannel(int channel);

private:
    CMainDoc& document_;
    AppSettings& settings_;
    CommandTable commands_;
};
