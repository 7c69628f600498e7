#include "views/CGridView.h"

CGridView::CGridView(CMainDoc& document, const ViewContext& context, QWidget* parent)
    : QWidget(parent), document_(document), context_(context)
{
}

void CGridView::showChannel(int channel)
{
    Q_UNUSED(channel);
    update();
}

void CGridView::fillChannel(int channel)
{
    Q_UNUSED(channel);
    update();
}

void CGridView::applyControlMethod()
{
    update();
}

void CGridView::setTimeHeaders(int unit)
{
    Q_UNUSED(unit);
}

void CGridView::setValueHeader(int mode)
{
    Q_UNUSED(mode);
}

void CGridView::refreshLine(int channel, int line)
{
    Q_UNUSED(channel);
    Q_UNUSED(line);
}

void CGridView::refreshTimesFrom(int channel, int line)
{
    Q_UNUSED(channel);
    Q_UNUSED(line);
}

void CGridView::refreshLinesFrom(int channel, int line)
{
    Q_UNUSED(channel);
    Q_UNUSED(line);
}

void CGridView::refreshTitle() {}

void CGridView::restoreCursor() {}
