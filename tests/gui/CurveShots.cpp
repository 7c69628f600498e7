// The measured curves: the Run window mid-run with the readings drawn, and the log viewer on a
// five-channel log, zoomed, with its reading cursor.
#include "GuiTestSupport.h"
#include "ScreenshotSupport.h"
#include "app/CMainFrame.h"
#include "dialogs/CRunDlg.h"
#include "model/AppSettings.h"
#include "run/MonitorLog.h"
#include "run/RunFormats.h"
#include "views/CLogPlot.h"
#include "views/CLogViewer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <cmath>
#include <cstdio>

namespace Screenshots {

namespace {

// Channel 1 discharges at constant current in steps of 2, 3 and 1 A; channel 2 holds voltages in
// steps of 7, 10 and 8 V, then ramps to 11 V; both read every half second.
QString discharges(const StartedProgram& program)
{
    return program.folders.writeFile(
        QStringLiteral("cc-cv.tsr"),
        sequenceFile(QStringLiteral("CC\t0\tCV\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft"),
                     {{QStringLiteral("2.0000\t30.0\t0\t1"), QStringLiteral("3.0000\t30.0\t0\t1"),
                       QStringLiteral("1.0000\t30.0\t0\t1")},
                      {QStringLiteral("7.000\t20.0\t0\t1"), QStringLiteral("10.000\t20.0\t0\t1"),
                       QStringLiteral("8.000\t20.0\t0\t1"), QStringLiteral("11.000\t30.0\t1\t1")}}));
}

// A day of five batteries discharged at 0.5 to 2.5 A, read every 30 s, written by the log writer.
QString fiveChannelLog(const StartedProgram& program)
{
    MonitorLog::Options options;
    options.folder = program.folders.root();
    options.extension = QStringLiteral("txt");
    options.inMemory = true;
    MonitorLog log(options);
    log.open(QStringLiteral("CC_CC_CC_CC_CC_"), QDateTime(QDate(2026, 12, 8), QTime(9, 0, 0)));
    const double hours = 8.0;
    for (int i = 0; i <= hours * 120; ++i) {
        const double t = 30.0 * i;
        ChannelTexts currents;
        ChannelTexts voltages;
        for (int c = 0; c < kChannelCount; ++c) {
            const double current = 0.5 * (c + 1);
            const double depth = t * current / (3600.0 * 14.0);
            if (depth > 1.0)
                continue;
            const double voltage = 12.7 - 1.2 * depth - 1.6 * std::pow(depth, 8) - 0.04 * current;
            currents[c] = QString::number(current, 'f', 4);
            voltages[c] = QString::number(voltage, 'f', 3);
        }
        log.store(
            RunFormats::dataLine(RunFormats::passTimeText(t, 1), currents, voltages, options.separator));
    }
    log.finish();
    return log.path();
}

} // namespace

bool curveShots(const QDir& out)
{
    bool ok = true;
    {
        StartedProgram program;
        if (program.startSimulated({discharges(program)}) != CTessorApp::kRunning) {
            std::fprintf(stderr, "the program did not start: %s\n",
                         qPrintable(program.prompt.texts().join('\n')));
            return false;
        }
        AppSettings& settings = program.frame().settings();
        settings.Curr = 1;
        settings.Volt = 1;
        settings.MonitorTime = 500;
        settings.MonSoft = 0;
        settings.MonTiming = 0;
        settings.File = 0;
        settings.RunCh = {1, 1, 0, 0, 0};
        CRunDlg& dialog = *program.frame().runDialog();
        dialog.prepare();
        dialog.show();
        dialog.controls().runAll->click();
        program.instrument->time.advanceMs(64300);
        ok = grabWindow(dialog, out.filePath(QStringLiteral("run-measured.png"))) && ok;
        dialog.controls().stopAll->click();
        program.instrument->time.advanceMs(1000);
        dialog.hide();
    }
    {
        StartedProgram program;
        if (program.start() != CTessorApp::kRunning)
            return false;
        CMainFrame& frame = program.frame();
        if (!frame.openLog(fiveChannelLog(program)))
            return false;
        CLogViewer* viewer = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<CLogViewer*>(window))
                viewer = found;
        }
        if (!viewer)
            return false;
        viewer->resize(1180, 760);
        settle();
        CLogPlot& plot = viewer->plot();
        LogPlotViewport& view = plot.viewport();
        // Zoomed to the end of the faster discharges, the cursor on the knee of channel 5.
        view.setTime(3.5 * 3600, 7.5 * 3600);
        view.setRange(LogPlotViewport::Axis::Current, 0.0, 3.0);
        view.setRange(LogPlotViewport::Axis::Voltage, 9.0, 13.0);
        const QPointF at(view.xOf(5.45 * 3600), view.plotRect().center().y());
        QMouseEvent move(QEvent::MouseMove, at, plot.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&plot, &move);
        ok = grabWindow(*viewer, out.filePath(QStringLiteral("log-viewer.png"))) && ok;
        delete viewer;
    }
    return ok;
}

} // namespace Screenshots
