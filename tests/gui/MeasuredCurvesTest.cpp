// The measured curves: the readings drawn in the Run window's graphs, and the log viewer driven
// with real mouse events.

#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "dialogs/CRunDlg.h"
#include "run/MonitorLog.h"
#include "run/RunFormats.h"
#include "views/CLogPlot.h"
#include "views/CLogViewer.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>
#include <cmath>

class MeasuredCurvesTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void runGraphsDrawTheReadingsInTheSetValuesQuantity();
    void runGraphsStayAsTheyWereWithoutMonitoring();
    void viewerZoomsPansAndReadsWithTheMouse();
    void viewerHidesCurvesAndExports();
    void logsOpenFromTheCommandLineAndSayWhatDoesNotFit();

private:
    // A program on the fake clock with a sequence of channel 1 (CC, or CV when cv is set).
    void start(const QString& mode, const std::vector<QString>& steps);
    // A log of two channels written by the program's log writer: 2 A and 1 A, voltages falling,
    // every 0.5 s for 600 s; channel 2 has no readings from 200 s to 300 s.
    QString writeLog() const;
    CLogViewer* openViewer(const QString& path);

    // A mouse move over a widget, with these buttons held.
    static void moveMouse(QWidget& widget, const QPoint& at, Qt::MouseButtons buttons = Qt::NoButton,
                          Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    std::unique_ptr<StartedProgram> program_;
};

void MeasuredCurvesTest::moveMouse(QWidget& widget, const QPoint& at, Qt::MouseButtons buttons,
                                   Qt::KeyboardModifiers modifiers)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), widget.mapToGlobal(QPointF(at)), Qt::NoButton, buttons,
                     modifiers);
    QApplication::sendEvent(&widget, &move);
}

void MeasuredCurvesTest::cleanup()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<CLogViewer*>(window))
            delete window;
    }
    program_.reset();
}

void MeasuredCurvesTest::start(const QString& mode, const std::vector<QString>& steps)
{
    program_ = std::make_unique<StartedProgram>();
    const QString header = QStringLiteral("%1\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft").arg(mode);
    const QString file =
        program_->folders.writeFile(QStringLiteral("run.tsr"), sequenceFile(header, {steps}));
    QCOMPARE(program_->startSimulated({file}), CTessorApp::kRunning);
    AppSettings& settings = program_->frame().settings();
    settings.Folder = program_->folders.root();
    settings.RunCh = {1, 0, 0, 0, 0};
    settings.MonitorTime = 500;
    settings.File = 0;
}

void MeasuredCurvesTest::runGraphsDrawTheReadingsInTheSetValuesQuantity()
{
    // CC at 1 A then 2 A on the simulator's 12 V, 0.1 ohm source.
    start(QStringLiteral("CC"), {QStringLiteral("1.0000\t10.0\t0\t1"), QStringLiteral("2.0000\t10.0\t0\t1")});
    AppSettings& settings = program_->frame().settings();
    settings.Curr = 1;
    settings.Volt = 1;
    CRunDlg& dialog = *program_->frame().runDialog();
    dialog.prepare();
    dialog.resize(1200, 800);
    dialog.show();
    CRunGraph& graph = *dialog.graph(0);
    QVERIFY(graph.measurement().isEmpty());
    QVERIFY(graph.figuresText().isEmpty());
    QTest::mouseClick(dialog.controls().runAll, Qt::LeftButton);
    program_->instrument->time.advanceMs(15000);

    // Halfway through the second step: the line stands on the set line of each step.
    QVERIFY(!graph.measurement().isEmpty());
    const ChannelPlot& plot = graph.plot();
    QCOMPARE(graph.measurement().valueAt(5.0), 1.0);
    QCOMPARE(graph.measurement().valueAt(14.0), 2.0);
    bool onFirstStep = false;
    for (const QPolygonF& line : graph.measuredPolylines()) {
        for (const QPointF& point : line) {
            QVERIFY(point.x() >= plot.left() - 1 && point.x() <= plot.xOf(15.5) + 1);
            if (std::abs(point.x() - plot.xOf(5.0)) < 3)
                onFirstStep = std::abs(point.y() - plot.yOf(1.0)) <= 1;
        }
    }
    QVERIFY(onFirstStep);
    // About 1 A x 10 s and 2 A x 4.5 s so far, at 11.9 V and 11.8 V.
    QVERIFY2(graph.figuresText().startsWith(QStringLiteral("0.005")), qPrintable(graph.figuresText()));
    QVERIFY(graph.figuresText().contains(QStringLiteral(" Ah")) &&
            graph.figuresText().contains(QStringLiteral(" Wh")));

    // The tooltip in the plot gives the set and the measured value under the pointer.
    const QPoint inside(plot.xOf(5.0), (plot.top() + plot.bottom()) / 2);
    QVERIFY2(graph.tooltipAt(inside).contains(QStringLiteral("Measured: 1.0")),
             qPrintable(graph.tooltipAt(inside)));
    QVERIFY(graph.tooltipAt(inside).contains(QStringLiteral("Set: 1.0")));
    graph.setMeasurementShown(false);
    QVERIFY(!graph.tooltipAt(inside).contains(QStringLiteral("Measured")));
    graph.setMeasurementShown(true);

    // Drawn in its own colour, over the set line.
    const QImage image = graph.grab().toImage();
    const QColor measured(0, 110, 200);
    bool found = false;
    for (int dy = -2; dy <= 2 && !found; ++dy) {
        const QColor pixel(image.pixel(plot.xOf(5.0), plot.yOf(1.0) + dy));
        // Smoothed into the background, but blue: neither the red set line nor the white ground.
        found =
            pixel.blue() > 150 && pixel.blue() > pixel.red() + 80 && pixel.green() < measured.green() + 60;
    }
    QVERIFY(found);

    program_->instrument->time.advanceMs(10000);
    QVERIFY(!program_->frame().runEngine().anyRunning());
    // The last pass stays when the run is over.
    QCOMPARE(graph.measurement().valueAt(14.0), 2.0);
}

void MeasuredCurvesTest::runGraphsStayAsTheyWereWithoutMonitoring()
{
    start(QStringLiteral("CV"), {QStringLiteral("5.000\t3.0\t0\t1")});
    AppSettings& settings = program_->frame().settings();
    settings.Curr = 0;
    settings.Volt = 0;
    CRunDlg& dialog = *program_->frame().runDialog();
    dialog.prepare();
    dialog.show();
    const double valueMax = dialog.graph(0)->plot().valueMax();
    dialog.controls().runAll->click();
    program_->instrument->time.advanceMs(5000);
    QVERIFY(dialog.graph(0)->measurement().isEmpty());
    QVERIFY(dialog.graph(0)->figuresText().isEmpty());
    QCOMPARE(dialog.graph(0)->plot().valueMax(), valueMax);
    QStringList measures = program_->instrument->timeline(0).filter(QStringLiteral("MEAS"));
    QVERIFY(measures.isEmpty());
}

QString MeasuredCurvesTest::writeLog() const
{
    MonitorLog::Options options;
    options.folder = program_->folders.root();
    options.extension = QStringLiteral("txt");
    options.inMemory = true;
    MonitorLog log(options);
    log.open(QStringLiteral("CC_CC_"), QDateTime(QDate(2026, 12, 8), QTime(9, 0, 0)));
    for (int i = 0; i <= 1200; ++i) {
        const double t = 0.5 * i;
        ChannelTexts currents;
        ChannelTexts voltages;
        currents[0] = QStringLiteral("2.0000");
        voltages[0] = QString::number(12.6 - t / 600.0, 'f', 3);
        if (t < 200.0 || t > 300.0) {
            currents[1] = QStringLiteral("1.0000");
            voltages[1] = QString::number(6.3 - t / 1200.0, 'f', 3);
        }
        log.store(
            RunFormats::dataLine(RunFormats::passTimeText(t, 0), currents, voltages, options.separator));
    }
    log.finish();
    return log.path();
}

CLogViewer* MeasuredCurvesTest::openViewer(const QString& path)
{
    if (!program_->frame().openLog(path))
        return nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* viewer = qobject_cast<CLogViewer*>(window))
            return viewer;
    }
    return nullptr;
}

void MeasuredCurvesTest::viewerZoomsPansAndReadsWithTheMouse()
{
    program_ = std::make_unique<StartedProgram>();
    QCOMPARE(program_->start(), CTessorApp::kRunning);
    CLogViewer* viewer = openViewer(writeLog());
    QVERIFY(viewer);
    viewer->resize(1000, 700);
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    CLogPlot& plot = viewer->plot();
    LogPlotViewport& view = plot.viewport();
    QCOMPARE(view.time().lo, 0.0);
    QCOMPARE(view.time().hi, 600.0);

    // The cursor reads every shown curve at the time under the pointer.
    const QRectF rect = view.plotRect();
    const QPoint at(qRound(view.xOf(250.0)), qRound(rect.center().y()));
    moveMouse(plot, at);
    QVERIFY(plot.cursorTime().has_value());
    QVERIFY(std::abs(*plot.cursorTime() - 250.0) < 1.0);
    LogPlotViewport copy = view;
    const QStringList lines =
        LogPlotPainter::cursorLines(plot.scene(copy), *plot.cursorTime(), LogPlotTexts());
    // Channel 2 has no reading there: its gap is not bridged.
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[1].startsWith(QStringLiteral("Ch1 [A]: 2.0000")));

    // A rubber band from 100 s to 200 s shows that span.
    const QPoint from(qRound(view.xOf(100.0)), qRound(rect.top() + 20));
    const QPoint to(qRound(view.xOf(200.0)), qRound(rect.bottom() - 20));
    QTest::mousePress(&plot, Qt::LeftButton, Qt::NoModifier, from);
    moveMouse(plot, to, Qt::LeftButton);
    QTest::mouseRelease(&plot, Qt::LeftButton, Qt::NoModifier, to);
    QVERIFY(std::abs(view.time().lo - 100.0) < 1.0 && std::abs(view.time().hi - 200.0) < 1.0);

    // Shift and drag pans: the content follows the pointer by a tenth of the plot, 10 s.
    const double panFrom = view.xOf(150.0);
    const QPoint grab(qRound(panFrom), qRound(rect.center().y()));
    const QPoint drop(qRound(panFrom + rect.width() / 10.0), grab.y());
    QTest::mousePress(&plot, Qt::LeftButton, Qt::ShiftModifier, grab);
    moveMouse(plot, drop, Qt::LeftButton, Qt::ShiftModifier);
    QTest::mouseRelease(&plot, Qt::LeftButton, Qt::ShiftModifier, drop);
    QVERIFY2(std::abs(view.time().lo - 90.0) < 0.5, qPrintable(QString::number(view.time().lo)));

    // The wheel zooms the time about the pointer.
    const double anchor = view.timeAt(view.xOf(140.0));
    const QPointF wheelAt(view.xOf(140.0), rect.center().y());
    QWheelEvent wheel(wheelAt, plot.mapToGlobal(wheelAt), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&plot, &wheel);
    QVERIFY(std::abs(view.time().span() - 80.0) < 0.5);
    QVERIFY(std::abs(view.timeAt(wheelAt.x()) - anchor) < 0.01);

    // Fit All shows everything again.
    QTest::mouseClick(viewer->controls().fitAll, Qt::LeftButton);
    QCOMPARE(view.time().lo, 0.0);
    QCOMPARE(view.time().hi, 600.0);
}

void MeasuredCurvesTest::viewerHidesCurvesAndExports()
{
    program_ = std::make_unique<StartedProgram>();
    QCOMPARE(program_->start(), CTessorApp::kRunning);
    const QString log = writeLog();
    CLogViewer* viewer = openViewer(log);
    QVERIFY(viewer);
    viewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    const CLogViewer::Controls& controls = viewer->controls();
    // Only the channels the log holds have boxes.
    QVERIFY(controls.currents[0]->isVisible() && controls.voltages[1]->isVisible());
    QVERIFY(!controls.currents[2]->isVisible());
    QTest::mouseClick(controls.voltages[0], Qt::LeftButton, {},
                      QPoint(5, controls.voltages[0]->height() / 2));
    QVERIFY(!viewer->plot().visibility().voltage[0]);
    // Fit All now leaves channel 1's voltage out of the voltage axis: channel 2 alone, up to 6.3 V.
    QTest::mouseClick(controls.fitAll, Qt::LeftButton);
    QVERIFY(viewer->plot().viewport().voltage().hi < 7.0);

    // The summary table: charge without the gap for channel 2.
    QCOMPARE(controls.summary->rowCount(), 2);
    QCOMPARE(controls.summary->item(0, 10)->text(), QStringLiteral("0.333333"));
    QCOMPARE(controls.summary->item(1, 10)->text(), QStringLiteral("0.138611"));

    const QString png = program_->folders.filePath(QStringLiteral("plot.png"));
    const QString svg = program_->folders.filePath(QStringLiteral("plot.svg"));
    const QString csv = program_->folders.filePath(QStringLiteral("summary.csv"));
    viewer->exportImageTo(png, QSize(800, 500));
    viewer->exportImageTo(svg, QSize(800, 500));
    viewer->exportSummaryTo(csv);
    QCOMPARE(QImage(png).size(), QSize(800, 500));
    QFile svgFile(svg);
    QVERIFY(svgFile.open(QIODevice::ReadOnly));
    QVERIFY(svgFile.readAll().contains("<svg"));
    QFile csvFile(csv);
    QVERIFY(csvFile.open(QIODevice::ReadOnly));
    QCOMPARE(csvFile.readLine(),
             QByteArray("Channel,First [s],Last [s],Duration [s],Current min [A],Current max [A],"
                        "Current mean [A],Voltage min [V],Voltage max [V],Voltage mean [V],"
                        "Charge [Ah],Energy [Wh]\n"));
    // A file that cannot be written says so, naming it.
    viewer->exportSummaryTo(program_->folders.filePath(QStringLiteral("missing/summary.csv")));
    QVERIFY(program_->prompt.texts().last().startsWith(QStringLiteral("The file ")));
}

void MeasuredCurvesTest::logsOpenFromTheCommandLineAndSayWhatDoesNotFit()
{
    program_ = std::make_unique<StartedProgram>();
    const QString bad = program_->folders.writeFile(QStringLiteral("bad.txt"), "0.000\t1\t2\n");
    QCOMPARE(program_->start({QStringLiteral("--log"), bad}), CTessorApp::kRunning);
    QCOMPARE(program_->prompt.texts(),
             QStringList{QStringLiteral(
                 "bad.txt, line 1, does not fit a log: it has 3 fields, where every line of a log "
                 "has 11 (the time, then current and voltage of channels 1 to 5).")});
    // A log dropped or handed over opens as a log; a sequence file as a document.
    QVERIFY(program_->frame().openAnyFile(writeLog()));
    bool viewerShown = false;
    for (QWidget* window : QApplication::topLevelWidgets())
        viewerShown = viewerShown || (qobject_cast<CLogViewer*>(window) && window->isVisible());
    QVERIFY(viewerShown);
}

QTEST_MAIN(MeasuredCurvesTest)
#include "MeasuredCurvesTest.moc"
