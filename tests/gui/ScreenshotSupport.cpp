#include "ScreenshotSupport.h"

#include "GuiTestSupport.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <cstdio>

namespace Screenshots {

namespace {

constexpr int kCaptionHeight = 24;

} // namespace

void settle()
{
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
}

bool save(const QPixmap& picture, const QString& path)
{
    const bool saved = !picture.isNull() && picture.save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

namespace {

void drawCaption(QPainter& painter, const QRect& bar, const QString& caption)
{
    painter.fillRect(bar, QColor(60, 60, 70));
    painter.setPen(Qt::white);
    painter.drawText(bar.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, caption);
}

} // namespace

QPixmap captioned(const QPixmap& window, const QString& caption)
{
    QPixmap shot(window.width(), window.height() + kCaptionHeight);
    QPainter painter(&shot);
    drawCaption(painter, QRect(0, 0, window.width(), kCaptionHeight), caption);
    painter.drawPixmap(0, kCaptionHeight, window);
    painter.end();
    return shot;
}

bool grabWindow(QWidget& window, const QString& path)
{
    window.show();
    window.raise();
    window.activateWindow();
    settle();
    return save(captioned(window.grab(), window.windowTitle()), path);
}

bool grabInner(QWidget& widget, const QString& path)
{
    settle();
    return save(widget.grab(), path);
}

bool grabScreen(const QWidget& window, const QWidget* dialog, const QString& path)
{
    const QRect area = window.frameGeometry();
    QPixmap screen =
        QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (dialog && dialog->isVisible()) {
        // The dialog's title bar covers what is above it, as a window manager would draw it.
        const QRect dialogArea = dialog->frameGeometry().translated(-area.topLeft());
        QPainter painter(&screen);
        drawCaption(
            painter,
            QRect(dialogArea.left(), dialogArea.top() - kCaptionHeight, dialogArea.width(), kCaptionHeight),
            dialog->windowTitle());
    }
    return save(captioned(screen, window.windowTitle()), path);
}

bool grabWithPopup(QWidget& window, QWidget& popup, const QString& path)
{
    settle();
    const QPixmap framed = captioned(window.grab(), window.windowTitle());
    const QRect windowArea(window.geometry().topLeft() - QPoint(0, kCaptionHeight), framed.size());
    const QRect popupArea = popup.geometry();
    const QRect whole = windowArea.united(popupArea);
    QPixmap shot(whole.size());
    shot.fill(Qt::transparent);
    QPainter painter(&shot);
    painter.drawPixmap(windowArea.topLeft() - whole.topLeft(), framed);
    painter.drawPixmap(popupArea.topLeft() - whole.topLeft(), popup.grab());
    painter.end();
    return save(shot, path);
}

bool startLaidOut(StartedProgram& program, const QString& file, const WindowLayout& layout)
{
    const QString profile = program.folders.profilePath();
    writeProfileValue(profile, QStringLiteral("bPos"), 1);
    writeProfileValue(profile, QStringLiteral("Right"), layout.main.width());
    writeProfileValue(profile, QStringLiteral("Bottom"), layout.main.height());
    writeProfileValue(profile, QStringLiteral("Grid/Right"), layout.split);
    writeProfileValue(profile, QStringLiteral("Grid/Bottom"), layout.documentHeight);
    writeProfileValue(profile, QStringLiteral("Graph/Left"), layout.split);
    writeProfileValue(profile, QStringLiteral("Graph/Right"), layout.graphRight);
    writeProfileValue(profile, QStringLiteral("Graph/Bottom"), layout.documentHeight);
    if (program.start({file}) == CTessorApp::kRunning)
        return true;
    std::fprintf(stderr, "the program did not start: %s\n", qPrintable(program.prompt.texts().join('\n')));
    return false;
}

} // namespace Screenshots
