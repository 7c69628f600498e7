#pragma once

#include <QMdiSubWindow>
#include <functional>

class CommandTable;

// The window of one view of the document. It has no close button (and no system menu, whose Close
// would only be refused) and refuses to close by itself:
// the worksheet and graph windows close together with their document. When it closes it writes
// its normal-position rectangle (in the MDI area's coordinates) to its profile section, "Grid" or
// "Graph".
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    using RectWriter = std::function<void(const QString& section, const QRect& rect)>;

    // A title bar with the minimise and maximise buttons but no close button (the title bar draws
    // a close button wherever the window has a system menu).
    static constexpr Qt::WindowFlags kWindowFlags{Qt::SubWindow | Qt::CustomizeWindowHint |
                                                  Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint};

    CChildFrame(QWidget* view, CommandTable* viewCommands, QString section, RectWriter writeRect,
                QWidget* parent = nullptr);

    const QString& section() const { return section_; }
    CommandTable* viewCommands() const { return viewCommands_; }
    // The rectangle the window has when it is neither maximised nor minimised.
    QRect normalRect() const;
    // Places the window at a rectangle of the MDI area.
    void placeAt(const QRect& rect);

    // Adds the window to the MDI area, keeping its window flags.
    void addTo(QMdiArea* area);

    // Closes the window as its document closes; the only way it closes.
    void closeWithDocument();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void noteNormalRect();

    CommandTable* viewCommands_;
    QString section_;
    RectWriter writeRect_;
    QRect normalRect_;
    bool closing_ = false;
};
