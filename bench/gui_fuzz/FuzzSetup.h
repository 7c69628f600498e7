#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// What one run of the random user starts with, drawn from its seed: the sequence file opened (an
// example, or a generated one that may fill channels to their step limits and beyond), and the
// settings and graph options the program starts with.
struct FuzzSetup {
    std::uint64_t seed = 0;
    QString fileName;   // the copy opened, in the run's folder; empty: the new empty document
    QByteArray content; // the file's bytes
    int sequenceMode = 0;
    double sequenceTime = 1.0;
    int voltPlace = 1;
    int currPlace = 2;
    int resistPlace = 1;
    bool boundaryLines = true;
    bool autoTimeMax = true;
    bool autoValueMax = true;
    bool autoValueMin = true;

    static FuzzSetup fromSeed(std::uint64_t seed, const QString& examplesFolder);
    // One line for the failure report.
    QString describe() const;
};
