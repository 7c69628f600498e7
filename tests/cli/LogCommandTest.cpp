#include "run/MonitorLog.h"
#include "run/RunFormats.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

struct Output {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// tessorctl run as a program with a profile folder of its own.
class LogCommand : public ::testing::Test {
protected:
    Output run(const QStringList& arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("DISPLAY"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TESSORCTL_PATH), arguments);
        EXPECT_TRUE(process.waitForFinished(120000));
        Output output;
        output.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        output.out = process.readAllStandardOutput();
        output.err = process.readAllStandardError();
        return output;
    }
    // A log cut every minute, written by the program's log writer in hours:minutes:seconds: channel 2
    // at 1.5 A and 12.000 V every second for 200 s.
    QStringList writeCutLog() const
    {
        MonitorLog::Options options;
        options.folder = folder.path();
        options.extension = QStringLiteral("txt");
        options.separator = QLatin1Char(',');
        options.passTime = 1;
        options.cut = true;
        options.cutPeriodSeconds = 60;
        MonitorLog log(options);
        EXPECT_TRUE(log.open(QStringLiteral("CC_"), QDateTime(QDate(2026, 12, 8), QTime(10, 0, 0))));
        QStringList files{log.path()};
        for (int t = 0; t <= 200; ++t) {
            if (log.cutIfDue(t) == MonitorLog::CutResult::Cut)
                files << log.path();
            ChannelTexts currents;
            ChannelTexts voltages;
            currents[1] = QStringLiteral("1.5000");
            voltages[1] = QStringLiteral("12.000");
            log.store(
                RunFormats::dataLine(RunFormats::passTimeText(t, 1), currents, voltages, options.separator));
        }
        EXPECT_TRUE(log.finish());
        return files;
    }
    QTemporaryDir folder;
};

TEST_F(LogCommand, JsonGivesTheFiguresOfAWholeCutSeries)
{
    const QStringList files = writeCutLog();
    ASSERT_EQ(files.size(), 4);
    const Output output = run({QStringLiteral("log"), files.first(), QStringLiteral("--json")});
    ASSERT_EQ(output.exitCode, 0) << output.err.toStdString();
    const QJsonObject log = QJsonDocument::fromJson(output.out).object();
    EXPECT_EQ(log.value(QStringLiteral("file")).toString(), files.first());
    EXPECT_EQ(log.value(QStringLiteral("lines")).toInt(), 201);
    const QJsonArray channels = log.value(QStringLiteral("channels")).toArray();
    ASSERT_EQ(channels.size(), 1);
    const QJsonObject channel = channels.first().toObject();
    EXPECT_EQ(channel.value(QStringLiteral("channel")).toInt(), 2);
    EXPECT_DOUBLE_EQ(channel.value(QStringLiteral("last_s")).toDouble(), 200.0);
    EXPECT_DOUBLE_EQ(channel.value(QStringLiteral("duration_s")).toDouble(), 200.0);
    EXPECT_DOUBLE_EQ(
        channel.value(QStringLiteral("current_A")).toObject().value(QStringLiteral("mean")).toDouble(), 1.5);
    EXPECT_NEAR(channel.value(QStringLiteral("charge_Ah")).toDouble(), 1.5 * 200 / 3600, 1e-12);
    EXPECT_NEAR(channel.value(QStringLiteral("energy_Wh")).toDouble(), 18.0 * 200 / 3600, 1e-12);

    // The table names the files and holds the same charge.
    const Output table = run({QStringLiteral("log"), files.last()});
    ASSERT_EQ(table.exitCode, 0);
    EXPECT_TRUE(table.out.contains("201 lines")) << table.out.toStdString();
    EXPECT_TRUE(table.out.contains("0.083333")) << table.out.toStdString();
}

TEST_F(LogCommand, PngIsDrawnWithoutADisplayAtTheAskedSize)
{
    const QStringList files = writeCutLog();
    const QString image = folder.filePath(QStringLiteral("plot.png"));
    const Output output = run({QStringLiteral("log"), files.first(), QStringLiteral("--png"), image,
                               QStringLiteral("--size"), QStringLiteral("640x400")});
    ASSERT_EQ(output.exitCode, 0) << output.err.toStdString();
    QFile file(image);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray png = file.readAll();
    ASSERT_GT(png.size(), 24);
    EXPECT_TRUE(png.startsWith("\x89PNG"));
    EXPECT_EQ(qFromBigEndian<quint32>(png.constData() + 16), 640u);
    EXPECT_EQ(qFromBigEndian<quint32>(png.constData() + 20), 400u);
}

TEST_F(LogCommand, RefusesWhatIsNotALogNamingTheLine)
{
    struct Case {
        QStringList arguments;
        int exitCode;
        const char* err;
    };
    const QString bad = folder.filePath(QStringLiteral("bad.txt"));
    {
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Time[s]\tCh1[A]\tCh1[V]\tCh2[A]\tCh2[V]\tCh3[A]\tCh3[V]\tCh4[A]\tCh4[V]\tCh5[A]\tCh5[V]\n"
                   "0.500\t1.0\t12.0\t\t\t\t\t\t\t\t\n1.000\t1.0\t12.0\t\t\t\n");
    }
    const Case cases[] = {
        {{QStringLiteral("log"), bad}, 1, "bad.txt, line 3, does not fit a log: it has 6 fields"},
        {{QStringLiteral("log"), folder.filePath(QStringLiteral("none.txt"))}, 1, "cannot be read as a log"},
        {{QStringLiteral("log")}, 2, "Usage: tessorctl log FILE"},
        {{QStringLiteral("log"), bad, QStringLiteral("--size"), QStringLiteral("640x400")}, 2, "Usage"},
        {{QStringLiteral("log"), bad, QStringLiteral("--png"), QStringLiteral("a.png"),
          QStringLiteral("--size"), QStringLiteral("wide")},
         2,
         "--size takes WIDTHxHEIGHT"},
    };
    for (const Case& test : cases) {
        const Output output = run(test.arguments);
        EXPECT_EQ(output.exitCode, test.exitCode) << test.arguments.join(' ').toStdString();
        EXPECT_TRUE(output.err.contains(test.err)) << output.err.toStdString();
    }
}

TEST_F(LogCommand, RunEndsWithEachChannelsChargeAndEnergy)
{
    const QString sequence = folder.filePath(QStringLiteral("short.tsr"));
    {
        QFile file(sequence);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft\r\n1.0000\t2.0\t0\t1\r\n\r\n\r\n\r\n\r\n\r\n");
    }
    const Output output =
        run({QStringLiteral("--port"), QStringLiteral("simulator"), QStringLiteral("--set"),
             QStringLiteral("Curr=1"), QStringLiteral("--set"), QStringLiteral("Volt=1"),
             QStringLiteral("--set"), QStringLiteral("MonitorTime=500"), QStringLiteral("run"), sequence});
    ASSERT_EQ(output.exitCode, 0) << output.err.toStdString();
    EXPECT_TRUE(output.out.contains("Channel 1: charge 0.000")) << output.out.toStdString();
    EXPECT_TRUE(output.out.contains(" Wh\n")) << output.out.toStdString();
    // Without monitoring there are no readings to sum.
    const Output unmonitored =
        run({QStringLiteral("--port"), QStringLiteral("simulator"), QStringLiteral("--set"),
             QStringLiteral("Curr=0"), QStringLiteral("--set"), QStringLiteral("Volt=0"),
             QStringLiteral("run"), sequence});
    ASSERT_EQ(unmonitored.exitCode, 0);
    EXPECT_FALSE(unmonitored.out.contains("charge"));
}

} // namespace
