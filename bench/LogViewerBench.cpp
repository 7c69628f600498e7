// Times of the log viewer and tessorctl log on a 24-hour log of five channels read every 500 ms
// (172,800 lines, about 10 MB), written by the program's own log writer: from the start of the
// reading to the first drawn plot of the viewer window (offscreen), single pan and zoom steps
// redrawn, and tessorctl log on the same file (the whole process, five times).
//
//   log_viewer_bench [--hours H]

#include "plot/LogPlotPainter.h"
#include "run/LogFileReader.h"
#include "run/MonitorLog.h"
#include "run/RunFormats.h"
#include "ui/ResourceModule.h"
#include "ui/UserPrompt.h"
#include "views/CLogPlot.h"
#include "views/CLogViewer.h"
#include "views/TemplateLoader.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

class SilentPrompt : public UserPrompt {
public:
    void showMessage(const QString& text, Icon) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool askYesNo(const QString&, Icon) override { return false; }
    void setBusy(bool) override {}
};

// Five batteries discharged at different currents, the load stepping every ten minutes.
QString writeLog(const QString& folder, int hours)
{
    MonitorLog::Options options;
    options.folder = folder;
    options.extension = QStringLiteral("txt");
    // Collected in memory and written at the end: one write rather than a synced write per line.
    options.inMemory = true;
    MonitorLog log(options);
    log.open(QStringLiteral("CC_CC_CC_CC_CC_"), QDateTime(QDate(2026, 12, 8), QTime(9, 0, 0)));
    const long lines = static_cast<long>(hours) * 7200;
    for (long i = 0; i < lines; ++i) {
        const double t = 0.5 * static_cast<double>(i);
        ChannelTexts currents;
        ChannelTexts voltages;
        for (int c = 0; c < kChannelCount; ++c) {
            const double current = (c + 1) * 0.5 * (1.0 + 0.25 * (static_cast<long>(t / 600.0) % 4));
            const double voltage =
                12.6 - 2.0 * t / (hours * 3600.0) - 0.05 * current + 0.002 * std::sin(t * 0.37 + c);
            currents[c] = QString::number(current, 'f', 4);
            voltages[c] = QString::number(voltage, 'f', 3);
        }
        log.store(
            RunFormats::dataLine(RunFormats::passTimeText(t, 0), currents, voltages, options.separator));
    }
    log.finish();
    return log.path();
}

// The GUI thread's processor time in milliseconds: what a step costs whatever else the machine runs.
double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct Spread {
    double median = 0;
    double p95 = 0;
    double max = 0;
};

Spread spreadOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const auto at = [&values](double share) {
        return values[std::min(values.size() - 1,
                               static_cast<size_t>(share * static_cast<double>(values.size())))];
    };
    return Spread{at(0.5), at(0.95), values.back()};
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    int hours = 24;
    const QStringList arguments = application.arguments();
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--hours"))
            hours = std::clamp(arguments[i + 1].toInt(), 1, 240);
    }
    ResourceModule module;
    if (!module.loadFromProgramFolder()) {
        std::fprintf(stderr, "no resource module\n");
        return 1;
    }
    SilentPrompt prompt;
    TemplateLoader templates(module, prompt);
    QTemporaryDir folder;
    const QString path = writeLog(folder.path(), hours);

    // Open: read, figures, the window built and its plot drawn once.
    QElapsedTimer clock;
    clock.start();
    LogFileReader::Result result = LogFileReader::read(path);
    if (!result.data) {
        std::fprintf(stderr, "%s\n", qPrintable(result.problem.message(module)));
        return 1;
    }
    const double readMs = clock.nsecsElapsed() / 1e6;
    CLogViewer viewer(CLogViewer::Context{templates, nullptr, [](QDialog&) { return 0; }},
                      std::move(*result.data));
    viewer.setAttribute(Qt::WA_DeleteOnClose, false);
    viewer.resize(1600, 1000);
    viewer.show();
    CLogPlot& plot = viewer.plot();
    // grab() draws the plot through its paint event whether or not the platform shows the window
    // yet; the picture it fills costs a little on top of the drawing.
    QPixmap drawn = plot.grab();
    const double openMs = clock.nsecsElapsed() / 1e6;

    // Pan and zoom steps, each redrawn at once: zoom in step by step, pan, zoom out again.
    std::vector<double> steps;
    std::vector<double> cpu;
    const QRectF rect = plot.viewport().plotRect();
    for (int round = 0; round < 4; ++round) {
        for (int i = 0; i < 20; ++i) {
            QElapsedTimer step;
            step.start();
            const double cpuStart = threadCpuMs();
            if (i < 10)
                plot.viewport().zoomTime(0.6, rect.center().x());
            else
                plot.viewport().pan(rect.width() / 10, 0);
            drawn = plot.grab();
            steps.push_back(step.nsecsElapsed() / 1e6);
            cpu.push_back(threadCpuMs() - cpuStart);
        }
        for (int i = 0; i < 10; ++i) {
            QElapsedTimer step;
            step.start();
            const double cpuStart = threadCpuMs();
            plot.viewport().zoomTime(1 / 0.6, rect.center().x());
            drawn = plot.grab();
            steps.push_back(step.nsecsElapsed() / 1e6);
            cpu.push_back(threadCpuMs() - cpuStart);
        }
        QElapsedTimer step;
        step.start();
        plot.fitAll();
        drawn = plot.grab();
        steps.push_back(step.nsecsElapsed() / 1e6);
    }
    const Spread redraw = spreadOf(steps);
    const Spread redrawCpu = spreadOf(cpu);

    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        QProcess tessorctl;
        QElapsedTimer run;
        run.start();
        tessorctl.start(QStringLiteral(TESSORCTL_PATH), {QStringLiteral("log"), path});
        tessorctl.waitForFinished(60000);
        runs.push_back(run.nsecsElapsed() / 1e6);
        if (tessorctl.exitCode() != 0) {
            std::fprintf(stderr, "tessorctl log failed: %s\n", tessorctl.readAllStandardError().constData());
            return 1;
        }
    }
    const Spread cli = spreadOf(runs);

    std::printf("Log of %d h, 5 channels every 500 ms: %zu lines, %.1f MB\n", hours,
                viewer.data().lineCount(), QFileInfo(path).size() / 1e6);
    std::printf("open to first drawn plot: %.0f ms (reading and figures %.0f ms)\n", openMs, readMs);
    std::printf(
        "pan/zoom step redrawn (%zu steps, 1600x1000 window): median %.1f ms, p95 %.1f ms, max %.1f ms\n",
        steps.size(), redraw.median, redraw.p95, redraw.max);
    std::printf("  processor time of a step: median %.1f ms, p95 %.1f ms, max %.1f ms\n", redrawCpu.median,
                redrawCpu.p95, redrawCpu.max);
    std::printf("tessorctl log: median %.0f ms, max %.0f ms\n", cli.median, cli.max);
    return 0;
}
