#include "app/HandOverQueue.h"

#include <QApplication>
#include <QEvent>
#include <QThread>

namespace {

constexpr int kRetryMs = 250;

} // namespace

HandOverQueue::HandOverQueue(std::function<void(const QString&)> open, QObject* parent)
    : QObject(parent), open_(std::move(open))
{
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, &HandOverQueue::openWaiting);
}

HandOverQueue::~HandOverQueue()
{
    watch(false);
}

void HandOverQueue::add(const QString& path)
{
    paths_.push_back(path);
    openWaiting();
}

void HandOverQueue::release()
{
    held_ = false;
    // From the event loop, once the start-up has returned.
    QTimer::singleShot(0, this, &HandOverQueue::openWaiting);
}

bool HandOverQueue::modalStateActive()
{
    // The application's own event loop is level 1; a dialog's exec() runs one inside it.
    return QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr ||
           QThread::currentThread()->loopLevel() > 1;
}

void HandOverQueue::openWaiting()
{
    if (held_ || opening_)
        return;
    while (!paths_.empty()) {
        if (modalStateActive()) {
            watch(true);
            return;
        }
        const QString path = paths_.front();
        paths_.pop_front();
        // An open that asks a question runs a message box: paths that arrive meanwhile wait.
        opening_ = true;
        open_(path);
        opening_ = false;
    }
    watch(false);
}

void HandOverQueue::watch(bool on)
{
    if (on == watching_)
        return;
    watching_ = on;
    if (on) {
        qApp->installEventFilter(this);
        retry_.start();
    } else {
        qApp->removeEventFilter(this);
        retry_.stop();
    }
}

bool HandOverQueue::eventFilter(QObject* watched, QEvent* event)
{
    // A closing modal window unblocks the others; look again once its close has been handled.
    if (event->type() == QEvent::WindowUnblocked)
        QTimer::singleShot(0, this, &HandOverQueue::openWaiting);
    return QObject::eventFilter(watched, event);
}
