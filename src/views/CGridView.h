#pragma once

#include "ui/TimerService.h"
#include "views/CommandTable.h"
#include "views/SequenceViewLink.h"
#include "views/ViewContext.h"
#include "views/WorksheetEditor.h"
#include "views/WorksheetTable.h"

#include <QWidget>
#include <array>

class CDecimalEdit;
class PasteSource;
class CMainDoc;
class QComboBox;
class QStackedWidget;
class WorksheetModel;

// The worksheet of a document, hosted in the document's worksheet window: one grid per channel, of
// which the current channel's is shown, with a text box and a drop-down list as in-place editors.
// The main frame routes the Worksheet menu and the context menu to its command table while its
// window is active, and tells it when the current channel, the control method or the mode changes.
// The graph of the same document reaches it through WorksheetLink; it tells the graph about every
// edit through GraphLink.
class CGridView : public QWidget, public WorksheetLink, private WorksheetDisplay {
    Q_OBJECT
public:
    // The Worksheet menu's commands.
    enum CommandId { IdSelectAll = 32812, IdUndo = 32811, IdDelete = 32774, IdCopy = 32772, IdPaste = 32773 };
    // The frame's Paste key (Ctrl+V, Shift+Ins) acts in the worksheet as its V key does.
    static constexpr int kEditPaste = 57637;
    // The worksheet's context menu resource.
    static constexpr int kContextMenu = 132;

    CGridView(CMainDoc& document, const ViewContext& context, QWidget* parent = nullptr);
    ~CGridView() override;

    CMainDoc& document() { return document_; }
    CommandTable& commands() { return commands_; }
    // The graph of the same document, told about every edit; null until the session wires it.
    void setGraphLink(GraphLink* graph);

    // Shows the document's current channel and refreshes the title and the value header.
    void showChannel(int channel);
    // Clears the channel's grid and writes its headers, line numbers and every step, recomputing
    // the cumulative times, then applies the control-method layout.
    void fillChannel(int channel);
    // Re-applies the control-method layout of every channel and the headers of the current one.
    void applyControlMethod();
    // Rewrite the Time and Interval headers for a time unit, or the value header for a mode.
    void setTimeHeaders(int unit);
    void setValueHeader(int mode);

    // WorksheetLink
    void refreshLine(int channel, int line) override;
    void refreshTimesFrom(int channel, int line) override;
    void refreshLinesFrom(int channel, int line) override;
    void refreshTitle() override;
    void restoreCursor() override;

    // Inserts spreadsheet columns (the clipboard's or a CSV file's text) into the document after the
    // change report, as one operation Undo takes back: one column group into the current channel at
    // the line, channel groups after the last steps of their channels. sourceName names the file, or
    // is empty for the clipboard. False when nothing was inserted.
    bool insertColumns(const QString& text, int line, const QString& sourceName);
    // The line Paste inserts at: the upper end of the current channel's selection.
    int pasteLine() const { return selectedLines().first; }

    // What tests and the frame look at.
    WorksheetTable* table(int channel) const { return tables_.at(channel); }
    WorksheetModel* model(int channel) const { return models_.at(channel); }
    WorksheetEditor& editor() { return editor_; }
    bool isEditing() const { return editing_; }
    // Commits an open in-place editor as losing the focus would; nothing when none is open. The
    // frame calls it before any command and before the program closes, so that a value still being
    // typed is neither saved without nor lost.
    void commitOpenEditor() { commitEditor(false); }
    // The open editor (the text box or the drop-down list); null when none is open.
    QWidget* openEditor() const;
    CDecimalEdit* textEditor() const { return textEditor_; }
    QComboBox* listEditor() const { return listEditor_; }
    // The cell the cursor returns to after an edit or a line operation: line (1-based), column.
    QPoint savedCell(int channel) const { return QPoint(saved_.at(channel).column, saved_.at(channel).line); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A cell of a channel's grid: its line (from 1) and its column.
    struct Cell {
        int line = 1;
        int column = 1;
    };

    // WorksheetDisplay
    void showLines(int channel, int firstLine, int lastLine) override;
    void showTimes(int channel, int firstLine, int lastLine) override;
    void showStepCount(int channel) override;

    void defineCommands();
    WorksheetTable* currentTable() const;
    void applyLayout(int channel);
    // Puts the channel's grid cursor on its saved cell.
    void placeCursor(int channel);
    void fitColumns(int channel);

    void openCellEditor(int digit);
    void placeEditor();
    void commitEditor(bool byEnter);
    void cancelEditor();
    void closeEditor(bool byEnter);
    void startCursorTimers();
    void stopCursorTimers();

    void onKeyCommand(WorksheetTable::KeyCommand command);
    void selectAllLines();
    // The current row and the selection's end, in ascending order (0, 0 when there is no cursor).
    std::pair<int, int> selectedLines() const;
    void copySelection();
    void deleteSelection();
    void pasteSelection();
    void undoLastOperation();
    void saveCursor();
    void commandStatesChanged();

    CMainDoc& document_;
    const ViewContext& context_;
    GraphLink* graph_ = nullptr;
    CommandTable commands_;
    WorksheetEditor editor_;
    QStackedWidget* stack_;
    std::array<WorksheetModel*, kChannelCount> models_{};
    std::array<WorksheetTable*, kChannelCount> tables_{};
    std::array<Cell, kChannelCount> saved_{};
    CDecimalEdit* textEditor_ = nullptr;
    QComboBox* listEditor_ = nullptr;

    // The open editor: its cell and the cell's text when it opened.
    bool editing_ = false;
    int editChannel_ = 0;
    Cell editCell_;
    QString textAtOpen_;
    PasteSource* pasteSource_;
    TimerService::TimerId rightTimer_ = TimerService::noTimer;
    TimerService::TimerId cursorTimer_ = TimerService::noTimer;
};
