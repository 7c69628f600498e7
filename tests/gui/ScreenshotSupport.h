#pragma once

#include <QDir>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;
struct StartedProgram;

// The screenshot program's helpers and its groups of pictures. Under Xvfb there is no window
// manager and so no title bar: every top-level window's picture gets its caption drawn above it,
// the way a title bar would show it.
namespace Screenshots {

// Lets the windows lay themselves out and paint.
void settle();
// Saves a picture and says so on stdout.
bool save(const QPixmap& picture, const QString& path);
// The picture with a title bar holding the caption above it.
QPixmap captioned(const QPixmap& window, const QString& caption);
// Shows a top-level window, lets it paint and saves it with its caption.
bool grabWindow(QWidget& window, const QString& path);
// A window inside the main window (a worksheet or graph window brings its own title bar).
bool grabInner(QWidget& widget, const QString& path);
// What the screen shows over a top-level window, with the window's caption and, above a dialog
// shown over it (when given), the dialog's caption.
bool grabScreen(const QWidget& window, const QWidget* dialog, const QString& path);
// A top-level window and the popup opened from it, drawn where they stand on the screen; what
// neither covers stays transparent.
bool grabWithPopup(QWidget& window, QWidget& popup, const QString& path);

// Where the program puts its windows: the main window's size, the worksheet window from the left
// edge to split and the graph window from split to graphRight, both documentHeight high.
struct WindowLayout {
    QSize main;
    int split = 0;
    int graphRight = 0;
    int documentHeight = 0;
};
// Starts the program on a file with its windows where the layout says, so that a picture keeps its
// layout from one run to the next; false (after saying why) when it did not start.
bool startLaidOut(StartedProgram& program, const QString& file, const WindowLayout& layout);

// The groups of pictures; each returns false when one of its pictures failed.
bool graphShots(const QDir& out);
bool runWindowShots(const QDir& out);
bool curveShots(const QDir& out);

} // namespace Screenshots
