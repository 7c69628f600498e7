#include "FuzzSetup.h"

#include "FuzzRandom.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace {

const char* const kModes[] = {"CV", "CC", "CR", "CCV", "CRV"};
const char* const kUnits[] = {"ms", "s", "min", "h"};

QString intervalText(FuzzRandom& random, int unit, bool hardware)
{
    switch (unit) {
    case 0:
        return QString::number(random.chance(20) ? random.between(1, 9999) : random.between(1, 50) * 100);
    case 1:
        if (hardware)
            return QString::asprintf("%.3f", random.chance(20) ? random.between(1, 9999) / 1000.0
                                                               : random.between(1, 40) * 0.5);
        return QString::asprintf("%.1f", random.between(1, random.chance(10) ? 1999 : 40) * 0.5);
    default:
        return QString::asprintf("%.1f", random.between(1, random.chance(10) ? 9999 : 100) / 10.0);
    }
}

// A file with random channels: mostly a few steps, now and then as many as the limit allows, and
// under Hardware Control sometimes more than the 255 the instrument takes (the reader keeps them).
QByteArray generatedFile(FuzzRandom& random)
{
    const bool hardware = random.chance(35);
    const int unit = random.below(4);
    QByteArray text;
    for (int c = 0; c < 5; ++c) {
        const int mode = hardware ? 1 + random.below(2) : random.below(5);
        text += kModes[mode];
        text += '\t';
        text += mode >= 3 ? QByteArray::number(random.between(1, 30)) + ".000" : QByteArray("0");
        text += '\t';
    }
    text += kUnits[unit];
    text += hardware ? "\thard\r\n" : "\tsoft\r\n";
    for (int c = 0; c < 5; ++c) {
        int steps = 0;
        const int roll = random.below(100);
        if (roll < 30)
            steps = 0;
        else if (roll < 85)
            steps = random.between(1, 8);
        else if (hardware)
            steps = random.chance(50) ? random.between(245, 255) : random.between(256, 300);
        else
            steps = random.between(1010, 1024);
        for (int i = 0; i < steps; ++i) {
            const double value =
                random.chance(10) ? -random.between(0, 1000) / 10.0 : random.between(0, 5000) / 100.0;
            text += QString::asprintf("%.4f", value).toLatin1();
            text += '\t';
            text += intervalText(random, unit, hardware).toLatin1();
            text += '\t';
            text += hardware ? "0" : random.chance(30) ? "1" : "0";
            text += '\t';
            // Under Hardware Control every step runs with the load on, as the program writes it.
            text += hardware || random.chance(85) ? "1" : "0";
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

} // namespace

FuzzSetup FuzzSetup::fromSeed(std::uint64_t seed, const QString& examplesFolder)
{
    FuzzSetup setup;
    setup.seed = seed;
    FuzzRandom random(seed * 0x2545F4914F6CDD1Dull + 17);
    const QStringList examples =
        QDir(examplesFolder).entryList({QStringLiteral("*.tsr")}, QDir::Files, QDir::Name);
    const int roll = random.below(100);
    if (roll < 45 && !examples.isEmpty()) {
        setup.fileName = examples[random.below(int(examples.size()))];
        QFile file(QDir(examplesFolder).filePath(setup.fileName));
        if (file.open(QIODevice::ReadOnly))
            setup.content = file.readAll();
    } else if (roll < 92) {
        setup.fileName = QStringLiteral("generated.tsr");
        setup.content = generatedFile(random);
    }
    setup.sequenceMode = random.chance(8) ? 1 : 0;
    const double times[] = {0.1, 0.5, 1.0, 2.5, 10.0};
    setup.sequenceTime = times[random.below(5)];
    setup.voltPlace = random.below(2);
    setup.currPlace = random.below(4);
    setup.resistPlace = random.below(2);
    setup.boundaryLines = random.chance(85);
    setup.autoTimeMax = random.chance(80);
    setup.autoValueMax = random.chance(80);
    setup.autoValueMin = random.chance(80);
    return setup;
}

QString FuzzSetup::describe() const
{
    QString header = content.left(content.indexOf('\n')).trimmed();
    header.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return QStringLiteral("seed %1: %2 [%3]%4, SeqTime %5, places %6/%7/%8, graph lines %9 auto %10%11%12")
        .arg(seed)
        .arg(fileName.isEmpty() ? QStringLiteral("new document") : fileName, header)
        .arg(sequenceMode == 1 ? QStringLiteral(", fast mode") : QString())
        .arg(sequenceTime)
        .arg(voltPlace)
        .arg(currPlace)
        .arg(resistPlace)
        .arg(int(boundaryLines))
        .arg(int(autoTimeMax))
        .arg(int(autoValueMax))
        .arg(int(autoValueMin));
}
