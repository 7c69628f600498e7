#pragma once

#include "views/CommandTable.h"
#include "views/SequenceViewLink.h"
#include "views/ViewContext.h"

#include <QWidget>

class CMainDoc;

// The worksheet of a document, hosted in the document's worksheet window. The main frame routes the
// Worksheet menu to its command table while its window is active, and tells it when the current
// channel or the control method changes. The graph of the same document reaches it through
// WorksheetLink. The tabular editor itself is still to come; until then the view shows nothing and
// handles no command.
class CGridView : public QWidget, public WorksheetLink {
    Q_OBJECT
public:
    CGridView(CMainDoc& document, const ViewContext& context, QWidget* parent = nullptr);

    CMainDoc& document() { return document_; }
    CommandTable& commands() { return commands_; }
    // The graph of the same document, told about every edit; null until the session wires it.
    void setGraphLink(GraphLink* graph) { graph_ = graph; }

    // Shows the document's current channel and refreshes the title and the value header.
    void showChannel(int channel);
    // Clears the channel's grid and writes its headers, line numbers and every step, recomputing
    // the cumulative times, then applies the control-method layout.
    void fillChannel(int channel);
    // Re-applies the control-method layout of every channel and the headers of the current one.
    void applyControlMethod();
    // Rewrite the Time and Interval headers for a time unit, or the value header for a mode.
    void setTimeHeaders(int unit);
    void setValueHeader(int mode);

    // WorksheetLink
    void refreshLine(int channel, int line) override;
    void refreshTimesFrom(int channel, int line) override;
    void refreshLinesFrom(int channel, int line) override;
    void refreshTitle() override;
    void restoreCursor() override;

private:
    CMainDoc& document_;
    const ViewContext& context_;
    GraphLink* graph_ = nullptr;
    CommandTable commands_;
};
