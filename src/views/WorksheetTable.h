#pragma once

#include <QTableView>

// One channel's grid in the worksheet. It keeps the table's own cursor keys, paging and mouse
// selection, and turns the worksheet's keys into requests: a digit, Enter or a double-click asks for
// the cell's editor; A, Z, Delete, C and V (plain, either case) ask for the line commands; the right
// button asks for the context menu and leaves the selection as it is.
class WorksheetTable : public QTableView {
    Q_OBJECT
public:
    enum class KeyCommand { SelectAll, Undo, Delete, Copy, Paste };

    explicit WorksheetTable(QWidget* parent = nullptr);

signals:
    // digit: the digit key that asked (0..9), or -1 for Enter and a double-click.
    void editorRequested(int digit);
    void keyCommand(WorksheetTable::KeyCommand command);
    void contextMenuRequested(const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
