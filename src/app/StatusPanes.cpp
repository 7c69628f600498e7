#include "app/StatusPanes.h"

#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "ui/ResourceModule.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <algorithm>

namespace {

// The framework's idle text of the message pane.
constexpr int kIdleMessage = 57345;

} // namespace

StatusPanes::StatusPanes(QStatusBar* bar, const ResourceModule& module, const std::vector<int>& panes)
    : bar_(bar)
{
    for (int pane : panes) {
        auto* label = new QLabel(bar);
        if (pane == 0) {
            label->setText(module.string(kIdleMessage));
            message_ = label;
            bar->addWidget(label, 1);
            progress_ = new QProgressBar(bar);
            progress_->setObjectName(QStringLiteral("transferProgress"));
            progress_->setTextVisible(false);
            progress_->setFixedWidth(160);
            progress_->hide();
            bar->addWidget(progress_);
            continue;
        }
        label->setObjectName(QStringLiteral("pane%1").arg(pane));
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        // The string-table text gives the pane's width, as for the framework's indicator panes.
        const int margins = label->contentsMargins().left() + label->contentsMargins().right();
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(module.string(pane)) + margins + 12);
        bar->addPermanentWidget(label);
        panes_[pane] = label;
    }
}

QString StatusPanes::instrumentText()
{
    return QStringLiteral("Morvane KDR-X series");
}

QString StatusPanes::unitText(const AppSettings& settings, bool hasDocument)
{
    if (!hasDocument)
        return QString();
    if (settings.SeqMode == FastSequence || settings.Unit == UnitMs)
        return QStringLiteral("ms");
    switch (settings.Unit) {
    case UnitMin:
        return QStringLiteral("Minutes");
    case UnitH:
        return QStringLiteral("Hours");
    default:
        return QStringLiteral("Seconds");
    }
}

QString StatusPanes::modeText(const AppSettings& settings, const CMainDoc* document)
{
    if (!document)
        return QString();
    const int channel = document->currentChannel();
    if (channel < 0 || channel >= kChannelCount)
        return QString();
    switch (settings.ModeCh[channel]) {
    case ModeCV:
        return QStringLiteral("Constant Voltage");
    case ModeCC:
        return QStringLiteral("Constant Current");
    case ModeCR:
        return QStringLiteral("Constant Resistance");
    case ModeCCCV:
        return QStringLiteral("Current + Voltage");
    case ModeCRCV:
        return QStringLiteral("Resistance + Voltage");
    default:
        return QString();
    }
}

QString StatusPanes::linkText(const AppSettings& settings)
{
    return settings.Interface == 0 ? QStringLiteral("RS232C") : QStringLiteral("GPIB");
}

void StatusPanes::refresh(const AppSettings& settings, const CMainDoc* document)
{
    setText(kInstrument, instrumentText());
    setText(kBlank, QStringLiteral(" "));
    setText(kUnit, unitText(settings, document != nullptr));
    setText(kMode, modeText(settings, document));
    setText(kLink, linkText(settings));
}

void StatusPanes::setText(int pane, const QString& text)
{
    const auto it = panes_.find(pane);
    if (it != panes_.end() && it->second->text() != text)
        it->second->setText(text);
}

QString StatusPanes::text(int pane) const
{
    if (pane == 0)
        return message_ ? message_->text() : QString();
    const auto it = panes_.find(pane);
    return it == panes_.end() ? QString() : it->second->text();
}

void StatusPanes::showProgress(const QString& text, int step, int total)
{
    if (!message_ || !progress_)
        return;
    if (!isProgressShown()) {
        idleText_ = message_->text();
        barShownForProgress_ = bar_->isHidden();
        if (barShownForProgress_)
            bar_->show();
    }
    // A prompt left in the bar would hide the progress.
    bar_->clearMessage();
    message_->setText(text);
    progress_->setRange(0, total > 0 ? total : 1);
    progress_->setValue(std::clamp(step, 0, progress_->maximum()));
    progress_->show();
}

void StatusPanes::hideProgress()
{
    if (!isProgressShown())
        return;
    progress_->hide();
    message_->setText(idleText_);
    if (barShownForProgress_)
        bar_->hide();
    barShownForProgress_ = false;
}

bool StatusPanes::isProgressShown() const
{
    return progress_ && !progress_->isHidden();
}
