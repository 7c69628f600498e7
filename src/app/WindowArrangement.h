#pragma once

#include <vector>

class QMdiArea;
class QMdiSubWindow;

// The framework's arrangements of the document windows in the MDI area.
namespace WindowArrangement {

// Side by side, full height, in the order given (the visible, not minimised windows).
void tileVertically(QMdiArea* area, const std::vector<QMdiSubWindow*>& windows);
// One above the other, full width.
void tileHorizontally(QMdiArea* area, const std::vector<QMdiSubWindow*>& windows);
// Lines the minimised windows up along the bottom edge of the area.
void arrangeIcons(QMdiArea* area);
// The windows to tile: every visible window that is not minimised, in creation order.
std::vector<QMdiSubWindow*> tileableWindows(QMdiArea* area);

} // namespace WindowArrangement
