// The graph view's frame times on a full channel of 1024 steps at 1600 x 1000 pixels: one repaint,
// and one mouse move of a time drag on step 1 (the drag line follows the mouse and the view is
// repainted), and the release of that drag, which moves every later step. Target: 16 ms, one
// frame at 60 Hz. Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/ProfileStore.h"
#include "ui/ResourceModule.h"
#include "ui/TimerService.h"
#include "ui/UserPrompt.h"
#include "views/CGraphView.h"
#include "views/ChannelPlot.h"
#include "views/PlotPainter.h"
#include "views/ShellResources.h"
#include "views/TemplateLoader.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

class SilentPrompt : public UserPrompt {
public:
    void showMessage(const QString&, Icon) override {}
    bool askYesNo(const QString&, Icon) override { return false; }
    void setBusy(bool) override {}
};

class NoTimers : public TimerService {
public:
    TimerId startTimer(int, bool, std::function<void()>) override { return 1; }
    void stopTimer(TimerId) override {}
};

const QSize kSize(1600, 1000);

// A graph view showing channel 1 with 1024 steps, alternating steps and ramps, 0.5 s each.
struct FullGraph {
    FullGraph()
    {
        module.loadFromProgramFolder();
        resources.load();
        ChannelSequence& channel = document->channel(0);
        for (int i = 0; i < kMaxSteps; ++i) {
            SequenceStep& step = channel.steps[i];
            step.value = QString::asprintf("%.3f", 1.0 + (i % 37) * 0.2);
            step.interval = QStringLiteral("0.5");
            step.transition = i % 2 ? QStringLiteral("1") : QStringLiteral("0");
            step.load = QStringLiteral("1");
        }
        channel.count = kMaxSteps;
        document->recomputeTimes(0, 0);
        view = std::make_unique<CGraphView>(*document, context);
        view->resize(kSize);
        view->show();
        image.fill(Qt::white);
    }

    void repaint() { view->render(&image); }

    void mouse(QEvent::Type type, const QPoint& point)
    {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, point, view->mapToGlobal(point), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(view.get(), &event);
    }

    // Double-clicks the first boundary line and presses its time handle.
    void startTimeDrag()
    {
        const StepSegment& boundary = view->plot(0).boundary(0);
        const QPoint onLine(boundary.endPoint().x(),
                            (boundary.firstPoint().y() + boundary.endPoint().y()) / 2);
        mouse(QEvent::MouseButtonDblClick, onLine);
        mouse(QEvent::MouseButtonRelease, onLine);
        mouse(QEvent::MouseButtonPress, view->handlePoint());
    }

    QTemporaryDir folder;
    AppSettings settings;
    SilentPrompt prompt;
    NoTimers timers;
    ResourceModule module;
    ShellResources resources;
    TemplateLoader templates{module, prompt};
    ProfileStore profile{folder.filePath(QStringLiteral("Tessor.ini"))};
    std::unique_ptr<CMainDoc> document = std::make_unique<CMainDoc>(settings, prompt);
    ViewContext context{settings, prompt, timers, module, resources, templates, profile, {}, {}, {}};
    std::unique_ptr<CGraphView> view;
    QImage image{kSize, QImage::Format_RGB32};
};

void repaintFullChannel(benchmark::State& state)
{
    FullGraph graph;
    for (auto _ : state)
        graph.repaint();
    state.counters["segments"] = graph.view->plot(0).count();
}
BENCHMARK(repaintFullChannel)->Unit(benchmark::kMillisecond);

void paintPlotOnly(benchmark::State& state)
{
    FullGraph graph;
    const ChannelPlot& plot = graph.view->plot(0);
    for (auto _ : state) {
        QPainter painter(&graph.image);
        PlotPainter(painter, PlotColours()).paint(plot, graph.view->labelFont(), PlotPainter::Options());
    }
}
BENCHMARK(paintPlotOnly)->Unit(benchmark::kMillisecond);

void timeDragMouseMove(benchmark::State& state)
{
    FullGraph graph;
    graph.startTimeDrag();
    const QPoint handle = graph.view->handlePoint();
    int step = 0;
    for (auto _ : state) {
        graph.mouse(QEvent::MouseMove, handle + QPoint(1 + step++ % 40, 0));
        graph.repaint();
    }
    if (graph.view->drag() != CGraphView::Drag::Time)
        state.SkipWithError("the time drag did not start");
}
BENCHMARK(timeDragMouseMove)->Unit(benchmark::kMillisecond);

void timeDragRelease(benchmark::State& state)
{
    FullGraph graph;
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        graph.startTimeDrag();
        const QPoint target = graph.view->handlePoint() + QPoint(step++ % 2 ? -20 : 20, 0);
        graph.mouse(QEvent::MouseMove, target);
        state.ResumeTiming();
        graph.mouse(QEvent::MouseButtonRelease, target);
        graph.repaint();
    }
    if (!graph.document->isModified())
        state.SkipWithError("the drag stored nothing");
}
BENCHMARK(timeDragRelease)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
