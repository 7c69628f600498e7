#include "PtySimulatorServer.h"

#include "QtPrinters.h"
#include "ui/SystemClock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The other end of the pseudo-terminal, opened the way a serial program opens its port.
class TerminalClient {
public:
    explicit TerminalClient(const QString& path)
    {
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY);
    }
    ~TerminalClient()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool isOpen() const { return fd_ >= 0; }
    termios settings() const
    {
        termios current{};
        tcgetattr(fd_, &current);
        return current;
    }
    bool makeRaw()
    {
        termios raw = settings();
        cfmakeraw(&raw);
        return tcsetattr(fd_, TCSANOW, &raw) == 0;
    }
    bool write(const QByteArray& bytes)
    {
        return ::write(fd_, bytes.constData(), bytes.size()) == bytes.size();
    }
    // One line without its line feed, or "<timeout>" when none comes within the generous limit.
    QString readLine(int limitMs = 10000)
    {
        QByteArray bytes;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < limitMs) {
            pollfd fds{fd_, POLLIN, 0};
            if (poll(&fds, 1, 50) <= 0)
                continue;
            char byte = 0;
            if (::read(fd_, &byte, 1) != 1)
                continue;
            if (byte == '\n')
                return QString::fromLatin1(bytes);
            bytes.append(byte);
        }
        return QStringLiteral("<timeout>");
    }

private:
    int fd_ = -1;
};

bool waitForPath(const QString& path, int limitMs = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < limitMs) {
        if (QFileInfo::exists(path))
            return true;
        QThread::msleep(20);
    }
    return false;
}

// Runs the kdrx-sim program and stops it with SIGTERM when done.
class SimulatorProcess {
public:
    explicit SimulatorProcess(const QStringList& arguments)
    {
        process_.setProgram(QStringLiteral(KDRX_SIM_PROGRAM));
        process_.setArguments(arguments);
        process_.start();
        process_.waitForStarted(10000);
    }
    ~SimulatorProcess() { terminate(); }
    // True when it ended of its own after SIGTERM, with exit code 0.
    bool terminate()
    {
        if (process_.state() == QProcess::NotRunning)
            return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
        process_.terminate();
        if (!process_.waitForFinished(10000)) {
            process_.kill();
            process_.waitForFinished(10000);
            return false;
        }
        return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }
    // The exit code once the program has ended by itself, or -1.
    int waitForExit(int limitMs = 10000)
    {
        if (!process_.waitForFinished(limitMs) || process_.exitStatus() != QProcess::NormalExit)
            return -1;
        return process_.exitCode();
    }
    QString errorOutput() { return QString::fromLocal8Bit(process_.readAllStandardError()); }

private:
    QProcess process_;
};

} // namespace

TEST(PtySimulatorServer, AnswersOnARawTerminalWithoutEcho)
{
    SystemClock clock;
    PtySimulatorServer server(clock);
    ASSERT_TRUE(server.isServing()) << qPrintable(server.errorString());
    ASSERT_TRUE(server.devicePath().startsWith("/dev/pts/"));

    TerminalClient client(server.devicePath());
    ASSERT_TRUE(client.isOpen());
    const termios initial = client.settings();
    EXPECT_EQ(initial.c_lflag & (ECHO | ICANON), 0u) << "the terminal must start raw, without echo";
    ASSERT_TRUE(client.makeRaw());

    ASSERT_TRUE(client.write("*IDN?\n"));
    EXPECT_EQ(client.readLine(), KdrxSimulator::defaultIdentity());
    ASSERT_TRUE(client.write("SYST:ERR?\n"));
    EXPECT_EQ(client.readLine(), "0,\"No error\"");
    EXPECT_EQ(server.simulator().receivedTexts(), QStringList({"*IDN?", "SYST:ERR?"}));
}

TEST(PtySimulatorServer, ServesAgainAfterTheOtherEndClosesAndReopens)
{
    SystemClock clock;
    PtySimulatorServer server(clock);
    ASSERT_TRUE(server.isServing());
    {
        TerminalClient first(server.devicePath());
        ASSERT_TRUE(first.write("INST:NSEL 4\n"));
        ASSERT_TRUE(first.write("INST:NSEL?\n"));
        EXPECT_EQ(first.readLine(), "4");
    }
    TerminalClient second(server.devicePath());
    ASSERT_TRUE(second.write("INST:NSEL?\r\n"));
    EXPECT_EQ(second.readLine(), "4");
}

TEST(PtySimulatorServer, PausesRepliesBetweenXoffAndXon)
{
    SystemClock clock;
    PtySimulatorServer server(clock);
    ASSERT_TRUE(server.isServing());
    TerminalClient client(server.devicePath());
    ASSERT_TRUE(client.write("\x13*IDN?\n"));
    EXPECT_EQ(client.readLine(300), "<timeout>");
    ASSERT_TRUE(client.write("\x11"));
    EXPECT_EQ(client.readLine(), KdrxSimulator::defaultIdentity());
    EXPECT_EQ(server.simulator().receivedTexts(), QStringList({"*IDN?"}));
}

TEST(PtySimulatorServer, StopsCleanlyWhileAClientHoldsTheDevice)
{
    SystemClock clock;
    auto server = std::make_unique<PtySimulatorServer>(clock);
    ASSERT_TRUE(server->isServing());
    TerminalClient client(server->devicePath());
    ASSERT_TRUE(client.write("*IDN?\n"));
    server.reset();
    SUCCEED();
}

TEST(KdrxSimProgram, LinksThePathAnswersAndCleansUpOnSigterm)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString link = dir.filePath("kdrx");
    const QString transcript = dir.filePath("transcript.txt");
    SimulatorProcess program({"--pty", link, "--transcript", transcript, "--model", "KDR-X3"});
    ASSERT_TRUE(waitForPath(link)) << qPrintable(program.errorOutput());
    EXPECT_TRUE(QFileInfo(link).isSymLink());

    {
        TerminalClient client(link);
        ASSERT_TRUE(client.isOpen());
        ASSERT_TRUE(client.makeRaw());
        ASSERT_TRUE(client.write("*IDN?\n"));
        EXPECT_EQ(client.readLine(), "MORVANE,KDR-X3,SIM00001,1.00");
        ASSERT_TRUE(client.write("INST:NSEL 2;:FUNC CR\n"));
        ASSERT_TRUE(client.write("FUNC?\n"));
        EXPECT_EQ(client.readLine(), "CR");
    }
    EXPECT_TRUE(program.terminate()) << qPrintable(program.errorOutput());
    EXPECT_FALSE(QFileInfo(link).isSymLink()) << "the link must go when the program ends";

    QFile file(transcript);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    const QRegularExpression stamped(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}\t(.*)$)");
    const QStringList commands = {"*IDN?", "INST:NSEL 2;:FUNC CR", "FUNC?"};
    for (int i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch match = stamped.match(lines.at(i));
        ASSERT_TRUE(match.hasMatch()) << qPrintable(lines.at(i));
        EXPECT_EQ(match.captured(1), commands.at(i));
    }
}

TEST(KdrxSimProgram, ReplacesAStaleLinkButNoOtherFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString stale = dir.filePath("stale");
    ASSERT_TRUE(QFile::link("/nonexistent/device", stale));
    {
        SimulatorProcess program({"--pty", stale});
        QElapsedTimer timer;
        timer.start();
        while (!QFileInfo(stale).symLinkTarget().startsWith("/dev/pts/") && timer.elapsed() < 10000) {
            EXPECT_TRUE(QFileInfo(stale).isSymLink()) << "the old link is replaced in one step";
            QThread::msleep(5);
        }
        EXPECT_TRUE(QFileInfo(stale).symLinkTarget().startsWith("/dev/pts/"));
        EXPECT_TRUE(program.terminate());
    }

    const QString regular = dir.filePath("regular");
    QFile file(regular);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();
    SimulatorProcess program({"--pty", regular});
    EXPECT_EQ(program.waitForExit(), 1) << "the program must refuse to replace a file";
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "keep me");
}

TEST(KdrxSimProgram, ASecondSimulatorOnAHeldPathRefusesAndNamesTheHolder)
{
    // Taking the link over would leave the first simulator serving nothing.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString link = dir.filePath("kdrx");
    SimulatorProcess first({"--pty", link});
    ASSERT_TRUE(waitForPath(link)) << qPrintable(first.errorOutput());
    const QString target = QFileInfo(link).symLinkTarget();

    SimulatorProcess second({"--pty", link});
    EXPECT_EQ(second.waitForExit(), 1);
    const QString complaint = second.errorOutput();
    EXPECT_TRUE(
        complaint.startsWith(QStringLiteral("kdrx-sim: %1 is served by kdrx-sim (process ").arg(link)))
        << qPrintable(complaint);
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), target);
    {
        TerminalClient client(link);
        ASSERT_TRUE(client.isOpen());
        ASSERT_TRUE(client.makeRaw());
        ASSERT_TRUE(client.write("*IDN?\n"));
        EXPECT_EQ(client.readLine(), "MORVANE,KDR-X5,SIM00001,1.00") << "the first goes on serving";
    }
    EXPECT_TRUE(first.terminate());

    // Once the first has gone, the path is free again.
    SimulatorProcess third({"--pty", link});
    EXPECT_TRUE(waitForPath(link)) << qPrintable(third.errorOutput());
    EXPECT_TRUE(third.terminate());
}

TEST(KdrxSimProgram, HelpAndTheManualPageNameTheSameStopSignals)
{
    QProcess program;
    program.start(QStringLiteral(KDRX_SIM_PROGRAM), {"-h"});
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 0);
    const QString help = QString::fromLocal8Bit(program.readAllStandardOutput());
    EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: kdrx-sim"))) << qPrintable(help);
    EXPECT_TRUE(help.contains(QStringLiteral("SIGTERM, SIGINT or SIGHUP"))) << qPrintable(help);

    QFile page(QStringLiteral(KDRX_SIM_MANUAL_PAGE));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(page.readAll()).contains(QStringLiteral("SIGTERM, SIGINT or SIGHUP")));
}

TEST(KdrxSimProgram, PacesTheLineAtTheGivenBaudRate)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString link = dir.filePath("kdrx");
    SimulatorProcess program({"--pty", link, "--baud", "19200"});
    ASSERT_TRUE(waitForPath(link));
    TerminalClient client(link);
    ASSERT_TRUE(client.makeRaw());

    // 20 queries in one line: 120 bytes in, about 600 bytes out; at 19200 baud and ten bits per
    // byte that is some 375 ms on the line.
    QStringList queries;
    for (int i = 0; i < 20; ++i)
        queries << "*IDN?";
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(client.write((queries.join(';') + '\n').toLatin1()));
    const QString reply = client.readLine();
    const qint64 elapsed = timer.elapsed();
    EXPECT_EQ(reply.count("MORVANE"), 20);
    EXPECT_GE(elapsed, 300);
}
