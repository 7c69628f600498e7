#pragma once

#include <QString>
#include <QStringList>

// A GPIB board library bound at run time by file name, so that the program starts and runs
// without any GPIB software installed. The program passes plain file names, found through the
// system's usual library search; tests point the folder at their stand-in libraries.
class VendorLibrary {
public:
    VendorLibrary() = default;
    ~VendorLibrary() { release(); }
    VendorLibrary(const VendorLibrary&) = delete;
    VendorLibrary& operator=(const VendorLibrary&) = delete;

    // Looks the files up in this folder instead of the system search; empty restores the search.
    void setFolder(const QString& folder) { folder_ = folder; }
    QString folder() const { return folder_; }

    // Loads the first of the files that can be loaded; true when one is (or already was) loaded.
    bool load(const QStringList& fileNames);
    // Unloads the library; harmless when none is loaded.
    void release();
    bool isLoaded() const { return handle_ != nullptr; }
    // The file that was loaded, as passed to the loader.
    QString loadedFile() const { return loadedFile_; }
    // The system's error code of the last failed load (0 when it gave none).
    int lastLoadError() const { return lastLoadError_; }

    // The address of an exported symbol, or null when it is missing or nothing is loaded.
    void* symbol(const char* name) const;
    template <typename Function> Function function(const char* name) const
    {
        return reinterpret_cast<Function>(symbol(name));
    }

private:
    QString pathOf(const QString& fileName) const;

    void* handle_ = nullptr;
    QString folder_;
    QString loadedFile_;
    int lastLoadError_ = 0;
};
