#include "FuzzSession.h"

#include "app/CMainFrame.h"
#include "app/CSequenceControlBar.h"
#include "app/CTessorApp.h"
#include "app/DocumentSession.h"
#include "model/CMainDoc.h"
#include "views/CGraphView.h"
#include "views/CGridView.h"
#include "views/CommandRouter.h"
#include "views/WorksheetModel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSettings>
#include <QtTest>

namespace {

void sendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
               const QPoint& point)
{
    QMouseEvent event(type, point, widget->mapToGlobal(point), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Right-click as the window system delivers it: the press, the context-menu request, the release.
void rightClick(QWidget* widget, const QPoint& point, Qt::MouseButtons held)
{
    QTest::mousePress(widget, Qt::RightButton, Qt::NoModifier, point);
    QContextMenuEvent request(QContextMenuEvent::Mouse, point, widget->mapToGlobal(point));
    QApplication::sendEvent(widget, &request);
    sendMouse(widget, QEvent::MouseButtonRelease, Qt::RightButton, held, point);
}

// Every item of a menu and its submenus that can be chosen.
void leafActions(QMenu* menu, QList<QAction*>& actions)
{
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        if (action->menu())
            leafActions(action->menu(), actions);
        else
            actions << action;
    }
}

void closePopups()
{
    for (int i = 0; i < 8 && QApplication::activePopupWidget(); ++i)
        QApplication::activePopupWidget()->close();
}

} // namespace

FuzzSession::FuzzSession(const FuzzSetup& setup) : setup_(setup)
{
    QDir root(dir_.path());
    for (const char* name : {"config", "data", "runtime"})
        root.mkpath(QLatin1String(name));
    QFile::setPermissions(root.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    oldConfig_ = qgetenv("XDG_CONFIG_HOME");
    oldRuntime_ = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", root.filePath(QStringLiteral("runtime")).toLocal8Bit());
}

FuzzSession::~FuzzSession()
{
    closePopups();
    app_.reset();
    shell_.reset();
    qputenv("XDG_CONFIG_HOME", oldConfig_);
    qputenv("XDG_RUNTIME_DIR", oldRuntime_);
}

QString FuzzSession::start()
{
    QDir root(dir_.path());
    const QString data = root.filePath(QStringLiteral("data"));
    const QString profilePath = root.filePath(QStringLiteral("config/Morvane/TessorEng/Kdrx5ch/Tessor.ini"));
    {
        QSettings profile(profilePath, QSettings::IniFormat);
        profile.setValue(QStringLiteral("Config/SeqMode"), setup_.sequenceMode);
        profile.setValue(QStringLiteral("Config/SeqTime"), QString::asprintf("%.1f", setup_.sequenceTime));
        profile.setValue(QStringLiteral("Config/VoltPlace"), setup_.voltPlace);
        profile.setValue(QStringLiteral("Config/CurrPlace"), setup_.currPlace);
        profile.setValue(QStringLiteral("Config/ResistPlace"), setup_.resistPlace);
        profile.setValue(QStringLiteral("Graph/bLineY"), int(setup_.boundaryLines));
        profile.setValue(QStringLiteral("Graph/bTimeMax"), int(setup_.autoTimeMax));
        profile.setValue(QStringLiteral("Graph/bValueMax"), int(setup_.autoValueMax));
        profile.setValue(QStringLiteral("Graph/bValueMin"), int(setup_.autoValueMin));
    }
    QStringList files;
    if (!setup_.fileName.isEmpty()) {
        QFile file(QDir(data).filePath(setup_.fileName));
        if (!file.open(QIODevice::WriteOnly) || file.write(setup_.content) != setup_.content.size())
            return QStringLiteral("cannot write %1").arg(file.fileName());
        files << file.fileName();
    }
    // What the clipboard held belongs to another run.
    QGuiApplication::clipboard()->clear();

    shell_ = std::make_unique<FuzzShell>(data, files);
    StartupPaths paths{QCoreApplication::applicationDirPath(), profilePath,
                       root.filePath(QStringLiteral("runtime"))};
    app_ = std::make_unique<CTessorApp>(*shell_, *shell_, paths);
    app_->setTimeSources(time_, time_);
    app_->setNoteOutput([](const QString&) {});
    const int status = app_->initInstance(files);
    if (app_->mainFrame())
        QObject::connect(&app_->mainFrame()->documents(), &DocumentSession::documentChanged,
                         [this] { ++generation_; });
    if (status != CTessorApp::kRunning || !app_->mainFrame())
        return QStringLiteral("the program did not start (status %1): %2")
            .arg(status)
            .arg(shell_->recentTexts().join(QLatin1String("; ")));
    if (!document())
        return QStringLiteral("no document is open: %1").arg(shell_->recentTexts().join(QLatin1String("; ")));
    CMainFrame& main = frame();
    main.resize(1280, 860);
    main.activateWindow();
    if (!QTest::qWaitForWindowActive(&main))
        return QStringLiteral("the main window did not become active");
    settle();
    return QString();
}

CMainFrame& FuzzSession::frame() const
{
    return *app_->mainFrame();
}

CMainDoc* FuzzSession::document() const
{
    return app_ && app_->mainFrame() ? frame().documents().document() : nullptr;
}

CGridView* FuzzSession::grid() const
{
    return document() ? frame().documents().gridView() : nullptr;
}

CGraphView* FuzzSession::graph() const
{
    return document() ? frame().documents().graphView() : nullptr;
}

bool FuzzSession::graphIsActive() const
{
    return document() && frame().mdiArea()->activeSubWindow() == frame().documents().graphWindow();
}

QWidget* FuzzSession::popup()
{
    return QApplication::activePopupWidget();
}

int FuzzSession::popupItems()
{
    auto* menu = qobject_cast<QMenu*>(popup());
    if (!menu)
        return 1;
    QList<QAction*> actions;
    leafActions(menu, actions);
    return std::max(1, int(actions.size()));
}

QWidget* FuzzSession::keyTarget() const
{
    if (QWidget* focus = QApplication::focusWidget())
        return focus;
    return &frame();
}

QString FuzzSession::stateText() const
{
    const CMainDoc* open = document();
    if (!open)
        return QStringLiteral("no document");
    QStringList counts;
    for (int c = 0; c < kChannelCount; ++c)
        counts << QString::number(open->channel(c).count);
    QWidget* focus = QApplication::focusWidget();
    QString text = QStringLiteral("channel %1, steps %2, %3 active, focus %4")
                       .arg(open->currentChannel() + 1)
                       .arg(counts.join(QLatin1Char('/')))
                       .arg(graphIsActive() ? QStringLiteral("graph") : QStringLiteral("worksheet"))
                       .arg(focus ? focus->objectName() + QLatin1Char(':') +
                                        QLatin1String(focus->metaObject()->className())
                                  : QStringLiteral("none"));
    if (grid()->isEditing())
        text += QStringLiteral(", editing");
    if (graph()->selectedIndex() >= 0)
        text += QStringLiteral(", selected %1 (%2)")
                    .arg(graph()->selectedIndex())
                    .arg(graph()->handle() == CGraphView::Handle::Time ? QStringLiteral("time")
                                                                       : QStringLiteral("value"));
    if (graph()->drag() != CGraphView::Drag::None)
        text += QStringLiteral(", dragging");
    if (held_)
        text += QStringLiteral(", held");
    if (popup())
        text += QStringLiteral(", popup ") + QLatin1String(popup()->metaObject()->className());
    return text;
}

void FuzzSession::settle()
{
    // Posted events, zero timers (the frame's idle update) and deferred deletions (closed menus).
    for (int i = 0; i < 2; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void FuzzSession::activate(QMdiSubWindow* window)
{
    if (window && frame().mdiArea()->activeSubWindow() != window)
        frame().mdiArea()->setActiveSubWindow(window);
}

void FuzzSession::apply(const FuzzAction& action)
{
    using Kind = FuzzAction::Kind;
    shell_->beginAction(action.answers);
    switch (action.kind) {
    case Kind::GraphPress:
    case Kind::GraphMove:
    case Kind::GraphRelease:
    case Kind::GraphDoubleClick:
    case Kind::GraphRightClick:
        graphMouse(action);
        break;
    case Kind::CellClick:
    case Kind::CellShiftClick:
    case Kind::CellDoubleClick:
    case Kind::CellRightClick:
    case Kind::CellDrag:
        cellMouse(action);
        break;
    case Kind::Key: {
        const QKeySequence sequence = QKeySequence::fromString(action.text);
        if (!sequence.isEmpty())
            QTest::keyClick(keyTarget(), sequence[0].key(), sequence[0].keyboardModifiers());
        break;
    }
    case Kind::Type:
        QTest::keyClicks(keyTarget(), action.text);
        break;
    case Kind::Menu:
        runCommand(action.a);
        break;
    case Kind::Activate:
        if (document())
            activate(action.a == 1 ? frame().documents().graphWindow()
                                   : frame().documents().worksheetWindow());
        break;
    case Kind::ControlMethod:
        chooseControlMethod(action.a);
        break;
    case Kind::Wait:
        time_.advanceMs(action.a);
        break;
    case Kind::PopupPick:
    case Kind::PopupKey:
    case Kind::PopupClose:
        popupAction(action);
        break;
    }
    settle();
    // A document closed under a held button takes the press with it.
    if (!document())
        held_ = false;
}

void FuzzSession::graphMouse(const FuzzAction& action)
{
    using Kind = FuzzAction::Kind;
    CGraphView* view = graph();
    if (!view)
        return;
    const QPoint point(action.a, action.b);
    const Qt::MouseButtons held = held_ ? Qt::LeftButton : Qt::NoButton;
    switch (action.kind) {
    case Kind::GraphPress:
        // A click into a window makes it the active one.
        activate(frame().documents().graphWindow());
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, point);
        held_ = true;
        break;
    case Kind::GraphMove:
        sendMouse(view, QEvent::MouseMove, Qt::NoButton, held, point);
        break;
    case Kind::GraphRelease:
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, point);
        held_ = false;
        break;
    case Kind::GraphDoubleClick:
        activate(frame().documents().graphWindow());
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, point);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, point);
        if (graph() == view)
            QTest::mouseDClick(view, Qt::LeftButton, Qt::NoModifier, point);
        if (graph() == view)
            QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, point);
        held_ = false;
        break;
    case Kind::GraphRightClick:
        activate(frame().documents().graphWindow());
        rightClick(view, point, held);
        break;
    default:
        break;
    }
}

void FuzzSession::cellMouse(const FuzzAction& action)
{
    using Kind = FuzzAction::Kind;
    CGridView* view = grid();
    if (!view)
        return;
    const int channel = document()->currentChannel();
    WorksheetTable* table = view->table(channel);
    const WorksheetModel* model = view->model(channel);
    const QModelIndex index = model->index(action.a - 1, action.b);
    if (!index.isValid())
        return;
    activate(frame().documents().worksheetWindow());
    // The user scrolls the cell into view first.
    table->scrollTo(index);
    const QRect rect = table->visualRect(index);
    if (rect.isEmpty() || !table->viewport()->rect().intersects(rect))
        return;
    QWidget* viewport = table->viewport();
    const QPoint point = rect.center();
    switch (action.kind) {
    case Kind::CellClick:
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, point);
        break;
    case Kind::CellShiftClick:
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, point);
        break;
    case Kind::CellDoubleClick:
        QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, point);
        break;
    case Kind::CellRightClick:
        rightClick(viewport, point, Qt::NoButton);
        break;
    case Kind::CellDrag: {
        const QRect end = table->visualRect(model->index(action.c - 1, action.d));
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, point);
        if (!end.isEmpty()) {
            sendMouse(viewport, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, (point + end.center()) / 2);
            sendMouse(viewport, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, end.center());
        }
        if (grid() == view)
            QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier,
                                end.isEmpty() ? point : end.center());
        break;
    }
    default:
        break;
    }
}

void FuzzSession::popupAction(const FuzzAction& action)
{
    using Kind = FuzzAction::Kind;
    QWidget* open = popup();
    if (!open)
        return;
    switch (action.kind) {
    case Kind::PopupPick: {
        auto* menu = qobject_cast<QMenu*>(open);
        if (!menu) {
            QTest::keyClick(open, Qt::Key_Return);
            break;
        }
        QList<QAction*> actions;
        leafActions(menu, actions);
        QAction* chosen = action.a >= 0 && action.a < actions.size() ? actions[action.a] : nullptr;
        // A disabled item does nothing and the menu stays.
        if (!chosen || !chosen->isEnabled())
            break;
        closePopups();
        chosen->activate(QAction::Trigger);
        break;
    }
    case Kind::PopupKey: {
        const QKeySequence sequence = QKeySequence::fromString(action.text);
        QWidget* target = open->focusWidget() ? open->focusWidget() : open;
        if (!sequence.isEmpty())
            QTest::keyClick(target, sequence[0].key(), sequence[0].keyboardModifiers());
        break;
    }
    case Kind::PopupClose:
        closePopups();
        break;
    default:
        break;
    }
}

void FuzzSession::runCommand(int id)
{
    // The menu shows the states of the moment; a disabled item cannot be chosen.
    frame().updateCommandUi();
    QAction* command = frame().router().findAction(id);
    if (command && command->isEnabled())
        command->trigger();
}

void FuzzSession::chooseControlMethod(int method)
{
    QComboBox* list = frame().sequenceControlBar()->list();
    if (method < 0 || method >= list->count())
        return;
    // A click on the list takes the focus first (an open worksheet editor commits).
    list->setFocus(Qt::MouseFocusReason);
    list->setCurrentIndex(method);
    emit list->activated(method);
}
