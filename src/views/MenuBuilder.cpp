#include "views/MenuBuilder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

std::vector<QMenu*> MenuBuilder::fillMenuBar(QMenuBar* bar, const std::vector<MenuItem>& menu)
{
    std::vector<QMenu*> created;
    for (const MenuItem& item : menu) {
        if (!item.isPopup())
            continue;
        QMenu* popup = buildPopup(item, bar);
        bar->addMenu(popup);
        created.push_back(popup);
    }
    return created;
}

QMenu* MenuBuilder::contextMenu(const std::vector<MenuItem>& menu, QWidget* parent)
{
    for (const MenuItem& item : menu) {
        if (item.isPopup())
            return buildPopup(item, parent);
    }
    return nullptr;
}

QMenu* MenuBuilder::buildPopup(const MenuItem& popup, QWidget* parent)
{
    auto* menu = new QMenu(popup.text, parent);
    addItems(menu, popup.items);
    if (popup.windowList && onWindowList)
        onWindowList(menu);
    return menu;
}

void MenuBuilder::addItems(QMenu* menu, const std::vector<MenuItem>& items)
{
    for (const MenuItem& item : items) {
        if (item.separator) {
            menu->addSeparator();
        } else if (item.isPopup()) {
            menu->addMenu(buildPopup(item, menu));
        } else if (item.recentFiles && onRecentFiles) {
            onRecentFiles(menu, item);
        } else if (QAction* action = actionFor_(item.id)) {
            action->setText(item.text);
            menu->addAction(action);
        }
    }
}

void MenuBuilder::fillToolbar(QToolBar* bar, const ToolbarLayout& layout, const std::vector<QPixmap>& images)
{
    size_t image = 0;
    for (int id : layout.buttons) {
        if (id == 0) {
            bar->addSeparator();
            continue;
        }
        QAction* action = actionFor_(id);
        if (!action)
            continue;
        if (image < images.size())
            action->setIcon(QIcon(images[image]));
        ++image;
        bar->addAction(action);
    }
}
