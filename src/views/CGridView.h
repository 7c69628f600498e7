#pragma once

#include "views/CommandTable.h"

#include <QWidget>

struct AppSettings;
class CMainDoc;

// The worksheet of a document, hosted in the document's worksheet window. The main frame routes the
// Worksheet menu to its command table while its window is active, and tells it when the current
// channel or the control method changes. The tabular editor itself is still to come; until then the
// view shows nothing and handles no command.
class CGridView : public QWidget {
    Q_OBJECT
public:
    CGridView(CMainDoc& document, AppSettings& settings, QWidget* parent = nullptr);

    CMainDoc& document() { return document_; }
    CommandTable& commands() { return commands_; }

    // Shows the document's current channel and refreshes the title and the value header.
    void showChannel(int channel);
    // Re-applies the control-method layout of every channel and the headers of the current one.
    void applyControlMethod();

private:
    CMainDoc& document_;
    AppSettings& settings_;
    CommandTable commands_;
};
