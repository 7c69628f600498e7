#include "link/VendorLibrary.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <dlfcn.h>

bool VendorLibrary::load(const QStringList& fileNames)
{
    if (handle_)
        return true;
    for (const QString& fileName : fileNames) {
        errno = 0;
        const QByteArray path = QFile::encodeName(pathOf(fileName));
        handle_ = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
        if (handle_) {
            loadedFile_ = fileName;
            return true;
        }
        lastLoadError_ = errno;
    }
    return false;
}

void VendorLibrary::release()
{
    if (handle_)
        dlclose(handle_);
    handle_ = nullptr;
    loadedFile_.clear();
}

void* VendorLibrary::symbol(const char* name) const
{
    if (!handle_)
        return nullptr;
    return dlsym(handle_, name);
}

QString VendorLibrary::pathOf(const QString& fileName) const
{
    if (folder_.isEmpty())
        return fileName;
    return QDir(folder_).filePath(fileName);
}
