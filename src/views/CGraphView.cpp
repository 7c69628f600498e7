#include "views/CGraphView.h"

#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/DecimalText.h"
#include "model/ProfileStore.h"
#include "ui/ResourceModule.h"
#include "ui/UserPrompt.h"
#include "views/CScaleDlg.h"
#include "views/GraphPrinter.h"

#include <QClipboard>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

CGraphView::CGraphView(CMainDoc& document, const ViewContext& context, QWidget* parent)
    : QWidget(parent), document_(document), context_(context), editor_(document, context.settings),
      mouse_(editor_), tooltip_(*this, context.timers),
      printer_(std::make_unique<GraphPrinter>([this](QDialog& dialog) { return runDialog(dialog); }))
{
    QString face = context.module.string(kLabelFontString);
    if (face.isEmpty())
        face = QStringLiteral("MS UI Gothic");
    labelFont_ = PlotPainter::labelFont(face);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (ChannelPlot& plot : plots_)
        plot.setPlotArea(clientArea());
    defineCommands();
}

CGraphView::~CGraphView()
{
    writeSettings();
}

void CGraphView::setWorksheetLink(WorksheetLink* worksheet)
{
    worksheet_ = worksheet;
    editor_.setWorksheet(worksheet);
}

int CGraphView::current() const
{
    return document_.currentChannel();
}

bool CGraphView::fastMode() const
{
    return context_.settings.SeqMode == FastSequence;
}

bool CGraphView::hardwareControl() const
{
    return context_.settings.SeqCtl == HardwareControl;
}

int CGraphView::modeOf(int channel) const
{
    return context_.settings.ModeCh[channel];
}

int CGraphView::runDialog(QDialog& dialog)
{
    return context_.runDialog ? context_.runDialog(dialog) : dialog.exec();
}

void CGraphView::statesChanged()
{
    if (context_.commandStatesChanged)
        context_.commandStatesChanged();
}

// Settings ------------------------------------------------------------------------------------------

void CGraphView::readSettings()
{
    const GraphSettings graph = context_.profile.loadGraph();
    showBoundaries_ = graph.bLineY != 0;
    autoTimeMax_ = graph.bTimeMax != 0;
    autoValueMax_ = graph.bValueMax != 0;
    autoValueMin_ = graph.bValueMin != 0;
    colours_.applyStored(graph);
    for (ChannelPlot& plot : plots_) {
        plot.setRanges(decimalValue(graph.TimeMin), decimalValue(graph.TimeMax), decimalValue(graph.ValueMin),
                       decimalValue(graph.ValueMax));
    }
    settingsRead_ = true;
}

void CGraphView::writeSettings()
{
    // A view that was never shown read nothing and changed nothing: the stored settings stay.
    if (!settingsRead_)
        return;
    GraphSettings graph;
    graph.bLineY = showBoundaries_ ? 1 : 0;
    graph.bTimeMax = autoTimeMax_ ? 1 : 0;
    graph.bValueMax = autoValueMax_ ? 1 : 0;
    graph.bValueMin = autoValueMin_ ? 1 : 0;
    const ChannelPlot& plot = plots_[current()];
    const AxisLabels& labels = plot.labels();
    graph.TimeMax = ChannelPlot::storedRange(labels.timeMax, plot.timeMax());
    graph.TimeMin = ChannelPlot::storedRange(labels.timeMin, plot.timeMin());
    graph.ValueMax = ChannelPlot::storedRange(labels.valueMax, plot.valueMax());
    graph.ValueMin = ChannelPlot::storedRange(labels.valueMin, plot.valueMin());
    colours_.store(graph);
    context_.profile.saveGraph(graph);
}

// Operations -------------------------------------------------------------------------------------------

void CGraphView::showChannel(int channel)
{
    cancelDrag();
    clearSelection();
    rescaleChannel(channel);
}

void CGraphView::rebuildChannel(int channel)
{
    if (channel < 0 || channel >= kChannelCount)
        return;
    if (channel == current()) {
        cancelDrag();
        clearSelection();
    }
    ChannelPlot& plot = plots_[channel];
    const std::vector<StepValues> steps = ChannelPlot::stepValuesOf(document_.channel(channel));
    plot.applyAutomaticRanges(steps, autoTimeMax_, autoValueMax_, autoValueMin_);
    plot.rebuild(steps);
    relabel(channel);
    update();
}

void CGraphView::rescaleChannel(int channel)
{
    if (channel < 0 || channel >= kChannelCount)
        return;
    plots_[channel].setPlotArea(clientArea(), plots_[channel].startLevel());
    rebuildChannel(channel);
    refreshTitle();
    if (worksheet_)
        worksheet_->restoreCursor();
}

void CGraphView::refreshTitle()
{
    setWindowTitle(QString::asprintf("Graph - Channel%d", current() + 1));
}

void CGraphView::relabel(int channel)
{
    plots_[channel].writeLabels(context_.settings.Unit, modeOf(channel), context_.settings.SeqMode);
}

void CGraphView::followData(int channel)
{
    const ChannelPlot& plot = plots_[channel];
    if (plot.count() == 0)
        return;
    double largest = 0.0;
    double smallest = 0.0;
    for (const StepSegment& segment : plot.segments()) {
        largest = std::max(largest, segment.value);
        smallest = std::min(smallest, segment.value);
    }
    if ((autoTimeMax_ && plot.segments().back().endTime > plot.timeMax()) ||
        (autoValueMax_ && largest > plot.valueMax()) || (autoValueMin_ && smallest < plot.valueMin()))
        rebuildChannel(channel);
}

ChannelPlot* CGraphView::plotForEdit(int channel, int index)
{
    if (channel < 0 || channel >= kChannelCount)
        return nullptr;
    if (index < 0 || index >= plots_[channel].count() || index >= document_.channel(channel).count) {
        // The plot and the table no longer agree step by step: draw the table anew.
        rebuildChannel(channel);
        return nullptr;
    }
    if (channel == current()) {
        cancelDrag();
        clearSelection();
    }
    return &plots_[channel];
}

void CGraphView::stepChanged(int channel, int line)
{
    ChannelPlot* plot = plotForEdit(channel, line - 1);
    if (!plot)
        return;
    const SequenceStep& step = document_.channel(channel).steps[line - 1];
    plot->setValue(line - 1, decimalValue(step.value));
    plot->setTransition(line - 1, integerValue(step.transition) == 1 ? StepSegment::Ramp : StepSegment::Step);
    followData(channel);
    update();
}

void CGraphView::timesChangedFrom(int channel, int line)
{
    ChannelPlot* plot = plotForEdit(channel, line - 1);
    if (!plot)
        return;
    plot->setInterval(line - 1, decimalValue(document_.channel(channel).steps[line - 1].interval));
    followData(channel);
    update();
}

void CGraphView::stepAppended(int channel, int line)
{
    if (channel < 0 || channel >= kChannelCount)
        return;
    const int index = line - 1;
    const ChannelSequence& sequence = document_.channel(channel);
    ChannelPlot& plot = plots_[channel];
    if (index != plot.count() || index >= sequence.count) {
        rebuildChannel(channel);
        return;
    }
    const SequenceStep& step = sequence.steps[index];
    const double interval = decimalValue(step.interval);
    const double previousEnd = index > 0 ? plot.segment(index - 1).endTime : 0.0;
    plot.appendStep(StepValues{previousEnd + interval, interval, decimalValue(step.value),
                               integerValue(step.transition) == 1 ? StepSegment::Ramp : StepSegment::Step});
    if (index == 0)
        rescaleChannel(channel);
    else
        followData(channel);
    update();
}

void CGraphView::channelRebuilt(int channel)
{
    rebuildChannel(channel);
}

// Events -----------------------------------------------------------------------------------------------

bool CGraphView::event(QEvent* event)
{
    // The view keeps its own tooltip, set from the mouse position.
    if (event->type() == QEvent::ToolTip)
        return true;
    return QWidget::event(event);
}

void CGraphView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (settingsRead_)
        return;
    readSettings();
    for (int channel = 0; channel < kChannelCount; ++channel)
        rescaleChannel(channel);
    refreshTitle();
}

void CGraphView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    cancelDrag();
    for (ChannelPlot& plot : plots_)
        plot.setPlotArea(clientArea(), plot.startLevel());
    mouse_.followPlot(currentPlot());
    if (worksheet_)
        worksheet_->refreshTitle();
}

void CGraphView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    PlotPainter::Options options;
    options.boundaryLines = showBoundaries_;
    options.markedSegment = mouse_.markedSegment();
    options.markedBoundary = mouse_.markedBoundary();
    options.freeLine = mouse_.dragLine();
    PlotPainter(painter, colours_).paint(plots_[current()], labelFont_, options);
}

void CGraphView::contextMenuEvent(QContextMenuEvent* event)
{
    // The menu takes the mouse, and the release of a drag with it: the drag ends here, the selection
    // stays for the menu's commands.
    cancelDrag();
    update();
    if (context_.showContextMenu)
        context_.showContextMenu(kContextMenu, event->globalPos());
}

QImage CGraphView::picture()
{
    return grab().toImage();
}

void CGraphView::paintPage(QPainter& painter, const QRect& page)
{
    // The plot is laid out as wide as on the screen (or as on a screen of a sensible size while the
    // window is narrow).
    GraphPrinter::paintGraphPage(painter, page, windowTitle(), plots_[current()], colours_, labelFont_,
                                 showBoundaries_, std::max(width(), 800));
}

// Mouse --------------------------------------------------------------------------------------------------

void CGraphView::clearSelection()
{
    // A drag belongs to its selection and ends with it.
    const bool dragging = mouse_.drag() != Drag::None;
    if (mouse_.clearSelection())
        statesChanged();
    if (dragging)
        unsetCursor();
}

void CGraphView::cancelDrag()
{
    if (mouse_.cancelDrag())
        unsetCursor();
}

// Qt keeps sending the mouse to the view while the button is held, so a drag or a drawing keeps the
// mouse to the end without an explicit grab.
void CGraphView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool selected = mouse_.selectedIndex() >= 0;
    if (!mouse_.press(currentPlot(), event->position().toPoint()))
        return;
    if (selected && mouse_.selectedIndex() < 0)
        statesChanged();
    setDragCursor();
    update();
}

void CGraphView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // With a selection the second click acts as a plain click.
    if (mouse_.selectedIndex() >= 0) {
        mousePressEvent(event);
        return;
    }
    if (mouse_.select(currentPlot(), event->position().toPoint(), showBoundaries_, fastMode())) {
        statesChanged();
        update();
    }
}

void CGraphView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    // Without the button the release went elsewhere (a window or menu that took the mouse): the drag
    // is over and applies nothing.
    if (mouse_.drag() != Drag::None && !(event->buttons() & Qt::LeftButton)) {
        cancelDrag();
        update();
    }
    if (mouse_.drag() == Drag::None) {
        hover(point);
        return;
    }
    mouse_.move(plots_[current()], point);
    if (mouse_.drag() == Drag::Drawing)
        setCursor(GraphInteraction::inDrawingArea(plots_[current()], point) ? Qt::CrossCursor
                                                                            : Qt::ArrowCursor);
    tooltip_.set(point, GraphViewTooltip::dragText(plots_[current()], mouse_, point, modeOf(current()),
                                                   context_.settings));
    update();
}

void CGraphView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || mouse_.drag() == Drag::None)
        return;
    const int channel = current();
    const bool selected = mouse_.selectedIndex() >= 0;
    const QPoint point = event->position().toPoint();
    ChannelPlot& plot = currentPlot();
    switch (mouse_.release(plot, channel, point)) {
    case GraphInteraction::Outcome::IntervalStored:
        // The later steps moved with the interval; the time axis grows to show them all.
        if (plot.segments().back().endTime > plot.timeMax()) {
            if (autoTimeMax_) {
                rebuildChannel(channel);
            } else {
                plot.setTimeMax(plot.segments().back().endTime);
                relabel(channel);
            }
        }
        break;
    case GraphInteraction::Outcome::FirstStepDrawn:
        rescaleChannel(channel);
        break;
    default:
        break;
    }
    if (selected)
        statesChanged();
    unsetCursor();
    hover(point);
    update();
}

void CGraphView::setDragCursor()
{
    switch (mouse_.drag()) {
    case Drag::Value:
        setCursor(Qt::SizeVerCursor);
        break;
    case Drag::Time:
        setCursor(Qt::SizeHorCursor);
        break;
    case Drag::Drawing:
        setCursor(Qt::CrossCursor);
        break;
    case Drag::None:
        unsetCursor();
        break;
    }
}

void CGraphView::hover(const QPoint& point)
{
    const ChannelPlot& plot = plots_[current()];
    if (mouse_.onHandle(point))
        setCursor(mouse_.handle() == Handle::Value ? Qt::SizeVerCursor : Qt::SizeHorCursor);
    else if (mouse_.selectedIndex() < 0 && GraphInteraction::inAppendZone(plot, point))
        setCursor(Qt::CrossCursor);
    else
        setCursor(Qt::ArrowCursor);
    tooltip_.set(point, GraphViewTooltip::hoverText(plot, mouse_, point, showBoundaries_, modeOf(current()),
                                                    context_.settings));
}

// Commands -----------------------------------------------------------------------------------------------

void CGraphView::defineCommands()
{
    // A command that comes while the button is held (from the keyboard or the menu bar) ends the
    // drag or drawing first; the release that follows then has nothing to apply.
    const auto command = [this](std::function<void()> action) {
        return [this, action = std::move(action)] {
            cancelDrag();
            update();
            action();
        };
    };
    // Ramp and Step are for a step selected with its value handle, and only where the user chooses
    // the transition: not in fast mode, not under Hardware Control.
    const auto transitionEnabled = [this] {
        return mouse_.valueHandleSelected() && !fastMode() && !hardwareControl();
    };
    const auto selectedTransition = [this] {
        return mouse_.valueHandleSelected() ? plots_[current()].segment(mouse_.selectedIndex()).transition
                                            : -1;
    };
    commands_.add(IdRamp, command([this] { applyTransition(StepSegment::Ramp); }), transitionEnabled,
                  [selectedTransition] { return selectedTransition() == StepSegment::Ramp; });
    commands_.add(IdStep, command([this] { applyTransition(StepSegment::Step); }), transitionEnabled,
                  [selectedTransition] { return selectedTransition() == StepSegment::Step; });
    commands_.add(IdDelete, command([this] { deleteSelected(); }),
                  [this] { return mouse_.valueHandleSelected(); });
    commands_.add(IdVerticalAxis, command([this] { toggleBoundaryLines(); }), {},
                  [this] { return showBoundaries_; });
    commands_.add(IdScale, command([this] { runScaleDialog(); }));
    commands_.add(IdColorBackground,
                  command([this] { chooseColour(&PlotColours::background, QStringLiteral("colorArea")); }));
    commands_.add(IdColorLine,
                  command([this] { chooseColour(&PlotColours::line, QStringLiteral("colorLine")); }));
    commands_.add(IdColorDraw,
                  command([this] { chooseColour(&PlotColours::draw, QStringLiteral("colorLineCap")); }));
    commands_.add(IdColorVerticalAxis, command([this] {
                      chooseColour(&PlotColours::verticalAxis, QStringLiteral("colorLineY"));
                  }));
    commands_.add(IdColorAxis,
                  command([this] { chooseColour(&PlotColours::axis, QStringLiteral("colorAxis")); }));
    commands_.add(IdCopy, command([this] { copyPicture(); }));
    commands_.add(IdPrint, command([this] { print(); }));
    commands_.add(IdPrintPreview, command([this] { printPreview(); }));
    commands_.add(IdPrintSetup, command([this] { printSetup(); }));
}

void CGraphView::applyTransition(int transition)
{
    if (!mouse_.valueHandleSelected() || fastMode() || hardwareControl())
        return;
    const int channel = current();
    const int index = mouse_.selectedIndex();
    clearSelection();
    editor_.changeTransition(currentPlot(), channel, index, transition);
    rescaleChannel(channel);
}

void CGraphView::deleteSelected()
{
    if (!mouse_.valueHandleSelected())
        return;
    const int channel = current();
    const int index = mouse_.selectedIndex();
    const QString question = QString::asprintf("Delete all data from [Line%d]?", index + 1);
    if (!context_.prompt.askYesNo(question, UserPrompt::Icon::None)) {
        clearSelection();
        update();
        return;
    }
    editor_.deleteStep(channel, index);
    rebuildChannel(channel);
}

void CGraphView::toggleBoundaryLines()
{
    showBoundaries_ = !showBoundaries_;
    if (!showBoundaries_ && mouse_.selectedIndex() >= 0 && mouse_.handle() == Handle::Time)
        clearSelection();
    context_.profile.saveGraphLineY(showBoundaries_ ? 1 : 0);
    update();
}

void CGraphView::runScaleDialog()
{
    const int channel = current();
    ChannelPlot& plot = currentPlot();
    ScaleValues values;
    values.timeMax = plot.timeMax();
    values.timeMin = plot.timeMin();
    values.valueMax = plot.valueMax();
    values.valueMin = plot.valueMin();
    values.autoTimeMax = autoTimeMax_;
    values.autoValueMax = autoValueMax_;
    values.autoValueMin = autoValueMin_;
    CScaleDlg dialog(context_.templates, values, this);
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    const ScaleValues& chosen = dialog.values();
    plot.setRanges(chosen.timeMin, chosen.timeMax, chosen.valueMin, chosen.valueMax);
    autoTimeMax_ = chosen.autoTimeMax;
    autoValueMax_ = chosen.autoValueMax;
    autoValueMin_ = chosen.autoValueMin;
    relabel(channel);
    rebuildChannel(channel);
}

void CGraphView::chooseColour(QColor PlotColours::*colour, const QString& key)
{
    QColorDialog dialog(colours_.*colour, this);
    if (runDialog(dialog) != QDialog::Accepted || !dialog.currentColor().isValid())
        return;
    colours_.*colour = dialog.currentColor().toRgb();
    context_.profile.saveGraphColor(key, PlotColours::storedNumber(colours_.*colour));
    update();
}

void CGraphView::copyPicture()
{
    QGuiApplication::clipboard()->setImage(picture());
}

void CGraphView::print()
{
    const auto paint = [this](QPainter& painter, const QRect& page) { paintPage(painter, page); };
    if (printer_->print(this, paint) == GraphPrinter::Result::Failed)
        context_.prompt.showMessage(QStringLiteral("Could not start print job."));
}

void CGraphView::printPreview()
{
    printer_->preview(this, [this](QPainter& painter, const QRect& page) { paintPage(painter, page); });
}

void CGraphView::printSetup()
{
    // The title is the command's own tooltip text ("Print Setup").
    printer_->setup(this, context_.module.string(IdPrintSetup).section(QLatin1Char('\n'), 1));
}
