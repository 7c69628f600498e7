#include "app/FrameMenus.h"

#include "app/RecentFileList.h"
#include "views/CommandRouter.h"
#include "views/MenuBuilder.h"
#include "views/ShellResources.h"

#include <QDir>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <map>

namespace {

constexpr int kAccelerators = 128;

} // namespace

FrameMenus::FrameMenus(QMainWindow& frame, CommandRouter& router, const ShellResources& resources,
                       const RecentFileList& recentFiles, QMdiArea& area, int firstRecentFileCommand,
                       std::function<void()> updateCommandUi)
    : frame_(frame), router_(router), resources_(resources), recentFiles_(recentFiles), area_(area),
      firstRecentFileCommand_(firstRecentFileCommand), updateCommandUi_(std::move(updateCommandUi))
{
}

void FrameMenus::build()
{
    MenuBuilder builder([this](int id) { return router_.action(id); });
    builder.onRecentFiles = [this](QMenu* menu, const MenuItem& item) {
        recentPlaceholder_ = item.text;
        addRecentFileItems(menu, item.text);
    };
    builder.onWindowList = [this](QMenu* menu) {
        QObject::connect(menu, &QMenu::aboutToShow, &frame_, [this, menu] { rebuildWindowList(menu); });
    };
    noDocumentMenus_ = builder.fillMenuBar(frame_.menuBar(), resources_.menu(kMainMenu));
    documentMenus_ = builder.fillMenuBar(frame_.menuBar(), resources_.menu(kDocumentMenu));
    for (const std::vector<QMenu*>* menus : {&noDocumentMenus_, &documentMenus_}) {
        for (QMenu* menu : *menus)
            QObject::connect(menu, &QMenu::aboutToShow, &frame_, [this] { updateCommandUi_(); });
    }

    // Accelerator table 128: the keys belong to the commands' shared actions, which the frame holds
    // so that a key works whether or not the menu bar shows its command.
    std::map<int, QList<QKeySequence>> keys;
    for (const Accelerator& accelerator : resources_.accelerators(kAccelerators))
        keys[accelerator.id] << accelerator.key;
    for (const auto& [id, sequences] : keys) {
        QAction* action = router_.action(id);
        action->setShortcuts(sequences);
        frame_.addAction(action);
    }
    show(kMainMenu);
    updateRecentFileItems();
}

void FrameMenus::show(int menuId)
{
    if (shown_ == menuId)
        return;
    shown_ = menuId;
    frame_.menuBar()->clear();
    for (QMenu* menu : menuId == kDocumentMenu ? documentMenus_ : noDocumentMenus_)
        frame_.menuBar()->addMenu(menu);
}

void FrameMenus::showContextMenu(int menuId, const QPoint& globalPos)
{
    if (!resources_.hasMenu(menuId))
        return;
    MenuBuilder builder([this](int id) { return router_.action(id); });
    QMenu* menu = builder.contextMenu(resources_.menu(menuId), &frame_);
    if (!menu)
        return;
    menu->setObjectName(QStringLiteral("ContextMenu%1").arg(menuId));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    updateCommandUi_();
    menu->popup(globalPos);
}

void FrameMenus::addRecentFileItems(QMenu* menu, const QString& placeholder)
{
    for (int i = 0; i < RecentFileList::kSize; ++i) {
        QAction* action = router_.action(firstRecentFileCommand_ + i);
        if (i == 0)
            action->setText(placeholder);
        menu->addAction(action);
    }
}

void FrameMenus::updateRecentFileItems()
{
    const QString home = QDir::homePath();
    for (int i = 0; i < RecentFileList::kSize; ++i) {
        QAction* action = router_.action(firstRecentFileCommand_ + i);
        if (recentFiles_.count() == 0) {
            // An empty list shows the disabled placeholder item.
            action->setText(recentPlaceholder_);
            action->setVisible(i == 0);
        } else {
            action->setVisible(i < recentFiles_.count());
            if (i < recentFiles_.count())
                action->setText(recentFiles_.menuText(i, home));
        }
    }
}

void FrameMenus::rebuildWindowList(QMenu* menu)
{
    for (QAction* action : windowListActions_) {
        menu->removeAction(action);
        delete action;
    }
    windowListActions_.clear();
    const QList<QMdiSubWindow*> windows = area_.subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    windowListActions_.push_back(menu->addSeparator());
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(window->windowTitle()));
        action->setCheckable(true);
        action->setChecked(window == area_.activeSubWindow());
        QMdiArea* area = &area_;
        QObject::connect(action, &QAction::triggered, area,
                         [area, window] { area->setActiveSubWindow(window); });
        windowListActions_.push_back(action);
    }
}
