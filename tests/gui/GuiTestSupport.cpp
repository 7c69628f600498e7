#include "GuiTestSupport.h"

#include "app/CMainFrame.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

void RecordingShellPrompt::showMessage(const QString& text, Icon icon)
{
    entries.push_back({text, icon, Entry::Message});
    if (whileMessageShown)
        whileMessageShown(text);
}

bool RecordingShellPrompt::askYesNo(const QString& text, Icon icon)
{
    entries.push_back({text, icon, Entry::YesNo});
    if (yesNoAnswers.empty())
        return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

ShellPrompt::Answer RecordingShellPrompt::askYesNoCancel(const QString& text)
{
    entries.push_back({text, Icon::None, Entry::YesNoCancel});
    if (threeWayAnswers.empty())
        return Answer::Cancel;
    const Answer answer = threeWayAnswers.front();
    threeWayAnswers.pop_front();
    return answer;
}

void RecordingShellPrompt::setBusy(bool busy)
{
    busyDepth += busy ? 1 : -1;
    if (busy)
        ++busyCount;
}

QStringList RecordingShellPrompt::texts() const
{
    QStringList list;
    for (const Entry& entry : entries)
        list << entry.text;
    return list;
}

QString FakeShellServices::openFileName(QWidget*, const FileRequest& request)
{
    openRequests.push_back(request);
    if (whileFileDialogShown)
        whileFileDialogShown(request);
    if (openAnswers.empty())
        return QString();
    const QString answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

QString FakeShellServices::saveFileName(QWidget*, const FileRequest& request)
{
    saveRequests.push_back(request);
    if (whileFileDialogShown)
        whileFileDialogShown(request);
    if (request.selectedFilter && !saveFilterAnswers.empty()) {
        *request.selectedFilter = saveFilterAnswers.front();
        saveFilterAnswers.pop_front();
    }
    if (saveAnswers.empty())
        return QString();
    const QString answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

bool FakeShellServices::openWithDesktop(const QString& path)
{
    openedWithDesktop << path;
    return true;
}

int FakeShellServices::execDialog(QDialog& dialog)
{
    ++dialogsRun;
    return onDialog ? onDialog(dialog) : QDialog::Rejected;
}

TestFolders::TestFolders()
{
    QDir(dir_.path()).mkpath(QStringLiteral("config"));
    QDir(dir_.path()).mkpath(QStringLiteral("data"));
    QDir(dir_.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(runtimeFolder(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    hadConfig_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    hadRuntime_ = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    oldConfig_ = qgetenv("XDG_CONFIG_HOME");
    oldRuntime_ = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_CONFIG_HOME", configFolder().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtimeFolder().toLocal8Bit());
}

TestFolders::~TestFolders()
{
    if (hadConfig_)
        qputenv("XDG_CONFIG_HOME", oldConfig_);
    else
        qunsetenv("XDG_CONFIG_HOME");
    if (hadRuntime_)
        qputenv("XDG_RUNTIME_DIR", oldRuntime_);
    else
        qunsetenv("XDG_RUNTIME_DIR");
}

QString TestFolders::profilePath() const
{
    return configFolder() + QStringLiteral("/Morvane/TessorEng/Kdrx5ch/Tessor.ini");
}

QString TestFolders::writeFile(const QString& name, const QByteArray& content) const
{
    QFile file(filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(content);
    return file.fileName();
}

StartupPaths TestFolders::paths() const
{
    return paths(QCoreApplication::applicationDirPath());
}

StartupPaths TestFolders::paths(const QString& programFolder) const
{
    return StartupPaths{programFolder, profilePath(), runtimeFolder()};
}

int StartedProgram::start(const QStringList& files)
{
    app = std::make_unique<CTessorApp>(prompt, services, folders.paths());
    if (instrument)
        app->setTimeSources(instrument->time, instrument->time);
    status = app->initInstance(files);
    if (instrument && app->mainFrame())
        instrument->attach(*app->mainFrame());
    return status;
}

int StartedProgram::startSimulated(const QStringList& files)
{
    instrument = std::make_unique<InProcessInstrument>();
    return start(files);
}

void InProcessInstrument::attach(CMainFrame& frame)
{
    auto faultLine = std::make_unique<FaultLine>(simulatorLine);
    line = faultLine.get();
    frame.port().rs232c().setLine(std::move(faultLine));
    frame.settings().Interface = 0;
    frame.settings().PortDevice = QStringLiteral("/dev/kdrx-test");
    frame.applyInterfaceSettings();
}

QStringList InProcessInstrument::timeline(qint64 msFrom) const
{
    QStringList lines;
    for (const KdrxSimulator::Received& entry : simulator.received()) {
        if (entry.ms >= msFrom)
            lines << QStringLiteral("+%1 %2").arg(entry.ms - msFrom).arg(entry.text);
    }
    return lines;
}

void writeProfileValue(const QString& profilePath, const QString& key, const QVariant& value)
{
    QSettings profile(profilePath, QSettings::IniFormat);
    profile.setValue(key, value);
}

QVariant readProfileValue(const QString& profilePath, const QString& key)
{
    QSettings profile(profilePath, QSettings::IniFormat);
    return profile.value(key);
}

QByteArray sequenceFile(const QString& header, const std::vector<std::vector<QString>>& channelLines)
{
    QByteArray bytes = header.toLatin1() + "\r\n";
    for (size_t c = 0; c < 5; ++c) {
        if (c < channelLines.size()) {
            for (const QString& line : channelLines[c])
                bytes += line.toLatin1() + "\r\n";
        }
        bytes += "\r\n";
    }
    return bytes;
}

QByteArray emptyChannelsFile(const QString& control)
{
    return sequenceFile(QStringLiteral("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\t") + control, {});
}
