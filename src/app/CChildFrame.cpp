#include "app/CChildFrame.h"

#include <QCloseEvent>
#include <QMdiArea>

CChildFrame::CChildFrame(QWidget* view, CommandTable* viewCommands, QString section, RectWriter writeRect,
                         QWidget* parent)
    : QMdiSubWindow(parent), viewCommands_(viewCommands), section_(std::move(section)),
      writeRect_(std::move(writeRect))
{
    setWindowFlags(kWindowFlags);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWidget(view);
    setWindowTitle(view->windowTitle());
    connect(view, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
}

void CChildFrame::addTo(QMdiArea* area)
{
    // Adding gives the window a system menu, and with it a close button: take both away again.
    area->addSubWindow(this, kWindowFlags);
    setWindowFlags(kWindowFlags);
}

QRect CChildFrame::normalRect() const
{
    return normalRect_.isValid() ? normalRect_ : geometry();
}

void CChildFrame::placeAt(const QRect& rect)
{
    if (isMaximized() || isMinimized())
        showNormal();
    setGeometry(rect);
    normalRect_ = rect;
}

void CChildFrame::noteNormalRect()
{
    if (!isMaximized() && !isMinimized() && !isShaded())
        normalRect_ = geometry();
}

void CChildFrame::moveEvent(QMoveEvent* event)
{
    QMdiSubWindow::moveEvent(event);
    noteNormalRect();
}

void CChildFrame::resizeEvent(QResizeEvent* event)
{
    QMdiSubWindow::resizeEvent(event);
    noteNormalRect();
}

void CChildFrame::closeWithDocument()
{
    if (writeRect_)
        writeRect_(section_, normalRect());
    closing_ = true;
    close();
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (!closing_) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}
