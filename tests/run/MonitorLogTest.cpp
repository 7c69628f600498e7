#include "run/MonitorLog.h"

#include "QtPrinters.h"
#include "model/AppSettings.h"
#include "model/ProfileStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QDateTime kStart(QDate(2005, 12, 24), QTime(14, 3, 9));

QByteArray contents(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

class MonitorLogTest : public ::testing::Test {
protected:
    MonitorLog::Options options(bool inMemory, bool cut = false, qint64 period = 60)
    {
        MonitorLog::Options o;
        o.folder = dir.path();
        o.extension = QStringLiteral("txt");
        o.separator = QLatin1Char('\t');
        o.inMemory = inMemory;
        o.cut = cut;
        o.cutPeriodSeconds = period;
        return o;
    }
    QString file(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    const QByteArray header =
        "Time[s]\tCh1[A]\tCh1[V]\tCh2[A]\tCh2[V]\tCh3[A]\tCh3[V]\tCh4[A]\tCh4[V]\tCh5[A]\tCh5[V]\n";
};

TEST_F(MonitorLogTest, LineByLineEveryLineIsOnDiskWhenStoreReturns)
{
    MonitorLog log(options(false));
    ASSERT_TRUE(log.open(QStringLiteral("CC_"), kStart));
    EXPECT_EQ(log.path(), file(QStringLiteral("CC_12-24-05_14-03-09.txt")));
    EXPECT_EQ(log.displayedName(), QStringLiteral("CC_12-24-05_14-03-09.txt"));
    EXPECT_EQ(contents(log.path()), header);
    log.store(QStringLiteral("0.000\t1\t2\t\t\t\t\t\t\t\t\n"));
    EXPECT_EQ(contents(log.path()), header + "0.000\t1\t2\t\t\t\t\t\t\t\t\n");
    log.store(QStringLiteral("2.000\t3\t4\t\t\t\t\t\t\t\t\n"));
    EXPECT_EQ(contents(log.path()), header + "0.000\t1\t2\t\t\t\t\t\t\t\t\n2.000\t3\t4\t\t\t\t\t\t\t\t\n");
    EXPECT_FALSE(log.isEmpty());
    EXPECT_TRUE(log.finish());
    EXPECT_FALSE(log.writeFailed());
}

TEST_F(MonitorLogTest, AFileOfTheLogsNameIsNeverReplaced)
{
    // Another run started in the same second, or an older file: the log takes the next free name
    // and the caption names it.
    struct Case {
        const char* name;
        bool inMemory;
        bool cut;
        QStringList existing;
        const char* path;
        const char* displayed;
    };
    const Case cases[] = {
        {"line by line",
         false,
         false,
         {"CV_12-24-05_14-03-09.txt"},
         "CV_12-24-05_14-03-09-2.txt",
         "CV_12-24-05_14-03-09-2.txt"},
        {"two taken",
         false,
         false,
         {"CV_12-24-05_14-03-09.txt", "CV_12-24-05_14-03-09-2.txt"},
         "CV_12-24-05_14-03-09-3.txt",
         "CV_12-24-05_14-03-09-3.txt"},
        {"a folder of that name",
         false,
         false,
         {"CV_12-24-05_14-03-09.txt/"},
         "CV_12-24-05_14-03-09-2.txt",
         "CV_12-24-05_14-03-09-2.txt"},
        {"cut files",
         false,
         true,
         {"CV_12-24-05_14-03-090.txt"},
         "CV_12-24-05_14-03-09-20.txt",
         "CV_12-24-05_14-03-09-20.txt"},
        {"in memory",
         true,
         false,
         {"CV_12-24-05_14-03-09.txt"},
         "CV_12-24-05_14-03-09-2.txt",
         "CV_12-24-05_14-03-09-2"},
    };
    const QByteArray old = "old contents that are longer than the header line of the new log file......\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir caseDir;
        for (const QString& name : c.existing) {
            if (name.endsWith(QLatin1Char('/'))) {
                ASSERT_TRUE(QDir(caseDir.path()).mkdir(name.chopped(1)));
                continue;
            }
            QFile existing(caseDir.filePath(name));
            ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
            existing.write(old);
        }
        MonitorLog::Options o = options(c.inMemory, c.cut, 60);
        o.folder = caseDir.path();
        MonitorLog log(o);
        ASSERT_TRUE(log.open(QStringLiteral("CV_"), kStart));
        EXPECT_EQ(log.path(), caseDir.filePath(QLatin1String(c.path)));
        EXPECT_EQ(log.displayedName(), QLatin1String(c.displayed));
        log.store(QStringLiteral("1\n"));
        EXPECT_TRUE(log.finish());
        EXPECT_EQ(contents(log.path()), header + "1\n");
        for (const QString& name : c.existing) {
            if (!name.endsWith(QLatin1Char('/'))) {
                EXPECT_EQ(contents(caseDir.filePath(name)), old) << qPrintable(name);
            }
        }
    }
}

TEST_F(MonitorLogTest, CutFilesAreNumberedRightAfterTheDateAndOnlyTheFirstHasAHeader)
{
    MonitorLog log(options(false, true, 60));
    ASSERT_TRUE(log.open(QStringLiteral("CC_"), kStart));
    EXPECT_EQ(log.path(), file(QStringLiteral("CC_12-24-05_14-03-090.txt")));
    EXPECT_EQ(log.displayedName(), QStringLiteral("CC_12-24-05_14-03-090.txt"));
    log.store(QStringLiteral("a\n"));
    EXPECT_EQ(log.cutIfDue(60.0), MonitorLog::CutResult::NotDue);
    log.store(QStringLiteral("b\n"));
    EXPECT_EQ(log.cutIfDue(60.001), MonitorLog::CutResult::Cut);
    EXPECT_EQ(log.displayedName(), QStringLiteral("CC_12-24-05_14-03-091.txt"));
    log.store(QStringLiteral("c\n"));
    // One cut per line however far behind the period is.
    EXPECT_EQ(log.cutIfDue(200.0), MonitorLog::CutResult::Cut);
    log.store(QStringLiteral("d\n"));
    EXPECT_EQ(log.cutIfDue(200.0), MonitorLog::CutResult::Cut);
    log.store(QStringLiteral("e\n"));
    EXPECT_EQ(log.cutIfDue(200.0), MonitorLog::CutResult::NotDue);
    EXPECT_TRUE(log.finish());
    EXPECT_EQ(contents(file(QStringLiteral("CC_12-24-05_14-03-090.txt"))), header + "a\nb\n");
    EXPECT_EQ(contents(file(QStringLiteral("CC_12-24-05_14-03-091.txt"))), QByteArray("c\n"));
    EXPECT_EQ(contents(file(QStringLiteral("CC_12-24-05_14-03-092.txt"))), QByteArray("d\n"));
    EXPECT_EQ(contents(file(QStringLiteral("CC_12-24-05_14-03-093.txt"))), QByteArray("e\n"));
}

TEST_F(MonitorLogTest, ACutThatCannotCreateItsFileFails)
{
    MonitorLog log(options(false, true, 60));
    ASSERT_TRUE(log.open(QStringLiteral("CC_"), kStart));
    // A directory where the next file would go.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("CC_12-24-05_14-03-091.txt")));
    EXPECT_EQ(log.cutIfDue(61.0), MonitorLog::CutResult::Failed);
}

TEST_F(MonitorLogTest, InMemoryNothingIsWrittenUntilFinishAndLongLinesStayWhole)
{
    MonitorLog log(options(true, true, 60));
    EXPECT_TRUE(log.isEmpty());
    ASSERT_TRUE(log.open(QStringLiteral("CR_"), kStart));
    EXPECT_EQ(log.displayedName(), QStringLiteral("CR_12-24-05_14-03-09"));
    EXPECT_EQ(log.path(), file(QStringLiteral("CR_12-24-05_14-03-09.txt")));
    EXPECT_FALSE(QFile::exists(log.path()));
    const QString longLine = QStringLiteral("1.000") + QString(200, QLatin1Char('7')) + QLatin1Char('\n');
    log.store(QStringLiteral("0.000\tx\n"));
    log.store(longLine);
    // No cutting in memory mode.
    EXPECT_EQ(log.cutIfDue(1000.0), MonitorLog::CutResult::NotDue);
    log.store(QStringLiteral("2.000\ty\n"));
    EXPECT_FALSE(QFile::exists(log.path()));
    EXPECT_TRUE(log.finish());
    EXPECT_EQ(contents(log.path()), header + "0.000\tx\n" + longLine.toUtf8() + "2.000\ty\n");
}

TEST_F(MonitorLogTest, AFolderOrNameThatCannotTakeTheFileFailsOpenInBothModes)
{
    // Memory mode finds out at the start too, not after a whole run.
    QFile plain(file(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    struct Case {
        const char* name;
        QString folder;
        QString extension;
        QString reason;
    };
    const Case cases[] = {
        {"missing folder", file(QStringLiteral("missing/folder")), QStringLiteral("txt"),
         QStringLiteral("No such file or directory")},
        {"a file as the folder", file(QStringLiteral("plain")), QStringLiteral("txt"),
         QStringLiteral("Not a directory")},
        {"a folder in the extension", dir.path(), QStringLiteral("log/x"),
         QStringLiteral("No such file or directory")},
    };
    for (const Case& c : cases) {
        for (const bool inMemory : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (inMemory ? " in memory" : " line by line"));
            MonitorLog::Options o = options(inMemory);
            o.folder = c.folder;
            o.extension = c.extension;
            MonitorLog log(o);
            EXPECT_FALSE(log.open(QStringLiteral("CC_"), kStart));
            EXPECT_TRUE(log.createFailed());
            EXPECT_EQ(log.errorText(), c.reason);
        }
    }
    // The trial leaves nothing behind.
    MonitorLog memoryLog(options(true));
    ASSERT_TRUE(memoryLog.open(QStringLiteral("CC_"), kStart));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"plain"});
}

TEST_F(MonitorLogTest, InMemoryReadingsThatCannotBeWrittenStayForAnotherPlace)
{
    MonitorLog::Options o = options(true);
    o.folder = dir.filePath(QStringLiteral("logs"));
    ASSERT_TRUE(QDir().mkpath(o.folder));
    MonitorLog log(o);
    ASSERT_TRUE(log.open(QStringLiteral("CC_"), kStart));
    log.store(QStringLiteral("0.000\tx\n"));
    log.store(QStringLiteral("1.000\ty\n"));
    ASSERT_TRUE(QDir(o.folder).removeRecursively());

    EXPECT_FALSE(log.finish());
    EXPECT_EQ(log.path(), dir.filePath(QStringLiteral("logs/CC_12-24-05_14-03-09.txt")));
    EXPECT_EQ(log.errorText(), QStringLiteral("No such file or directory"));
    EXPECT_EQ(log.storedLines().size(), 2u);
    EXPECT_FALSE(log.isEmpty());

    // A second place that fails tells its own reason; a taken name is not replaced.
    EXPECT_FALSE(log.writeTo(file(QStringLiteral("plain/readings.txt"))));
    QFile taken(file(QStringLiteral("readings.txt")));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.write("mine\n");
    taken.close();
    EXPECT_TRUE(log.writeTo(file(QStringLiteral("readings.txt"))));
    EXPECT_EQ(log.path(), file(QStringLiteral("readings-2.txt")));
    EXPECT_EQ(contents(file(QStringLiteral("readings-2.txt"))), header + "0.000\tx\n1.000\ty\n");
    EXPECT_EQ(contents(file(QStringLiteral("readings.txt"))), QByteArray("mine\n"));
}

TEST_F(MonitorLogTest, OptionsComeFromTheSettings)
{
    AppSettings settings;
    settings.Folder = QStringLiteral("/logs/");
    settings.Ext = QStringLiteral("csv");
    settings.Txt = 1;
    settings.PassTime = 1;
    settings.FileMem = 1;
    settings.bCut = 1;
    settings.CutHour = 2;
    settings.CutMin = 30;
    MonitorLog::Options o = MonitorLog::optionsFrom(settings);
    EXPECT_EQ(o.folder, QStringLiteral("/logs/"));
    EXPECT_EQ(o.extension, QStringLiteral("csv"));
    EXPECT_EQ(o.separator, QLatin1Char(','));
    EXPECT_EQ(o.passTime, 1);
    EXPECT_FALSE(o.inMemory);
    EXPECT_TRUE(o.cut);
    EXPECT_EQ(o.cutPeriodSeconds, 9000);
    // An empty folder is the default folder, not the top of the file system.
    settings.Folder.clear();
    EXPECT_EQ(MonitorLog::optionsFrom(settings).folder, ProfileStore::defaultFolder());
    // A period of 0 would start a file for every line: no cutting then.
    settings.CutHour = 0;
    settings.CutMin = 0;
    EXPECT_FALSE(MonitorLog::optionsFrom(settings).cut);
    // Memory mode never cuts.
    settings.CutHour = 1;
    settings.FileMem = 0;
    EXPECT_FALSE(MonitorLog::optionsFrom(settings).cut);
    EXPECT_TRUE(MonitorLog::optionsFrom(settings).inMemory);
}

} // namespace
