#include "GuiTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/DocumentSession.h"
#include "app/SingleInstance.h"
#include "model/SettingsKeys.h"

#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QtTest>
#include <csignal>
#include <sys/stat.h>

// The program and tessorctl started where the world is unkind: files that are no files, profiles
// holding values no version of the program writes. They start, work and end in order, with
// nothing for the sanitizers to report.
class HostileStartTest : public QObject {
    Q_OBJECT

private slots:
    void aFifoOnTheCommandLineLeavesTheProgramAbleToEnd();
    void profilesWithExtremeValues_data();
    void profilesWithExtremeValues();
    void aWindowIsNeverLargerThanItsScreen();
};

namespace {

QString program(const char* name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name);
}

QString example(const char* name)
{
    return QStringLiteral(TESSOR_EXAMPLES_DIR "/") + QLatin1String(name);
}

QProcessEnvironment environmentFor(const TestFolders& folders)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folders.configFolder());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folders.runtimeFolder());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

// What a sanitizer prints when it finds something.
bool sanitizerSpoke(const QByteArray& err)
{
    return err.contains("runtime error") || err.contains("Sanitizer");
}

// Starts the program, waits until it serves its hand-over socket (its start-up is over, or a
// message of it is up), then asks it to end as the session would.
struct Ended {
    bool finished = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    QByteArray err;
};

Ended startAndStop(const TestFolders& folders, const QStringList& arguments)
{
    Ended ended;
    QProcess tessor;
    tessor.setProcessEnvironment(environmentFor(folders));
    tessor.start(program("tessor"), arguments);
    if (!tessor.waitForStarted(10000))
        return ended;
    const QString socket = SingleInstance(folders.runtimeFolder()).socketPath();
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(socket) && tessor.state() == QProcess::Running && waited.elapsed() < 30000)
        QTest::qWait(50);
    QTest::qWait(300);
    ::kill(static_cast<pid_t>(tessor.processId()), SIGTERM);
    ended.finished = tessor.waitForFinished(15000);
    if (!ended.finished) {
        tessor.kill();
        tessor.waitForFinished(5000);
    }
    ended.status = tessor.exitStatus();
    ended.code = tessor.exitCode();
    ended.err = tessor.readAllStandardError();
    return ended;
}

} // namespace

void HostileStartTest::aFifoOnTheCommandLineLeavesTheProgramAbleToEnd()
{
    // Opening a FIFO waits until something writes into it; a program waiting there can be ended
    // only by force, losing its settings. It is no document: the program says so and ends in order.
    TestFolders folders;
    const QString fifo = folders.filePath(QStringLiteral("pipe.tsr"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const Ended ended = startAndStop(folders, {fifo});
    QVERIFY2(ended.finished, "the program did not end on SIGTERM");
    QCOMPARE(ended.status, QProcess::NormalExit);
    QCOMPARE(ended.code, 128 + SIGTERM);
    QVERIFY2(!sanitizerSpoke(ended.err), ended.err.constData());
}

void HostileStartTest::profilesWithExtremeValues_data()
{
    QTest::addColumn<QString>("integer");
    QTest::addColumn<QString>("real");
    QTest::addColumn<QString>("window");
    QTest::newRow("lowest") << QStringLiteral("-2147483648") << QStringLiteral("-1e308") << QString();
    QTest::newRow("highest") << QStringLiteral("2147483647") << QStringLiteral("1e308") << QString();
    QTest::newRow("minus one") << QStringLiteral("-1") << QStringLiteral("nan") << QString();
    QTest::newRow("beyond 64 bits") << QStringLiteral("99999999999999999999") << QStringLiteral("inf")
                                    << QString();
    QTest::newRow("a huge window") << QString() << QString() << QStringLiteral("100000");
}

void HostileStartTest::profilesWithExtremeValues()
{
    // Every key that sizes, places, indexes or counts anything gets the value; the windows are
    // placed by the profile, and a document is open in them.
    QFETCH(QString, integer);
    QFETCH(QString, real);
    QFETCH(QString, window);
    TestFolders folders;
    const QString profile = folders.profilePath();
    const QString file = example("five-channel.tsr");
    const auto writeProfile = [&] {
        QFile::remove(profile);
        for (const SettingsKeys::Key& key : SettingsKeys::all()) {
            const QString value = key.format ? real : integer;
            if (std::holds_alternative<QString AppSettings::*>(key.member) || value.isEmpty())
                continue;
            const QString prefix = key.section[0] ? QLatin1String(key.section) + QLatin1Char('/') : QString();
            for (int slot = 0; slot < SettingsKeys::slotCount(key); ++slot)
                writeProfileValue(profile, prefix + SettingsKeys::slotName(key, slot), value);
        }
        for (const char* key : {"Grid/Left", "Grid/Top", "Grid/Right", "Grid/Bottom", "Graph/Left",
                                "Graph/Top", "Graph/Right", "Graph/Bottom", "Graph/bLineY", "Graph/bTimeMax",
                                "Graph/bValueMax", "Graph/bValueMin", "Graph/colorArea", "Graph/colorLine",
                                "Graph/colorAxis", "Graph/colorLineY", "Graph/colorLineCap"}) {
            if (!integer.isEmpty())
                writeProfileValue(profile, QLatin1String(key), integer);
        }
        for (const char* key : {"Graph/TimeMax", "Graph/TimeMin", "Graph/ValueMax", "Graph/ValueMin"}) {
            if (!real.isEmpty())
                writeProfileValue(profile, QLatin1String(key), real);
        }
        if (!window.isEmpty()) {
            for (const QString& prefix : {QString(), QStringLiteral("Grid/"), QStringLiteral("Graph/")}) {
                writeProfileValue(profile, prefix + QStringLiteral("Left"), 0);
                writeProfileValue(profile, prefix + QStringLiteral("Top"), 0);
                writeProfileValue(profile, prefix + QStringLiteral("Right"), window);
                writeProfileValue(profile, prefix + QStringLiteral("Bottom"), window);
            }
        }
        writeProfileValue(profile, QStringLiteral("bPos"), 1);
        writeProfileValue(profile, QStringLiteral("Recent File List/File1"), file);
    };
    writeProfile();

    const Ended ended = startAndStop(folders, {file});
    QVERIFY2(ended.finished, "the program did not end on SIGTERM");
    QCOMPARE(ended.status, QProcess::NormalExit);
    QCOMPARE(ended.code, 128 + SIGTERM);
    QVERIFY2(!sanitizerSpoke(ended.err), ended.err.constData());

    // tessorctl on the same values (the program saved sound ones at its end). Without a port of
    // its own, idn takes the profile's port number.
    writeProfile();
    const QString out = folders.filePath(QStringLiteral("out.tsr"));
    QList<QStringList> commands = {{QStringLiteral("show"), file},
                                   {QStringLiteral("resave"), file, out},
                                   {QStringLiteral("--port"), QStringLiteral("simulator"),
                                    QStringLiteral("write"), example("hardware-cc-cr.tsr"),
                                    QStringLiteral("--channels"), QStringLiteral("1")}};
    if (!integer.isEmpty())
        commands.append(QStringList{QStringLiteral("idn")});
    for (const QStringList& arguments : commands) {
        QProcess tessorctl;
        tessorctl.setProcessEnvironment(environmentFor(folders));
        tessorctl.start(program("tessorctl"), arguments);
        QVERIFY(tessorctl.waitForStarted(10000));
        QVERIFY2(tessorctl.waitForFinished(60000), qPrintable(arguments.join(QLatin1Char(' '))));
        const QByteArray err = tessorctl.readAllStandardError();
        QVERIFY2(
            tessorctl.exitStatus() == QProcess::NormalExit && tessorctl.exitCode() < 128,
            qPrintable(arguments.join(QLatin1Char(' ')) + QLatin1Char('\n') + QString::fromLocal8Bit(err)));
        QVERIFY2(!sanitizerSpoke(err), err.constData());
    }
}

void HostileStartTest::aWindowIsNeverLargerThanItsScreen()
{
    StartedProgram program;
    const QString profile = program.folders.profilePath();
    writeProfileValue(profile, QStringLiteral("bPos"), 1);
    for (const QString& prefix : {QString(), QStringLiteral("Grid/"), QStringLiteral("Graph/")}) {
        writeProfileValue(profile, prefix + QStringLiteral("Left"), 10);
        writeProfileValue(profile, prefix + QStringLiteral("Top"), 10);
        writeProfileValue(profile, prefix + QStringLiteral("Right"), 4010);
        writeProfileValue(profile, prefix + QStringLiteral("Bottom"), 3010);
    }
    QCOMPARE(program.start({example("five-channel.tsr")}), CTessorApp::kRunning);
    CMainFrame& frame = program.frame();
    const QSize screen = frame.screen()->availableGeometry().size();
    QVERIFY2(screen.width() < 4000 && screen.height() < 3000, "the test needs a smaller screen");
    // The window's contents, as the profile stores them; the window system's frame goes around.
    QVERIFY(frame.width() <= screen.width());
    QVERIFY(frame.height() <= screen.height());
    for (CChildFrame* window : {frame.documents().worksheetWindow(), frame.documents().graphWindow()}) {
        QVERIFY(window->width() <= screen.width());
        QVERIFY(window->height() <= screen.height());
    }
}

QTEST_MAIN(HostileStartTest)
#include "HostileStartTest.moc"
