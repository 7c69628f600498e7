#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct ProcessResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QJsonObject json() const
    {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(out, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << out.toStdString();
        EXPECT_TRUE(document.isObject());
        return document.object();
    }
};

QStringList strings(const QJsonValue& array)
{
    QStringList list;
    for (const QJsonValue& value : array.toArray())
        list << value.toString();
    return list;
}

QString example(const char* name)
{
    return QStringLiteral(TESSOR_EXAMPLES_DIR "/") + QLatin1String(name);
}

} // namespace

class Tessorctl : public ::testing::Test {
protected:
    // childSetup runs in the child before tessorctl starts.
    ProcessResult run(const QStringList& arguments, const QString& program = QStringLiteral(TESSORCTL_PATH),
                      const std::function<void()>& childSetup = {}) const
    {
        QProcess process;
        if (childSetup)
            process.setChildProcessModifier(childSetup);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        environment.insert(QStringLiteral("HOME"), home.path());
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(work.path());
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        ProcessResult result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }
    QString profilePath() const
    {
        return config.filePath(QStringLiteral("Morvane/TessorEng/Kdrx5ch/Tessor.ini"));
    }
    void writeProfile(const QByteArray& text) const
    {
        QDir().mkpath(QFileInfo(profilePath()).path());
        writeBytes(profilePath(), text);
    }
    static void writeBytes(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray readBytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QString file(const QString& name, const QByteArray& bytes) const
    {
        const QString path = work.filePath(name);
        writeBytes(path, bytes);
        return path;
    }

    QTemporaryDir config;
    QTemporaryDir home;
    QTemporaryDir work;
};

TEST_F(Tessorctl, ShowJsonPrintsTheOpenedDocument)
{
    const ProcessResult r = run({"show", example("cc-battery-discharge.tsr"), "--json"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const QJsonObject o = r.json();
    EXPECT_TRUE(o["result"].toBool());
    EXPECT_TRUE(o["messages"].toArray().isEmpty());
    EXPECT_EQ(o["control"].toString(), "soft");
    EXPECT_EQ(o["unit"].toString(), "s");
    EXPECT_EQ(o["seqMode"].toInt(-1), 0);
    const QJsonArray channels = o["channels"].toArray();
    ASSERT_EQ(channels.size(), 5);
    const QJsonObject first = channels[0].toObject();
    EXPECT_EQ(first["channel"].toInt(), 1);
    EXPECT_EQ(first["mode"].toString(), "CC");
    EXPECT_EQ(first["count"].toInt(), 5);
    const QJsonArray steps = first["steps"].toArray();
    ASSERT_EQ(steps.size(), 5);
    const QJsonObject rest = steps[1].toObject();
    EXPECT_EQ(rest["time"].toString(), "2400.000");
    EXPECT_EQ(rest["value"].toString(), "0.0000");
    EXPECT_EQ(rest["interval"].toString(), "600.0");
    EXPECT_EQ(rest["transition"].toString(), "0");
    EXPECT_EQ(rest["load"].toString(), "0");
    EXPECT_EQ(rest["load2"].toString(), "1");
    EXPECT_EQ(steps[4].toObject()["time"].toString(), "4800.000");
    for (int c = 1; c < 5; ++c)
        EXPECT_EQ(channels[c].toObject()["count"].toInt(-1), 0);
}

TEST_F(Tessorctl, ShowJsonGivesModesAndConstantVoltagesOfEveryChannel)
{
    const QJsonObject o = run({"show", "--json", example("five-channel.tsr")}).json();
    const QJsonArray channels = o["channels"].toArray();
    ASSERT_EQ(channels.size(), 5);
    const char* modes[] = {"CCV", "CRV", "CV", "CC", "CR"};
    const int counts[] = {3, 2, 3, 2, 1};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(channels[c].toObject()["mode"].toString(), modes[c]);
        EXPECT_EQ(channels[c].toObject()["count"].toInt(), counts[c]);
    }
    EXPECT_DOUBLE_EQ(channels[0].toObject()["volt1"].toDouble(), 12.0);
    EXPECT_DOUBLE_EQ(channels[0].toObject()["volt2"].toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(channels[1].toObject()["volt2"].toDouble(), 5.0);
    EXPECT_EQ(channels[1].toObject()["steps"].toArray()[1].toObject()["transition"].toString(), "1");
}

TEST_F(Tessorctl, ShowJsonOfAFailedOpenStillPrintsOneObject)
{
    const ProcessResult r = run({"show", "--json", file("bad.tsr", "CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\r\n")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const QJsonObject o = r.json();
    EXPECT_FALSE(o["result"].toBool(true));
    EXPECT_EQ(strings(o["messages"]),
              QStringList({"1-th line : 9-th data is illegal.", "Failed to read the file"}));
    EXPECT_EQ(o["channels"].toArray().size(), 5);

    const ProcessResult missing = run({"show", "--json", work.filePath("missing.tsr")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(strings(missing.json()["messages"]),
              QStringList({"Cannot open the specified file as it does not exist.\n" +
                               work.filePath("missing.tsr") + ": No such file or directory",
                           "Failed to read the file"}));
}

TEST_F(Tessorctl, ShowJsonListsTheMessagesOfAnOpenThatSucceeds)
{
    QByteArray bytes = "CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\thard\r\n";
    for (int i = 0; i < 1030; ++i)
        bytes += "1\t1\t1\t0\r\n";
    const ProcessResult r = run({"show", "--json", file("long.tsr", bytes)});
    EXPECT_EQ(r.exitCode, 0);
    const QJsonObject o = r.json();
    EXPECT_TRUE(o["result"].toBool());
    EXPECT_EQ(strings(o["messages"]), QStringList({"Up to 1024 steps are enabled. "}));
    EXPECT_EQ(o["control"].toString(), "hard");
    const QJsonObject first = o["channels"].toArray()[0].toObject();
    EXPECT_EQ(first["count"].toInt(), 1024);
    EXPECT_EQ(first["steps"].toArray()[1023].toObject()["time"].toString(), "1024.000");
    EXPECT_EQ(first["steps"].toArray()[0].toObject()["transition"].toString(), "0");
}

TEST_F(Tessorctl, ShowPrintsATablePerChannelAndMessagesOnStderr)
{
    const ProcessResult ok = run({"show", example("cc-battery-discharge.tsr")});
    EXPECT_EQ(ok.exitCode, 0);
    EXPECT_TRUE(ok.out.contains("Channel 1: CC, 5 steps")) << ok.out.toStdString();
    EXPECT_TRUE(ok.out.contains("Channel 5: CC, no steps"));
    EXPECT_TRUE(ok.out.contains("    2     2400.000       0.0000        600.0  step       off"));

    const QString badFile = file("bad.tsr", "\r\n");
    const ProcessResult bad = run({"show", badFile});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err, "1-th line : 1-th data is illegal.\nFailed to read the file\ntessorctl: " +
                           badFile.toUtf8() + " was not opened\n");
}

TEST_F(Tessorctl, AFileThatCannotBeOpenedIsNamedWithTheSystemsReason)
{
    // The program's own text says "does not exist" even of a folder; the reader's next line names
    // the file and says why, and tessorctl adds nothing to it.
    QDir(work.path()).mkdir(QStringLiteral("adir.tsr"));
    const QString unreadable = file("locked.tsr", "CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft\r\n");
    QFile::setPermissions(unreadable, QFileDevice::WriteOwner);
    const struct {
        QString path;
        QString reason;
    } cases[] = {{work.filePath("adir.tsr"), "Is a directory"},
                 {work.filePath("missing.tsr"), "No such file or directory"},
                 {unreadable, "Permission denied"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        // Root reads a file whatever its permissions say.
        if (c.reason == QLatin1String("Permission denied") && QFile(c.path).open(QIODevice::ReadOnly))
            continue;
        for (const char* command : {"show", "resave"}) {
            QStringList arguments{command, c.path};
            if (QLatin1String(command) == QLatin1String("resave"))
                arguments << work.filePath("out.tsr");
            const ProcessResult r = run(arguments);
            EXPECT_EQ(r.exitCode, 1) << command;
            EXPECT_EQ(r.err, "Cannot open the specified file as it does not exist.\n" + c.path.toUtf8() +
                                 ": " + c.reason.toUtf8() + "\nFailed to read the file\n")
                << command;
        }
    }
}

TEST_F(Tessorctl, ACommandThatActsOnAFileReadWithAMessageStopsUnlessForced)
{
    // The reader drops the steps beyond 1024 with a message: what was read is not all the file.
    QByteArray bytes = "CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\thard\r\n";
    for (int i = 0; i < 1030; ++i)
        bytes += "1\t1\t1\t0\r\n";
    const QString longFile = file("long.tsr", bytes);
    const QString out = work.filePath("out.tsr");
    const QString port = work.filePath("no-such-tty");
    const struct {
        QStringList arguments;
        QString refusal;
    } cases[] = {
        {{"resave", longFile, out}, out + " was not written"},
        {{"--port", port, "write", longFile, "--channels", "1"}, "nothing was sent to the instrument"},
        {{"--port", port, "run", longFile}, "nothing was run"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ProcessResult r = run(c.arguments);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "Up to 1024 steps are enabled. \ntessorctl: " + longFile.toUtf8() +
                             " was read with the message above, so what was read is not all the file says; " +
                             c.refusal.toUtf8() + ". --force goes on with what was read.\n");
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(out));

    // show shows the file as the program opens it, message and all.
    EXPECT_EQ(run({"show", longFile}).exitCode, 0);
    const ProcessResult forced = run({"resave", "--force", longFile, out});
    EXPECT_EQ(forced.exitCode, 0) << forced.err.toStdString();
    EXPECT_EQ(readBytes(out).count("\r\n"), 1 + 1024 + 5);
}

TEST_F(Tessorctl, UsageErrorsExitWithTwo)
{
    const QString f = example("cc-battery-discharge.tsr");
    const QList<QStringList> cases = {{},
                                      {"frobnicate"},
                                      {"show"},
                                      {"show", f, f},
                                      {"show", "--bogus", f},
                                      {"resave", f},
                                      {"show", f, "--set"},
                                      {"--set", "NoSuchKey=1", "show", f},
                                      {"--set", "Port=x", "show", f},
                                      {"--set", "Tsr", "show", f},
                                      {"--set", "Top=5", "show", f},
                                      {"--set", "Repeat0=-5", "show", f},
                                      {"--set", "Repeat4=10000", "show", f}};
    for (const QStringList& arguments : cases) {
        const ProcessResult r = run(arguments);
        EXPECT_EQ(r.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << arguments.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << arguments.join(' ').toStdString();
    }
    EXPECT_EQ(run({"--help"}).exitCode, 0);
    EXPECT_EQ(run({"--set", "Repeat0=-5", "show", f}).err,
              "tessorctl: --set: Repeat0 takes a repeat count from 1 to 9999, not \"-5\"\n"
              "Usage: tessorctl [OPTIONS] COMMAND [ARGUMENTS]\nSee 'tessorctl --help'.\n");
    EXPECT_EQ(run({"--set", "Repeat0=9999", "show", f}).exitCode, 0);
}

TEST_F(Tessorctl, AUsageErrorNamesWhatWasWrongThenTheUsageAndTheHelp)
{
    const QString f = example("cc-battery-discharge.tsr");
    const struct {
        QStringList arguments;
        QString what;
        QString usage;
    } cases[] = {
        {{"frobnicate"}, "unknown command 'frobnicate'", "Usage: tessorctl [OPTIONS] COMMAND [ARGUMENTS]"},
        {{}, "no command given", "Usage: tessorctl [OPTIONS] COMMAND [ARGUMENTS]"},
        {{"--set"}, "--set needs KEY=VALUE", "Usage: tessorctl [OPTIONS] COMMAND [ARGUMENTS]"},
        {{"show", "--bogus", f}, "unknown option '--bogus'", "Usage: tessorctl [OPTIONS] show FILE [--json]"},
        {{"show"}, "show needs the FILE to show", "Usage: tessorctl [OPTIONS] show FILE [--json]"},
        {{"resave", f}, "resave needs IN and OUT", "Usage: tessorctl [OPTIONS] resave IN OUT [--force]"},
        {{"ranges", "--channels", "1", "--cc", "MEDIUM", "--cv", "LOW"},
         "--cc takes HIGH, MED or LOW, not 'MEDIUM'",
         "Usage: tessorctl [OPTIONS] ranges --channels LIST --cc HIGH|MED|LOW --cv HIGH|LOW"},
        {{"ranges", "--channels", "1", "--cc", "LOW", "--cv", "MED"},
         "--cv takes HIGH or LOW, not 'MED'",
         "Usage: tessorctl [OPTIONS] ranges --channels LIST --cc HIGH|MED|LOW --cv HIGH|LOW"},
        {{"write", f, "--channels", "0"},
         "--channels takes channel numbers from 1 to 5 such as 1,3 or 2-4, not \"0\"",
         "Usage: tessorctl [OPTIONS] write FILE --channels LIST [--force]"},
        {{"read", "--channels", "1"},
         "read needs -o OUT.tsr, the file to write",
         "Usage: tessorctl [OPTIONS] read --channels LIST -o OUT.tsr"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ProcessResult r = run(c.arguments);
        EXPECT_EQ(r.exitCode, 2);
        const QStringList lines = QString::fromUtf8(r.err).split('\n');
        ASSERT_GE(lines.size(), 3) << r.err.toStdString();
        EXPECT_EQ(lines[0], "tessorctl: " + c.what);
        EXPECT_EQ(lines[1], c.usage);
        EXPECT_TRUE(lines[2].startsWith("See 'tessorctl ")) << lines[2].toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST_F(Tessorctl, VersionAndHelpPrintAndEnd)
{
    const struct {
        QStringList arguments;
        QByteArray starts;
        QByteArray holds;
    } cases[] = {
        {{"--version"}, "tessorctl (Tessor) 3.", ""},
        {{"--help"}, "Usage: tessorctl [OPTIONS] COMMAND [ARGUMENTS]", "SIGHUP"},
        {{"-h"}, "Usage: tessorctl [OPTIONS] COMMAND [ARGUMENTS]", "--gpib MAKER:ADDRESS"},
        {{"write", "--help"}, "Usage: tessorctl [OPTIONS] write FILE --channels LIST [--force]", "--force"},
        {{"--port", "simulator", "ranges", "-h"}, "Usage: tessorctl [OPTIONS] ranges", "RangeCC"},
        {{"run", "x.tsr", "--help"}, "Usage: tessorctl [OPTIONS] run FILE", "UvpOn"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ProcessResult r = run(c.arguments);
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_TRUE(r.out.startsWith(c.starts)) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(c.holds)) << r.out.toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    }
}

#ifdef TESSOR_PROGRAM_PATH
TEST_F(Tessorctl, TheProgramAnswersHelpAndVersionWithoutAWindow)
{
    // No display at all: a window, or the application object that makes one, would end in an error.
    for (const char* argument : {"--help", "--version"}) {
        SCOPED_TRACE(argument);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TESSOR_PROGRAM_PATH), {QString::fromLatin1(argument)});
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        const QByteArray out = process.readAllStandardOutput();
        EXPECT_TRUE(out.startsWith(QByteArray(argument) == "--help" ? "Usage: tessor [FILE]" : "Tessor 3."))
            << out.toStdString();
        EXPECT_FALSE(QFile::exists(profilePath())) << "the program did not start";
    }
}
#endif

TEST_F(Tessorctl, ReadsWithTheProfilesSettingsAndNeverWritesTheProfile)
{
    const QByteArray profile = "[Config]\nCurrPlace=0\nTsr=1\n";
    writeProfile(profile);
    const QString comma = file("comma.tsr", "CC,0,CC,0,CC,0,CC,0,CC,0,s,soft\r\n1.5,10,0,1\r\n");
    const QJsonObject o = run({"show", "--json", comma}).json();
    EXPECT_TRUE(o["result"].toBool());
    EXPECT_EQ(o["channels"].toArray()[0].toObject()["steps"].toArray()[0].toObject()["value"].toString(),
              "1.50");
    EXPECT_EQ(readBytes(profilePath()), profile);
}

TEST_F(Tessorctl, SetOverridesTheProfileForOneRun)
{
    writeProfile("[Config]\nTsr=1\n");
    const QString tab = example("cc-battery-discharge.tsr");
    EXPECT_EQ(run({"show", "--json", tab}).exitCode, 1);
    const ProcessResult r = run({"--set", "Tsr=0", "show", "--json", tab, "--set", "CurrPlace=3"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(
        r.json()["channels"].toArray()[0].toObject()["steps"].toArray()[0].toObject()["value"].toString(),
        "2.00000");
    EXPECT_EQ(readBytes(profilePath()), "[Config]\nTsr=1\n");
}

TEST_F(Tessorctl, DoesNotCreateAProfile)
{
    EXPECT_EQ(run({"show", example("cr-ramp-profile.tsr")}).exitCode, 0);
    EXPECT_FALSE(QFile::exists(profilePath()));
}

TEST_F(Tessorctl, ADoubleDashEndsTheOptions)
{
    file("--json", QByteArray());
    const ProcessResult r = run({"show", "--", "--json"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "There is no data.\n");
}

TEST_F(Tessorctl, ResaveWritesTheFileAsTheProgramSaves)
{
    for (const char* name : {"cc-battery-discharge.tsr", "cr-ramp-profile.tsr", "five-channel.tsr"}) {
        const QString out = work.filePath(QStringLiteral("copy.tsr"));
        const ProcessResult r = run({"resave", example(name), out});
        EXPECT_EQ(r.exitCode, 0) << name;
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        EXPECT_EQ(readBytes(out), readBytes(example(name))) << name;
    }
}

TEST_F(Tessorctl, ResaveNormalisesWhatItReads)
{
    const QString in = file("in.tsr", "CCV\t12\tCV\t0\tCV\t0\tCV\t0\tCV\t0\tmin\tHARD\n1.5\t1.23\t1\t0\n");
    const QString out = work.filePath(QStringLiteral("out.tsr"));
    EXPECT_EQ(run({"resave", in, out}).exitCode, 0);
    EXPECT_EQ(readBytes(out), QByteArray("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\thard\r\n"
                                         "1.5000\t1.230\t0\t1\r\n\r\n\r\n\r\n\r\n\r\n"));
}

TEST_F(Tessorctl, ResaveFailuresExitWithOne)
{
    const QString out = work.filePath(QStringLiteral("out.tsr"));
    const ProcessResult badIn = run({"resave", work.filePath("missing.tsr"), out});
    EXPECT_EQ(badIn.exitCode, 1);
    EXPECT_EQ(badIn.err, "Cannot open the specified file as it does not exist.\n" +
                             work.filePath("missing.tsr").toUtf8() +
                             ": No such file or directory\nFailed to read the file\n");
    EXPECT_FALSE(QFile::exists(out));

    const ProcessResult badOut = run({"resave", example("five-channel.tsr"), work.filePath("none/out.tsr")});
    EXPECT_EQ(badOut.exitCode, 1);
    EXPECT_EQ(badOut.err, "The file does not exist or a new file could not be created.\n" +
                              work.filePath("none/out.tsr").toUtf8() +
                              ": No such file or directory\nFailed to write the file\n");

    // A file with a header and no steps: nothing is written, and that is no success.
    const QByteArray stepless = "CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft\r\n\r\n\r\n\r\n\r\n\r\n";
    const ProcessResult empty = run({"resave", file("empty.tsr", stepless), out});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_EQ(empty.err, "There is no data to save.\n");

    // An empty file opens with the reader's message, which stops the resave.
    const ProcessResult nothing = run({"resave", file("nothing.tsr", QByteArray()), out});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_TRUE(nothing.err.startsWith("There is no data.\ntessorctl: ")) << nothing.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

// Where no new file can be made beside it (a folder the user may not write into), a file the user
// may write is written in place rather than not at all; a new file there still cannot be made.
TEST_F(Tessorctl, ResaveWritesInPlaceWhereNoFileCanBeMadeBesideIt)
{
    const QString folder = work.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString out = folder + QStringLiteral("/out.tsr");
    writeBytes(out, "old contents");
    ASSERT_EQ(::chmod(QFile::encodeName(out).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
    // As root every folder takes new files: run tessorctl as nobody then.
    std::function<void()> asUser;
    if (::geteuid() == 0) {
        for (const QTemporaryDir* dir : {&work, &config, &home})
            ASSERT_EQ(::chmod(QFile::encodeName(dir->path()).constData(), 0755), 0);
        asUser = [] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(120);
        };
    }
    const ProcessResult inPlace = run({"resave", example("five-channel.tsr"), out}, TESSORCTL_PATH, asUser);
    EXPECT_EQ(inPlace.exitCode, 0) << inPlace.err.toStdString();
    EXPECT_TRUE(inPlace.err.isEmpty()) << inPlace.err.toStdString();
    EXPECT_EQ(readBytes(out), readBytes(example("five-channel.tsr")));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"out.tsr"}));

    const QString fresh = folder + QStringLiteral("/new.tsr");
    const ProcessResult refused = run({"resave", example("five-channel.tsr"), fresh}, TESSORCTL_PATH, asUser);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "The file does not exist or a new file could not be created.\n" + fresh.toUtf8() +
                               ": Permission denied\nFailed to write the file\n");
    ::chmod(QFile::encodeName(folder).constData(), 0755);
}

TEST_F(Tessorctl, StopsWithModuleErrorWithoutItsResourceModule)
{
    const QString lonely = work.filePath(QStringLiteral("tessorctl"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TESSORCTL_PATH), lonely));
    const ProcessResult missing = run({"show", example("five-channel.tsr")}, lonely);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Module Error\n");
    EXPECT_TRUE(missing.out.isEmpty());

    file("TessorOpt.rcc", "not a resource file");
    const ProcessResult unreadable = run({"show", example("five-channel.tsr")}, lonely);
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_EQ(unreadable.err, "Module Error\n");
}
