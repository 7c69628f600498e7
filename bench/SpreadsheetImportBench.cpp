// 5 x 1024 rows of spreadsheet columns into an empty document until the worksheet and the graph
// are painted: pasted from the system clipboard (the worksheet's Paste key) and imported with File >
// Import CSV..., the change report answered at once.
// Run from a release build: build/release/bin/spreadsheet_import_bench [RUNS] (offscreen unless a
// display platform is set).
#include "HeadlessShell.h"
#include "app/CMainFrame.h"
#include "app/CTessorApp.h"
#include "app/CsvFileCommands.h"
#include "app/DocumentSession.h"
#include "model/CMainDoc.h"
#include "views/CGraphView.h"
#include "views/CGridView.h"
#include "views/CImportReportDlg.h"
#include "views/CommandRouter.h"
#include "views/WorksheetTable.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <vector>

namespace {

// Chooses the CSV file in the open dialog and goes on in the change report.
class ImportingShellServices : public NoShellServices {
public:
    QString openFileName(QWidget*, const FileRequest&) override { return file; }
    int execDialog(QDialog& dialog) override
    {
        auto* report = qobject_cast<CImportReportDlg*>(&dialog);
        if (!report)
            return QDialog::Rejected;
        ++reports;
        report->controls().ok->click();
        return report->result();
    }

    QString file;
    int reports = 0;
};

// Knows when the widgets it watches were painted.
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

// Five channel groups of 1024 rows: set values, intervals of 0.5 to 10 s, steps and ramps, loads.
QString fullColumns()
{
    QStringList header;
    for (int c = 1; c <= 5; ++c)
        header << QStringLiteral("CH%1 Voltage[V],CH%1 Interval[s],CH%1 Transition,CH%1 Load").arg(c);
    QString text = header.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (int i = 1; i <= 1024; ++i) {
        QStringList cells;
        for (int c = 1; c <= 5; ++c)
            cells << QString::asprintf("%d.%03d,%.1f,%s,%s", c, i % 1000, 0.5 * (1 + i % 20),
                                       i % 3 ? "Step" : "Ramp", i % 7 ? "on" : "off");
        text += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", folder.filePath(QStringLiteral("runtime")).toLocal8Bit());
    QApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    const QString columns = fullColumns();
    ImportingShellServices services;
    services.file = folder.filePath(QStringLiteral("full.csv"));
    QFile file(services.file);
    if (!file.open(QIODevice::WriteOnly) || file.write(columns.toUtf8()) < 0)
        return 1;
    file.close();

    StderrShellPrompt prompt;
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
    frame.show();
    QCoreApplication::processEvents();

    std::vector<double> pastes;
    std::vector<double> imports;
    std::vector<double> pasteCpu;
    std::vector<double> importCpu;
    for (int run = 0; run < 2 * runs; ++run) {
        const bool paste = run % 2 == 0;
        frame.router().trigger(CMainFrame::IdNew);
        DocumentSession& documents = frame.documents();
        frame.mdiArea()->setActiveSubWindow(documents.worksheetWindow());
        QCoreApplication::processEvents();
        if (paste)
            QGuiApplication::clipboard()->setText(columns);
        PaintWatch paints;
        paints.watch(documents.gridView()->table(0)->viewport());
        paints.watch(documents.graphView());
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadCpuMs();
        frame.router().trigger(paste ? CGridView::kEditPaste : CsvFileCommands::IdImportCsv);
        while (!paints.allPainted() && timer.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        const double cpuMs = threadCpuMs() - cpuStart;
        int steps = 0;
        for (int c = 0; c < kChannelCount; ++c)
            steps += documents.document()->channel(c).count;
        if (steps != 5 * 1024) {
            std::fprintf(stderr, "%d steps were inserted, not %d\n", steps, 5 * 1024);
            return 1;
        }
        (paste ? pastes : imports).push_back(ms);
        (paste ? pasteCpu : importCpu).push_back(cpuMs);
        documents.document()->setModified(false);
    }
    const auto worst = [](const std::vector<double>& values) {
        return *std::max_element(values.begin(), values.end());
    };
    std::printf(
        "5 x 1024 rows into an empty document until the worksheet and the graph are painted (%d runs each)\n"
        "  paste from the clipboard: wall median %.1f ms, worst %.1f ms; CPU of the GUI thread median %.1f "
        "ms\n"
        "  File > Import CSV...:     wall median %.1f ms, worst %.1f ms; CPU of the GUI thread median %.1f "
        "ms\n",
        runs, median(pastes), worst(pastes), median(pasteCpu), median(imports), worst(imports),
        median(importCpu));
    return 0;
}
