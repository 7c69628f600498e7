#include "views/CGraphView.h"

CGraphView::CGraphView(CMainDoc& document, AppSettings& settings, QWidget* parent)
    : QWidget(parent), document_(document), settings_(settings)
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
