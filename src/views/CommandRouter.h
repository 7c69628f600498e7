#pragma once

#include "views/CommandTable.h"

#include <QObject>
#include <QString>
#include <map>

class QAction;
class ResourceModule;

// Routes every command of the menus, toolbars and accelerators to the first command table that
// handles it: the active view's, then the main frame's. A command that no table handles is
// disabled, and a disabled command does not run even when its accelerator is pressed. Enabling and
// check marks are refreshed by updateActions(), which the main frame calls when idle.
class CommandRouter : public QObject {
    Q_OBJECT
public:
    explicit CommandRouter(const ResourceModule& module, QObject* parent = nullptr);
    ~CommandRouter() override;

    // The one action of a command, created on first use with the status-bar prompt and the tooltip
    // of its string-table entry ("prompt\ntooltip"). Menus, toolbar buttons and accelerators share it.
    QAction* action(int id);
    // The action when it exists, else null.
    QAction* findAction(int id) const;

    // The main frame's table: the last stop of every route.
    void setFrameCommands(const CommandTable* table) { frame_ = table; }
    // Called with a command's identifier right before an enabled command runs.
    void setBeforeCommand(std::function<void(int id)> hook) { beforeCommand_ = std::move(hook); }
    // The active view's table: the first stop; null when no view is active.
    void setViewCommands(const CommandTable* table) { view_ = table; }
    const CommandTable* viewCommands() const { return view_; }

    // Runs the command when a table handles it and it is enabled; returns whether it ran.
    bool trigger(int id);
    bool isHandled(int id) const { return route(id) != nullptr; }
    // A table handles the command and gives it something to do. A command without an action is
    // disabled whatever its enabling rule says.
    bool hasAction(int id) const;
    bool isEnabled(int id) const;
    bool isChecked(int id) const;

    // Refreshes the enabling and check mark of every action.
    void updateActions();

    // The status-bar prompt and the tooltip of a command's string-table entry.
    static QString promptPart(const QString& entry);
    static QString tooltipPart(const QString& entry);

signals:
    // A command ran; the frame refreshes the command states afterwards.
    void commandFinished(int id);

private:
    const CommandTable::Entry* route(int id) const;

    const ResourceModule& module_;
    const CommandTable* frame_ = nullptr;
    const CommandTable* view_ = nullptr;
    std::map<int, QAction*> actions_;
    std::function<void(int id)> beforeCommand_;
};
