#pragma once

#include <QString>

// Where the programs find their files. A build folder keeps them beside the programs; an installed
// tree keeps the programs in bin/ and their files under share/: the resource module and the
// examples in share/tessor/, the manuals in share/doc/tessor/. Beside the program comes first, so
// a build folder (or a copied program with its files) always uses its own.
namespace InstallLayout {

// share/tessor relative to the programs' folder, and share/doc/tessor.
constexpr const char* dataFolder = "../share/tessor";
constexpr const char* manualFolder = "../share/doc/tessor";

// The path of a data file (TessorOpt.rcc): beside the program when it is there, else in the
// installed data folder when it is there, else beside the program (where it was looked for first).
QString dataFile(const QString& programFolder, const QString& fileName);
// The same for a manual (TessorKdrx.html, TessorKdrx.pdf), looked for in the manual folder.
QString manualFile(const QString& programFolder, const QString& fileName);

} // namespace InstallLayout
