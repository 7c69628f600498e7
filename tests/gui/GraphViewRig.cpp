#include "GraphViewRig.h"

#include <QApplication>
#include <QMouseEvent>
#include <QtTest>

GraphViewRig::GraphViewRig()
{
    module.loadFromProgramFolder();
    resources.load();
    templates = std::make_unique<TemplateLoader>(module, prompt);
    profile = std::make_unique<ProfileStore>(profilePath());
    document = std::make_unique<CMainDoc>(settings, prompt);
    context = std::make_unique<ViewContext>(ViewContext{
        settings, prompt, time, module, resources, *templates, *profile,
        [this](int menuId, const QPoint& globalPos) { contextMenus.emplace_back(menuId, globalPos); },
        [this] { ++statesChanged; },
        [this](QDialog& dialog) { return onDialog ? onDialog(dialog) : int(QDialog::Rejected); }});
}

GraphViewRig::~GraphViewRig()
{
    view.reset();
}

void GraphViewRig::writeProfile(const QString& key, const QVariant& value) const
{
    QSettings ini(profilePath(), QSettings::IniFormat);
    ini.setValue(key, value);
}

QVariant GraphViewRig::readProfile(const QString& key) const
{
    QSettings ini(profilePath(), QSettings::IniFormat);
    return ini.value(key);
}

void GraphViewRig::fixRanges() const
{
    writeProfile(QStringLiteral("Graph/bTimeMax"), 0);
    writeProfile(QStringLiteral("Graph/bValueMax"), 0);
    writeProfile(QStringLiteral("Graph/bValueMin"), 0);
}

void GraphViewRig::addStep(const QString& value, const QString& interval, const QString& transition)
{
    ChannelSequence& sequence = document->current();
    SequenceStep& step = sequence.steps[sequence.count];
    step.value = value;
    step.interval = interval;
    step.transition = transition;
    step.load = QStringLiteral("1");
    step.load2 = QStringLiteral("1");
    ++sequence.count;
    document->recomputeTimes(0);
}

void GraphViewRig::addThreeSteps()
{
    addStep(QStringLiteral("4.000"), QStringLiteral("2.0"));
    addStep(QStringLiteral("7.000"), QStringLiteral("3.0"), QStringLiteral("1"));
    addStep(QStringLiteral("2.000"), QStringLiteral("3.5"));
}

CGraphView& GraphViewRig::show()
{
    view = std::make_unique<CGraphView>(*document, *context);
    view->setWorksheetLink(&worksheet);
    view->resize(440, 340);
    view->show();
    worksheet.calls.clear();
    return *view;
}

void GraphViewRig::press(const QPoint& point)
{
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, point);
}

void GraphViewRig::move(const QPoint& point)
{
    // Sent directly: without a pressed button QTest would only move the system cursor.
    QMouseEvent event(QEvent::MouseMove, point, view->mapToGlobal(point), Qt::NoButton,
                      view->drag() != CGraphView::Drag::None ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view.get(), &event);
}

void GraphViewRig::release(const QPoint& point)
{
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, point);
}

void GraphViewRig::drag(const QPoint& from, const QPoint& to)
{
    press(from);
    move((from + to) / 2);
    move(to);
    release(to);
}

void GraphViewRig::doubleClick(const QPoint& point)
{
    // As the window system delivers it: press, release, double-click, release.
    press(point);
    release(point);
    QTest::mouseDClick(view.get(), Qt::LeftButton, Qt::NoModifier, point);
    release(point);
}
