#include "GuiTestSupport.h"
#include "app/DesktopShellServices.h"
#include "app/DocumentTemplate.h"
#include "app/RecentFileList.h"
#include "app/SingleInstance.h"
#include "dialogs/SerialDeviceList.h"
#include "ui/ResourceModule.h"
#include "views/CommandRouter.h"
#include "views/ShellResources.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QtTest>
#include <set>

// The pieces of the shell on their own: the resource module's menus and bars, command routing,
// the recent-file list, the serial device list, the single-instance lock and the template strings.
class ShellPartsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void moduleHoldsTheMenusBarsAndIcons();
    void everyToolbarButtonHasAnImageAndATooltip();
    void everyMenuCommandOfTheFrameIsInTheDocumentMenu();
    void routerPrefersTheViewAndDisablesWhatNobodyHandles();
    void routerShowsCheckMarksAndRefusesDisabledCommands();
    void recentFilesKeepFourNewestFirst();
    void recentFileMenuTexts();
    void recentFilesFromTheProfileAreCleanedUp();
    void serialDevicesAreListedUsbThenAcmThenBuiltIn();
    void singleInstanceHoldsTheLockAndTakesHandedFiles();
    void worksheetTemplateGivesTheFilterAndTheDefaultExtension();
    void fileDialogFiltersKeepTheShownText();

private:
    ResourceModule module_;
    ShellResources resources_;
};

void ShellPartsTest::initTestCase()
{
    QVERIFY(module_.loadFromProgramFolder());
    QVERIFY2(resources_.load(), qPrintable(resources_.problem()));
}

void ShellPartsTest::moduleHoldsTheMenusBarsAndIcons()
{
    for (int id : {128, 129, 132, 134, 152})
        QVERIFY2(resources_.hasMenu(id), qPrintable(QString::number(id)));
    QCOMPARE(resources_.accelerators(128).size(), size_t(16));
    QCOMPARE(resources_.statusPanes(), (std::vector<int>{0, 102, 104, 106, 103, 105}));
    const ControlBarLayout& bar = resources_.sequenceControlBar();
    QCOMPARE(bar.items,
             (QStringList{QStringLiteral("Software Control"), QStringLiteral("Hardware Control")}));
    QCOMPARE(bar.listId, 108);
    QCOMPARE(bar.buttonId, 109);
    QCOMPARE(resources_.controlBarButtonImage().size(), QSize(16, 16));
    for (int id : {128, 129, 130})
        QVERIFY(!resources_.icon(id).isNull());
    // The main menu's control-bar item is the one no command handles.
    const MenuItem& view = resources_.menu(128)[1];
    QCOMPARE(view.items[2].id, 32913);
    QCOMPARE(view.items[2].text, QStringLiteral("Sequense &Control Bar"));
    QCOMPARE(module_.string(57345), QStringLiteral("For Help, press F1"));
    QCOMPARE(module_.string(61709), QStringLiteral("Save changes to %1?"));
}

void ShellPartsTest::everyToolbarButtonHasAnImageAndATooltip()
{
    const ToolbarLayout& layout = resources_.toolbar(128);
    QCOMPARE(layout.buttonSize, QSize(24, 16));
    const std::vector<QPixmap> images = resources_.toolbarImages(128);
    int buttons = 0;
    for (int id : layout.buttons) {
        if (id == 0)
            continue;
        ++buttons;
        QVERIFY2(!CommandRouter::tooltipPart(module_.string(id)).isEmpty(), qPrintable(QString::number(id)));
    }
    QCOMPARE(buttons, 19);
    QCOMPARE(static_cast<int>(images.size()), buttons);
    for (const QPixmap& image : images)
        QCOMPARE(image.size(), QSize(24, 16));
}

void ShellPartsTest::everyMenuCommandOfTheFrameIsInTheDocumentMenu()
{
    std::set<int> ids;
    std::function<void(const std::vector<MenuItem>&)> collect = [&](const std::vector<MenuItem>& items) {
        for (const MenuItem& item : items) {
            if (item.isPopup())
                collect(item.items);
            else if (!item.separator)
                ids.insert(item.id);
        }
    };
    collect(resources_.menu(129));
    for (int id : {57600, 57601, 57602, 57603, 57604, 57616, 57665, 59392, 59393, 32853, 32787, 32789,
                   32796, 32792, 32795, 32808, 32842, 32823, 32824, 32825, 32826, 32831, 32794, 32841,
                   32806, 57650, 57651, 57652, 57649, 57667, 57664, 32783, 32784, 32785, 32779, 32786,
                   32771, 32776, 32777, 32778, 32780, 57634, 32812, 32811, 32774, 32772, 32773}) {
        QVERIFY2(ids.count(id) == 1, qPrintable(QString::number(id)));
    }
    // Every command of the menus and the toolbar has its status-bar prompt, except the control-bar item of
    // the main menu, which nothing handles, and the send command.
    for (int id : ids) {
        if (id == 57612 || (id >= 57616 && id <= 57619))
            continue;
        QVERIFY2(!module_.string(id).isEmpty(), qPrintable(QString::number(id)));
    }
}

void ShellPartsTest::routerPrefersTheViewAndDisablesWhatNobodyHandles()
{
    CommandRouter router(module_);
    CommandTable frame;
    CommandTable view;
    QStringList ran;
    frame.add(1, [&ran] { ran << QStringLiteral("frame 1"); });
    frame.add(2, [&ran] { ran << QStringLiteral("frame 2"); });
    view.add(2, [&ran] { ran << QStringLiteral("view 2"); });
    router.setFrameCommands(&frame);
    router.setViewCommands(&view);
    QVERIFY(router.trigger(1));
    QVERIFY(router.trigger(2));
    QVERIFY(!router.trigger(3));
    QCOMPARE(ran, (QStringList{QStringLiteral("frame 1"), QStringLiteral("view 2")}));

    QAction* unhandled = router.action(3);
    router.updateActions();
    QVERIFY(!unhandled->isEnabled());
    router.setViewCommands(nullptr);
    QVERIFY(router.trigger(2));
    QCOMPARE(ran.last(), QStringLiteral("frame 2"));

    // The action takes its prompt and tooltip from the string table.
    QAction* save = router.action(57603);
    QCOMPARE(save->statusTip(), QStringLiteral("Save the active document"));
    QCOMPARE(save->toolTip(), QStringLiteral("Save"));
}

void ShellPartsTest::routerShowsCheckMarksAndRefusesDisabledCommands()
{
    CommandRouter router(module_);
    CommandTable table;
    bool enabled = false;
    bool checked = true;
    int runs = 0;
    table.add(
        7, [&runs] { ++runs; }, [&enabled] { return enabled; }, [&checked] { return checked; });
    // A command defined with its rule but no action yet is disabled whatever the rule says.
    table.add(8, {}, [&enabled] { return !enabled; });
    router.setFrameCommands(&table);
    QAction* action = router.action(7);
    router.updateActions();
    QVERIFY(!action->isEnabled());
    QVERIFY(action->isCheckable());
    QVERIFY(action->isChecked());
    QVERIFY(!router.trigger(7));
    action->trigger();
    QCOMPARE(runs, 0);
    enabled = true;
    checked = false;
    router.updateActions();
    QVERIFY(action->isEnabled());
    QVERIFY(!action->isChecked());
    action->trigger();
    QCOMPARE(runs, 1);
    QVERIFY(!router.isEnabled(8));
    enabled = false;
    QVERIFY(!router.isEnabled(8));
    QVERIFY(!router.trigger(8));
    router.updateActions();
    QVERIFY(!router.action(8)->isEnabled());
    table.setAction(8, [&runs] { runs += 10; });
    router.updateActions();
    QVERIFY(router.action(8)->isEnabled());
    QVERIFY(router.trigger(8));
    QCOMPARE(runs, 11);
    enabled = true;
    QVERIFY(!router.trigger(8));
}

void ShellPartsTest::recentFilesKeepFourNewestFirst()
{
    RecentFileList list;
    for (const char* file : {"/a.tsr", "/b.tsr", "/c.tsr", "/d.tsr", "/e.tsr"})
        list.add(QLatin1String(file));
    QCOMPARE(list.files(), (QStringList{"/e.tsr", "/d.tsr", "/c.tsr", "/b.tsr"}));
    list.add(QStringLiteral("/c.tsr"));
    QCOMPARE(list.files(), (QStringList{"/c.tsr", "/e.tsr", "/d.tsr", "/b.tsr"}));
    list.remove(1);
    list.remove(7);
    QCOMPARE(list.files(), (QStringList{"/c.tsr", "/d.tsr", "/b.tsr"}));
    list.add(QString());
    QCOMPARE(list.count(), 3);
}

void ShellPartsTest::recentFileMenuTexts()
{
    RecentFileList list;
    list.add(QStringLiteral("/home/lab/Loads & Tests/discharge.tsr"));
    list.add(QStringLiteral("/srv/") + QString(80, QLatin1Char('x')) + QStringLiteral("/end.tsr"));
    QCOMPARE(list.menuText(1, QStringLiteral("/home/lab")),
             QStringLiteral("&2 ~/Loads && Tests/discharge.tsr"));
    const QString longText = list.menuText(0, QStringLiteral("/home/lab"));
    QVERIFY(longText.startsWith(QStringLiteral("&1 /srv/xx")));
    QVERIFY(longText.contains(QStringLiteral("...")));
    QVERIFY(longText.endsWith(QStringLiteral("/end.tsr")));
    QVERIFY(longText.size() < 70);
}

void ShellPartsTest::recentFilesFromTheProfileAreCleanedUp()
{
    RecentFileList list;
    list.setFiles({QStringLiteral("/one.tsr"), QString(), QStringLiteral("/two.tsr"),
                   QStringLiteral("/one.tsr"), QStringLiteral("/three.tsr"), QStringLiteral("/four.tsr"),
                   QStringLiteral("/five.tsr")});
    QCOMPARE(list.files(), (QStringList{"/one.tsr", "/two.tsr", "/three.tsr", "/four.tsr"}));
}

void ShellPartsTest::serialDevicesAreListedUsbThenAcmThenBuiltIn()
{
    // The adapters' stable links, as udev makes them: absolute or relative to their folder.
    QTemporaryDir dir;
    QDir root(dir.path());
    QVERIFY(root.mkpath(QStringLiteral("serial/by-id")));
    const QString byId = root.filePath(QStringLiteral("serial/by-id"));
    const QString ftdi = byId + QStringLiteral("/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0");
    const QString arduino = byId + QStringLiteral("/usb-Arduino__www.arduino.cc__0043_75833-if00");
    QVERIFY(QFile::link(QStringLiteral("/dev/ttyUSB0"), ftdi));
    QVERIFY(QFile::link(QStringLiteral("../../ttyACM0"), arduino));
    const QString acm = root.filePath(QStringLiteral("ttyACM0"));

    const std::vector<SerialPortDetails> ports = {
        {QStringLiteral("/dev/ttyS10"), QString(), QString()},
        {QStringLiteral("/dev/ttyS2"), QStringLiteral("16550A"), QString()},
        {QStringLiteral("/dev/ttyUSB1"), QString(), QString()},
        {QStringLiteral("/dev/rfcomm0"), QString(), QString()},
        {acm, QStringLiteral("Arduino Uno"), QStringLiteral("Arduino (www.arduino.cc)")},
        {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI")},
        {QStringLiteral("/dev/ttyS9"), QString(), QStringLiteral("  ")},
    };
    QStringList shown;
    QStringList stored;
    for (const SerialDevice& device : SerialDeviceList::entries(ports, byId)) {
        shown << device.text;
        stored << device.device;
    }
    QCOMPARE(shown, (QStringList{"/dev/ttyUSB0 — FT232R USB UART (FTDI)", "/dev/ttyUSB1",
                                 acm + " — Arduino Uno (Arduino (www.arduino.cc))", "/dev/ttyS2 — 16550A",
                                 "/dev/ttyS9", "/dev/ttyS10", "/dev/rfcomm0"}));
    QCOMPARE(stored, (QStringList{ftdi, "/dev/ttyUSB1", arduino, "/dev/ttyS2", "/dev/ttyS9", "/dev/ttyS10",
                                  "/dev/rfcomm0"}));
    // Without the links folder every device is stored by its node.
    QCOMPARE(SerialDeviceList::entries(ports, root.filePath(QStringLiteral("none"))).front().device,
             QStringLiteral("/dev/ttyUSB0"));
}

void ShellPartsTest::singleInstanceHoldsTheLockAndTakesHandedFiles()
{
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    QCOMPARE(first.acquire(), SingleInstance::LockResult::Acquired);
    QVERIFY(first.listen());
    QStringList received;
    connect(&first, &SingleInstance::fileReceived, this,
            [&received](const QString& path) { received << path; });

    SingleInstance second(dir.path());
    QCOMPARE(second.acquire(), SingleInstance::LockResult::HeldElsewhere);
    QVERIFY(second.handOver(QStringLiteral("/data/run 1.tsr")));
    QTRY_COMPARE(received, QStringList{QStringLiteral("/data/run 1.tsr")});

    first.release();
    QVERIFY(!QFile::exists(first.lockPath()));
    QCOMPARE(second.acquire(), SingleInstance::LockResult::Acquired);
    // Nobody listens any more: the hand-over fails instead of hanging.
    SingleInstance third(dir.path());
    QCOMPARE(third.acquire(), SingleInstance::LockResult::HeldElsewhere);
    QVERIFY(!third.handOver(QStringLiteral("/x.tsr"), 500));
}

void ShellPartsTest::worksheetTemplateGivesTheFilterAndTheDefaultExtension()
{
    const DocumentTemplate worksheet = DocumentTemplate::fromString(module_.string(129));
    QCOMPARE(worksheet.windowTitle, QStringLiteral("Worksheet"));
    QCOMPARE(worksheet.documentName, QStringLiteral("Tessor"));
    const FileFilter filter = worksheet.filter();
    QCOMPARE(filter.name, QStringLiteral("Tessor Text File (*.tsr; *.txt)"));
    QCOMPARE(filter.patterns, (QStringList{QStringLiteral("*.tsr"), QStringLiteral("*.txt")}));
    QCOMPARE(worksheet.defaultSuffix(), QStringLiteral("tsr"));

    const DocumentTemplate graph = DocumentTemplate::fromString(module_.string(130));
    QCOMPARE(graph.windowTitle, QStringLiteral("Graph"));
    QVERIFY(graph.filterName.isEmpty());
    QVERIFY(graph.defaultSuffix().isEmpty());
}

void ShellPartsTest::fileDialogFiltersKeepTheShownText()
{
    FileRequest request;
    request.filters.push_back({QStringLiteral("Tessor Text File (*.tsr; *.txt)"), {"*.tsr", "*.txt"}});
    request.filters.push_back({QStringLiteral("All Files (*.*)"), {"*"}});
    const QStringList filters = DesktopShellServices::nameFilters(request);
    QCOMPARE(filters, (QStringList{QStringLiteral("Tessor Text File (*.tsr; *.txt) (*.tsr *.txt)"),
                                   QStringLiteral("All Files (*.*) (*)")}));
    // Qt's own file dialog shows the text as given and lists the matching files only.
    QTemporaryDir dir;
    for (const char* name : {"run.tsr", "notes.txt", "image.png"}) {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QFileDialog dialog(nullptr, QString(), dir.path());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(filters);
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(types);
    QCOMPARE(types->itemText(0), QStringLiteral("Tessor Text File (*.tsr; *.txt)"));
    QCOMPARE(types->itemText(1), QStringLiteral("All Files (*.*)"));
    auto* model = dialog.findChild<QFileSystemModel*>();
    QVERIFY(model);
    QCOMPARE(model->nameFilters(), (QStringList{QStringLiteral("*.tsr"), QStringLiteral("*.txt")}));
}

QTEST_MAIN(ShellPartsTest)
#include "ShellPartsTest.moc"
