#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// tessorctl import and export, run as a program with an empty profile of its own.
class SpreadsheetCommands : public ::testing::Test {
protected:
    struct Result {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    Result run(const QStringList& arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        environment.insert(QStringLiteral("HOME"), work.path());
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(work.path());
        process.start(QStringLiteral(TESSORCTL_PATH), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        Result result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }
    QString path(const QString& name) const { return work.filePath(name); }
    QString file(const QString& name, const QByteArray& bytes) const
    {
        QFile out(path(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return out.fileName();
    }
    static QByteArray bytes(const QString& path)
    {
        QFile in(path);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir config;
    QTemporaryDir work;
};

TEST_F(SpreadsheetCommands, ExportThenImportGivesBackEveryExampleFile)
{
    const QDir examples(QStringLiteral(TESSOR_EXAMPLES_DIR));
    const QStringList names = examples.entryList({QStringLiteral("*.tsr")}, QDir::Files);
    ASSERT_GE(names.size(), 5);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString original = examples.filePath(name);
        const Result exported = run({"export", original, "-o", path(name + ".csv")});
        ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
        // Without -o the same text goes to stdout.
        EXPECT_EQ(run({"export", original}).out, bytes(path(name + ".csv")));
        const Result imported = run({"import", path(name + ".csv"), path(name)});
        EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
        EXPECT_TRUE(imported.err.endsWith(" 0 changed, 0 refused.\n")) << imported.err.toStdString();
        EXPECT_EQ(bytes(path(name)), bytes(original));
    }
}

TEST_F(SpreadsheetCommands, ImportWritesTheFileTheOptionsAndHeaderDescribe)
{
    const QByteArray emptyRest = "\r\n\r\n\r\n\r\n";
    const struct {
        const char* name;
        QByteArray csv;
        QStringList options;
        QByteArray file; // empty: no file is written
        int exitCode;
        const char* stderrHas;
    } cases[] = {
        {"the header's quantity and unit",
         "Current[A],Interval[ms]\r\n1,1500\r\n",
         {},
         "CC\t0\tCV\t0\tCV\t0\tCV\t0\tCV\t0\ts\tsoft\r\n1.0000\t1.5\t0\t1\r\n\r\n" + emptyRest,
         0,
         "The intervals in ms are converted to s."},
        {"no header, milliseconds by option",
         "1;1500;Ramp;off\r\n",
         {"--unit", "ms", "--mode", "CR"},
         "CR\t0\tCV\t0\tCV\t0\tCV\t0\tCV\t0\ts\tsoft\r\n1.00000\t1.5\t1\t0\r\n\r\n" + emptyRest,
         0,
         ""},
        {"minutes into channel 3",
         "2\t0.5\r\n",
         {"--unit", "min", "--channel", "3", "--mode", "CCCV"},
         "CV\t0\tCV\t0\tCCV\t0.000\tCV\t0\tCV\t0\tmin\tsoft\r\n\r\n\r\n2.0000\t0.5\t0\t1\r\n\r\n\r\n\r\n",
         0,
         ""},
        {"Hardware Control",
         "1,0.0014,Ramp\r\n",
         {"--control", "hard"},
         "CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\thard\r\n1.0000\t0.001\t0\t1\r\n\r\n" + emptyRest,
         0,
         "line 1: The interval 0.0014 is stored as 0.001."},
        {"Hardware Control takes no CV",
         "1,1\r\n",
         {"--control", "hard", "--mode", "CV"},
         "",
         1,
         "Hardware Control runs CC or CR only: channel 1 would be CV."},
        {"one column and an interval",
         "Voltage[V]\r\n5\r\n6\r\n",
         {"--interval", "2"},
         "CV\t0\tCV\t0\tCV\t0\tCV\t0\tCV\t0\ts\tsoft\r\n5.000\t2.0\t0\t1\r\n6.000\t2.0\t0\t1\r\n\r\n" +
             emptyRest,
         0,
         ""},
        {"one column without an interval",
         "5\r\n6\r\n",
         {},
         "",
         1,
         "lines 1 to 2: The columns have no interval."},
        {"a refused row",
         "1,1\r\nabc,1\r\n2,1\r\n",
         {},
         "",
         1,
         "line 2: The value \"abc\" is not a number.\n3 rows: 0 changed, 1 refused.\nRows were refused"},
        {"a refused row, forced",
         "1,1\r\nabc,1\r\n2,1\r\n",
         {"--force"},
         "CV\t0\tCV\t0\tCV\t0\tCV\t0\tCV\t0\ts\tsoft\r\n1.000\t1.0\t0\t1\r\n2.000\t1.0\t0\t1\r\n\r\n" +
             emptyRest,
         0,
         "line 2: The value \"abc\" is not a number."},
        {"nothing to import",
         "Current[A],Interval[s]\r\n",
         {"--force"},
         "",
         1,
         "There are no steps to insert."},
        {"one channel of several",
         "CH1 Current[A],CH1 Interval[s],CH2 Resistance[ohm],CH2 Interval[s]\r\n1,1,5,2\r\n",
         {"--channel", "2"},
         "CV\t0\tCR\t0\tCV\t0\tCV\t0\tCV\t0\ts\tsoft\r\n\r\n5.00000\t2.0\t0\t1\r\n\r\n\r\n\r\n\r\n",
         0,
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString out = path(QStringLiteral("%1.tsr").arg(QLatin1String(c.name)));
        const Result r = run(QStringList{"import", file(QStringLiteral("in.csv"), c.csv), out} + c.options);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.stderrHas)) << r.err.toStdString();
        EXPECT_EQ(bytes(out), c.file.isEmpty() ? QByteArray("<missing>") : c.file);
    }
}

TEST_F(SpreadsheetCommands, UsageErrorsAndFailures)
{
    const QString csv = file(QStringLiteral("in.csv"), "1,1\r\n");
    const struct {
        QStringList arguments;
        int exitCode;
        const char* stderrHas;
    } cases[] = {
        {{"import", csv}, 2, "Usage: tessorctl import CSV OUT.tsr"},
        {{"import", csv, "out.tsr", "--mode", "CCV2"}, 2, "--mode takes CC, CV, CR, CCCV or CRCV"},
        {{"import", csv, "out.tsr", "--channel", "6"}, 2, "--channel takes a channel from 1 to 5"},
        {{"import", csv, "out.tsr", "--unit", "d"}, 2, "--unit takes s, ms, min or h"},
        {{"import", csv, "out.tsr", "--control", "auto"}, 2, "--control takes soft or hard"},
        {{"import", csv, "out.tsr", "--interval", "x"}, 2, "--interval takes a number"},
        {{"import", "missing.csv", "out.tsr"}, 1, "The file missing.csv cannot be imported: "},
        {{"import", "/dev/null", "out.tsr"},
         1,
         "The file null cannot be imported: it is not a regular file."},
        {{"export"}, 2, "Usage: tessorctl export FILE.tsr"},
        {{"export", "missing.tsr"}, 1, "Failed to read the file"},
        {{"export", csv, "--channel", "0"}, 2, "--channel takes a channel from 1 to 5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const Result r = run(c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(r.err.contains(c.stderrHas)) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("out.tsr"))));
}

TEST_F(SpreadsheetCommands, ExportOfOneChannelNamesItsModeAndControl)
{
    const Result r =
        run({"export", QStringLiteral(TESSOR_EXAMPLES_DIR "/hardware-cc-cr.tsr"), "--channel", "2"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("Resistance[ohm] (CR),Interval[s] (Hardware Control)\r\n"))
        << r.out.toStdString();
}
