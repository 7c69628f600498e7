#pragma once

#include <QPoint>
#include <functional>

struct AppSettings;
class QDialog;
class ProfileStore;
class ResourceModule;
class ShellResources;
class TemplateLoader;
class TimerService;
class UserPrompt;

// What the views of one document share, built by the document session from what the main frame
// holds. Views keep it by reference and reach nothing else of the shell.
struct ViewContext {
    AppSettings& settings;
    UserPrompt& prompt;
    TimerService& timers;            // the views' own timers (the worksheet's editor timers)
    const ResourceModule& module;    // the string table
    const ShellResources& resources; // menus and icons
    const TemplateLoader& templates; // the views' dialogs (Scale)
    const ProfileStore& profile;     // the "Graph" section
    // Pops up a context menu resource at a screen position; its commands go to the main frame's
    // command routing like the menu items. Does not block.
    std::function<void(int menuId, const QPoint& globalPos)> showContextMenu;
    // A view's command states changed (the Undo record, a selection): refresh menus and toolbar.
    std::function<void()> commandStatesChanged;
    // Runs a view's modal dialog (Scale, colour, printing) and returns its result code; tests answer
    // it without anything modal.
    std::function<int(QDialog& dialog)> runDialog;
};
