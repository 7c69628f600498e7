#include "views/CGridView.h"

#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/DecimalText.h"
#include "model/StepColumns.h"
#include "views/CDecimalEdit.h"
#include "views/CImportReportDlg.h"
#include "views/PasteSource.h"
#include "views/WorksheetFormats.h"
#include "views/WorksheetModel.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

using namespace WorksheetFormats;

namespace {

// The editors give the cursor back after an edit in two steps, each a tenth of a second apart.
constexpr int kCursorDelayMs = 100;
// The line-number column is at least 500 twips wide.
constexpr int kLineNumberMinimumWidth = 34;

const QString kStep = QStringLiteral("Step");
const QString kRamp = QStringLiteral("Ramp");
const QString kOff = QStringLiteral("off");
const QString kOn = QStringLiteral("on");

bool isChannel(int channel)
{
    return channel >= 0 && channel < kChannelCount;
}

} // namespace

CGridView::CGridView(CMainDoc& document, const ViewContext& context, QWidget* parent)
    : QWidget(parent), document_(document), context_(context),
      editor_(document, context.settings, context.prompt, context.module, *this),
      stack_(new QStackedWidget(this)), pasteSource_(new PasteSource(document, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack_);

    for (int channel = 0; channel < kChannelCount; ++channel) {
        auto* model = new WorksheetModel(document_, channel, this);
        auto* table = new WorksheetTable(stack_);
        table->setObjectName(QStringLiteral("WorksheetChannel%1").arg(channel + 1));
        table->setModel(model);
        // The vertical header carries the line numbers; the hidden fields never show.
        for (int column : {int(LineColumn), int(Load2Column), int(FrequencyColumn), int(Transition2Column)})
            table->setColumnHidden(column, true);
        table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
        table->verticalHeader()->setMinimumWidth(std::max(
            kLineNumberMinimumWidth, table->fontMetrics().horizontalAdvance(QStringLiteral("10240"))));
        connect(table, &WorksheetTable::editorRequested, this, &CGridView::openCellEditor);
        connect(table, &WorksheetTable::keyCommand, this, &CGridView::onKeyCommand);
        connect(table, &WorksheetTable::contextMenuRequested, this, [this](const QPoint& globalPos) {
            if (context_.showContextMenu)
                context_.showContextMenu(kContextMenu, globalPos);
        });
        // An open editor stays over its cell while the grid scrolls or a column is resized.
        connect(table->verticalScrollBar(), &QScrollBar::valueChanged, this, &CGridView::placeEditor);
        connect(table->horizontalScrollBar(), &QScrollBar::valueChanged, this, &CGridView::placeEditor);
        connect(table->horizontalHeader(), &QHeaderView::sectionResized, this, &CGridView::placeEditor);
        models_[channel] = model;
        tables_[channel] = table;
        stack_->addWidget(table);
    }

    // The editors come after the grids in the focus chain and take the focus only when they open:
    // a window that is activated gives it to the grid.
    textEditor_ = new CDecimalEdit(this);
    listEditor_ = new QComboBox(this);
    textEditor_->setObjectName(QStringLiteral("WorksheetTextEditor"));
    textEditor_->setFrame(true);
    textEditor_->setAlignment(Qt::AlignRight);
    listEditor_->setObjectName(QStringLiteral("WorksheetListEditor"));
    for (QWidget* editor : {static_cast<QWidget*>(textEditor_), static_cast<QWidget*>(listEditor_)}) {
        editor->hide();
        editor->setFocusPolicy(Qt::NoFocus);
        editor->installEventFilter(this);
    }
    editor_.setClipboardWriter([this](const QString& text) { pasteSource_->write(text); });
    defineCommands();

    for (int channel = 0; channel < kChannelCount; ++channel)
        fillChannel(channel);
    showChannel(document_.currentChannel());
}

CGridView::~CGridView()
{
    // The editors and grids go first, while everything their signals reach still exists.
    editing_ = false;
    stopCursorTimers();
    textEditor_->removeEventFilter(this);
    listEditor_->removeEventFilter(this);
    delete textEditor_;
    delete listEditor_;
    for (WorksheetTable*& table : tables_) {
        delete table;
        table = nullptr;
    }
}

void CGridView::setGraphLink(GraphLink* graph)
{
    graph_ = graph;
    editor_.setGraphLink(graph);
}

void CGridView::defineCommands()
{
    commands_.add(IdSelectAll, [this] { selectAllLines(); });
    commands_.add(
        IdUndo, [this] { undoLastOperation(); },
        [this] { return editor_.undoKind() != WorksheetEditor::UndoKind::None; });
    // The menu's Delete and Copy start a new undo history; its Paste does not, so that right after a
    // deletion it puts the deleted lines back.
    commands_.add(IdDelete, [this] {
        editor_.clearUndo();
        deleteSelection();
    });
    commands_.add(IdCopy, [this] {
        editor_.clearUndo();
        copySelection();
    });
    commands_.add(IdPaste, [this] { pasteSelection(); });
    commands_.add(kEditPaste, [this] {
        editor_.clearUndo();
        pasteSelection();
    });
}

void CGridView::onKeyCommand(WorksheetTable::KeyCommand command)
{
    switch (command) {
    case WorksheetTable::KeyCommand::SelectAll:
        selectAllLines();
        break;
    case WorksheetTable::KeyCommand::Undo:
        undoLastOperation();
        break;
    case WorksheetTable::KeyCommand::Delete:
        editor_.clearUndo();
        deleteSelection();
        break;
    case WorksheetTable::KeyCommand::Copy:
        copySelection();
        break;
    case WorksheetTable::KeyCommand::Paste:
        editor_.clearUndo();
        pasteSelection();
        break;
    }
}

WorksheetTable* CGridView::currentTable() const
{
    return tables_[document_.currentChannel()];
}

// ---- Operations other parts call ----

void CGridView::showChannel(int channel)
{
    if (editing_)
        commitEditor(false);
    const bool hadFocus = isAncestorOf(QApplication::focusWidget());
    const int shown = isChannel(channel) ? channel : document_.currentChannel();
    stack_->setCurrentIndex(shown);
    setFocusProxy(tables_[shown]);
    if (hadFocus)
        tables_[shown]->setFocus();
    refreshTitle();
    commandStatesChanged();
}

void CGridView::fillChannel(int channel)
{
    if (!isChannel(channel))
        return;
    if (editing_ && editChannel_ == channel) {
        // The channel's steps are being replaced: what was typed has no line to go to.
        editing_ = false;
        textEditor_->hide();
        listEditor_->hide();
    }
    editor_.channelReplaced(channel);
    editor_.writeTimes(channel, 1);
    const AppSettings& settings = context_.settings;
    models_[channel]->setTimeHeaders(timeHeader(settings.Unit, settings.SeqMode),
                                     intervalHeader(settings.Unit, settings.SeqMode));
    models_[channel]->setValueHeader(valueHeader(settings.ModeCh[channel]));
    applyLayout(channel);
    models_[channel]->linesChanged(1, kMaxSteps);
    saved_[channel] = Cell();
    placeCursor(channel);
    if (channel == document_.currentChannel())
        showStepCount(channel);
    commandStatesChanged();
}

void CGridView::applyLayout(int channel)
{
    const AppSettings& settings = context_.settings;
    WorksheetTable* table = tables_[channel];
    models_[channel]->setShownLines(shownLines(settings));
    const bool hardware = settings.SeqCtl == HardwareControl;
    table->setColumnHidden(TransitionColumn, hardware);
    table->setColumnHidden(LoadColumn, hardware);
    fitColumns(channel);
}

void CGridView::fitColumns(int channel)
{
    const AppSettings& settings = context_.settings;
    WorksheetTable* table = tables_[channel];
    const WorksheetModel* model = models_[channel];
    const QFontMetrics cells = table->fontMetrics();
    const QFontMetrics headers = table->horizontalHeader()->fontMetrics();
    const int cellPadding = cells.horizontalAdvance(QLatin1Char('0')) * 2;
    const int headerPadding = headers.horizontalAdvance(QLatin1Char('0')) * 3;
    // The widest text a column is likely to hold: a long run's times, the largest set value.
    const char* timeFormat = timeTextFormat(settings);
    const QString samples[] = {QString(),
                               formatDouble(timeFormat, 999999.0),
                               formatDouble(valueFormat(settings.ModeCh[channel], settings), 300000.0),
                               formatDouble(timeFormat, 9999.0),
                               kRamp,
                               kOff};
    for (int column = TimeColumn; column <= LoadColumn; ++column) {
        const int width = std::max(headers.horizontalAdvance(model->headerText(column)) + headerPadding,
                                   cells.horizontalAdvance(samples[column]) + cellPadding);
        table->horizontalHeader()->resizeSection(column, width);
    }
}

void CGridView::applyControlMethod()
{
    if (editing_)
        commitEditor(false);
    // An interval typed into the entry row was rounded and bounded by the other method's rules.
    for (int channel = 0; channel < kChannelCount; ++channel) {
        editor_.dropEntryRow(channel);
        applyLayout(channel);
    }
    setTimeHeaders(context_.settings.Unit);
    refreshTitle();
}

void CGridView::setTimeHeaders(int unit)
{
    const int mode = context_.settings.SeqMode;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        models_[channel]->setTimeHeaders(timeHeader(unit, mode), intervalHeader(unit, mode));
        fitColumns(channel);
    }
}

void CGridView::setValueHeader(int mode)
{
    const int channel = document_.currentChannel();
    models_[channel]->setValueHeader(valueHeader(mode));
    fitColumns(channel);
}

// ---- WorksheetLink ----

void CGridView::refreshLine(int channel, int line)
{
    if (!isChannel(channel))
        return;
    // The line after it may have become the entry row.
    models_[channel]->linesChanged(line, line + 1);
    saved_[channel] = Cell{std::max(line, 1), TimeColumn};
    editor_.noteStepCountChanged(channel);
    showStepCount(channel);
    commandStatesChanged();
}

void CGridView::refreshTimesFrom(int channel, int line)
{
    if (isChannel(channel))
        models_[channel]->timesChanged(line, kMaxSteps);
}

void CGridView::refreshLinesFrom(int channel, int line)
{
    if (!isChannel(channel))
        return;
    models_[channel]->linesChanged(line, kMaxSteps);
    editor_.noteStepCountChanged(channel);
    showStepCount(channel);
    commandStatesChanged();
}

void CGridView::refreshTitle()
{
    const int channel = document_.currentChannel();
    showStepCount(channel);
    setValueHeader(context_.settings.ModeCh[channel]);
}

void CGridView::restoreCursor()
{
    placeCursor(document_.currentChannel());
}

void CGridView::placeCursor(int channel)
{
    const WorksheetModel* model = models_[channel];
    if (model->rowCount() == 0)
        return;
    const Cell& cell = saved_[channel];
    const int row = std::clamp(cell.line - 1, 0, model->rowCount() - 1);
    tables_[channel]->setCurrentIndex(model->index(row, cell.column));
}

// ---- WorksheetDisplay ----

void CGridView::showLines(int channel, int firstLine, int lastLine)
{
    models_[channel]->linesChanged(firstLine, lastLine);
}

void CGridView::showTimes(int channel, int firstLine, int lastLine)
{
    models_[channel]->timesChanged(firstLine, lastLine);
}

void CGridView::showStepCount(int channel)
{
    if (channel == document_.currentChannel())
        setWindowTitle(QStringLiteral("Worksheet - Data Count:%1").arg(document_.channel(channel).count));
}

// ---- In-place editors ----

QWidget* CGridView::openEditor() const
{
    if (!editing_)
        return nullptr;
    if (editCell_.column == ValueColumn || editCell_.column == IntervalColumn)
        return textEditor_;
    return listEditor_;
}

void CGridView::openCellEditor(int digit)
{
    if (editing_)
        return;
    const int channel = document_.currentChannel();
    WorksheetTable* table = tables_[channel];
    const QModelIndex index = table->currentIndex();
    if (!index.isValid())
        return;
    const Cell cell{index.row() + 1, index.column()};
    saved_[channel] = cell;
    table->setFocus();
    if (!editor_.isEditable(channel, cell.line, cell.column))
        return;

    textAtOpen_ = models_[channel]->cellText(cell.line, cell.column);
    editChannel_ = channel;
    editCell_ = cell;
    QWidget* editor = nullptr;
    if (cell.column == ValueColumn || cell.column == IntervalColumn) {
        textEditor_->setSignAllowed(cell.column == ValueColumn);
        if (digit >= 0) {
            textEditor_->setText(QString::number(digit));
            textEditor_->deselect();
            textEditor_->setCursorPosition(1);
        } else {
            textEditor_->setText(textAtOpen_);
            textEditor_->selectAll();
        }
        editor = textEditor_;
    } else {
        listEditor_->clear();
        if (cell.column == TransitionColumn) {
            listEditor_->addItems({kStep, kRamp});
            listEditor_->setCurrentIndex(listEditor_->findText(textAtOpen_));
        } else {
            listEditor_->addItems({kOff, kOn});
            listEditor_->setCurrentIndex(textAtOpen_ == kOff ? 0 : 1);
        }
        editor = listEditor_;
    }
    if (editor->parentWidget() != table->viewport())
        editor->setParent(table->viewport());
    editing_ = true;
    table->scrollTo(index);
    placeEditor();
    editor->show();
    editor->raise();
    editor->setFocus();
}

void CGridView::placeEditor()
{
    QWidget* editor = openEditor();
    if (!editor)
        return;
    const WorksheetTable* table = tables_[editChannel_];
    const QRect cell = table->visualRect(models_[editChannel_]->index(editCell_.line - 1, editCell_.column));
    if (editor == textEditor_) {
        textEditor_->setGeometry(cell);
        return;
    }
    // The list keeps its own height, centred on the row, and at least the width its words need.
    const QSize hint = listEditor_->sizeHint();
    const int height = std::max(cell.height(), hint.height());
    listEditor_->setGeometry(cell.x(), cell.y() + (cell.height() - height) / 2,
                             std::max(cell.width(), hint.width()), height);
}

bool CGridView::eventFilter(QObject* watched, QEvent* event)
{
    if (editing_ && watched == openEditor()) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                commitEditor(true);
                return true;
            }
            if (key == Qt::Key_Escape) {
                cancelEditor();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut &&
                   static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
            // The drop-down's own list and the text box's context menu take the focus for a moment
            // without ending the edit.
            commitEditor(false);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CGridView::commitEditor(bool byEnter)
{
    if (!editing_)
        return;
    editing_ = false;
    const int channel = editChannel_;
    const Cell cell = editCell_;
    const int chosen = listEditor_->currentIndex();
    switch (cell.column) {
    case ValueColumn:
        editor_.commitValue(channel, cell.line, textEditor_->text());
        break;
    case IntervalColumn:
        editor_.commitInterval(channel, cell.line, textEditor_->text(), textAtOpen_);
        tables_[channel]->setCurrentIndex(models_[channel]->index(cell.line - 1, IntervalColumn));
        break;
    case TransitionColumn:
        // A list opened on a cell that matched neither word and left unchosen changes nothing.
        if (chosen >= 0)
            editor_.commitTransition(channel, cell.line, listEditor_->currentText() != kStep);
        break;
    default:
        if (chosen >= 0)
            editor_.commitLoad(channel, cell.line, cell.column, listEditor_->currentText() != kOff);
        break;
    }
    closeEditor(byEnter);
    commandStatesChanged();
}

void CGridView::cancelEditor()
{
    if (!editing_)
        return;
    editing_ = false;
    closeEditor(true);
}

void CGridView::closeEditor(bool byKey)
{
    textEditor_->hide();
    listEditor_->hide();
    // After the focus went elsewhere the grid does not take it back; after Enter or Escape it does,
    // and the cursor then returns to the cell where the edit began.
    if (!byKey)
        return;
    tables_[editChannel_]->setFocus();
    startCursorTimers();
}

void CGridView::startCursorTimers()
{
    stopCursorTimers();
    rightTimer_ = context_.timers.startTimer(kCursorDelayMs, true, [this] {
        rightTimer_ = TimerService::noTimer;
        QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        QCoreApplication::sendEvent(currentTable(), &right);
        cursorTimer_ = context_.timers.startTimer(kCursorDelayMs, true, [this] {
            cursorTimer_ = TimerService::noTimer;
            restoreCursor();
        });
    });
}

void CGridView::stopCursorTimers()
{
    context_.timers.stopTimer(rightTimer_);
    context_.timers.stopTimer(cursorTimer_);
    rightTimer_ = TimerService::noTimer;
    cursorTimer_ = TimerService::noTimer;
}

// ---- Line commands ----

std::pair<int, int> CGridView::selectedLines() const
{
    const WorksheetTable* table = currentTable();
    const QModelIndex current = table->currentIndex();
    int first = current.isValid() ? current.row() + 1 : 0;
    int last = first;
    for (const QItemSelectionRange& range : table->selectionModel()->selection()) {
        first = first == 0 ? range.top() + 1 : std::min(first, range.top() + 1);
        last = std::max(last, range.bottom() + 1);
    }
    return {first, last};
}

void CGridView::saveCursor()
{
    const int channel = document_.currentChannel();
    const QModelIndex current = tables_[channel]->currentIndex();
    if (current.isValid())
        saved_[channel] = Cell{current.row() + 1, current.column()};
}

void CGridView::selectAllLines()
{
    const int channel = document_.currentChannel();
    const WorksheetModel* model = models_[channel];
    const int rows = model->rowCount();
    if (rows == 0)
        return;
    QItemSelectionModel* selection = tables_[channel]->selectionModel();
    selection->setCurrentIndex(model->index(0, TimeColumn), QItemSelectionModel::NoUpdate);
    selection->select(QItemSelection(model->index(0, TimeColumn), model->index(rows - 1, Transition2Column)),
                      QItemSelectionModel::ClearAndSelect);
}

void CGridView::copySelection()
{
    if (editing_)
        commitEditor(false);
    const auto [first, last] = selectedLines();
    editor_.copyLines(first, last);
    commandStatesChanged();
}

void CGridView::deleteSelection()
{
    if (editing_)
        commitEditor(false);
    const auto [first, last] = selectedLines();
    saveCursor();
    if (editor_.deleteLines(first, last))
        restoreCursor();
    commandStatesChanged();
}

void CGridView::pasteSelection()
{
    if (editing_)
        commitEditor(false);
    const int line = selectedLines().first;
    saveCursor();
    const QString columns = pasteSource_->clipboardColumns();
    const bool pasted = columns.isNull() ? editor_.pasteLines(line) : insertColumns(columns, line, QString());
    if (pasted)
        restoreCursor();
    commandStatesChanged();
}

bool CGridView::insertColumns(const QString& text, int line, const QString& sourceName)
{
    const int channel = document_.currentChannel();
    if (line < 1 || line > document_.channel(channel).count + 1)
        return false;
    StepImport::Target target;
    target.channel = channel;
    target.line = line;
    for (int c = 0; c < kChannelCount; ++c)
        target.counts[c] = document_.channel(c).count;
    CImportReportDlg dialog(context_.templates, StepColumns::read(text), context_.settings, target,
                            sourceName, window());
    if (!context_.runDialog || context_.runDialog(dialog) != QDialog::Accepted)
        return false;
    const bool inserted = editor_.insertSteps(dialog.plan().insertions);
    commandStatesChanged();
    return inserted;
}

void CGridView::undoLastOperation()
{
    if (editing_)
        commitEditor(false);
    saveCursor();
    if (editor_.undo())
        restoreCursor();
    commandStatesChanged();
}

void CGridView::commandStatesChanged()
{
    if (context_.commandStatesChanged)
        context_.commandStatesChanged();
}
