// Times "tessorctl write" of one 255-step channel against kdrx-sim on a pseudo-terminal paced at
// 19200 baud, and sets it against the least time the exchange can take: every byte on the wire
// in both directions at ten bits per byte, plus the fixed waits of the link (200 ms before the
// open, 200 ms at the close) and of the protocol (100 ms after the function).
//
// With --prologix the same write goes over GPIB through kdrx-sim's simulated Prologix-compatible
// controller on a pseudo-terminal paced at 115200 baud (the AR488's line), the load at address 5;
// the wire then carries the controller's commands, the escapes and "++read eoi" as well, and only
// the protocol's 100 ms wait is fixed.
//
//   transfer_write_bench [--prologix] [RUNS]

#include "KdrxSimulator.h"
#include "PrologixController.h"
#include "link/CPrologixAdapter.h"
#include "model/DecimalText.h"
#include "ui/SystemClock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kBitsPerByte = 10;
constexpr int kSteps = 255;

// The line and its fixed waits: RS-232C, or GPIB through a Prologix-compatible controller.
struct Link {
    bool prologix = false;
    int baud = 19200;
    double fixedWaitsS = 0.2 + 0.2 + 0.1;
};

struct Line {
    QDateTime at;
    QString text;
};

QByteArray sequenceFile()
{
    QByteArray text = "CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\thard\r\n";
    for (int i = 0; i < kSteps; ++i) {
        text += formatDouble("%.4f", (i % 240) * 0.25).toLatin1() + '\t' +
                formatDouble("%.3f", 0.5 + (i % 97) * 1.25).toLatin1() + "\t0\t1\r\n";
    }
    text += "\r\n\r\n\r\n\r\n\r\n";
    return text;
}

std::vector<Line> readTranscript(const QString& path)
{
    std::vector<Line> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const int tab = raw.indexOf('\t');
        if (tab < 0)
            continue;
        lines.push_back({QDateTime::fromString(QString::fromLatin1(raw.left(tab)), "yyyy-MM-dd HH:mm:ss.zzz"),
                         QString::fromLatin1(raw.mid(tab + 1))});
    }
    return lines;
}

// The bytes of the whole dialogue: each received line as it went on the wire, and the answer to it
// (found by replaying the lines through a simulator of our own, behind a controller for GPIB).
// lineBytes[i] and replyBytes[i] are line i's bytes and the answer to it.
qint64 wireBytes(const Link& link, const std::vector<Line>& lines, qint64* sent, qint64* received,
                 std::vector<qint64>& lineBytes, std::vector<qint64>& replyBytes)
{
    SystemClock clock;
    KdrxSimulator replay(clock);
    PrologixController controller(replay);
    *sent = 0;
    *received = 0;
    lineBytes.clear();
    replyBytes.clear();
    for (const Line& line : lines) {
        const QByteArray text = line.text.toLatin1();
        qint64 bytes = text.size() + 1;
        qint64 reply = 0;
        if (link.prologix) {
            // The controller's commands as they are; the load's lines escaped, with their line feed.
            const QByteArray wire =
                text.startsWith("++") ? text + '\n' : CPrologixAdapter::escaped(text + '\n') + '\n';
            bytes = wire.size();
            reply = controller.receive(wire).size();
        } else {
            for (const QString& answer : replay.handleLine(line.text))
                reply += answer.toLatin1().size() + 1;
        }
        *sent += bytes;
        *received += reply;
        lineBytes.push_back(bytes);
        replyBytes.push_back(reply);
    }
    return *sent + *received;
}

// Where the time beyond the wire goes between two received lines: the gap between them less the
// reply to the first and the second line itself on the wire (and the wait after the function).
void printGaps(const Link& link, const std::vector<Line>& lines, const std::vector<qint64>& lineBytes,
               const std::vector<qint64>& replyBytes)
{
    const double byteMs = 1000.0 * kBitsPerByte / link.baud;
    std::vector<double> excess;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        double ideal = (replyBytes[i - 1] + lineBytes[i]) * byteMs;
        if (lines[i - 1].text.startsWith(QLatin1String("FUNC ")))
            ideal += 100.0;
        excess.push_back(lines[i - 1].at.msecsTo(lines[i].at) - ideal);
    }
    if (excess.empty())
        return;
    double sum = 0.0;
    for (double e : excess)
        sum += e;
    std::sort(excess.begin(), excess.end());
    std::printf("        beyond the wire between lines: %.0f ms in all, mean %.2f ms, median %.2f ms, "
                "worst %.2f ms (transcript stamps are whole milliseconds)\n",
                sum, sum / excess.size(), excess[excess.size() / 2], excess.back());
}

bool waitForLink(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 10000) {
        if (QFileInfo(path).isSymLink())
            return true;
        QThread::msleep(10);
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments();
    Link link;
    if (arguments.removeAll(QStringLiteral("--prologix")) > 0) {
        link.prologix = true;
        link.baud = 115200;
        link.fixedWaitsS = 0.1;
    }
    const int runs = arguments.size() > 1 ? std::max(1, arguments[1].toInt()) : 3;

    QTemporaryDir work;
    const QString file = work.filePath("steps255.tsr");
    const QString device = work.filePath("kdrx");
    const QString transcript = work.filePath("transcript.txt");
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(sequenceFile()) < 0)
            return 1;
    }

    QProcess simulator;
    QStringList simulatorArguments{"--pty", device, "--baud", QString::number(link.baud), "--transcript",
                                   transcript};
    if (link.prologix)
        simulatorArguments << QStringLiteral("--prologix");
    simulator.start(QStringLiteral(KDRX_SIM_PROGRAM), simulatorArguments);
    if (!simulator.waitForStarted(10000) || !waitForLink(device)) {
        std::fprintf(stderr, "kdrx-sim did not start\n");
        return 1;
    }

    // tessorctl's own start-up (loading the resource module and the profile), for the breakdown.
    QTemporaryDir profile;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", profile.path());
    QElapsedTimer timer;
    QProcess help;
    help.setProcessEnvironment(environment);
    timer.start();
    help.start(QStringLiteral(TESSORCTL_PATH), {"--help"});
    help.waitForFinished(60000);
    const double startupS = timer.nsecsElapsed() / 1e9;

    std::printf("tessorctl write of %d steps against kdrx-sim --baud %d on a pseudo-terminal%s\n", kSteps,
                link.baud, link.prologix ? ", through its Prologix-compatible controller" : "");
    const QStringList linkArguments = link.prologix
                                          ? QStringList{"--gpib", "prologix:5", "--port", device}
                                          : QStringList{"--port", device};
    std::vector<double> totals;
    double bound = 0.0;
    for (int run = 1; run <= runs; ++run) {
        // kdrx-sim keeps its transcript open: this run's lines are those after the earlier ones.
        const std::size_t earlier = readTranscript(transcript).size();
        QProcess write;
        write.setProcessEnvironment(environment);
        const QDateTime started = QDateTime::currentDateTime();
        timer.start();
        write.start(QStringLiteral(TESSORCTL_PATH), linkArguments + QStringList{"write", file, "--channels", "1"});
        if (!write.waitForFinished(300000) || write.exitCode() != 0) {
            std::fprintf(stderr, "tessorctl failed: %s\n", write.readAllStandardError().constData());
            return 1;
        }
        const double totalS = timer.nsecsElapsed() / 1e9;
        totals.push_back(totalS);

        // The transcript file is written by kdrx-sim as lines arrive; give it a moment to settle.
        QThread::msleep(100);
        std::vector<Line> lines = readTranscript(transcript);
        lines.erase(lines.begin(),
                    lines.begin() + static_cast<std::ptrdiff_t>(std::min(earlier, lines.size())));
        qint64 sent = 0;
        qint64 received = 0;
        std::vector<qint64> lineBytes;
        std::vector<qint64> replyBytes;
        const qint64 bytes = wireBytes(link, lines, &sent, &received, lineBytes, replyBytes);
        bound = bytes * double(kBitsPerByte) / link.baud + link.fixedWaitsS;
        const double firstLineS = lines.empty() ? 0.0 : started.msecsTo(lines.front().at) / 1000.0;
        const double lastLineS = lines.empty() ? 0.0 : started.msecsTo(lines.back().at) / 1000.0;
        std::printf("run %d: %.3f s  (%zu lines, %lld bytes sent, %lld received; bound %.3f s; ratio %.3f)\n"
                    "        first line received at %.3f s, last at %.3f s\n",
                    run, totalS, lines.size(), static_cast<long long>(sent), static_cast<long long>(received),
                    bound, totalS / bound, firstLineS, lastLineS);
        printGaps(link, lines, lineBytes, replyBytes);
    }
    std::sort(totals.begin(), totals.end());
    const double median = totals[totals.size() / 2];
    std::printf("tessorctl --help (start-up alone): %.3f s\n", startupS);
    std::printf("lower bound %.3f s, median %.3f s, ratio %.3f (target at most 1.10)\n", bound, median,
                median / bound);

    simulator.terminate();
    simulator.waitForFinished(10000);
    return 0;
}
