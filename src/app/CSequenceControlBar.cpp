#include "app/CSequenceControlBar.h"

#include "ui/ResourceModule.h"
#include "views/CommandRouter.h"
#include "views/ShellResources.h"

#include <QAction>
#include <QComboBox>
#include <QSignalBlocker>

CSequenceControlBar::CSequenceControlBar(const ShellResources& resources, const ResourceModule& module,
                                         CommandRouter& router, QWidget* parent)
    : QToolBar(parent)
{
    const ControlBarLayout& layout = resources.sequenceControlBar();
    setObjectName(QStringLiteral("SequenceControlBar"));
    setWindowTitle(layout.title);
    setAllowedAreas(Qt::AllToolBarAreas);

    list_ = new QComboBox(this);
    list_->setObjectName(QString::number(layout.listId));
    list_->addItems(layout.items);
    list_->setMinimumWidth(layout.listWidth);
    list_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    const QString entry = module.string(layout.listId);
    list_->setStatusTip(CommandRouter::promptPart(entry));
    list_->setToolTip(CommandRouter::tooltipPart(entry));
    addWidget(list_);
    connect(list_, &QComboBox::activated, this, &CSequenceControlBar::controlMethodChosen);

    QAction* button = router.action(layout.buttonId);
    button->setIcon(QIcon(resources.controlBarButtonImage()));
    addAction(button);
    setIconSize(QSize(16, 16));
}

void CSequenceControlBar::setControlMethod(int method)
{
    const QSignalBlocker blocker(list_);
    list_->setCurrentIndex(method == 1 ? 1 : 0);
}

int CSequenceControlBar::controlMethod() const
{
    return list_->currentIndex();
}
