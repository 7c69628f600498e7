#include "ui/InstallLayout.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A tree with a bin/ folder; files are created relative to its root.
class InstallTree {
public:
    InstallTree() { QDir(dir_.path()).mkpath(QStringLiteral("bin")); }
    QString root() const { return dir_.path(); }
    QString bin() const { return dir_.filePath(QStringLiteral("bin")); }
    QString path(const QString& relative) const { return dir_.filePath(relative); }
    void file(const QString& relative) const
    {
        QDir(dir_.path()).mkpath(QFileInfo(path(relative)).path());
        QFile f(path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    void folder(const QString& relative) const { QDir(dir_.path()).mkpath(relative); }

private:
    QTemporaryDir dir_;
};

} // namespace

TEST(InstallLayout, FindsEachFileBesideTheProgramFirstThenInItsInstalledFolder)
{
    struct Case {
        const char* what;
        std::vector<QString> files;   // created under the tree's root
        std::vector<QString> folders; // folders that only look like the file
        QString expectedData;         // relative to the root
        QString expectedManual;
    };
    const std::vector<Case> cases = {
        {"a build folder",
         {"bin/TessorOpt.rcc", "bin/TessorKdrx.pdf"},
         {},
         "bin/TessorOpt.rcc",
         "bin/TessorKdrx.pdf"},
        {"an installed tree",
         {"share/tessor/TessorOpt.rcc", "share/doc/tessor/TessorKdrx.pdf"},
         {},
         "share/tessor/TessorOpt.rcc",
         "share/doc/tessor/TessorKdrx.pdf"},
        {"both: beside the program wins",
         {"bin/TessorOpt.rcc", "share/tessor/TessorOpt.rcc", "bin/TessorKdrx.pdf",
          "share/doc/tessor/TessorKdrx.pdf"},
         {},
         "bin/TessorOpt.rcc",
         "bin/TessorKdrx.pdf"},
        {"nothing: the place looked at first", {}, {}, "bin/TessorOpt.rcc", "bin/TessorKdrx.pdf"},
        {"the manual in the data folder is not a manual",
         {"share/tessor/TessorKdrx.pdf"},
         {},
         "bin/TessorOpt.rcc",
         "bin/TessorKdrx.pdf"},
        {"folders of the file's name are skipped",
         {"share/tessor/TessorOpt.rcc"},
         {"bin/TessorOpt.rcc", "bin/TessorKdrx.pdf", "share/doc/tessor/TessorKdrx.pdf"},
         "share/tessor/TessorOpt.rcc",
         "bin/TessorKdrx.pdf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InstallTree tree;
        for (const QString& file : c.files)
            tree.file(file);
        for (const QString& folder : c.folders)
            tree.folder(folder);
        EXPECT_EQ(InstallLayout::dataFile(tree.bin(), QStringLiteral("TessorOpt.rcc")),
                  tree.path(c.expectedData));
        EXPECT_EQ(InstallLayout::manualFile(tree.bin(), QStringLiteral("TessorKdrx.pdf")),
                  tree.path(c.expectedManual));
    }
}
