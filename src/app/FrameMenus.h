#pragma once

#include <QString>
#include <functional>
#include <vector>

class CommandRouter;
class QAction;
class QMainWindow;
class QMdiArea;
class QMenu;
class QPoint;
class RecentFileList;
class ShellResources;

// The main window's menus, built on the router's shared actions: the menu bar of menu resource 128
// (no document) or 129 (a document open), the accelerator keys, the recent-file items, the list of
// open windows and the views' context menus.
class FrameMenus {
public:
    static constexpr int kMainMenu = 128;     // no document open
    static constexpr int kDocumentMenu = 129; // the worksheet template's menu

    // updateCommandUi refreshes the commands' enabling and check marks before a menu shows.
    FrameMenus(QMainWindow& frame, CommandRouter& router, const ShellResources& resources,
               const RecentFileList& recentFiles, QMdiArea& area, int firstRecentFileCommand,
               std::function<void()> updateCommandUi);

    // Builds both menu bars' menus and gives the frame the accelerator keys; shows menu 128.
    void build();
    // The menu bar of menu resource 128 or 129.
    void show(int menuId);
    int shown() const { return shown_; }
    // The recent-file items follow the list: its entries, or the disabled placeholder when it is
    // empty.
    void updateRecentFileItems();
    // A view's context menu: the first popup of the menu resource.
    void showContextMenu(int menuId, const QPoint& globalPos);

private:
    void addRecentFileItems(QMenu* menu, const QString& placeholder);
    void rebuildWindowList(QMenu* menu);

    QMainWindow& frame_;
    CommandRouter& router_;
    const ShellResources& resources_;
    const RecentFileList& recentFiles_;
    QMdiArea& area_;
    int firstRecentFileCommand_;
    std::function<void()> updateCommandUi_;
    std::vector<QMenu*> noDocumentMenus_;
    std::vector<QMenu*> documentMenus_;
    QString recentPlaceholder_;
    std::vector<QAction*> windowListActions_;
    int shown_ = 0;
};
