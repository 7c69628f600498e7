#include "run/MonitorLog.h"

#include "QtPrinters.h"
#include "model/AppSettings.h"

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

TEST_F(MonitorLogTest, AnExistingFileOfTheSameNameIsReplaced)
{
    QFile old(file(QStringLiteral("CV_12-24-05_14-03-09.txt")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents that are longer than the header line of the new log file.....................\n");
    old.close();
    MonitorLog log(options(false));
    ASSERT_TRUE(log.open(QStringLiteral("CV_"), kStart));
    EXPECT_EQ(contents(log.path()), header);
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

TEST_F(MonitorLogTest, FileThatCannotBeCreatedFailsOpenOrFinish)
{
    MonitorLog::Options o = options(false);
    o.folder = dir.filePath(QStringLiteral("missing/folder"));
    MonitorLog fileLog(o);
    EXPECT_FALSE(fileLog.open(QStringLiteral("CC_"), kStart));

    o.inMemory = true;
    MonitorLog memoryLog(o);
    ASSERT_TRUE(memoryLog.open(QStringLiteral("CC_"), kStart));
    memoryLog.store(QStringLiteral("line\n"));
    EXPECT_FALSE(memoryLog.finish());
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
