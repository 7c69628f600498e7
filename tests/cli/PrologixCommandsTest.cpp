#include "QtPrinters.h"
#include "SimulatorProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

enum class Transport { SerialPort, Network };

std::ostream& operator<<(std::ostream& stream, Transport transport)
{
    return stream << (transport == Transport::SerialPort ? "SerialPort" : "Network");
}

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

// What the controller receives when tessorctl opens the link to the load at address 5.
const QStringList kOpening{"++ver",    "++mode 1",       "++addr 5",           "++eoi 1", "++eos 3",
                           "++auto 0", "++eot_enable 0", "++read_tmo_ms 3000", "++addr"};

// tessorctl with "--gpib prologix:5 --port DEVICE" against kdrx-sim behind its simulated
// Prologix-compatible controller, on a pseudo-terminal (the controller's USB serial port) and on
// a TCP port (its network model). The transcript holds the controller's commands and the load's
// lines in the order received.
class PrologixCommands : public ::testing::TestWithParam<Transport> {
protected:
    Result run(const QStringList& arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        environment.insert(QStringLiteral("HOME"), config.path());
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(work.path());
        process.start(QStringLiteral(TESSORCTL_PATH), arguments);
        EXPECT_TRUE(process.waitForFinished(120000));
        Result result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        result.err = QString::fromLocal8Bit(process.readAllStandardError());
        return result;
    }
    void startController(const QStringList& faults = {})
    {
        if (GetParam() == Transport::SerialPort) {
            ASSERT_TRUE(simulator.start(QStringList{"--prologix"} + faults));
            device = simulator.device();
        } else {
            ASSERT_TRUE(simulator.startNetwork(faults));
            device = simulator.networkDevice();
        }
    }
    // tessorctl through the controller, the load at the given address.
    Result runThrough(const QStringList& arguments, const char* gpib = "prologix:5") const
    {
        return run(QStringList{"--gpib", QLatin1String(gpib), "--port", device} + arguments);
    }
    QString file(const QString& name, const QByteArray& text) const
    {
        QFile out(work.filePath(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text);
        return out.fileName();
    }

    QTemporaryDir config;
    QTemporaryDir work;
    SimulatorProcess simulator{work.path()};
    QString device;
};

TEST_P(PrologixCommands, IdnOpensTheControllerAndIdentifiesTheLoad)
{
    startController();
    const Result r = runThrough({"idn"});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, QStringLiteral("MORVANE,KDR-X5,SIM00001,1.00\n"));
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(simulator.transcript(), (kOpening + QStringList{"*IDN?", "++read eoi", "*CLS;:INP:PROT:CLE"}));
}

TEST_P(PrologixCommands, WriteReadRangesAndBothRunsWorkThroughTheController)
{
    startController();
    const QString hardware =
        file("hard.tsr", "CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\thard\r\n"
                         "1.0000\t0.500\t0\t1\r\n2.0000\t0.500\t0\t1\r\n\r\n\r\n\r\n\r\n\r\n");
    const QString software = file("soft.tsr", "CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft\n"
                                              "1.0\t0.5\t0\t1\n2.0\t0.5\t0\t1\n\n0.5\t1.0\t0\t1\n\n\n\n\n");

    Result r = runThrough({"write", hardware, "--channels", "1"});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(r.err, QStringLiteral("Succeed to writing\n"));

    r = runThrough({"read", "--channels", "1", "-o", "back.tsr"});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    QFile back(work.filePath("back.tsr"));
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    EXPECT_EQ(back.readAll(), QByteArray("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\thard\r\n"
                                         "1\t0.500\t0\t1\r\n2\t0.500\t0\t1\r\n\r\n\r\n\r\n\r\n\r\n"));

    r = runThrough({"ranges", "--channels", "1", "--cc", "MED", "--cv", "LOW"});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);

    r = runThrough({"run", hardware, "--channels", "1"});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Ch1 End"))) << qPrintable(r.out);

    r = runThrough({"run", software});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Ch1 End       pass 1/1  step 2/2"))) << qPrintable(r.out);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Ch2 End       pass 1/1  step 1/1"))) << qPrintable(r.out);
    EXPECT_TRUE(simulator.transcript().contains(QStringLiteral("INST:NSEL 1;:CURR 2.0000")));
}

TEST_P(PrologixCommands, AControllerThatDoesNotAnswerOrIsNoControllerFailsWithItsMessage)
{
    const struct {
        QStringList faults;
        QString message;
    } cases[] = {
        {{"--prologix-silent"}, "GPIB[Prologix]: The controller %1 does not answer.\n"},
        {{"--prologix-version", "ECHO 1.0"},
         "GPIB[Prologix]: The controller %1 is not Prologix-compatible; it answered \"ECHO 1.0\".\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.faults.join(' ')));
        startController(c.faults);
        const Result r = runThrough({"idn"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, c.message.arg(device));
        EXPECT_EQ(r.out, QString());
        EXPECT_FALSE(simulator.transcript().contains(QStringLiteral("*IDN?")));
        simulator.stop();
    }
}

INSTANTIATE_TEST_SUITE_P(SerialPortAndNetwork, PrologixCommands,
                         ::testing::Values(Transport::SerialPort, Transport::Network));

// The load's own failures cost the link's whole reply time-out (10 s): one transport each.
class PrologixLoadFailures : public PrologixCommands {};

TEST_P(PrologixLoadFailures, ALoadAbsentAtTheAddressOrAReplyCutFailsWithItsMessage)
{
    if (GetParam() == Transport::Network) {
        startController();
        const Result r = runThrough({"idn"}, "prologix:6");
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, QStringLiteral("GPIB[Prologix]: The instrument does not answer at address 6.\n"));
    } else {
        startController({"--prologix-cut", "12"});
        const Result r = runThrough({"idn"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, QStringLiteral("GPIB[Prologix]: The instrument's reply was cut off.\n"));
    }
}

INSTANTIATE_TEST_SUITE_P(OneEach, PrologixLoadFailures,
                         ::testing::Values(Transport::SerialPort, Transport::Network));

TEST(PrologixCommandLine, AControllerThatCannotBeReachedOrIsNotSetUpFails)
{
    QTemporaryDir config;
    const auto run = [&](const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TESSORCTL_PATH), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return std::make_pair(process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError()));
    };
    auto [code, err] = run({"--gpib", "prologix:5", "--port", "tcp:127.0.0.1:1", "idn"});
    EXPECT_EQ(code, 1);
    EXPECT_EQ(err, QStringLiteral("GPIB[Prologix]: The controller tcp:127.0.0.1:1 cannot be opened "
                                  "(Connection refused).\n"));
    std::tie(code, err) = run({"--gpib", "prologix:5", "idn"});
    EXPECT_EQ(code, 1);
    EXPECT_EQ(err, QStringLiteral("GPIB[Prologix]: No controller has been set up.\n"));
}

} // namespace
