#include "FuzzGenerator.h"

#include "FuzzSession.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "views/CDecimalEdit.h"
#include "views/CGraphView.h"
#include "views/CGridView.h"
#include "views/WorksheetModel.h"
#include "views/WorksheetTable.h"

#include <QKeySequence>
#include <vector>

namespace {

using Kind = FuzzAction::Kind;

const std::vector<int> kGraphCommands = {32783, 32784, 32785, 32779, 32786, 32771,
                                         32776, 32777, 32778, 32780, 57634};
const std::vector<int> kWorksheetCommands = {32812, 32811, 32774, 32772, 32773};
const std::vector<int> kChannelCommands = {32823, 32824, 32825, 32826, 32831};
// New, Open, Close, Save, Save As; the window arrangements and the bars, which resize the views.
const std::vector<int> kFileCommands = {57600, 57601, 57602, 57603, 57604};
const std::vector<int> kWindowCommands = {57650, 57651, 57652, 59392, 59393};

// Keys on the grid: the digits and Enter open an editor, the letters are the line commands.
const std::vector<QKeyCombination> kGridKeys = {Qt::Key_0,
                                                Qt::Key_1,
                                                Qt::Key_2,
                                                Qt::Key_5,
                                                Qt::Key_9,
                                                Qt::Key_Return,
                                                Qt::Key_Enter,
                                                Qt::Key_Escape,
                                                Qt::Key_A,
                                                Qt::Key_Z,
                                                Qt::Key_C,
                                                Qt::Key_V,
                                                Qt::Key_Delete,
                                                Qt::Key_A | Qt::SHIFT,
                                                Qt::Key_Z | Qt::SHIFT,
                                                Qt::Key_Up,
                                                Qt::Key_Down,
                                                Qt::Key_Left,
                                                Qt::Key_Right,
                                                Qt::Key_PageDown,
                                                Qt::Key_PageUp,
                                                Qt::Key_Home,
                                                Qt::Key_End,
                                                Qt::Key_Down | Qt::SHIFT,
                                                Qt::Key_Up | Qt::SHIFT,
                                                Qt::Key_End | Qt::SHIFT,
                                                Qt::Key_End | Qt::CTRL,
                                                Qt::Key_Home | Qt::CTRL,
                                                Qt::Key_Tab,
                                                Qt::Key_Backspace,
                                                Qt::Key_Space};
// Keys in an open editor: the text box and the drop-down list.
const std::vector<QKeyCombination> kEditorKeys = {
    Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Backspace,     Qt::Key_Delete,
    Qt::Key_Up,     Qt::Key_Down,  Qt::Key_Left,   Qt::Key_Right,         Qt::Key_Home,
    Qt::Key_End,    Qt::Key_Tab,   Qt::Key_F4,     Qt::Key_Down | Qt::ALT};
// The accelerators, now and then.
const std::vector<QKeyCombination> kAccelerators = {Qt::Key_C | Qt::CTRL,        Qt::Key_V | Qt::CTRL,
                                                    Qt::Key_Z | Qt::CTRL,        Qt::Key_Insert | Qt::CTRL,
                                                    Qt::Key_Insert | Qt::SHIFT,  Qt::Key_Delete | Qt::SHIFT,
                                                    Qt::Key_Backspace | Qt::ALT, Qt::Key_X | Qt::CTRL,
                                                    Qt::Key_S | Qt::CTRL,        Qt::Key_N | Qt::CTRL};
// What a user types into the text box: ordinary numbers, the edges of the accepted ranges, values
// that round, and malformed text.
const std::vector<QString> kTyped = {
    QStringLiteral("5"),     QStringLiteral("0"),       QStringLiteral("12.5"),     QStringLiteral("-1"),
    QStringLiteral("-100"),  QStringLiteral("300000"),  QStringLiteral("300000.5"), QStringLiteral("0.7"),
    QStringLiteral("0.8"),   QStringLiteral("999.9"),   QStringLiteral("999.5"),    QStringLiteral("0.0005"),
    QStringLiteral("0.001"), QStringLiteral("9999"),    QStringLiteral("10000"),    QStringLiteral(".5"),
    QStringLiteral("1.2.3"), QStringLiteral("3"),       QStringLiteral("0.2"),      QStringLiteral("0.3"),
    QStringLiteral("1000"),  QStringLiteral("25"),      QStringLiteral("0.1"),      QStringLiteral("0.04"),
    QStringLiteral("-0"),    QStringLiteral("7.77777"), QStringLiteral("1"),        QStringLiteral("2.5"),
};
const std::vector<int> kWaits = {100, 100, 150, 200, 250, 1000};

} // namespace

FuzzAction FuzzGenerator::key(QKeyCombination combination)
{
    FuzzAction action;
    action.kind = Kind::Key;
    action.text = QKeySequence(combination).toString(QKeySequence::PortableText);
    return action;
}

FuzzAction FuzzGenerator::next(const FuzzSession& session)
{
    FuzzAction action;
    if (!session.document()) {
        planned_.clear();
        action = withoutDocument();
    } else if (FuzzSession::popup()) {
        action = inPopup();
    } else if (!planned_.empty() && !random_.chance(session.buttonHeld() ? 25 : 12)) {
        const Planned step = planned_.front();
        planned_.pop_front();
        action = resolve(step, session);
    } else if (planned_.empty() && !session.buttonHeld() && random_.chance(50)) {
        plan();
        const Planned step = planned_.front();
        planned_.pop_front();
        action = resolve(step, session);
    } else {
        action = single(session);
    }
    action.answers = static_cast<std::uint32_t>(random_.next() | 1u);
    return action;
}

void FuzzGenerator::plan()
{
    const auto add = [this](Intent intent, int column = 0) { planned_.push_back(Planned{intent, column}); };
    switch (random_.weighted({25, 15, 25, 15, 20})) {
    case 0: // select a step or a boundary and drag its handle
        add(Intent::DoubleClickPiece);
        add(Intent::PressHandle);
        for (int i = random_.between(1, 4); i > 0; --i)
            add(Intent::MoveHeld);
        add(Intent::Release);
        break;
    case 1: // draw a step from the end of the line
        add(Intent::PressLineEnd);
        for (int i = random_.between(1, 3); i > 0; --i)
            add(Intent::MoveHeld);
        add(Intent::Release);
        break;
    case 2: // type into a cell
        add(Intent::ClickCell);
        add(Intent::OpenEditor);
        for (int i = random_.between(0, 2); i > 0; --i)
            add(Intent::TypeNumber);
        add(Intent::Commit);
        add(Intent::Wait);
        break;
    case 3: // fill the entry row: value, interval, transition
        for (int column = 2; column <= 4; ++column) {
            add(Intent::ClickEntryCell, column);
            add(Intent::OpenEditor);
            add(Intent::TypeNumber);
            add(Intent::Commit);
        }
        add(Intent::Wait);
        break;
    default: // a line operation
        add(Intent::ClickCell);
        if (random_.chance(50))
            add(Intent::ShiftClickCell);
        add(Intent::LineCommand);
        if (random_.chance(40))
            add(Intent::LineCommand);
        break;
    }
}

FuzzAction FuzzGenerator::resolve(const Planned& step, const FuzzSession& session)
{
    const CGraphView* view = session.graph();
    const CGridView* grid = session.grid();
    const ChannelPlot& plot = view->plot(session.document()->currentChannel());
    const int count = session.document()->current().count;
    switch (step.intent) {
    case Intent::DoubleClickPiece:
        return graphMouse(Kind::GraphDoubleClick, pieceOfLine(session));
    case Intent::PressHandle:
        if (view->selectedIndex() < 0)
            return graphMouse(Kind::GraphPress, pieceOfLine(session));
        return graphMouse(Kind::GraphPress,
                          view->handlePoint() + QPoint(random_.between(-3, 2), random_.between(-3, 2)));
    case Intent::PressLineEnd:
        return graphMouse(Kind::GraphPress, QPoint(plot.appendLeft() + random_.between(0, 3),
                                                   random_.between(plot.top(), plot.bottom())));
    case Intent::MoveHeld:
        return graphMouse(Kind::GraphMove, movePoint(session));
    case Intent::Release:
        return graphMouse(Kind::GraphRelease, random_.chance(80) ? last_ : movePoint(session));
    case Intent::ClickCell:
        return cell(Kind::CellClick, std::max(1, count + 1 - random_.below(4)),
                    2 + random_.weighted({40, 30, 15, 15}));
    case Intent::ClickEntryCell:
        return cell(Kind::CellClick, count + 1, step.column);
    case Intent::OpenEditor:
        return key(random_.chance(40) ? QKeyCombination(Qt::Key_Return)
                                      : QKeyCombination(Qt::Key(Qt::Key_0 + random_.below(10))));
    case Intent::TypeNumber:
        if (grid->isEditing() && grid->openEditor() == grid->textEditor()) {
            FuzzAction action;
            action.kind = Kind::Type;
            action.text = random_.pick(kTyped);
            return action;
        }
        [[fallthrough]];
    case Intent::ChooseItem:
        return key(random_.chance(50) ? Qt::Key_Down : Qt::Key_Up);
    case Intent::Commit:
        switch (random_.weighted({65, 10, 10, 5, 5, 5})) {
        case 0:
            return key(Qt::Key_Return);
        case 1:
            return key(Qt::Key_Escape);
        case 2:
            return cell(Kind::CellClick, cellLine(session), cellColumn());
        case 3:
            return menuAction();
        case 4:
            return graphMouse(Kind::GraphPress, graphPoint(session));
        default:
            return key(Qt::Key_Tab);
        }
    case Intent::ShiftClickCell: {
        const QModelIndex current = grid->table(session.document()->currentChannel())->currentIndex();
        const int from = current.isValid() ? current.row() + 1 : 1;
        return cell(Kind::CellShiftClick, std::max(1, from + random_.between(-3, 6)), 2);
    }
    case Intent::LineCommand:
        if (random_.chance(30)) {
            FuzzAction action;
            action.kind = Kind::Menu;
            action.a = random_.pick(kWorksheetCommands);
            return action;
        }
        return key(random_.pick(std::vector<QKeyCombination>{Qt::Key_A, Qt::Key_Z, Qt::Key_C, Qt::Key_V,
                                                             Qt::Key_Delete, Qt::Key_V | Qt::SHIFT,
                                                             Qt::Key_C | Qt::SHIFT}));
    case Intent::Wait:
        break;
    }
    FuzzAction action;
    action.kind = Kind::Wait;
    action.a = random_.between(2, 5) * 50;
    return action;
}

FuzzAction FuzzGenerator::single(const FuzzSession& session)
{
    if (session.buttonHeld())
        return whileHeld(session);
    FuzzAction action;
    switch (random_.weighted({34, 15, 22, 15, 4, 6, 1, 3})) {
    case 0:
        return graphAction(session);
    case 1:
        return cellAction(session);
    case 2:
        return keyAction(session);
    case 3:
        return menuAction();
    case 4:
        action.kind = Kind::Activate;
        action.a = random_.below(2);
        return action;
    case 5:
        return waitAction();
    case 6:
        action.kind = Kind::ControlMethod;
        action.a = random_.below(2);
        return action;
    default:
        action.kind = Kind::Menu;
        action.a = random_.pick(random_.chance(40) ? kFileCommands : kWindowCommands);
        return action;
    }
}

FuzzAction FuzzGenerator::cell(Kind kind, int line, int column)
{
    FuzzAction action;
    action.kind = kind;
    action.a = std::max(1, line);
    action.b = column;
    return action;
}

FuzzAction FuzzGenerator::graphMouse(Kind kind, const QPoint& point)
{
    FuzzAction action;
    action.kind = kind;
    action.a = point.x();
    action.b = point.y();
    last_ = point;
    return action;
}

QPoint FuzzGenerator::pieceOfLine(const FuzzSession& session)
{
    const ChannelPlot& plot = session.graph()->plot(session.document()->currentChannel());
    const int n = plot.count();
    if (n == 0)
        return plot.lineStart();
    if (session.graph()->showsBoundaryLines() && random_.chance(40)) {
        const StepSegment& boundary = plot.boundary(random_.below(int(plot.boundaries().size())));
        const int top = std::min(boundary.firstPoint().y(), boundary.endPoint().y());
        const int bottom = std::max(boundary.firstPoint().y(), boundary.endPoint().y());
        return QPoint(boundary.endPoint().x() + random_.between(-1, 1), random_.between(top, bottom));
    }
    const StepSegment& segment = plot.segment(random_.below(n));
    if (random_.chance(50))
        return segment.endPoint();
    // Somewhere along the segment.
    const QPoint a = segment.firstPoint();
    const QPoint b = segment.endPoint();
    const int t = random_.between(0, 100);
    return a + (b - a) * t / 100;
}

FuzzAction FuzzGenerator::withoutDocument()
{
    FuzzAction action;
    action.kind = Kind::Menu;
    action.a = random_.chance(50) ? 57600 : 57601;
    return action;
}

FuzzAction FuzzGenerator::inPopup()
{
    FuzzAction action;
    switch (random_.weighted({50, 30, 20})) {
    case 0:
        action.kind = Kind::PopupPick;
        action.a = random_.below(FuzzSession::popupItems());
        break;
    case 1:
        action = key(random_.pick(std::vector<QKeyCombination>{Qt::Key_Down, Qt::Key_Up, Qt::Key_Return,
                                                               Qt::Key_Escape, Qt::Key_Right, Qt::Key_Left}));
        action.kind = Kind::PopupKey;
        break;
    default:
        action.kind = Kind::PopupClose;
        break;
    }
    return action;
}

FuzzAction FuzzGenerator::whileHeld(const FuzzSession& session)
{
    FuzzAction action;
    switch (random_.weighted({45, 15, 20, 8, 4, 3})) {
    case 0:
        action.kind = Kind::GraphMove;
        break;
    case 1:
        action.kind = Kind::GraphRelease;
        break;
    case 2:
        // The menus are reached by the keyboard while the mouse is held; the graph's window is the
        // active one.
        action.kind = Kind::Menu;
        action.a = random_.chance(80) ? random_.pick(kGraphCommands) : random_.pick(kChannelCommands);
        return action;
    case 3:
        return random_.chance(50) ? key(random_.pick(kAccelerators)) : key(random_.pick(kGridKeys));
    case 4:
        return waitAction();
    default:
        action.kind = Kind::GraphRightClick;
        break;
    }
    const QPoint point = movePoint(session);
    action.a = point.x();
    action.b = point.y();
    return action;
}

FuzzAction FuzzGenerator::graphAction(const FuzzSession& session)
{
    FuzzAction action;
    switch (random_.weighted({35, 30, 20, 10, 5})) {
    case 0:
        action.kind = Kind::GraphPress;
        break;
    case 1:
        action.kind = Kind::GraphDoubleClick;
        break;
    case 2:
        action.kind = Kind::GraphMove;
        break;
    case 3:
        action.kind = Kind::GraphRightClick;
        break;
    default:
        action.kind = Kind::GraphRelease;
        break;
    }
    const QPoint point = graphPoint(session);
    action.a = point.x();
    action.b = point.y();
    return action;
}

QPoint FuzzGenerator::graphPoint(const FuzzSession& session)
{
    const CGraphView* view = session.graph();
    const ChannelPlot& plot = view->plot(session.document()->currentChannel());
    const int n = plot.count();
    const QPoint jitter(random_.between(-4, 4), random_.between(-4, 4));
    QPoint point;
    switch (random_.weighted({20, 20, 15, 20, 10, 10, 5})) {
    case 0:
        point = view->selectedIndex() >= 0
                    ? view->handlePoint() + jitter
                    : QPoint(random_.between(0, view->width()), random_.between(0, view->height()));
        break;
    case 1:
        point = n > 0 ? plot.segment(random_.below(n)).endPoint() + (random_.chance(50) ? jitter : QPoint())
                      : plot.lineStart();
        break;
    case 2:
        if (n > 0 && !plot.boundaries().empty()) {
            const StepSegment& boundary = plot.boundary(random_.below(int(plot.boundaries().size())));
            const int top = std::min(boundary.firstPoint().y(), boundary.endPoint().y());
            const int bottom = std::max(boundary.firstPoint().y(), boundary.endPoint().y());
            point = random_.chance(50) ? boundary.endPoint()
                                       : QPoint(boundary.endPoint().x() + random_.between(-1, 1),
                                                random_.between(top, std::max(top, bottom)));
        } else {
            point = plot.lineEnd();
        }
        break;
    case 3:
        point = QPoint(plot.appendLeft() + random_.between(0, 3), random_.between(plot.top(), plot.bottom()));
        break;
    case 4:
        point =
            QPoint(random_.between(plot.left(), plot.right()), random_.between(plot.top(), plot.bottom()));
        break;
    case 5: {
        const int xs[] = {plot.left() - 1, plot.left(), plot.right(), plot.right() + 1, plot.right() + 4};
        const int ys[] = {plot.top() - 1, plot.top(), plot.bottom(), plot.bottom() + 1};
        point = QPoint(xs[random_.below(5)], ys[random_.below(4)]);
        break;
    }
    default:
        point = QPoint(random_.between(-5, view->width() + 5), random_.between(-5, view->height() + 5));
        break;
    }
    last_ = point;
    return point;
}

QPoint FuzzGenerator::movePoint(const FuzzSession& session)
{
    const CGraphView* view = session.graph();
    const ChannelPlot& plot = view->plot(session.document()->currentChannel());
    const int x = random_.between(plot.left() - 5, plot.right() + 5);
    const int y = random_.between(plot.top() - 5, plot.bottom() + 5);
    if (random_.chance(70)) {
        // Along the drag: a value handle moves up and down, a time handle sideways, a drawing to the
        // right of the line's end.
        switch (view->drag()) {
        case CGraphView::Drag::Value:
            last_ = QPoint(view->handlePoint().x() + random_.between(-2, 2), y);
            return last_;
        case CGraphView::Drag::Time:
            last_ = QPoint(x, view->handlePoint().y() + random_.between(-2, 2));
            return last_;
        case CGraphView::Drag::Drawing:
            last_ = QPoint(plot.appendLeft() +
                               random_.between(-4, std::max(4, plot.right() + 5 - plot.appendLeft())),
                           y);
            return last_;
        case CGraphView::Drag::None:
            break;
        }
    }
    switch (random_.weighted({35, 30, 20, 15})) {
    case 0:
        last_ += QPoint(random_.between(-25, 25), random_.between(-25, 25));
        break;
    case 1:
        last_ = QPoint(x, y);
        break;
    case 2:
        return graphPoint(session);
    default:
        last_ =
            QPoint(random_.between(-200, view->width() + 200), random_.between(-200, view->height() + 200));
        break;
    }
    return last_;
}

FuzzAction FuzzGenerator::cellAction(const FuzzSession& session)
{
    FuzzAction action;
    const Kind kinds[] = {Kind::CellClick, Kind::CellShiftClick, Kind::CellDoubleClick, Kind::CellRightClick,
                          Kind::CellDrag};
    action.kind = kinds[random_.weighted({50, 10, 20, 10, 10})];
    action.a = cellLine(session);
    action.b = cellColumn();
    if (action.kind == Kind::CellDrag) {
        action.c = std::max(1, action.a + random_.between(-5, 5));
        action.d = cellColumn();
    }
    return action;
}

int FuzzGenerator::cellLine(const FuzzSession& session)
{
    const CMainDoc& document = *session.document();
    const int count = document.current().count;
    const int rows = session.grid()->model(document.currentChannel())->rowCount();
    switch (random_.weighted({70, 15, 15})) {
    case 0:
        return std::clamp(random_.between(std::max(1, count - 4), count + 2), 1, std::max(1, rows));
    case 1:
        return random_.between(1, std::max(1, rows));
    default: {
        const int lines[] = {1, count, count + 1, 255, 256, rows};
        return std::clamp(lines[random_.below(6)], 1, std::max(1, rows));
    }
    }
}

int FuzzGenerator::cellColumn()
{
    return 1 + random_.weighted({10, 35, 30, 15, 10});
}

FuzzAction FuzzGenerator::keyAction(const FuzzSession& session)
{
    if (session.grid() && session.grid()->isEditing()) {
        if (random_.chance(55)) {
            FuzzAction action;
            action.kind = Kind::Type;
            action.text = random_.pick(kTyped);
            return action;
        }
        return key(random_.pick(kEditorKeys));
    }
    if (random_.chance(8))
        return key(random_.pick(kAccelerators));
    return key(random_.pick(kGridKeys));
}

FuzzAction FuzzGenerator::menuAction()
{
    FuzzAction action;
    action.kind = Kind::Menu;
    switch (random_.weighted({50, 35, 15})) {
    case 0:
        action.a = random_.pick(kGraphCommands);
        break;
    case 1:
        action.a = random_.pick(kWorksheetCommands);
        break;
    default:
        action.a = random_.pick(kChannelCommands);
        break;
    }
    return action;
}

FuzzAction FuzzGenerator::waitAction()
{
    FuzzAction action;
    action.kind = Kind::Wait;
    action.a = random_.pick(kWaits);
    return action;
}
