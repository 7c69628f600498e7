#include "app/WindowArrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace WindowArrangement {

namespace {

void tile(QMdiArea* area, const std::vector<QMdiSubWindow*>& windows, Qt::Orientation orientation)
{
    if (windows.empty())
        return;
    const QRect space = area->viewport()->rect();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* window = windows[static_cast<size_t>(i)];
        if (window->isMaximized() || window->isMinimized())
            window->showNormal();
        QRect cell;
        if (orientation == Qt::Horizontal) {
            const int left = space.width() * i / count;
            const int right = space.width() * (i + 1) / count;
            cell = QRect(left, 0, right - left, space.height());
        } else {
            const int top = space.height() * i / count;
            const int bottom = space.height() * (i + 1) / count;
            cell = QRect(0, top, space.width(), bottom - top);
        }
        window->setGeometry(cell);
    }
}

} // namespace

std::vector<QMdiSubWindow*> tileableWindows(QMdiArea* area)
{
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isHidden() && !window->isMinimized())
            windows.push_back(window);
    }
    return windows;
}

void tileVertically(QMdiArea* area, const std::vector<QMdiSubWindow*>& windows)
{
    tile(area, windows, Qt::Horizontal);
}

void tileHorizontally(QMdiArea* area, const std::vector<QMdiSubWindow*>& windows)
{
    tile(area, windows, Qt::Vertical);
}

void arrangeIcons(QMdiArea* area)
{
    const QRect space = area->viewport()->rect();
    int x = 0;
    int row = 0;
    for (QMdiSubWindow* window : area->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized() || window->isHidden())
            continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > space.width()) {
            x = 0;
            ++row;
        }
        window->move(x, space.height() - (row + 1) * size.height());
        x += size.width();
    }
}

} // namespace WindowArrangement
