#include "WorksheetRig.h"

#include "views/CDecimalEdit.h"
#include "views/WorksheetModel.h"

#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QtTest>

WorksheetRig::WorksheetRig() : folder(std::make_unique<QTemporaryDir>())
{
    module.loadFromProgramFolder();
    resources.load();
    templates = std::make_unique<TemplateLoader>(module, prompt);
    profile = std::make_unique<ProfileStore>(folder->filePath(QStringLiteral("Tessor.ini")));
    settings.ModeCh = {ModeCC, ModeCV, ModeCR, ModeCCCV, ModeCRCV};
    settings.Unit = UnitS;
    context = std::make_unique<ViewContext>(ViewContext{
        settings, prompt, time, module, resources, *templates, *profile,
        [this](int menuId, const QPoint& globalPos) { contextMenus.emplace_back(menuId, globalPos); },
        [this] { ++commandStateChanges; },
        [this](QDialog& dialog) {
            ++dialogsRun;
            return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
        }});
    // Each rig starts with nothing on the system clipboard: what an earlier test left there would
    // otherwise be pasted.
    QGuiApplication::clipboard()->clear();
    document = std::make_unique<CMainDoc>(settings, prompt);
    createView();
}

WorksheetRig::~WorksheetRig()
{
    view.reset();
}

void WorksheetRig::createView()
{
    view.reset();
    view = std::make_unique<CGridView>(*document, *context);
    view->setGraphLink(&graph);
    view->resize(640, 480);
    view->show();
    view->activateWindow();
    QApplication::setActiveWindow(view.get());
    table()->setFocus();
}

void WorksheetRig::loadChannel(int channel, const QStringList& lines)
{
    ChannelSequence& table = document->channel(channel);
    for (SequenceStep& step : table.steps)
        step.clear();
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(QLatin1Char('\t'));
        SequenceStep& step = table.steps[i];
        step.value = fields.value(0);
        step.interval = fields.value(1);
        step.transition = fields.value(2);
        step.load = fields.value(3);
        step.load2 = QStringLiteral("1");
    }
    table.count = static_cast<int>(lines.size());
    view->fillChannel(channel);
}

void WorksheetRig::loadNumberedSteps(int channel, int n)
{
    QStringList lines;
    for (int i = 1; i <= n; ++i)
        lines << QStringLiteral("%1.0000\t1.0\t0\t1").arg(i);
    loadChannel(channel, lines);
}

QStringList WorksheetRig::steps(int channel) const
{
    QStringList list;
    const ChannelSequence& table = document->channel(channel);
    for (int i = 0; i < table.count; ++i) {
        const SequenceStep& step = table.steps[i];
        list << QStringList{step.value, step.interval, step.transition, step.load}.join(QLatin1Char('|'));
    }
    return list;
}

QStringList WorksheetRig::values(int channel) const
{
    QStringList list;
    const ChannelSequence& table = document->channel(channel);
    for (int i = 0; i < table.count; ++i)
        list << table.steps[i].value;
    return list;
}

QString WorksheetRig::cell(int line, int column) const
{
    return view->model(document->currentChannel())->cellText(line, column);
}

void WorksheetRig::setCursor(int line, int column)
{
    table()->setCurrentIndex(table()->model()->index(line - 1, column));
}

QPoint WorksheetRig::cursor() const
{
    const QModelIndex current = table()->currentIndex();
    return QPoint(current.column(), current.row() + 1);
}

void WorksheetRig::selectLines(int first, int last)
{
    QAbstractItemModel* model = table()->model();
    setCursor(first, 2);
    const int top = std::min(first, last);
    const int bottom = std::max(first, last);
    table()->selectionModel()->select(QItemSelection(model->index(top - 1, 2), model->index(bottom - 1, 2)),
                                      QItemSelectionModel::ClearAndSelect);
}

void WorksheetRig::key(int key, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = view->openEditor() ? view->openEditor() : static_cast<QWidget*>(table());
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

void WorksheetRig::type(int line, int column, const QString& text)
{
    setCursor(line, column);
    QTest::keyClick(table(), Qt::Key_Return);
    CDecimalEdit* edit = view->textEditor();
    QVERIFY(view->openEditor() == edit);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

void WorksheetRig::choose(int line, int column, const QString& item)
{
    setCursor(line, column);
    QTest::keyClick(table(), Qt::Key_Return);
    QComboBox* list = view->listEditor();
    QVERIFY(view->openEditor() == list);
    const int wanted = list->findText(item);
    QVERIFY(wanted >= 0);
    // The arrow keys move through the closed list as a user would.
    if (list->currentIndex() < 0)
        QTest::keyClick(list, Qt::Key_Down);
    while (list->currentIndex() < wanted)
        QTest::keyClick(list, Qt::Key_Down);
    while (list->currentIndex() > wanted)
        QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
}

bool WorksheetRig::command(int id)
{
    const CommandTable::Entry* entry = view->commands().find(id);
    if (!entry || (entry->enabled && !entry->enabled()))
        return false;
    entry->run();
    return true;
}

bool WorksheetRig::isEnabled(int id) const
{
    const CommandTable::Entry* entry = view->commands().find(id);
    return entry && (!entry->enabled || entry->enabled());
}

void WorksheetRig::switchChannel(int channel)
{
    document->setCurrentChannel(channel);
    view->showChannel(channel);
}
