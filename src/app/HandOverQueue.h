#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>

// The files handed over by later starts, opened one at a time as Open opens a file, and never
// under a modal window: opening replaces the document, so a path that arrives while a dialog, a
// message box or a file dialog is up (or while the start-up or another open is under way) waits
// until none is, and several waiting paths open in the order they came.
class HandOverQueue : public QObject {
    Q_OBJECT
public:
    // open: opens one path (the frame's Open of a path). The queue starts held.
    explicit HandOverQueue(std::function<void(const QString&)> open, QObject* parent = nullptr);
    ~HandOverQueue() override;

    void add(const QString& path);
    // The start-up releases the queue once the main window is up; waiting paths open from the
    // event loop.
    void release();
    int waiting() const { return static_cast<int>(paths_.size()); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True while a modal window is open or an event loop runs inside another (a modal dialog
    // whose window Qt does not own, a menu).
    static bool modalStateActive();
    void openWaiting();
    void watch(bool on);

    std::function<void(const QString&)> open_;
    std::deque<QString> paths_;
    bool held_ = true;
    bool opening_ = false;
    bool watching_ = false;
    // Looks again while paths wait, for modal states that end without unblocking a window.
    QTimer retry_;
};
