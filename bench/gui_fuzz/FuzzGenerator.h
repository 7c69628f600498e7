#pragma once

#include "FuzzAction.h"
#include "FuzzRandom.h"

#include <QKeyCombination>
#include <QPoint>
#include <cstdint>
#include <deque>

class FuzzSession;

// The random user: draws the next action from its seed and from what the program shows now. Half
// the time it starts a gesture, a few steps a user takes in order (select a step and drag its
// handle, draw a step from the end of the line, type a value into a cell and commit it, select lines
// and delete, copy, paste or undo them), with single random actions now and then in between: a
// command or a key while the mouse is held, a click elsewhere while a cell is being typed into.
class FuzzGenerator {
public:
    explicit FuzzGenerator(std::uint64_t seed) : random_(seed) {}

    FuzzAction next(const FuzzSession& session);

private:
    // A step of a gesture, made into an action when its turn comes.
    enum class Intent {
        DoubleClickPiece, // a segment's end or a boundary line
        PressHandle,      // on the selection's handle (or near it)
        PressLineEnd,     // in the append zone at the end of the line
        MoveHeld,         // where a drag or a drawing goes
        Release,
        ClickCell,      // an editable cell near the end of the sequence
        ClickEntryCell, // the entry row, column in the plan
        OpenEditor,     // Enter or a digit
        TypeNumber,
        ChooseItem, // Up or Down in the drop-down list
        Commit,     // Enter, Escape, a click elsewhere or a command
        ShiftClickCell,
        LineCommand, // A, Z, C, V, Delete or the Worksheet menu
        Wait,
    };
    struct Planned {
        Intent intent;
        int column = 0;
    };

    void plan();
    FuzzAction resolve(const Planned& step, const FuzzSession& session);
    FuzzAction single(const FuzzSession& session);
    FuzzAction withoutDocument();
    FuzzAction inPopup();
    FuzzAction whileHeld(const FuzzSession& session);
    FuzzAction graphAction(const FuzzSession& session);
    FuzzAction cellAction(const FuzzSession& session);
    FuzzAction keyAction(const FuzzSession& session);
    FuzzAction menuAction();
    FuzzAction waitAction();
    FuzzAction cell(FuzzAction::Kind kind, int line, int column);
    FuzzAction graphMouse(FuzzAction::Kind kind, const QPoint& point);
    // A point of the graph worth pressing or double-clicking: on the handle, a boundary line, a
    // segment's end, the end of the line, the plot's edges, or anywhere.
    QPoint graphPoint(const FuzzSession& session);
    QPoint pieceOfLine(const FuzzSession& session);
    // Where a held button moves: along the drag's direction, near the last point, anywhere, or out of
    // the view.
    QPoint movePoint(const FuzzSession& session);
    int cellLine(const FuzzSession& session);
    int cellColumn();
    static FuzzAction key(QKeyCombination combination);

    FuzzRandom random_;
    std::deque<Planned> planned_;
    QPoint last_;
};
