#pragma once

#include "QtPrinters.h"
#include "RecordingObserver.h"
#include "SimulatedInstrument.h"
#include "run/RunEngine.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>

// One step as a test writes it: value, interval, transition ("0" step, "1" ramp), load.
struct TestStep {
    const char* value;
    const char* interval;
    const char* transition = "0";
    const char* load = "1";
};

// The run engine with CKdrxDevice on the RS-232C adapter whose line is the simulator, all on one
// fake clock: a run of minutes takes milliseconds, and the simulator's transcript carries the
// fake time of every command the engine sent.
class RunFixture : public ::testing::Test, protected SimulatedInstrument {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(connectInstrument());
        ASSERT_TRUE(folder.isValid());
        settings.Folder = folder.path();
        settings.RunCh = {0, 0, 0, 0, 0};
        engine.setObserver(&observer);
    }
    void TearDown() override
    {
        // Whatever a test left running is stopped, so that no timer outlives its engine.
        if (engine.anyRunning())
            engine.StopAll();
    }

    // Channel c (0..4) holds these steps; the cumulative times are recomputed.
    void setSteps(int c, std::initializer_list<TestStep> steps)
    {
        ChannelSequence& channel = document->channel(c);
        int i = 0;
        for (const TestStep& step : steps) {
            channel.steps[i].value = QString::fromLatin1(step.value);
            channel.steps[i].interval = QString::fromLatin1(step.interval);
            channel.steps[i].transition = QString::fromLatin1(step.transition);
            channel.steps[i].load = QString::fromLatin1(step.load);
            channel.steps[i].load2 = QStringLiteral("1");
            ++i;
        }
        channel.count = i;
        document->recomputeTimes(c, 0);
    }
    // Mode of channel c under the control method in force, and the derived values.
    void setMode(int c, int mode)
    {
        settings.ModeChSoft[c] = mode;
        settings.ModeChHard[c] = mode;
        settings.deriveActiveValues();
    }
    void useHardwareControl()
    {
        settings.SeqCtl = HardwareControl;
        settings.deriveActiveValues();
    }
    void monitor(bool currentOn, bool voltageOn, bool file)
    {
        settings.Curr = currentOn ? 1 : 0;
        settings.Volt = voltageOn ? 1 : 0;
        settings.File = file ? 1 : 0;
    }
    // Opens the dialog with these channels ticked (1..5).
    void openDialog(std::initializer_list<int> channels)
    {
        settings.deriveActiveValues();
        settings.RunCh = {0, 0, 0, 0, 0};
        for (int channel : channels)
            settings.RunCh[channel - 1] = 1;
        engine.prepareDialog();
    }

    // Every command received after the run started, as "+ms text" relative to the run's start.
    QStringList timeline() const
    {
        QStringList lines;
        for (const KdrxSimulator::Received& entry : simulator.received()) {
            if (entry.ms > engine.runStartMs())
                lines << QStringLiteral("+%1 %2").arg(entry.ms - engine.runStartMs()).arg(entry.text);
        }
        return lines;
    }
    // The timeline without the status queries of the status timer.
    QStringList timelineWithoutStatus() const
    {
        QStringList lines;
        for (const QString& line : timeline()) {
            if (!line.contains(QLatin1String("STAT:QUES")))
                lines << line;
        }
        return lines;
    }
    // Runs the fake clock until the run is over (log written) or the limit is reached.
    void runToEnd(qint64 limitMs = 3600 * 1000)
    {
        const qint64 end = time.nowMs() + limitMs;
        while (engine.isRunActive() && time.nowMs() < end && time.activeTimers() > 0)
            time.advanceMs(std::min<qint64>(100, end - time.nowMs()));
    }
    // Runs until the clock is ms after the run's start.
    void runUntil(qint64 msAfterStart) { time.advanceMs(engine.runStartMs() + msAfterStart - time.nowMs()); }

    static QByteArray fileContents(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray("<missing>");
        return file.readAll();
    }
    QString logFile(const QString& name) const { return folder.filePath(name); }

    RunEngine engine{settings, current, port, device, numbers, prompt, time, time};
    RecordingObserver observer;
    QTemporaryDir folder;
};
