#include "TransferRig.h"
#include "dialogs/CModeDlg.h"
#include "dialogs/COptionsDlg.h"
#include "dialogs/CRangeDlg.h"
#include "views/SpinEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>
#include <limits>

// The Initial Settings (ranges), Mode and Options dialogs: their enabling rules, refusals and what
// they store, the ranges against the simulated instrument.
class SettingDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rangesOpenOnChannelOneWithTheStoredChoices();
    void rangesKeepEachChannelsChoiceAcrossTabsAndWriteTheCheckedChannels();
    void rangesAreStoredOnlyAfterASuccessfulWrite();

    void modeOpensOnChannelOneWithTheFieldsOfItsMode();
    void modeUnderHardwareControlOffersCcCrAndSecondsOnly();
    void modeRefusesChangesThatWouldReinterpretSteps();
    void modeStoresTheShownChannelOnOk();
    void modeStoresTheSettingsOfTheControlMethodInForce();
    void modeRefusesARepeatOutsideItsRange_data();
    void modeRefusesARepeatOutsideItsRange();
    void modeCancelStoresNothing();
    void modeKeepsAStoredUnitOffItsList();

    void optionsShowAndStoreTheListIndexes();
    void optionsRefuseWhileTheCurrentChannelHasSteps();

private:
    std::unique_ptr<CRangeDlg> rangeDialog();
    std::unique_ptr<CModeDlg> modeDialog();
    std::unique_ptr<COptionsDlg> optionsDialog();

    std::unique_ptr<TransferRig> rig_;
};

void SettingDialogsTest::init()
{
    rig_ = std::make_unique<TransferRig>();
    QVERIFY(rig_->connectInstrument());
}

void SettingDialogsTest::cleanup()
{
    rig_.reset();
}

std::unique_ptr<CRangeDlg> SettingDialogsTest::rangeDialog()
{
    return std::make_unique<CRangeDlg>(rig_->loader, RangeData::fromSettings(rig_->settings),
                                       rig_->procedures, &rig_->progress);
}

std::unique_ptr<CModeDlg> SettingDialogsTest::modeDialog()
{
    return std::make_unique<CModeDlg>(rig_->loader, rig_->settings, rig_->current, rig_->prompt);
}

std::unique_ptr<COptionsDlg> SettingDialogsTest::optionsDialog()
{
    return std::make_unique<COptionsDlg>(rig_->loader, rig_->settings, rig_->current, rig_->prompt);
}

// ---------------------------------------------------------------------------------------------
// Initial Settings (ranges)

void SettingDialogsTest::rangesOpenOnChannelOneWithTheStoredChoices()
{
    rig_->settings.ChRange = {1, 0, 1, 0, 0};
    rig_->settings.RangeCC = {2, 1, 0, 0, 0};
    rig_->settings.RangeCV = {1, 0, 0, 0, 0};
    auto ranges = rangeDialog();
    QVERIFY(ranges->isComplete());
    QCOMPARE(ranges->windowTitle(), QStringLiteral("Initial Settings"));
    const CRangeDlg::Controls& c = ranges->controls();
    QCOMPARE(c.tabs->count(), kChannelCount);
    QCOMPARE(c.tabs->tabText(0), QStringLiteral("Cannel1"));
    QCOMPARE(c.tabs->tabText(4), QStringLiteral("Cannel5"));
    QCOMPARE(c.tabs->currentIndex(), 0);
    QCOMPARE(c.currentRange->currentText(), QStringLiteral("Low"));
    QCOMPARE(c.voltageRange->currentText(), QStringLiteral("Low"));
    QVERIFY(!c.resistanceRange->isVisibleTo(ranges.get()));
    QCOMPARE(c.currentRange->count(), 3);
    QCOMPARE(c.voltageRange->count(), 2);
    for (int ch = 0; ch < kChannelCount; ++ch)
        QCOMPARE(c.channels[ch]->isChecked(), ch == 0 || ch == 2);
    QVERIFY(c.lists->isVisibleTo(ranges.get()));
}

void SettingDialogsTest::rangesKeepEachChannelsChoiceAcrossTabsAndWriteTheCheckedChannels()
{
    rig_->settings.ChRange = {1, 0, 1, 0, 0};
    auto ranges = rangeDialog();
    const CRangeDlg::Controls& c = ranges->controls();
    c.currentRange->setCurrentIndex(2); // channel 1: Low
    c.voltageRange->setCurrentIndex(1);
    c.tabs->setCurrentIndex(2);
    QCOMPARE(ranges->shownChannel(), 2);
    QVERIFY(c.lists->isVisibleTo(ranges.get()));
    QCOMPARE(c.currentRange->currentText(), QStringLiteral("High"));
    c.currentRange->setCurrentIndex(1); // channel 3: Medium
    c.tabs->setCurrentIndex(0);
    QCOMPARE(c.currentRange->currentText(), QStringLiteral("Low"));
    QCOMPARE(c.voltageRange->currentText(), QStringLiteral("Low"));
    c.tabs->setCurrentIndex(2);
    QCOMPARE(c.currentRange->currentText(), QStringLiteral("Medium"));

    bool heldDuringWrite = false;
    rig_->simulator.setTranscriptObserver([&](const KdrxSimulator::Received&) {
        heldDuringWrite = heldDuringWrite || static_cast<bool>(rig_->line->waitHook);
    });
    c.write->click();
    rig_->simulator.setTranscriptObserver({});
    // The windows are kept painted while the instrument is awaited, and only then.
    QVERIFY(heldDuringWrite);
    QVERIFY(!rig_->line->waitHook);
    const QStringList expected{
        "*IDN?",         "*CLS;:INP:PROT:CLE", "INST:NSEL 1;:INST:COUP NONE", "VOLT:RANG LOW",  "SYST:ERR?",
        "CURR:RANG LOW", "SYST:ERR?",          "INST:NSEL 3;:INST:COUP NONE", "VOLT:RANG HIGH", "SYST:ERR?",
        "CURR:RANG MED", "SYST:ERR?"};
    QCOMPARE(rig_->sent(), expected);
    QCOMPARE(rig_->prompt.texts(), QStringList{"It succeeded in writing."});
    QCOMPARE(rig_->prompt.entries[0].icon, UserPrompt::Icon::Information);
    QCOMPARE(rig_->settings.RangeCC, (ChannelFlags{2, 0, 1, 0, 0}));
    QCOMPARE(rig_->settings.RangeCV, (ChannelFlags{1, 0, 0, 0, 0}));
    QCOMPARE(rig_->settings.ChRange, (ChannelFlags{1, 0, 1, 0, 0}));
    QCOMPARE(rig_->runWindowClears, 1);
    QCOMPARE(ranges->result(), int(QDialog::Rejected));
}

void SettingDialogsTest::rangesAreStoredOnlyAfterASuccessfulWrite()
{
    const AppSettings before = rig_->settings;
    {
        // Close after changing the lists and the boxes stores nothing.
        auto ranges = rangeDialog();
        ranges->controls().currentRange->setCurrentIndex(1);
        ranges->controls().channels[3]->click();
        ranges->controls().tabs->setCurrentIndex(3);
        ranges->controls().close->click();
        QCOMPARE(ranges->result(), int(QDialog::Accepted));
    }
    QCOMPARE(rig_->settings.RangeCC, before.RangeCC);
    QCOMPARE(rig_->settings.ChRange, before.ChRange);
    QVERIFY(rig_->sent().isEmpty());

    // A write the instrument does not take stores nothing either and leaves the dialog open.
    rig_->line->failWriteOf = QStringLiteral("INST:NSEL 2;");
    auto ranges = rangeDialog();
    ranges->controls().currentRange->setCurrentIndex(2);
    ranges->controls().write->click();
    QCOMPARE(rig_->prompt.texts(), QStringList{rig_->portMessage(CRs232cPort::WriteFailed)});
    QCOMPARE(rig_->settings.RangeCC, before.RangeCC);
    QCOMPARE(rig_->runWindowClears, 0);
    QCOMPARE(ranges->result(), int(QDialog::Rejected));
}

// ---------------------------------------------------------------------------------------------
// Mode

void SettingDialogsTest::modeOpensOnChannelOneWithTheFieldsOfItsMode()
{
    rig_->settings.SeqCtl = SoftwareControl;
    rig_->settings.ModeChSoft = {ModeCCCV, ModeCRCV, ModeCV, ModeCC, ModeCR};
    rig_->settings.UnitSoft = UnitMin;
    rig_->settings.Volt1Ch[0] = 12.5;
    rig_->settings.RepeatCh[0] = 40;
    rig_->settings.deriveActiveValues();
    auto mode = modeDialog();
    QVERIFY(mode->isComplete());
    QCOMPARE(mode->windowTitle(), QStringLiteral("Mode"));
    const CModeDlg::Controls& c = mode->controls();
    QCOMPARE(c.unit->count(), 3);
    QCOMPARE(c.unit->itemText(0), QStringLiteral("s"));
    QCOMPARE(c.unit->itemText(2), QStringLiteral("h"));
    QCOMPARE(c.unit->currentText(), QStringLiteral("min"));
    QCOMPARE(c.tabs->tabText(2), QStringLiteral("Cannel3"));
    QCOMPARE(c.tabs->currentIndex(), 0);
    QCOMPARE(c.modes[ModeCRCV]->text(), QStringLiteral("Constant Re&sistance +  Constant Voltage"));
    QVERIFY(c.modes[ModeCCCV]->isChecked());
    QCOMPARE(c.volt1->text(), QStringLiteral("12.5"));
    QCOMPARE(c.repeat->value(), 40);
    QCOMPARE(c.repeat->toolTip(), QStringLiteral("1 to 9999"));
    QCOMPARE(c.repeat->arrowMinimum(), 1);
    QCOMPARE(c.repeat->arrowMaximum(), 9999);
    QVERIFY(!c.currentAfter->isVisibleTo(mode.get()));
    // The constant-voltage fields follow the mode; the load-off flag is the instrument's.
    QVERIFY(c.volt1->isEnabled());
    QVERIFY(!c.volt2->isEnabled());
    QVERIFY(!c.loadOff->isEnabled());
    for (QRadioButton* button : c.modes)
        QVERIFY(button->isEnabled());

    c.modes[ModeCRCV]->click();
    QVERIFY(!c.volt1->isEnabled());
    QVERIFY(c.volt2->isEnabled());
    c.tabs->setCurrentIndex(3);
    QVERIFY(c.modes[ModeCC]->isChecked());
    QVERIFY(!c.volt1->isEnabled());
    QVERIFY(!c.volt2->isEnabled());
    QVERIFY(c.fields->isVisibleTo(mode.get()));
    c.tabs->setCurrentIndex(0);
    QVERIFY(c.modes[ModeCRCV]->isChecked());
}

void SettingDialogsTest::modeUnderHardwareControlOffersCcCrAndSecondsOnly()
{
    rig_->settings.ModeChHard = {ModeCR, ModeCC, ModeCC, ModeCC, ModeCC};
    rig_->settings.deriveActiveValues();
    auto mode = modeDialog();
    const CModeDlg::Controls& c = mode->controls();
    QCOMPARE(c.unit->count(), 1);
    QCOMPARE(c.unit->currentText(), QStringLiteral("s"));
    QVERIFY(c.modes[ModeCR]->isChecked());
    QVERIFY(!c.modes[ModeCV]->isEnabled());
    QVERIFY(!c.modes[ModeCCCV]->isEnabled());
    QVERIFY(!c.modes[ModeCRCV]->isEnabled());
    QVERIFY(c.modes[ModeCC]->isEnabled());
    QVERIFY(c.modes[ModeCR]->isEnabled());
    QVERIFY(!c.volt1Label->isEnabled());
    QVERIFY(!c.volt2Label->isEnabled());
    QVERIFY(c.loadOff->isEnabled());
    // A disabled button cannot be chosen.
    QTest::mouseClick(c.modes[ModeCV], Qt::LeftButton);
    QVERIFY(c.modes[ModeCR]->isChecked());
}

void SettingDialogsTest::modeRefusesChangesThatWouldReinterpretSteps()
{
    rig_->settings.SeqCtl = SoftwareControl;
    rig_->settings.ModeChSoft = {ModeCV, ModeCC, ModeCV, ModeCV, ModeCV};
    rig_->settings.deriveActiveValues();
    rig_->setSteps(1, {"1.000"});
    auto mode = modeDialog();
    const CModeDlg::Controls& c = mode->controls();

    // Channel 1 has no steps: its mode may change; the unit may not while channel 2 has steps.
    c.modes[ModeCR]->click();
    QVERIFY(c.modes[ModeCR]->isChecked());
    QVERIFY(rig_->prompt.texts().isEmpty());
    c.unit->setCurrentIndex(2);
    QCOMPARE(rig_->prompt.texts(), QStringList{"Change unit without entering data."});
    QCOMPARE(c.unit->currentText(), QStringLiteral("s"));

    rig_->prompt.clear();
    c.tabs->setCurrentIndex(1);
    c.modes[ModeCV]->click();
    QCOMPARE(rig_->prompt.texts(), QStringList{"Change mode without entering data."});
    QVERIFY(c.modes[ModeCC]->isChecked());
    QVERIFY(!c.modes[ModeCV]->isChecked());

    c.ok->click();
    QCOMPARE(mode->result(), int(QDialog::Accepted));
    QCOMPARE(rig_->settings.ModeCh, (AppSettings::PerChannel<int>{ModeCR, ModeCC, ModeCV, ModeCV, ModeCV}));
    QCOMPARE(rig_->settings.Unit, int(UnitS));
}

void SettingDialogsTest::modeStoresTheShownChannelOnOk()
{
    auto mode = modeDialog();
    const CModeDlg::Controls& c = mode->controls();
    c.tabs->setCurrentIndex(2);
    c.repeat->clear();
    QTest::keyClicks(c.repeat, QStringLiteral("321"));
    c.ok->click();
    QCOMPARE(mode->result(), int(QDialog::Accepted));
    QCOMPARE(rig_->settings.RepeatCh[2], 321);
    QCOMPARE(rig_->settings.RepeatCh[0], 1);
}

void SettingDialogsTest::modeStoresTheSettingsOfTheControlMethodInForce()
{
    struct Case {
        int control;
        int unitIndex;
    };
    for (const Case& test : {Case{SoftwareControl, 2}, Case{HardwareControl, 0}}) {
        rig_ = std::make_unique<TransferRig>();
        QVERIFY(rig_->connectInstrument());
        AppSettings& settings = rig_->settings;
        settings.SeqCtl = test.control;
        settings.ModeChSoft = {ModeCV, ModeCV, ModeCV, ModeCV, ModeCV};
        settings.ModeChHard = {ModeCC, ModeCC, ModeCC, ModeCC, ModeCC};
        settings.UnitSoft = UnitS;
        settings.UnitHard = UnitS;
        settings.OutOffCh = {1, 1, 1, 1, 1};
        settings.OutOffChHard = {1, 1, 1, 1, 1};
        settings.CurrCh[1] = 0.75;
        settings.deriveActiveValues();
        const AppSettings before = settings;
        const bool hardware = test.control == HardwareControl;

        auto mode = modeDialog();
        const CModeDlg::Controls& c = mode->controls();
        c.unit->setCurrentIndex(test.unitIndex);
        c.tabs->setCurrentIndex(1);
        c.modes[hardware ? ModeCR : ModeCCCV]->click();
        if (!hardware) {
            c.volt1->setText(QStringLiteral("7.25"));
            c.volt2->setText(QStringLiteral("3"));
        }
        if (hardware)
            c.loadOff->click();
        c.ok->click();
        QCOMPARE(mode->result(), int(QDialog::Accepted));

        const int chosen = hardware ? ModeCR : ModeCCCV;
        QCOMPARE(settings.ModeCh[1], chosen);
        QCOMPARE((hardware ? settings.ModeChHard : settings.ModeChSoft)[1], chosen);
        QCOMPARE((hardware ? settings.ModeChSoft : settings.ModeChHard)[1],
                 (hardware ? before.ModeChSoft : before.ModeChHard)[1]);
        const int unit = test.unitIndex + UnitS;
        QCOMPARE(settings.Unit, unit);
        QCOMPARE(hardware ? settings.UnitHard : settings.UnitSoft, unit);
        QCOMPARE(hardware ? settings.UnitSoft : settings.UnitHard, int(UnitS));
        QCOMPARE(settings.OutOffChHard[1], hardware ? 0 : 1);
        QCOMPARE(settings.OutOffCh[1], 1);
        QCOMPARE(settings.Volt1Ch[1], hardware ? 0.0 : 7.25);
        QCOMPARE(settings.Volt2Ch[1], hardware ? 0.0 : 3.0);
        QCOMPARE(settings.CurrCh[1], 0.75);
        QCOMPARE(settings.RepeatCh[1], 1);
    }
}

void SettingDialogsTest::modeRefusesARepeatOutsideItsRange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("zero") << QStringLiteral("0") << QStringLiteral("Enter an integer between 1 and 9999.");
    QTest::newRow("10000") << QStringLiteral("10000")
                           << QStringLiteral("Enter an integer between 1 and 9999.");
    QTest::newRow("empty") << QString() << QStringLiteral("Enter an integer.");
}

void SettingDialogsTest::modeRefusesARepeatOutsideItsRange()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    auto mode = modeDialog();
    const CModeDlg::Controls& c = mode->controls();
    c.tabs->setCurrentIndex(1);
    c.repeat->clear();
    QTest::keyClicks(c.repeat, typed);
    c.tabs->setCurrentIndex(3);
    QCOMPARE(rig_->prompt.texts(), QStringList{message});
    QCOMPARE(c.tabs->currentIndex(), 1);
    QCOMPARE(mode->shownChannel(), 1);

    rig_->prompt.clear();
    c.ok->click();
    QCOMPARE(rig_->prompt.texts(), QStringList{message});
    QCOMPARE(mode->result(), int(QDialog::Rejected));
    QCOMPARE(rig_->settings.RepeatCh[1], 1);

    // The arrows stay within the range and bring a refused count back into it.
    rig_->prompt.clear();
    c.repeat->stepBy(1);
    QVERIFY(c.repeat->value() >= 1 && c.repeat->value() <= 9999);
    c.ok->click();
    QCOMPARE(mode->result(), int(QDialog::Accepted));

    // A count stored outside the range shows as it is and is refused the same way.
    rig_->settings.RepeatCh[0] = 0;
    auto stored = modeDialog();
    QCOMPARE(stored->controls().repeat->value(), 0);
    stored->controls().ok->click();
    QCOMPARE(rig_->prompt.texts(), QStringList{"Enter an integer between 1 and 9999."});
    QCOMPARE(stored->result(), int(QDialog::Rejected));
}

void SettingDialogsTest::modeCancelStoresNothing()
{
    rig_->settings.SeqCtl = SoftwareControl;
    rig_->settings.deriveActiveValues();
    const AppSettings before = rig_->settings;
    auto mode = modeDialog();
    const CModeDlg::Controls& c = mode->controls();
    c.modes[ModeCC]->click();
    c.unit->setCurrentIndex(1);
    c.tabs->setCurrentIndex(4);
    c.cancel->click();
    QCOMPARE(mode->result(), int(QDialog::Rejected));
    QCOMPARE(rig_->settings.ModeCh, before.ModeCh);
    QCOMPARE(rig_->settings.ModeChSoft, before.ModeChSoft);
    QCOMPARE(rig_->settings.Unit, before.Unit);
}

void SettingDialogsTest::modeKeepsAStoredUnitOffItsList()
{
    // A hand-edited profile may hold any number: the list shows no choice and OK keeps the unit.
    for (const int unit :
         {int(UnitMs), 4, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
        rig_->settings.SeqCtl = SoftwareControl;
        rig_->settings.UnitSoft = unit;
        rig_->settings.deriveActiveValues();
        auto mode = modeDialog();
        QCOMPARE(mode->controls().unit->currentIndex(), -1);
        mode->controls().ok->click();
        QCOMPARE(mode->result(), int(QDialog::Accepted));
        QCOMPARE(rig_->settings.Unit, unit);
    }
}

// ---------------------------------------------------------------------------------------------
// Options

void SettingDialogsTest::optionsShowAndStoreTheListIndexes()
{
    rig_->settings.CurrPlace = 3;
    rig_->settings.VoltPlace = 0;
    rig_->settings.ResistPlace = 1;
    rig_->settings.PowerPlace = 7; // off the list: kept
    auto options = optionsDialog();
    QVERIFY(options->isComplete());
    QCOMPARE(options->windowTitle(), QStringLiteral("Options"));
    const COptionsDlg::Controls& c = options->controls();
    QCOMPARE(c.current->currentText(), QStringLiteral("5"));
    QCOMPARE(c.voltage->currentText(), QStringLiteral("2"));
    QCOMPARE(c.resistance->currentText(), QStringLiteral("5"));
    QCOMPARE(c.current->count(), 4);
    QCOMPARE(c.voltage->count(), 2);
    QCOMPARE(c.resistance->count(), 2);
    QVERIFY(!c.power->isVisibleTo(options.get()));
    c.current->setCurrentIndex(0);
    c.voltage->setCurrentIndex(1);
    c.resistance->setCurrentIndex(0);
    c.ok->click();
    QCOMPARE(options->result(), int(QDialog::Accepted));
    QCOMPARE(rig_->settings.CurrPlace, 0);
    QCOMPARE(rig_->settings.VoltPlace, 1);
    QCOMPARE(rig_->settings.ResistPlace, 0);
    QCOMPARE(rig_->settings.PowerPlace, 7);
}

void SettingDialogsTest::optionsRefuseWhileTheCurrentChannelHasSteps()
{
    rig_->setSteps(2, {"1.000"});
    rig_->document->setCurrentChannel(2);
    {
        auto options = optionsDialog();
        options->show();
        options->controls().current->setCurrentIndex(0);
        options->controls().ok->click();
        QCOMPARE(rig_->prompt.texts(), QStringList{"Change without entering data."});
        QVERIFY(options->isVisible());
        options->controls().cancel->click();
        QVERIFY(!options->isVisible());
        QCOMPARE(options->result(), int(QDialog::Rejected));
    }
    QCOMPARE(rig_->settings.CurrPlace, AppSettings().CurrPlace);

    // Steps in another channel do not count.
    rig_->prompt.clear();
    rig_->document->setCurrentChannel(0);
    auto options = optionsDialog();
    options->controls().current->setCurrentIndex(0);
    options->controls().ok->click();
    QVERIFY(rig_->prompt.texts().isEmpty());
    QCOMPARE(rig_->settings.CurrPlace, 0);
}

QTEST_MAIN(SettingDialogsTest)
#include "SettingDialogsTest.moc"
