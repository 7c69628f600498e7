// Opening a five-channel, 1024-step sequence file in the program until the worksheet and the graph
// window are shown and painted, and paging the worksheet from line 1 to line 1024.
// Run from a release build: build/release/bin/worksheet_bench [RUNS] (offscreen unless a display
// platform is set).
#include "HeadlessShell.h"
#include "app/CMainFrame.h"
#include "app/CTessorApp.h"
#include "app/DocumentSession.h"
#include "app/ShellPrompt.h"
#include "app/ShellServices.h"
#include "views/CGraphView.h"
#include "views/CGridView.h"
#include "views/WorksheetTable.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QMdiArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Counts the paints of the widgets it watches.
class PaintWatch : public QObject {
public:
    void watch(QWidget* widget)
    {
        widget->installEventFilter(this);
        painted_[widget] = false;
    }
    bool allPainted() const
    {
        return std::all_of(painted_.begin(), painted_.end(), [](const auto& entry) { return entry.second; });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted_[watched] = true;
        return false;
    }

private:
    std::map<QObject*, bool> painted_;
};

QByteArray fullFile()
{
    QByteArray text = "CC\t0\tCV\t0\tCR\t0\tCCV\t5\tCRV\t5\ts\tsoft\r\n";
    for (int c = 0; c < 5; ++c) {
        for (int i = 1; i <= 1024; ++i)
            text += QString::asprintf("%d.%04d\t%.1f\t%d\t%d\r\n", c + 1, i, 0.5 * (1 + i % 20),
                                      i % 3 ? 0 : 1, i % 7 ? 1 : 0)
                        .toLatin1();
        text += "\r\n";
    }
    return text;
}

// The CPU time of this thread in ms: what the work costs whatever else the machine is doing.
double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Figures {
    double median;
    double p95;
    double worst;
};

Figures figures(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values[values.size() * 95 / 100], values.back()};
}

void print(const char* what, const Figures& wall, const Figures& cpu)
{
    std::printf("%s\n  wall: median %.2f ms, 95%% %.2f ms, worst %.2f ms\n"
                "  CPU of the GUI thread: median %.2f ms, 95%% %.2f ms, worst %.2f ms\n",
                what, wall.median, wall.p95, wall.worst, cpu.median, cpu.p95, cpu.worst);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A private profile and runtime folder: the user's own are never touched.
    QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", folder.filePath(QStringLiteral("runtime")).toLocal8Bit());
    QApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    const QString path = folder.filePath(QStringLiteral("full.tsr"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(fullFile()) < 0)
        return 1;
    file.close();

    StderrShellPrompt prompt;
    NoShellServices services;
    CTessorApp tessor(prompt, services,
                      StartupPaths{QCoreApplication::applicationDirPath(),
                                   folder.filePath(QStringLiteral("Tessor.ini")),
                                   folder.filePath(QStringLiteral("runtime"))});
    if (tessor.initInstance({}) != CTessorApp::kRunning) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    CMainFrame& frame = *tessor.mainFrame();
    frame.resize(1280, 800);
    QCoreApplication::processEvents();

    std::vector<double> opens;
    std::vector<double> openCpu;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadCpuMs();
        if (!frame.openDocumentFile(path))
            return 1;
        DocumentSession& documents = frame.documents();
        PaintWatch paints;
        paints.watch(documents.gridView()->table(0)->viewport());
        paints.watch(documents.graphView());
        while (!paints.allPainted() && timer.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        opens.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        openCpu.push_back(threadCpuMs() - cpuStart);
    }

    CGridView& view = *frame.documents().gridView();
    std::vector<double> pages;
    std::vector<double> pageCpu;
    for (int channel = 0; channel < 5; ++channel) {
        frame.switchChannel(channel);
        WorksheetTable* table = view.table(channel);
        QScrollBar* bar = table->verticalScrollBar();
        QCoreApplication::processEvents();
        for (int value = 0; value <= bar->maximum(); value += bar->pageStep()) {
            QElapsedTimer timer;
            timer.start();
            const double cpuStart = threadCpuMs();
            bar->setValue(value);
            table->viewport()->repaint();
            table->verticalHeader()->viewport()->repaint();
            pages.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            pageCpu.push_back(threadCpuMs() - cpuStart);
        }
    }

    print(
        qPrintable(QStringLiteral("open 5 x 1024 steps until both windows are painted (%1 runs)").arg(runs)),
        figures(opens), figures(openCpu));
    print(qPrintable(QStringLiteral("worksheet scroll by a page, line 1 to 1024 of 5 channels (%1 pages)")
                         .arg(pages.size())),
          figures(pages), figures(pageCpu));
    return 0;
}
