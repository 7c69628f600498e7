#include "model/ProfileStore.h"

#include "QtPrinters.h"
#include "model/AppSettings.h"
#include "model/SettingsKeys.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

class ProfileStoreTest : public ::testing::Test {
protected:
    // Each hand-written profile gets a file of its own: QSettings caches parsed files and tells a
    // rewritten one by size and modification time, which two quick writes can share.
    QString iniPath() const { return dir.filePath(QStringLiteral("Tessor%1.ini").arg(generation)); }
    ProfileStore store() const { return ProfileStore(iniPath()); }
    // Writes raw INI text, as a user or an older version might have left it.
    void writeIni(const QByteArray& text)
    {
        ++generation;
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray iniText() const
    {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The lines of one INI section, "key=value" each.
    QStringList sectionLines(const QString& section) const
    {
        QStringList lines;
        bool inside = false;
        for (const QByteArray& raw : iniText().split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.startsWith('['))
                inside = line == '[' + section + ']';
            else if (inside && !line.isEmpty())
                lines << line;
        }
        return lines;
    }
    AppSettings loaded() const
    {
        AppSettings settings;
        store().load(settings);
        return settings;
    }

    QTemporaryDir dir;
    int generation = 0;
};

TEST_F(ProfileStoreTest, AFreshProfileStartsWithTheDefaults)
{
    const AppSettings s = loaded();
    EXPECT_EQ(s.SeqCtl, SoftwareControl);
    EXPECT_EQ(s.Unit, UnitS);
    EXPECT_EQ(s.ModeCh, (AppSettings::PerChannel<int>{ModeCV, ModeCV, ModeCV, ModeCV, ModeCV}));
    EXPECT_EQ(s.RepeatCh, (std::array<int, 8>{1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(s.MonitorTime, 2000);
    EXPECT_EQ(s.Curr + s.Volt + s.Power, 0);
    EXPECT_EQ(s.MonTiming, 0);
    EXPECT_EQ(s.Tsr, 0);
    EXPECT_EQ(s.Ext, "txt");
    EXPECT_EQ(s.Folder, QDir::homePath() + '/');
    EXPECT_EQ(s.Machine, AppSettings::kKdrxMachine);
    EXPECT_TRUE(s.PortDevice.isEmpty());
    EXPECT_EQ(s.Bottom, 500);
    EXPECT_DOUBLE_EQ(s.InitPower, 150.0);
    EXPECT_DOUBLE_EQ(s.Ovp[4], 10.0);
    EXPECT_EQ(s.ModeChHard[0], ModeCC);
}

TEST_F(ProfileStoreTest, MissingKeysTakeTheirDefaultsOverWhateverWasInMemory)
{
    writeIni("[Config]\nPort=3\n");
    AppSettings settings;
    settings.MonitorTime = 50;
    settings.Folder = QStringLiteral("/elsewhere/");
    settings.Volt2Ch[1] = 9.0;
    store().load(settings);
    EXPECT_EQ(settings.Port, 3);
    EXPECT_EQ(settings.MonitorTime, 2000);
    EXPECT_EQ(settings.Folder, QDir::homePath() + '/');
    EXPECT_DOUBLE_EQ(settings.Volt2Ch[1], 0.0);
}

TEST_F(ProfileStoreTest, TheInstrumentFamilyIsAlwaysKdrx)
{
    writeIni("[Config]\nMachine=3\n");
    AppSettings settings = loaded();
    EXPECT_EQ(settings.Machine, 6);
    ASSERT_TRUE(store().save(settings));
    EXPECT_TRUE(sectionLines("Config").contains("Machine=6"));
}

TEST_F(ProfileStoreTest, FileCutNeedsLineByLineWriting)
{
    writeIni("[Config]\nFileMem=0\nbCut=1\n");
    EXPECT_EQ(loaded().bCut, 0);
    writeIni("[Config]\nFileMem=1\nbCut=1\n");
    EXPECT_EQ(loaded().bCut, 1);
}

TEST_F(ProfileStoreTest, ARepeatCountTheLoadCannotTakeStartsAsOnePass)
{
    writeIni("[Config]\nRepeat0=-5\nRepeat1=0\nRepeat2=10000\nRepeat3=9999\nRepeat4=1\nRepeat5=-2147483648\n"
             "Repeat6=77\n");
    EXPECT_EQ(loaded().RepeatCh, (std::array<int, 8>{1, 1, 1, 9999, 1, 1, 77, 1}));
}

TEST_F(ProfileStoreTest, RealsAreReadAsNumbersAndWrittenInTheirFormat)
{
    writeIni("[Config]\nVolt1Ch2=12\n");
    AppSettings settings = loaded();
    EXPECT_DOUBLE_EQ(settings.Volt1Ch[1], 12.0);
    ASSERT_TRUE(store().save(settings));
    EXPECT_TRUE(sectionLines("Config").contains("Volt1Ch2=12.000"));
}

TEST_F(ProfileStoreTest, HardwareControlMakesTheHardwareSetsActive)
{
    writeIni("[Config]\nSeqCtl=1\nModeChSoft1=0\nModeChHard1=2\nModeChSoft3=4\nModeChHard3=1\n"
             "UnitSoft=2\nUnitHard=3\nMonSoft=1\n");
    const AppSettings hard = loaded();
    EXPECT_EQ(hard.ModeCh, (AppSettings::PerChannel<int>{ModeCR, ModeCC, ModeCC, ModeCC, ModeCC}));
    EXPECT_EQ(hard.Unit, UnitH);
    EXPECT_EQ(hard.MonTiming, 0);

    writeIni("[Config]\nSeqCtl=0\nModeChSoft1=0\nModeChHard1=2\nModeChSoft3=4\nModeChHard3=1\n"
             "UnitSoft=2\nUnitHard=3\nMonSoft=1\n");
    const AppSettings soft = loaded();
    EXPECT_EQ(soft.ModeCh, (AppSettings::PerChannel<int>{ModeCV, ModeCV, ModeCRCV, ModeCV, ModeCV}));
    EXPECT_EQ(soft.Unit, UnitMin);
    EXPECT_EQ(soft.MonTiming, 1);
}

TEST_F(ProfileStoreTest, UnreadableIntegersTakeTheirDefaultAndUnreadableRealsReadAsZero)
{
    writeIni("[Config]\nMonitorTime=abc\nPort=1.5\nCurrPlace=\nRepeat3=x\nOvp2=high\nInitPower=\n"
             "OffCurr=0.25mA\nInitRes=  2.5\nAddress= 7 \n");
    const AppSettings s = loaded();
    EXPECT_EQ(s.MonitorTime, 2000);
    EXPECT_EQ(s.Port, 1);
    EXPECT_EQ(s.CurrPlace, 2);
    EXPECT_EQ(s.RepeatCh[3], 1);
    EXPECT_EQ(s.Address, 7);
    EXPECT_DOUBLE_EQ(s.Ovp[1], 0.0);
    EXPECT_DOUBLE_EQ(s.InitPower, 0.0);
    EXPECT_DOUBLE_EQ(s.OffCurr, 0.25);
    EXPECT_DOUBLE_EQ(s.InitRes, 2.5);
}

TEST_F(ProfileStoreTest, EveryRealIsSavedInItsFormat)
{
    AppSettings s;
    s.SeqTime = 2.25;
    s.LimitVolt = 10.0;
    s.LimitCurr = 1.23456;
    s.OffCurr = 0.123456;
    s.Freq = 50.0;
    s.InitCurr = 1.5;
    s.InitVolt = 2.0;
    s.InitPower = 150.0;
    s.InitRes = 1.0;
    s.Volt1Ch[0] = 12.0;
    s.Volt2Ch[4] = 3.14159;
    s.CurrCh[2] = 0.5;
    s.Ovp[1] = 10.0;
    s.Ocp[3] = 1.0;
    s.Uvp[0] = 0.1;
    s.Ucp[4] = 0.0;
    ASSERT_TRUE(store().save(s));
    const QStringList config = sectionLines("Config");
    for (const char* line :
         {"SeqTime=2.3", "LimitVolt=10.000", "LimitCurr=1.235", "OffCurr=0.1235", "Freq=50.00",
          "InitCurr=1.500", "InitVolt=2.000", "InitPower=150.00", "InitRes=1.0000", "Volt1Ch1=12.000",
          "Volt2Ch5=3.142", "CurrCh3=0.500", "Ovp2=10.000", "Ocp4=1.000", "Uvp1=0.100", "Ucp5=0.000"})
        EXPECT_TRUE(config.contains(QLatin1String(line))) << line;
}

TEST_F(ProfileStoreTest, TheProfileHasTheSectionsAndKeyNamesOfTheProgram)
{
    AppSettings s;
    s.Top = 10;
    s.bPos = 1;
    s.bFile = 1;
    ASSERT_TRUE(store().save(s));
    const QStringList main = sectionLines("General");
    EXPECT_EQ(main, QStringList({"Bottom=500", "Left=0", "Right=500", "Top=10", "bFile=1", "bPos=1"}));
    const QStringList config = sectionLines("Config");
    for (const char* key : {"Interface=0", "Port=1",    "Maker=1",   "Address=1",     "PortDevice=",
                            "Repeat=1",    "Repeat0=1", "Repeat7=1", "ModeChSoft1=0", "ModeChHard5=1",
                            "RunCh3=1",    "UvpOn5=0",  "UcpOn1=0",  "nVoltRange=2",  "CurrRange=3",
                            "Ext=txt",     "Tsr=0",     "FileMem=1", "WriteProgNo=1", "Memory=0"})
        EXPECT_TRUE(config.contains(QLatin1String(key))) << key;
    // The derived values have no keys of their own.
    for (const QString& line : config) {
        EXPECT_FALSE(line.startsWith("ModeCh1") || line.startsWith("Unit=") || line.startsWith("MonTiming"))
            << line.toStdString();
    }
    EXPECT_FALSE(config.contains("Repeat8=1"));
    EXPECT_FALSE(config.contains("Volt1Ch6=0.000"));
}

TEST_F(ProfileStoreTest, ProgramNumbersAndTheMemoryOptionAreSavedButNeverReadBack)
{
    AppSettings s;
    s.WriteProgNo = 5;
    s.ReadProgNo = 6;
    s.RunProgNo = 7;
    s.Memory = 1;
    ASSERT_TRUE(store().save(s));
    EXPECT_TRUE(sectionLines("Config").contains("RunProgNo=7"));
    const AppSettings again = loaded();
    EXPECT_EQ(again.WriteProgNo, 1);
    EXPECT_EQ(again.ReadProgNo, 1);
    EXPECT_EQ(again.RunProgNo, 1);
    EXPECT_EQ(again.Memory, 0);
}

TEST_F(ProfileStoreTest, EveryStoredKeySurvivesASaveAndALoad)
{
    AppSettings s;
    int n = 2;
    for (const SettingsKeys::Key& key : SettingsKeys::all()) {
        for (int slot = 0; slot < SettingsKeys::slotCount(key); ++slot, ++n) {
            // Integers within the key's range, so that each one comes back as it was.
            const qint64 span = qint64(key.maximum) - key.minimum + 1;
            const qint64 integer =
                std::clamp<qint64>(span > 1000 ? n : key.minimum + n % span, key.minimum, key.maximum);
            const QString text =
                std::holds_alternative<QString AppSettings::*>(key.member)
                    ? QStringLiteral("/text, %1/").arg(n)
                    : QString::number(integer) + (key.format ? QStringLiteral(".5") : QString());
            ASSERT_TRUE(SettingsKeys::setFromText(s, key, slot, text)) << key.name;
        }
    }
    s.FileMem = 1;
    s.bCut = 1;
    ASSERT_TRUE(store().save(s));
    const AppSettings again = loaded();
    for (const SettingsKeys::Key& key : SettingsKeys::all()) {
        if (key.saveOnly || QLatin1String(key.name) == QLatin1String("Machine"))
            continue;
        for (int slot = 0; slot < SettingsKeys::slotCount(key); ++slot) {
            EXPECT_EQ(SettingsKeys::storedValue(again, key, slot), SettingsKeys::storedValue(s, key, slot))
                << SettingsKeys::slotName(key, slot).toStdString();
        }
    }
}

TEST_F(ProfileStoreTest, ATextWithACommaWrittenByHandStillReadsWhole)
{
    writeIni("[Config]\nFolder=/data/run 1,2/\nExt=csv\n");
    const AppSettings s = loaded();
    EXPECT_EQ(s.Folder, "/data/run 1,2/");
    EXPECT_EQ(s.Ext, "csv");
}

TEST_F(ProfileStoreTest, SaveReportsAProfileThatCannotBeWritten)
{
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const ProfileStore unwritable(dir.filePath(QStringLiteral("file/Tessor.ini")));
    EXPECT_FALSE(unwritable.save(AppSettings()));
}

TEST_F(ProfileStoreTest, DefaultPathFollowsXdgConfigHome)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    const bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/srv/conf");
    EXPECT_EQ(ProfileStore::defaultPath(), "/srv/conf/Morvane/TessorEng/Kdrx5ch/Tessor.ini");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(ProfileStore::defaultPath(),
              QDir::homePath() + "/.config/Morvane/TessorEng/Kdrx5ch/Tessor.ini");
    qputenv("XDG_CONFIG_HOME", "");
    EXPECT_EQ(ProfileStore::defaultPath(),
              QDir::homePath() + "/.config/Morvane/TessorEng/Kdrx5ch/Tessor.ini");
    if (wasSet)
        qputenv("XDG_CONFIG_HOME", saved);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

TEST_F(ProfileStoreTest, GraphSettingsKeepBuiltInColoursUntilChosen)
{
    GraphSettings fresh = store().loadGraph();
    EXPECT_EQ(fresh.bLineY, 1);
    EXPECT_EQ(fresh.TimeMax, "10.0");
    EXPECT_EQ(fresh.ValueMax, "8.0");
    EXPECT_FALSE(fresh.colorArea.has_value());

    writeIni("[Graph]\ncolorArea=\ncolorLine=255\ncolorAxis=blue\nTimeMax=12.50\nbTimeMax=0\nbValueMin=x\n");
    const GraphSettings g = store().loadGraph();
    EXPECT_FALSE(g.colorArea.has_value());
    EXPECT_EQ(g.colorLine, 255L);
    EXPECT_FALSE(g.colorAxis.has_value());
    EXPECT_EQ(g.TimeMax, "12.50");
    EXPECT_EQ(g.bTimeMax, 0);
    EXPECT_EQ(g.bValueMin, 1);
}

TEST_F(ProfileStoreTest, GraphColoursAreStoredAsNumbers)
{
    GraphSettings g;
    g.colorLineCap = 16711680L;
    g.ValueMin = QStringLiteral("-2.5");
    ASSERT_TRUE(store().saveGraph(g));
    QStringList graph = sectionLines("Graph");
    EXPECT_TRUE(graph.contains("colorLineCap=16711680"));
    EXPECT_TRUE(graph.contains("ValueMin=-2.5"));
    EXPECT_FALSE(graph.join(' ').contains("colorArea"));

    ASSERT_TRUE(store().saveGraphColor(QStringLiteral("colorArea"), 65280L));
    ASSERT_TRUE(store().saveGraphLineY(0));
    const GraphSettings again = store().loadGraph();
    EXPECT_EQ(again.colorArea, 65280L);
    EXPECT_EQ(again.colorLineCap, 16711680L);
    EXPECT_EQ(again.bLineY, 0);
    EXPECT_EQ(again.ValueMin, "-2.5");
}

TEST_F(ProfileStoreTest, ChildWindowRectanglesHaveTheirOwnSections)
{
    EXPECT_EQ(store().loadWindowRect(QStringLiteral("Grid")).Bottom, 500);
    ASSERT_TRUE(store().saveWindowRect(QStringLiteral("Grid"), WindowRect{1, 2, 3, 4}));
    ASSERT_TRUE(store().saveWindowRect(QStringLiteral("Graph"), WindowRect{5, 6, 7, 8}));
    const WindowRect grid = store().loadWindowRect(QStringLiteral("Grid"));
    const WindowRect graph = store().loadWindowRect(QStringLiteral("Graph"));
    EXPECT_EQ(grid.Top + grid.Left * 10 + grid.Bottom * 100 + grid.Right * 1000, 4321);
    EXPECT_EQ(graph.Top + graph.Left * 10 + graph.Bottom * 100 + graph.Right * 1000, 8765);
    // The main window's rectangle is not a child window's.
    AppSettings s = loaded();
    EXPECT_EQ(s.Top, 0);
}

TEST_F(ProfileStoreTest, TheRecentFileListHoldsFourEntries)
{
    EXPECT_TRUE(store().loadRecentFiles().isEmpty());
    ASSERT_TRUE(store().saveRecentFiles(
        {"/a/one.tsr", "/b/two, three.tsr", "", "/c/four.tsr", "/d/five.tsr", "/e/six.tsr"}));
    EXPECT_EQ(store().loadRecentFiles(),
              QStringList({"/a/one.tsr", "/b/two, three.tsr", "/c/four.tsr", "/d/five.tsr"}));
    ASSERT_TRUE(store().saveRecentFiles({"/z.tsr"}));
    EXPECT_EQ(store().loadRecentFiles(), QStringList({"/z.tsr"}));
    QSettings ini(iniPath(), QSettings::IniFormat);
    EXPECT_EQ(ini.value("Recent File List/File1").toString(), "/z.tsr");
}

// A value the program never writes (a hand-edited profile, a broken disk) is brought into the
// range the program works with where it is read, so nothing computes with it: window corners
// far off, port and address numbers, decimal places, modes and units, intervals, counts.
TEST_F(ProfileStoreTest, ValuesOutsideTheirRangeAreBroughtIntoIt)
{
    struct Case {
        const char* section;
        const char* name;
        const char* stored;
        int expected;
    };
    const Case cases[] = {
        {"", "Left", "-2147483648", -100000},
        {"", "Right", "2147483647", 100000},
        {"", "Top", "-99999999", -100000},
        {"", "Bottom", "2147483647", 100000},
        {"", "bPos", "7", 1},
        {"", "bFile", "-1", 0},
        {"Config", "Port", "-2147483648", 0},
        {"Config", "Port", "2147483647", 255},
        {"Config", "Address", "99", 30},
        {"Config", "Address", "-5", 0},
        {"Config", "CurrPlace", "7", 3},
        {"Config", "CurrPlace", "-1", 0},
        {"Config", "VoltPlace", "5", 1},
        {"Config", "ResistPlace", "-3", 0},
        {"Config", "PowerPlace", "9", 2},
        {"Config", "SeqMode", "2", 1},
        {"Config", "SeqCtl", "-1", 0},
        {"Config", "UnitSoft", "17", 3},
        {"Config", "UnitHard", "-4", 0},
        {"Config", "Mode", "4", 3},
        {"Config", "ModeChSoft3", "9", 4},
        {"Config", "ModeChHard2", "0", 1},
        {"Config", "ModeChHard5", "4", 2},
        {"Config", "MonitorTime", "0", 500},
        {"Config", "MonitorTime", "2147483647", 600000},
        {"Config", "CutHour", "-1", 0},
        {"Config", "CutHour", "99999", 1000},
        {"Config", "CutMin", "75", 59},
        {"Config", "CurrRange", "-2147483648", 1},
        {"Config", "nVoltRange", "3", 2},
        {"Config", "RangeCC4", "3", 2},
        {"Config", "RangeCV1", "-1", 0},
        {"Config", "RangeCR2", "7", 2},
        {"Config", "Tsr", "2", 1},
        {"Config", "Txt", "-1", 0},
        {"Config", "RunCh1", "2", 1},
        {"Config", "FileMem", "5", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.stored);
        writeIni(QByteArray(c.section[0] == '\0' ? "" : "[Config]\n") + c.name + '=' + c.stored + '\n');
        const AppSettings s = loaded();
        const auto slot = SettingsKeys::find(QLatin1String(c.section), QLatin1String(c.name));
        ASSERT_TRUE(slot.has_value());
        EXPECT_EQ(SettingsKeys::storedValue(s, *slot->key, slot->slot).toInt(), c.expected);
    }
    // The active values follow: Hardware Control's modes are CC or CR only.
    writeIni("[Config]\nSeqCtl=1\nModeChHard1=-7\nModeChHard2=99\nUnitHard=2147483647\n");
    const AppSettings hard = loaded();
    EXPECT_EQ(hard.ModeCh[0], ModeCC);
    EXPECT_EQ(hard.ModeCh[1], ModeCR);
    EXPECT_EQ(hard.Unit, UnitH);
}

TEST_F(ProfileStoreTest, ChildWindowCornersFarOffAreBroughtIn)
{
    writeIni("[Grid]\nLeft=-2147483648\nTop=-2147483648\nRight=2147483647\nBottom=2147483647\n"
             "[Graph]\nLeft=2147483647\nTop=5\nRight=-2147483648\nBottom=x\n");
    const WindowRect grid = store().loadWindowRect(QStringLiteral("Grid"));
    EXPECT_EQ(grid.Left, -100000);
    EXPECT_EQ(grid.Top, -100000);
    EXPECT_EQ(grid.Right, 100000);
    EXPECT_EQ(grid.Bottom, 100000);
    const WindowRect graph = store().loadWindowRect(QStringLiteral("Graph"));
    EXPECT_EQ(graph.Left, 100000);
    EXPECT_EQ(graph.Top, 5);
    EXPECT_EQ(graph.Right, -100000);
    EXPECT_EQ(graph.Bottom, 500);
}
