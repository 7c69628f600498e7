#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "app/DocumentSession.h"
#include "app/SingleInstance.h"

#include <QLocalSocket>
#include <QLockFile>
#include <QtTest>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

// A later start hands its file to the running copy over a local socket: exactly the path it was
// given, or, where that cannot be done, the file opens all the same and the user learns why.
class HandOverTest : public QObject {
    Q_OBJECT

private slots:
    void thePathArrivesExactly_data();
    void thePathArrivesExactly();
    void aFailedHandOverOpensTheFileInAWindowOfItsOwn_data();
    void aFailedHandOverOpensTheFileInAWindowOfItsOwn();
    void aSocketThatCannotListenIsReportedOnce();
    void idleConnectionsAreClosedAndFewWait();
};

void HandOverTest::thePathArrivesExactly_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("trailing blank") << QStringLiteral("/data/a.tsr ");
    QTest::newRow("leading blank") << QStringLiteral(" a.tsr");
    QTest::newRow("line end inside") << QStringLiteral("/data/a\nb.tsr");
    QTest::newRow("carriage return at the end") << QStringLiteral("/data/a.tsr\r");
    QTest::newRow("tab") << QStringLiteral("/data/\ta.tsr");
    QTest::newRow("accented") << QStringLiteral("/data/Prüfung µA.tsr");
    QTest::newRow("long") << QStringLiteral("/data/") + QString(4000, QLatin1Char('x'));
}

void HandOverTest::thePathArrivesExactly()
{
    QFETCH(QString, path);
    TestFolders folders;
    SingleInstance first(folders.runtimeFolder());
    QCOMPARE(first.acquire(), SingleInstance::LockResult::Acquired);
    QVERIFY(first.listen());
    QStringList received;
    connect(&first, &SingleInstance::fileReceived, this,
            [&received](const QString& file) { received << file; });

    SingleInstance second(folders.runtimeFolder());
    QCOMPARE(second.acquire(), SingleInstance::LockResult::HeldElsewhere);
    QVERIFY(second.handOver(path));
    QTRY_COMPARE(received, QStringList{path});
}

namespace {

// A socket file nobody listens on: what a copy that was killed leaves behind.
void leaveAStaleSocket(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    QVERIFY(size_t(name.size()) < sizeof(address.sun_path));
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
}

} // namespace

void HandOverTest::aFailedHandOverOpensTheFileInAWindowOfItsOwn_data()
{
    QTest::addColumn<bool>("staleSocket");
    QTest::newRow("no socket") << false;
    QTest::newRow("connection refused") << true;
}

void HandOverTest::aFailedHandOverOpensTheFileInAWindowOfItsOwn()
{
    // Another copy holds the lock, but its socket is gone or refuses.
    QFETCH(bool, staleSocket);
    StartedProgram program;
    QDir().mkpath(program.folders.runtimeFolder());
    QLockFile held(SingleInstance(program.folders.runtimeFolder()).lockPath());
    QVERIFY(held.tryLock(0));
    if (staleSocket)
        leaveAStaleSocket(SingleInstance(program.folders.runtimeFolder()).socketPath());
    const QString file = program.folders.writeFile(QStringLiteral("mine.tsr"), emptyChannelsFile());

    QStringList notes;
    program.app = std::make_unique<CTessorApp>(program.prompt, program.services, program.folders.paths());
    program.app->setNoteOutput([&notes](const QString& note) { notes << note; });
    QCOMPARE(program.app->initInstance({file}), CTessorApp::kRunning);
    QCOMPARE(program.frame().documents().path(), file);
    QVERIFY(program.frame().isVisible());
    QCOMPARE(notes.size(), 1);
    QVERIFY2(notes.front().startsWith(QStringLiteral("tessor: the running copy could not be given ")) &&
                 notes.front().contains(file),
             qPrintable(notes.front()));
}

void HandOverTest::aSocketThatCannotListenIsReportedOnce()
{
    // A runtime folder whose path leaves no room for the socket's name: the lock is taken, but no
    // later start can hand anything over. The first copy says so; a later one opens its own file.
    StartedProgram first;
    const QString deep = first.folders.root() + QLatin1Char('/') + QString(110, QLatin1Char('r'));
    QVERIFY(QDir().mkpath(deep));
    StartupPaths paths = first.folders.paths();
    paths.runtimeFolder = deep;
    QStringList notes;
    first.app = std::make_unique<CTessorApp>(first.prompt, first.services, paths);
    first.app->setNoteOutput([&notes](const QString& note) { notes << note; });
    QCOMPARE(first.app->initInstance({}), CTessorApp::kRunning);
    QCOMPARE(notes.size(), 1);
    QVERIFY2(notes.front().startsWith(QStringLiteral("tessor: files cannot be handed over to this copy: ")) &&
                 notes.front().contains(deep),
             qPrintable(notes.front()));

    const QString file = first.folders.writeFile(QStringLiteral("later.tsr"), emptyChannelsFile());
    RecordingShellPrompt prompt;
    FakeShellServices services;
    CTessorApp second(prompt, services, paths);
    second.setNoteOutput([&notes](const QString& note) { notes << note; });
    QCOMPARE(second.initInstance({file}), CTessorApp::kRunning);
    QCOMPARE(second.mainFrame()->documents().path(), file);
    QCOMPARE(notes.size(), 2);
    QCOMPARE(first.frame().documents().path(), QString());
}

void HandOverTest::idleConnectionsAreClosedAndFewWait()
{
    // Connections that send nothing are what a stuck or hostile client leaves: each one holds a
    // descriptor of the running copy. Only a few may wait, and not for long.
    TestFolders folders;
    SingleInstance first(folders.runtimeFolder());
    QCOMPARE(first.acquire(), SingleInstance::LockResult::Acquired);
    QVERIFY(first.listen());
    QStringList received;
    connect(&first, &SingleInstance::fileReceived, this,
            [&received](const QString& file) { received << file; });

    std::vector<std::unique_ptr<QLocalSocket>> idle;
    for (int i = 0; i < 200; ++i) {
        idle.push_back(std::make_unique<QLocalSocket>());
        idle.back()->connectToServer(first.socketPath());
        QVERIFY(idle.back()->waitForConnected(5000));
        // The running copy takes each connection from its event loop.
        QCoreApplication::processEvents();
    }
    const auto connected = [&idle] {
        return std::count_if(idle.begin(), idle.end(), [](const std::unique_ptr<QLocalSocket>& socket) {
            return socket->state() == QLocalSocket::ConnectedState;
        });
    };
    QTRY_VERIFY2(connected() <= 16, qPrintable(QString::number(connected())));

    // A file handed over now still arrives.
    SingleInstance second(folders.runtimeFolder());
    QCOMPARE(second.acquire(), SingleInstance::LockResult::HeldElsewhere);
    QVERIFY(second.handOver(QStringLiteral("/data/after-the-crowd.tsr")));
    QTRY_COMPARE(received, QStringList{QStringLiteral("/data/after-the-crowd.tsr")});

    // Those still waiting are closed within a few seconds.
    QTRY_COMPARE_WITH_TIMEOUT(connected(), 0, 10000);
}

QTEST_MAIN(HandOverTest)
#include "HandOverTest.moc"
