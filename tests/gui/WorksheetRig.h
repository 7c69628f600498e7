#pragma once

#include "FakeTime.h"
#include "RecordingPrompt.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/ProfileStore.h"
#include "ui/ResourceModule.h"
#include "views/CGridView.h"
#include "views/SequenceViewLink.h"
#include "views/ShellResources.h"
#include "views/TemplateLoader.h"
#include "views/ViewContext.h"

#include <QPoint>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

// The graph's side of the link, recording every call as "stepChanged 0 3" and the like.
class RecordingGraph : public GraphLink {
public:
    void stepChanged(int channel, int line) override { record("stepChanged", channel, line); }
    void timesChangedFrom(int channel, int line) override { record("timesChangedFrom", channel, line); }
    void stepAppended(int channel, int line) override { record("stepAppended", channel, line); }
    void channelRebuilt(int channel) override { calls << QStringLiteral("channelRebuilt %1").arg(channel); }

    QStringList calls;

private:
    void record(const char* name, int channel, int line)
    {
        calls << QStringLiteral("%1 %2 %3").arg(QLatin1String(name)).arg(channel).arg(line);
    }
};

// A worksheet on its own: a document, the settings, a recording prompt, fake timers and a recording
// graph, the view shown offscreen. Channels are 0-based, lines 1-based as in the document.
class WorksheetRig {
public:
    WorksheetRig();
    ~WorksheetRig();

    // Builds (or rebuilds) the view over the document with the current settings.
    void createView();

    // Puts steps into a channel ("value\tinterval\ttransition\tload" each) and fills its grid.
    void loadChannel(int channel, const QStringList& steps);
    // Loads n steps numbered by value: "1.0000", "2.0000", ... with interval 1.0, step, load on.
    void loadNumberedSteps(int channel, int n);
    // The steps of a channel as "value|interval|transition|load" (count steps).
    QStringList steps(int channel) const;
    // The values of the channel's steps.
    QStringList values(int channel) const;

    WorksheetTable* table() const { return view->table(document->currentChannel()); }
    QString cell(int line, int column) const;
    void setCursor(int line, int column);
    // The current cell as (column, line).
    QPoint cursor() const;
    // Selects lines first..last in column 2, the cursor on first, as a drag from first to last would.
    void selectLines(int first, int last);
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Opens the text box on the cell with Enter, replaces its text and commits with Enter.
    void type(int line, int column, const QString& text);
    // Opens the drop-down on the cell with Enter, chooses the item and commits with Enter.
    void choose(int line, int column, const QString& item);
    // Runs a command of the view's table as the menu would.
    bool command(int id);
    bool isEnabled(int id) const;
    void switchChannel(int channel);

    std::unique_ptr<QTemporaryDir> folder;
    ResourceModule module;
    ShellResources resources;
    AppSettings settings;
    RecordingPrompt prompt;
    FakeTime time;
    std::unique_ptr<TemplateLoader> templates;
    std::unique_ptr<ProfileStore> profile;
    std::unique_ptr<ViewContext> context;
    std::unique_ptr<CMainDoc> document;
    RecordingGraph graph;
    std::unique_ptr<CGridView> view;
    std::vector<std::pair<int, QPoint>> contextMenus;
    // The view's modal dialogs (the change report) run through this; rejected when unset.
    std::function<int(QDialog&)> onDialog;
    int dialogsRun = 0;
    int commandStateChanges = 0;
};
