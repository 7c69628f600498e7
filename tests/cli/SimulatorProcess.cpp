#include "SimulatorProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

SimulatorProcess::SimulatorProcess(const QString& folder) : folder_(folder) {}

SimulatorProcess::~SimulatorProcess()
{
    stop();
}

bool SimulatorProcess::start(const QStringList& faults)
{
    process_.setProgram(QStringLiteral(KDRX_SIM_PROGRAM));
    process_.setArguments(QStringList{"--pty", device(), "--transcript",
                                      QDir(folder_).filePath(QStringLiteral("transcript.txt"))} +
                          faults);
    process_.start();
    if (!process_.waitForStarted(10000))
        return false;
    QElapsedTimer timer;
    timer.start();
    while (!QFileInfo(device()).isSymLink() && timer.elapsed() < 10000)
        QThread::msleep(20);
    return QFileInfo(device()).isSymLink();
}

bool SimulatorProcess::startNetwork(const QStringList& faults)
{
    process_.setProgram(QStringLiteral(KDRX_SIM_PROGRAM));
    process_.setArguments(
        QStringList{"--tcp", "0", "--transcript", QDir(folder_).filePath(QStringLiteral("transcript.txt"))} +
        faults);
    process_.start();
    if (!process_.waitForStarted(10000))
        return false;
    // "kdrx-sim: serving a Prologix-compatible controller at 127.0.0.1:PORT"
    QByteArray said;
    QElapsedTimer timer;
    timer.start();
    while (!said.contains('\n') && timer.elapsed() < 10000) {
        process_.waitForReadyRead(100);
        said += process_.readAllStandardOutput();
    }
    const qsizetype at = said.lastIndexOf(' ');
    if (!said.contains('\n') || at < 0)
        return false;
    networkDevice_ = QStringLiteral("tcp:") + QString::fromLatin1(said.mid(at + 1).trimmed());
    return true;
}

void SimulatorProcess::stop()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(10000)) {
        process_.kill();
        process_.waitForFinished(10000);
    }
}

QString SimulatorProcess::device() const
{
    return QDir(folder_).filePath(QStringLiteral("kdrx"));
}

QStringList SimulatorProcess::transcript() const
{
    QFile file(QDir(folder_).filePath(QStringLiteral("transcript.txt")));
    QStringList lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.isEmpty())
            lines << QString::fromLatin1(line.mid(line.indexOf('\t') + 1));
    }
    return lines;
}
