#pragma once

#include "FakeTime.h"
#include "FuzzAction.h"
#include "FuzzSetup.h"
#include "FuzzShell.h"

#include <QByteArray>
#include <QPoint>
#include <QTemporaryDir>
#include <memory>

class CGraphView;
class CGridView;
class CMainDoc;
class CMainFrame;
class CTessorApp;
class QMdiSubWindow;
class QWidget;

// One run of the real program for the random user: a private profile and runtime folder, the
// setup's document opened in the main frame on a clock that moves only when the user waits, and
// every answer given by a FuzzShell. apply() turns an action into the events a window system would
// deliver; the generator and the invariants look at the program through the accessors.
class FuzzSession {
public:
    explicit FuzzSession(const FuzzSetup& setup);
    ~FuzzSession();
    FuzzSession(const FuzzSession&) = delete;
    FuzzSession& operator=(const FuzzSession&) = delete;

    // Starts the program with the setup's document; an empty text when it is up, else why not.
    QString start();

    // Delivers one action. An exception from code the harness called directly propagates.
    void apply(const FuzzAction& action);

    CMainFrame& frame() const;
    FuzzShell& shell() { return *shell_; }
    FakeTime& time() { return time_; }
    const FuzzSetup& setup() const { return setup_; }
    QString folder() const { return dir_.path(); }
    // The open document and its views; null while no document is open.
    CMainDoc* document() const;
    CGridView* grid() const;
    CGraphView* graph() const;
    bool graphIsActive() const;
    // Counts the documents opened, created, renamed and closed.
    int documentGeneration() const { return generation_; }
    // The left button is held over the graph since a press.
    bool buttonHeld() const { return held_; }
    // The open popup (a context menu or a drop-down's list), or null.
    static QWidget* popup();
    // How many items the open popup menu offers (submenus' items included; 1 for other popups).
    static int popupItems();
    // Where keys go: the focus widget, or the main frame.
    QWidget* keyTarget() const;
    // A line on what the program shows now, for a trace: steps, focus, editor, selection, drag.
    QString stateText() const;

private:
    void activate(QMdiSubWindow* window);
    void graphMouse(const FuzzAction& action);
    void cellMouse(const FuzzAction& action);
    void popupAction(const FuzzAction& action);
    void runCommand(int id);
    void chooseControlMethod(int method);
    void settle();

    FuzzSetup setup_;
    QTemporaryDir dir_;
    QByteArray oldConfig_;
    QByteArray oldRuntime_;
    FakeTime time_;
    std::unique_ptr<FuzzShell> shell_;
    std::unique_ptr<CTessorApp> app_;
    bool held_ = false;
    int generation_ = 0;
};
