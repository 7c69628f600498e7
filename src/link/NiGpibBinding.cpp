#include "link/NiGpibBinding.h"

void NiGpibBinding::setLibraryFolder(const QString& folder)
{
    if (folder == library_.folder())
        return;
    library_.release();
    entry_ = EntryPoints{};
    library_.setFolder(folder);
}

bool NiGpibBinding::bind()
{
    if (library_.isLoaded())
        return true;
    QStringList files;
    for (const char* file : NiGpibApi::libraryFiles)
        files << QLatin1String(file);
    if (library_.load(files)) {
        threadIbsta_ = library_.function<NiGpibApi::ThreadIbsta>("ThreadIbsta");
        threadIberr_ = library_.function<NiGpibApi::ThreadIberr>("ThreadIberr");
        threadIbcntl_ = library_.function<NiGpibApi::ThreadIbcntl>("ThreadIbcntl");
        if (threadIbsta_ && threadIberr_ && threadIbcntl_)
            return true;
        library_.release();
    }
    entry_ = EntryPoints{};
    setUnavailable();
    return false;
}

template <typename Function> bool NiGpibBinding::lookUp(Function& cache, const char* name)
{
    if (!bind())
        return false;
    if (!cache)
        cache = library_.function<Function>(name);
    if (!cache) {
        setUnavailable();
        return false;
    }
    return true;
}

void NiGpibBinding::setUnavailable()
{
    ibsta = NiGpibApi::errorBit;
    iberr = 0;
    ibcnt = ibcntl = library_.lastLoadError();
}

void NiGpibBinding::copyStatus()
{
    ibsta = threadIbsta_();
    iberr = threadIberr_();
    ibcnt = ibcntl = static_cast<int>(threadIbcntl_());
}

int NiGpibBinding::ibdev(int board, int primaryAddress, int secondaryAddress, int timeout, int sendEoi,
                         int endOfString)
{
    if (!lookUp(entry_.ibdev, "ibdev"))
        return -1;
    const int descriptor =
        entry_.ibdev(board, primaryAddress, secondaryAddress, timeout, sendEoi, endOfString);
    copyStatus();
    return descriptor;
}

int NiGpibBinding::ibclr(int descriptor)
{
    if (!lookUp(entry_.ibclr, "ibclr"))
        return ibsta;
    entry_.ibclr(descriptor);
    copyStatus();
    return ibsta;
}

int NiGpibBinding::ibwrt(int descriptor, const void* buffer, long count)
{
    if (!lookUp(entry_.ibwrt, "ibwrt"))
        return ibsta;
    entry_.ibwrt(descriptor, buffer, count);
    copyStatus();
    return ibsta;
}

int NiGpibBinding::ibrd(int descriptor, void* buffer, long count)
{
    if (!lookUp(entry_.ibrd, "ibrd"))
        return ibsta;
    entry_.ibrd(descriptor, buffer, count);
    copyStatus();
    return ibsta;
}

int NiGpibBinding::ibstop(int descriptor)
{
    if (!lookUp(entry_.ibstop, "ibstop"))
        return ibsta;
    entry_.ibstop(descriptor);
    copyStatus();
    return ibsta;
}

int NiGpibBinding::ibonl(int descriptor, int online)
{
    if (!lookUp(entry_.ibonl, "ibonl"))
        return ibsta;
    entry_.ibonl(descriptor, online);
    copyStatus();
    return ibsta;
}
