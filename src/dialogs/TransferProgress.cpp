#include "dialogs/TransferProgress.h"

#include "instrument/CKdrxDevice.h"
#include "link/CRs232cPort.h"
#include "ui/ResourceModule.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

constexpr int kWritingText = 600;
constexpr int kReadingText = 601;

// While a transfer runs, only what repaints the windows and answers the window system is handled.
constexpr QEventLoop::ProcessEventsFlags kTransferEvents =
    QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

} // namespace

TransferProgress::Scope::Scope(TransferProgress* progress, Direction direction,
                               std::initializer_list<QWidget*> buttons)
    : progress_(progress), focus_(QApplication::focusWidget())
{
    for (QWidget* button : buttons) {
        if (button && button->isEnabled()) {
            button->setEnabled(false);
            disabled_.emplace_back(button);
        }
    }
    if (progress_ && !progress_->begin(direction))
        progress_ = nullptr;
}

TransferProgress::Scope::~Scope()
{
    if (progress_)
        progress_->end();
    for (const QPointer<QWidget>& button : disabled_) {
        if (button)
            button->setEnabled(true);
    }
    // Disabling the focused button moved the focus on.
    if (focus_ && focus_->isEnabled() && focus_->isVisible())
        focus_->setFocus();
}

TransferProgress::TransferProgress(const ResourceModule& module, Display& display, QObject* parent)
    : QObject(parent), module_(module), display_(display)
{
}

TransferProgress::~TransferProgress()
{
    if (running_)
        end();
    if (device_) {
        device_->setWriteProgress({});
        device_->setReadProgress({});
    }
}

void TransferProgress::attach(CKdrxDevice& device, CRs232cPort* serial)
{
    device_ = &device;
    serial_ = serial;
    device.setWriteProgress([this](int channel, int k, int total) { step(channel, k, total); });
    device.setReadProgress([this](int channel, int k, int total) { step(channel, k, total); });
}

QString TransferProgress::stepText(Direction direction, int channel, int step, int total) const
{
    const int id = direction == Direction::Writing ? kWritingText : kReadingText;
    return module_.string(id).arg(channel + 1).arg(step).arg(total);
}

bool TransferProgress::begin(Direction direction)
{
    if (running_)
        return false;
    running_ = true;
    direction_ = direction;
    transferWindow_ = QApplication::activeModalWidget();
    qApp->installEventFilter(this);
    if (serial_)
        serial_->setWaitHook(&TransferProgress::keepResponsive);
    return true;
}

void TransferProgress::keepResponsive()
{
    QCoreApplication::processEvents(kTransferEvents);
}

void TransferProgress::step(int channel, int step, int total)
{
    if (!running_)
        return;
    text_ = stepText(direction_, channel, step, total);
    display_.showProgress(text_, step, total);
    keepResponsive();
}

void TransferProgress::end()
{
    if (!running_)
        return;
    running_ = false;
    if (serial_)
        serial_->setWaitHook({});
    qApp->removeEventFilter(this);
    transferWindow_.clear();
    if (!text_.isEmpty()) {
        text_.clear();
        display_.hideProgress();
    }
}

bool TransferProgress::eventFilter(QObject* watched, QEvent* event)
{
    // A message shown during the transfer is a modal window over the transfer's own: it takes its
    // input as usual.
    if (!running_ || QApplication::activeModalWidget() != transferWindow_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // A key is offered to the focus widget first; taken here, it sets off no shortcut, menu or
        // mnemonic (a button's mnemonic would click it a moment later, inside the transfer's
        // message), and the key press that follows is dropped below.
        event->accept();
        return true;
    case QEvent::Shortcut:
        // Sent by the program on behalf of a key, so not marked as the user's.
        return true;
    default:
        break;
    }
    // Otherwise only what comes from the user or the window system is dropped (the program itself
    // closes the old document's windows during a read).
    if (event->spontaneous() && isUserInput(event->type())) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
