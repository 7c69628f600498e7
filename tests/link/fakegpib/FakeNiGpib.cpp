// Stand-in for the NI-488.2 library (libgpib.so.0). Values read: "descriptor" (what ibdev hands
// out, 7), "ibcntl" (forces the count a read reports). ibstop and ibonl on a negative descriptor
// fail with EDVR. A reply arrives followed by LF; a read
// with nothing waiting times out (EABO); a scripted read failure still delivers what was waiting.

#include "FakeGpibBoard.h"
#include "link/GpibEntryPoints.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

using namespace fakegpib;

namespace {

constexpr int ERR = 0x8000;
constexpr int TIMO = 0x4000;
constexpr int END = 0x2000;
constexpr int CMPL = 0x0100;
constexpr int EABO = 6;

int status = 0;
int error = 0;
long count = 0;

std::string args(std::initializer_list<long> values)
{
    std::string text;
    for (long value : values) {
        if (!text.empty())
            text += ',';
        text += std::to_string(value);
    }
    return text;
}

constexpr int EDVR = 0;

// A call on a descriptor ibdev never handed out fails as the library's does (EDVR).
bool invalidDescriptor(int descriptor)
{
    if (descriptor >= 0)
        return false;
    status = ERR;
    error = EDVR;
    count = 0;
    return true;
}

// Applies a scripted failure of the function; true when it fails.
bool scriptedFailure(const char* function)
{
    int code = 0;
    if (!takeFailure(function, code))
        return false;
    status = ERR;
    error = code;
    count = 0;
    return true;
}

void succeeded(long transferred = 0)
{
    status = CMPL;
    count = transferred;
}

} // namespace

FAKEGPIB_EXPORT int ibdev(int board, int primaryAddress, int secondaryAddress, int timeout, int sendEoi,
                          int endOfString)
{
    record("ibdev(" + args({board, primaryAddress, secondaryAddress, timeout, sendEoi, endOfString}) + ")");
    if (scriptedFailure("ibdev"))
        return -1;
    succeeded();
    return static_cast<int>(value("descriptor", 7));
}

FAKEGPIB_EXPORT int ibclr(int descriptor)
{
    record("ibclr(" + args({descriptor}) + ")");
    if (!scriptedFailure("ibclr"))
        succeeded();
    return status;
}

FAKEGPIB_EXPORT int ibwrt(int descriptor, const void* buffer, long length)
{
    record("ibwrt(" + args({descriptor}) + "," + quote(static_cast<const char*>(buffer), length) + "," +
           args({length}) + ")");
    if (scriptedFailure("ibwrt"))
        return status;
    commandWritten(static_cast<const char*>(buffer), length);
    succeeded(length);
    return status;
}

FAKEGPIB_EXPORT int ibrd(int descriptor, void* buffer, long length)
{
    record("ibrd(" + args({descriptor, length}) + ")");
    std::string reply;
    if (scriptedFailure("ibrd")) {
        // What arrived before the failure is still in the buffer.
        long copied = 0;
        if (takeReply("\n", reply)) {
            copied = std::min<long>(length, static_cast<long>(reply.size()));
            std::memcpy(buffer, reply.data(), static_cast<size_t>(copied));
        }
        count = value("ibcntl", copied);
        return status;
    }
    if (!takeReply("\n", reply)) {
        status = ERR | TIMO;
        error = EABO;
        count = 0;
        return status;
    }
    const long copied = std::min<long>(length, static_cast<long>(reply.size()));
    std::memcpy(buffer, reply.data(), static_cast<size_t>(copied));
    succeeded(value("ibcntl", copied));
    status |= END;
    return status;
}

FAKEGPIB_EXPORT int ibstop(int descriptor)
{
    record("ibstop(" + args({descriptor}) + ")");
    if (!invalidDescriptor(descriptor) && !scriptedFailure("ibstop"))
        succeeded();
    return status;
}

FAKEGPIB_EXPORT int ibonl(int descriptor, int online)
{
    record("ibonl(" + args({descriptor, online}) + ")");
    if (!invalidDescriptor(descriptor) && !scriptedFailure("ibonl"))
        succeeded();
    return status;
}

FAKEGPIB_EXPORT int ThreadIbsta(void)
{
    return status;
}

FAKEGPIB_EXPORT int ThreadIberr(void)
{
    return error;
}

FAKEGPIB_EXPORT long ThreadIbcntl(void)
{
    return count;
}

static_assert(std::is_same_v<decltype(&ibdev), NiGpibApi::Ibdev>);
static_assert(std::is_same_v<decltype(&ibclr), NiGpibApi::Ibclr>);
static_assert(std::is_same_v<decltype(&ibwrt), NiGpibApi::Ibwrt>);
static_assert(std::is_same_v<decltype(&ibrd), NiGpibApi::Ibrd>);
static_assert(std::is_same_v<decltype(&ibstop), NiGpibApi::Ibstop>);
static_assert(std::is_same_v<decltype(&ibonl), NiGpibApi::Ibonl>);
static_assert(std::is_same_v<decltype(&ThreadIbsta), NiGpibApi::ThreadIbsta>);
static_assert(std::is_same_v<decltype(&ThreadIberr), NiGpibApi::ThreadIberr>);
static_assert(std::is_same_v<decltype(&ThreadIbcntl), NiGpibApi::ThreadIbcntl>);
