// The graph window: a ramp/step sequence with a selected step, a negative value range with its zero
// line, and the Scale dialog and the print preview opened from the program's own commands.
#include "GuiTestSupport.h"
#include "ScreenshotSupport.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/DocumentSession.h"
#include "views/CGraphView.h"
#include "views/CommandRouter.h"

#include <QApplication>
#include <QMdiArea>
#include <QMouseEvent>

namespace Screenshots {

namespace {

void mouse(QWidget& widget, QEvent::Type type, const QPoint& point)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, point, widget.mapToGlobal(point), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

QString line(const char* value, const char* interval, const char* transition)
{
    return QStringLiteral("%1\t%2\t%3\t1")
        .arg(QLatin1String(value), QLatin1String(interval), QLatin1String(transition));
}

// Channel 1 discharges at constant current in steps and ramps; channel 2 holds a voltage that
// goes below zero.
QString graphFile(const StartedProgram& program)
{
    return program.folders.writeFile(
        QStringLiteral("cc-discharge.tsr"),
        sequenceFile(QStringLiteral("CC\t0\tCV\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft"),
                     {{line("1.5000", "10.0", "0"), line("4.0000", "5.0", "1"), line("4.0000", "15.0", "0"),
                       line("2.5000", "10.0", "1"), line("0.5000", "7.5", "0"), line("3.0000", "2.5", "0")},
                      {line("5.000", "4.0", "0"), line("-2.000", "3.0", "1"), line("-2.000", "5.0", "0"),
                       line("6.500", "4.0", "1"), line("1.000", "3.0", "0")}}));
}

} // namespace

bool graphShots(const QDir& out)
{
    StartedProgram program;
    const QString file = graphFile(program);
    if (!startLaidOut(program, file, WindowLayout{QSize(1200, 720), 420, 1100, 480}))
        return false;
    CMainFrame& frame = program.frame();
    DocumentSession& documents = frame.documents();
    CGraphView& view = *documents.graphView();
    QWidget& graphWindow = *documents.graphWindow();
    frame.mdiArea()->setActiveSubWindow(documents.graphWindow());
    settle();

    // Step 3 selected by a double-click on its line: the square at its end is the value handle.
    const StepSegment& third = view.plot(0).segment(2);
    const QPoint onThird((third.firstPoint().x() + third.endPoint().x()) / 2, third.endPoint().y());
    mouse(view, QEvent::MouseButtonPress, onThird);
    mouse(view, QEvent::MouseButtonRelease, onThird);
    mouse(view, QEvent::MouseButtonDblClick, onThird);
    mouse(view, QEvent::MouseButtonRelease, onThird);
    bool ok = grabInner(graphWindow, out.filePath(QStringLiteral("graph-selection.png")));

    // Channel 2 goes down to -2 V: the zero line is drawn.
    frame.router().trigger(CMainFrame::IdChannel2);
    ok = grabInner(graphWindow, out.filePath(QStringLiteral("graph-negative-range.png"))) && ok;

    program.services.onDialog = [&ok, &out](QDialog& dialog) {
        ok = grabWindow(dialog, out.filePath(QStringLiteral("scale-dialog.png"))) && ok;
        return int(QDialog::Rejected);
    };
    frame.router().trigger(CGraphView::IdScale);

    frame.router().trigger(CMainFrame::IdChannel1);
    program.services.onDialog = [&ok, &out](QDialog& dialog) {
        dialog.resize(900, 660);
        ok = grabWindow(dialog, out.filePath(QStringLiteral("print-preview.png"))) && ok;
        return int(QDialog::Rejected);
    };
    frame.router().trigger(CGraphView::IdPrintPreview);
    program.services.onDialog = nullptr;
    program.stop();
    return ok;
}

} // namespace Screenshots
