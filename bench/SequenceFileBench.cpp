// Reading and writing a full sequence file: five channels of 1024 steps each.
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/SequenceFileReader.h"
#include "model/SequenceFileWriter.h"
#include "ui/UserPrompt.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

class SilentPrompt : public UserPrompt {
public:
    void showMessage(const QString&, Icon) override {}
    bool askYesNo(const QString&, Icon) override { return false; }
    void setBusy(bool) override {}
};

struct FullDocument {
    FullDocument()
    {
        settings.ModeCh = {ModeCC, ModeCR, ModeCV, ModeCCCV, ModeCRCV};
        for (int c = 0; c < kChannelCount; ++c) {
            ChannelSequence& channel = document->channel(c);
            for (int i = 0; i < kMaxSteps; ++i) {
                SequenceStep& step = channel.steps[i];
                step.value = QString::asprintf("%.4f", (i % 400) * 0.0125);
                step.interval = QString::asprintf("%.1f", 0.5 * (1 + i % 20));
                step.transition = i % 3 ? QStringLiteral("0") : QStringLiteral("1");
                step.load = i % 7 ? QStringLiteral("1") : QStringLiteral("0");
            }
            channel.count = kMaxSteps;
        }
    }
    AppSettings settings;
    SilentPrompt prompt;
    std::unique_ptr<CMainDoc> document = std::make_unique<CMainDoc>(settings, prompt);
};

// The file's bytes read into the document.
bool readBytes(QByteArray& bytes, FullDocument& target)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return SequenceFileReader(*target.document, target.settings, target.prompt).readFrom(buffer);
}

void readFromMemory(benchmark::State& state)
{
    FullDocument source;
    QByteArray bytes = SequenceFileWriter(*source.document, source.settings, source.prompt).fileText();
    FullDocument target;
    for (auto _ : state)
        benchmark::DoNotOptimize(readBytes(bytes, target));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(readFromMemory)->Unit(benchmark::kMillisecond);

// Opening and saving the file, without the disk: the reader on the file's bytes, then the
// writer's text of the document it filled. Target: 5 ms.
void readAndWrite(benchmark::State& state)
{
    FullDocument source;
    QByteArray bytes = SequenceFileWriter(*source.document, source.settings, source.prompt).fileText();
    FullDocument target;
    for (auto _ : state) {
        readBytes(bytes, target);
        benchmark::DoNotOptimize(
            SequenceFileWriter(*target.document, target.settings, target.prompt).fileText());
    }
}
BENCHMARK(readAndWrite)->Unit(benchmark::kMillisecond);

void openFromDisk(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.tsr"));
    FullDocument source;
    source.document->saveDocument(path);
    FullDocument target;
    for (auto _ : state)
        benchmark::DoNotOptimize(target.document->openDocument(path));
}
BENCHMARK(openFromDisk)->Unit(benchmark::kMillisecond);

void formatFileText(benchmark::State& state)
{
    FullDocument source;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            SequenceFileWriter(*source.document, source.settings, source.prompt).fileText());
}
BENCHMARK(formatFileText)->Unit(benchmark::kMillisecond);

void saveToDisk(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.tsr"));
    FullDocument source;
    for (auto _ : state)
        benchmark::DoNotOptimize(source.document->saveDocument(path));
}
BENCHMARK(saveToDisk)->Unit(benchmark::kMillisecond);

void recomputeAllTimes(benchmark::State& state)
{
    FullDocument source;
    for (auto _ : state) {
        for (int c = 0; c < kChannelCount; ++c)
            benchmark::DoNotOptimize(source.document->recomputeTimes(c, 0));
    }
}
BENCHMARK(recomputeAllTimes)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
