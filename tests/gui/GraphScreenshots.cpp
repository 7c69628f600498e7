// Screenshots of the graph view for review: a ramp/step sequence, a selection with its handle, a
// negative value range with the zero line, the Scale dialog and the print preview. Run under Xvfb:
// graph_screenshots OUTPUT-FOLDER (QT_SCALE_FACTOR=2 shows the high-DPI rendering).
#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "app/DocumentSession.h"
#include "views/CGraphView.h"
#include "views/CScaleDlg.h"
#include "views/TemplateLoader.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QThread>
#include <cstdio>

namespace {

void settle()
{
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
}

bool save(const QPixmap& pixmap, const QString& path)
{
    const bool saved = pixmap.save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

bool grab(QWidget& widget, const QString& path)
{
    widget.show();
    widget.raise();
    widget.activateWindow();
    settle();
    return save(widget.grab(), path);
}

void mouse(QWidget& widget, QEvent::Type type, const QPoint& point)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, point, widget.mapToGlobal(point), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

QString line(const char* value, const char* interval, const char* transition)
{
    return QStringLiteral("%1\t%2\t%3\t1").arg(QLatin1String(value), QLatin1String(interval), QLatin1String(transition));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: graph_screenshots OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());

    StartedProgram program;
    const QString file = program.folders.writeFile(
        QStringLiteral("cc-discharge.tsr"),
        sequenceFile(QStringLiteral("CC\t0\tCV\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft"),
                     {{line("1.5000", "10.0", "0"), line("4.0000", "5.0", "1"), line("4.0000", "15.0", "0"),
                       line("2.5000", "10.0", "1"), line("0.5000", "7.5", "0"), line("3.0000", "2.5", "0")},
                      {line("5.000", "4.0", "0"), line("-2.000", "3.0", "1"), line("-2.000", "5.0", "0"),
                       line("6.500", "4.0", "1"), line("1.000", "3.0", "0")}}));
    const QString profile = program.folders.profilePath();
    writeProfileValue(profile, QStringLiteral("bPos"), 1);
    writeProfileValue(profile, QStringLiteral("Right"), 1200);
    writeProfileValue(profile, QStringLiteral("Bottom"), 720);
    writeProfileValue(profile, QStringLiteral("Grid/Right"), 420);
    writeProfileValue(profile, QStringLiteral("Grid/Bottom"), 560);
    writeProfileValue(profile, QStringLiteral("Graph/Left"), 420);
    writeProfileValue(profile, QStringLiteral("Graph/Right"), 1180);
    writeProfileValue(profile, QStringLiteral("Graph/Bottom"), 560);
    if (program.start({file}) != CTessorApp::kRunning) {
        std::fprintf(stderr, "the program did not start: %s\n", qPrintable(program.prompt.texts().join('\n')));
        return 1;
    }
    CMainFrame& frame = program.frame();
    DocumentSession& documents = frame.documents();
    CGraphView& view = *documents.graphView();
    frame.mdiArea()->setActiveSubWindow(documents.graphWindow());
    bool ok = grab(frame, out.filePath(QStringLiteral("graph-ramp-step.png")));

    // A selection: step 3 with its value handle, the pointer resting on the handle.
    const StepSegment& third = view.plot(0).segment(2);
    const QPoint onThird((third.firstPoint().x() + third.endPoint().x()) / 2, third.endPoint().y());
    mouse(view, QEvent::MouseButtonPress, onThird);
    mouse(view, QEvent::MouseButtonRelease, onThird);
    mouse(view, QEvent::MouseButtonDblClick, onThird);
    mouse(view, QEvent::MouseButtonRelease, onThird);
    ok = grab(view, out.filePath(QStringLiteral("graph-selection.png"))) && ok;

    // Channel 2 reaches -2 V: the zero line.
    frame.switchChannel(1);
    ok = grab(view, out.filePath(QStringLiteral("graph-negative-range.png"))) && ok;
    {
        ScaleValues values;
        values.timeMax = view.plot(1).timeMax();
        values.valueMax = view.plot(1).valueMax();
        values.valueMin = view.plot(1).valueMin();
        CScaleDlg dialog(*program.app->templates(), values, &frame);
        ok = grab(dialog, out.filePath(QStringLiteral("scale-dialog.png"))) && ok;
    }
    frame.switchChannel(0);
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageOrientation(QPageLayout::Landscape);
        QPrintPreviewDialog preview(&printer, &frame);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&view](QPrinter* target) {
            QPainter painter(target);
            const QRect area = target->pageLayout().paintRectPixels(target->resolution());
            view.paintPage(painter, QRect(QPoint(0, 0), area.size()));
        });
        preview.resize(900, 700);
        ok = grab(preview, out.filePath(QStringLiteral("print-preview.png"))) && ok;
    }
    program.stop();
    return ok ? 0 : 1;
}
