#include "views/CGridView.h"

CGridView::CGridView(CMainDoc& document, AppSettings& settings, QWidget* parent)
    : QWidget(parent), document_(document), settings_(settings)
{
}

void CGridView::showChannel(int channel)
{
    Q_UNUSED(channel);
    update();
}

void CGridView::applyControlMethod()
{
    update();
}
