#pragma once

#include <QIcon>
#include <QKeySequence>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

class QJsonArray;
class QJsonObject;

// One item of a menu resource: a command (id and text), a separator or a popup with items.
struct MenuItem {
    int id = 0;
    QString text;
    bool separator = false;
    bool recentFiles = false; // the recent-file list takes this item's place
    bool windowList = false;  // a popup that lists the open windows after its items
    std::vector<MenuItem> items;

    bool isPopup() const { return !separator && id == 0; }
};

// One key of an accelerator table and the command it gives.
struct Accelerator {
    QKeySequence key;
    int id = 0;
};

// A toolbar resource: its title, its button image strip and the buttons in order.
struct ToolbarLayout {
    QString title;
    QString bitmap; // strip of button images, one per button, separators excluded
    QSize buttonSize;
    std::vector<int> buttons; // command ids; 0 is a separator
};

// The sequence control bar: the command that shows it, its control-method list and its button.
struct ControlBarLayout {
    int id = 0; // the command that shows and hides the bar
    QString title;
    int listId = 0;
    int listWidth = 0;
    QStringList items;
    int buttonId = 0;
    QString buttonBitmap;
};

// The menus, accelerator tables, toolbars, control bar, status-bar panes and icons of the resource
// module, read from its menus.json. The frame builds its menus, actions and bars from them.
class ShellResources {
public:
    // Reads menus.json from the registered module; false (see problem()) when it is missing,
    // malformed or lacks a part the frame needs.
    bool load();
    QString problem() const { return problem_; }

    bool hasMenu(int id) const { return menus_.count(id) != 0; }
    // The popups of a menu resource; empty when there is none.
    const std::vector<MenuItem>& menu(int id) const;
    const std::vector<Accelerator>& accelerators(int id) const;
    bool hasToolbar(int id) const { return toolbars_.count(id) != 0; }
    const ToolbarLayout& toolbar(int id) const;
    const ControlBarLayout& sequenceControlBar() const { return controlBar_; }
    // Status-bar panes, left to right: 0 is the message pane, the others are string ids that size them.
    const std::vector<int>& statusPanes() const { return statusPanes_; }

    // An icon resource (all its sizes); a null icon when there is none.
    QIcon icon(int id) const;
    // The button images of a toolbar cut from its strip, in button order (separators skipped).
    std::vector<QPixmap> toolbarImages(int id) const;
    QPixmap controlBarButtonImage() const;

private:
    bool fail(const QString& problem);
    bool readMenu(const QJsonArray& array, std::vector<MenuItem>& items, const QString& where);

    QString problem_;
    std::map<int, std::vector<MenuItem>> menus_;
    std::map<int, std::vector<Accelerator>> accelerators_;
    std::map<int, ToolbarLayout> toolbars_;
    ControlBarLayout controlBar_;
    std::vector<int> statusPanes_;
    std::map<int, QStringList> icons_;
};
