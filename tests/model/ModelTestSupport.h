#pragma once

#include "QtPrinters.h"
#include "RecordingPrompt.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A document on the heap with its settings and a recording prompt, and a scratch folder.
class DocumentFixture : public ::testing::Test {
protected:
    DocumentFixture() : document(std::make_unique<CMainDoc>(settings, prompt)) {}

    static SequenceStep step(const QString& value, const QString& interval, const QString& transition = "0",
                             const QString& load = "1")
    {
        SequenceStep s;
        s.value = value;
        s.interval = interval;
        s.transition = transition;
        s.load = load;
        s.load2 = QStringLiteral("1");
        return s;
    }
    // A step whose seven fields other than time are all set, so copies can be checked field by field.
    static SequenceStep fullStep(int n)
    {
        SequenceStep s;
        s.time = QStringLiteral("t%1").arg(n);
        s.value = QStringLiteral("v%1").arg(n);
        s.interval = QStringLiteral("i%1").arg(n);
        s.transition = QStringLiteral("r%1").arg(n);
        s.frequency = QStringLiteral("f%1").arg(n);
        s.transition2 = QStringLiteral("q%1").arg(n);
        s.load = QStringLiteral("l%1").arg(n);
        s.load2 = QStringLiteral("m%1").arg(n);
        return s;
    }
    void fillChannel(int c, int count)
    {
        for (int i = 0; i < count; ++i)
            document->channel(c).steps[i] = fullStep(i);
        document->channel(c).count = count;
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QByteArray readFile(const QString& name) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray("<missing>");
        return file.readAll();
    }
    bool exists(const QString& name) const { return QFile::exists(path(name)); }

    AppSettings settings;
    RecordingPrompt prompt;
    std::unique_ptr<CMainDoc> document;
    QTemporaryDir dir;
};

inline bool sameFieldsButTime(const SequenceStep& a, const SequenceStep& b)
{
    return a.value == b.value && a.interval == b.interval && a.transition == b.transition &&
           a.frequency == b.frequency && a.transition2 == b.transition2 && a.load == b.load &&
           a.load2 == b.load2;
}

inline bool isEmptyStep(const SequenceStep& s)
{
    return s.time.isEmpty() && s.value.isEmpty() && s.interval.isEmpty() && s.transition.isEmpty() &&
           s.frequency.isEmpty() && s.transition2.isEmpty() && s.load.isEmpty() && s.load2.isEmpty();
}
