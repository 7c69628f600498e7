#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// One input of the random user, as a line of text that can be printed and read back:
//   gpress X Y, gmove X Y, grelease X Y, gdclick X Y, gright X Y   the graph view, at pixels
//   cell L C, shiftcell L C, dcell L C, rcell L C                   a worksheet cell (line, column)
//   celldrag L C L2 C2                                             a drag over worksheet cells
//   key K                                                          a key, as QKeySequence writes it
//   type TEXT                                                      characters typed
//   menu ID                                                        a menu command, if enabled
//   activate worksheet|graph                                       a click on a window's title
//   control 0|1                                                    the control-method list
//   wait MS                                                        time passes (the views' timers)
//   pick I, pkey K, pclose                                         an open popup: item, key, away
// A trailing "~HEX" seeds the answers to the questions and dialogs the action brings up.
struct FuzzAction {
    enum class Kind {
        GraphPress,
        GraphMove,
        GraphRelease,
        GraphDoubleClick,
        GraphRightClick,
        CellClick,
        CellShiftClick,
        CellDoubleClick,
        CellRightClick,
        CellDrag,
        Key,
        Type,
        Menu,
        Activate,
        ControlMethod,
        Wait,
        PopupPick,
        PopupKey,
        PopupClose,
    };

    Kind kind = Kind::Wait;
    int a = 0;    // x, line, command, window (0 worksheet, 1 graph), method, ms or item
    int b = 0;    // y or column
    int c = 0;    // the second line of a drag
    int d = 0;    // the second column of a drag
    QString text; // the key or the characters
    std::uint32_t answers = 0;

    QString toText() const;
    static std::optional<FuzzAction> parse(const QString& line);
};
