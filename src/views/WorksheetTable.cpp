#include "views/WorksheetTable.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

WorksheetTable::WorksheetTable(QWidget* parent) : QTableView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // Every row and column has a size of its own setting: the view never measures 1024 rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
}

void WorksheetTable::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (modifiers == Qt::NoModifier && key >= Qt::Key_0 && key <= Qt::Key_9) {
        emit editorRequested(key - Qt::Key_0);
        return;
    }
    if (modifiers == Qt::NoModifier && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        emit editorRequested(-1);
        return;
    }
    if (modifiers == Qt::NoModifier && key == Qt::Key_Delete) {
        emit keyCommand(KeyCommand::Delete);
        return;
    }
    // The letters act in either case: with or without Shift.
    if ((modifiers & ~Qt::ShiftModifier) == Qt::NoModifier) {
        switch (key) {
        case Qt::Key_A:
            emit keyCommand(KeyCommand::SelectAll);
            return;
        case Qt::Key_Z:
            emit keyCommand(KeyCommand::Undo);
            return;
        case Qt::Key_C:
            emit keyCommand(KeyCommand::Copy);
            return;
        case Qt::Key_V:
            emit keyCommand(KeyCommand::Paste);
            return;
        default:
            break;
        }
        // Other characters mean nothing on the grid (the table would search its cells for them).
        const QString text = event->text();
        if (!text.isEmpty() && text.at(0).isPrint()) {
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void WorksheetTable::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        emit contextMenuRequested(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void WorksheetTable::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        emit editorRequested(-1);
}
