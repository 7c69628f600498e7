#include "views/CGraphView.h"

CGraphView::CGraphView(CMainDoc& document, const ViewContext& context, QWidget* parent)
    : QWidget(parent), document_(document), context_(context)
{
}

void CGraphView::showChannel(int channel)
{
    Q_UNUSED(channel);
    update();
}

void CGraphView::rebuildChannel(int channel)
{
    Q_UNUSED(channel);
    update();
}

void CGraphView::rescaleChannel(int channel)
{
    rebuildChannel(channel);
}

void CGraphView::refreshTitle() {}

void CGraphView::stepChanged(int channel, int line)
{
    Q_UNUSED(line);
    rebuildChannel(channel);
}

void CGraphView::timesChangedFrom(int channel, int line)
{
    Q_UNUSED(line);
    rebuildChannel(channel);
}

void CGraphView::stepAppended(int channel, int line)
{
    Q_UNUSED(line);
    rebuildChannel(channel);
}

void CGraphView::channelRebuilt(int channel)
{
    rebuildChannel(channel);
}
