#pragma once

#include "views/ShellResources.h"

#include <functional>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

// Builds menu bars, popup menus and toolbars from the menu and toolbar resources. Every command
// item becomes the action that actionFor returns for its id (the router's shared action, or an
// action of the caller's own for a window that handles its menu itself).
class MenuBuilder {
public:
    using ActionFor = std::function<QAction*(int id)>;

    explicit MenuBuilder(ActionFor actionFor) : actionFor_(std::move(actionFor)) {}

    // Called where a menu holds the recent-file list, with the menu and the placeholder item; the
    // default adds the placeholder's action.
    std::function<void(QMenu*, const MenuItem&)> onRecentFiles;
    // Called for each popup that lists the open windows, after its own items are added.
    std::function<void(QMenu*)> onWindowList;

    // Adds the popups of a menu resource to a menu bar; returns the top-level menus created.
    std::vector<QMenu*> fillMenuBar(QMenuBar* bar, const std::vector<MenuItem>& menu);
    // A context menu: the first popup of a menu resource; null when the resource is empty.
    QMenu* contextMenu(const std::vector<MenuItem>& menu, QWidget* parent);
    // Adds the toolbar's buttons (with their images) and separators.
    void fillToolbar(QToolBar* bar, const ToolbarLayout& layout, const std::vector<QPixmap>& images);

private:
    QMenu* buildPopup(const MenuItem& popup, QWidget* parent);
    void addItems(QMenu* menu, const std::vector<MenuItem>& items);

    ActionFor actionFor_;
};
