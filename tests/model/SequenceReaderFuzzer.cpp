// libFuzzer target of the sequence file reader (built by Clang only). The input is the whole file;
// the separator setting follows the file (commas when it has more commas than TABs) and the
// decimal places follow its length. Whatever the reader accepts must write out and read back to
// the same bytes.
#include "RecordingPrompt.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/SequenceFileReader.h"
#include "model/SequenceFileWriter.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

// The documents are large (5 x 1024 steps), so the harness keeps two for the whole run; the reader
// resets their counts and the writer looks at nothing past them.
struct FuzzDocuments {
    AppSettings settings;
    RecordingPrompt prompt;
    std::unique_ptr<CMainDoc> first = std::make_unique<CMainDoc>(settings, prompt);
    std::unique_ptr<CMainDoc> second = std::make_unique<CMainDoc>(settings, prompt);
};

bool readInto(CMainDoc& document, AppSettings& settings, RecordingPrompt& prompt, QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return SequenceFileReader(document, settings, prompt).readFrom(buffer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzDocuments documents;
    AppSettings& settings = documents.settings;
    RecordingPrompt& prompt = documents.prompt;
    settings = AppSettings();
    prompt.clear();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    settings.Tsr = bytes.count(',') > bytes.count('\t') ? 1 : 0;
    settings.VoltPlace = size & 1;
    settings.CurrPlace = (size >> 1) & 3;
    settings.ResistPlace = (size >> 3) & 1;
    CMainDoc* document = documents.first.get();

    const bool ok = readInto(*document, settings, prompt, bytes);
    for (int c = 0; c < kChannelCount; ++c) {
        if (document->channel(c).count < 0 || document->channel(c).count > kMaxSteps)
            std::abort();
    }
    if (prompt.entries.size() > 1)
        std::abort();
    if (!ok || prompt.texts().contains(QStringLiteral("There is no data.")))
        return 0;

    const QByteArray written = SequenceFileWriter(*document, settings, prompt).fileText();
    prompt.clear();
    CMainDoc* again = documents.second.get();
    if (!readInto(*again, settings, prompt, written) || !prompt.entries.empty())
        std::abort();
    if (SequenceFileWriter(*again, settings, prompt).fileText() != written)
        std::abort();
    return 0;
}
