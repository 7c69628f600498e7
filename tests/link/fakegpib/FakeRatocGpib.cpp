// Stand-in for the Ratoc REX-5052 and REX-USB220 libraries (libGPLIB2K.so, libGPLIB32.so,
// libU2GPLIB.so). Values read: "card_io" and "card_irq" (what gp_cardinfo reports). A reply
// arrives followed by CR LF; a read with nothing waiting fails with 1.

#include "FakeGpibBoard.h"
#include "link/GpibEntryPoints.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

using namespace fakegpib;

namespace {

int result(const char* function)
{
    int code = 0;
    return takeFailure(function, code) ? code : 0;
}

} // namespace

FAKEGPIB_EXPORT int gp_init(int board, std::uint16_t ioBase, std::uint16_t irq)
{
    record("gp_init(" + std::to_string(board) + "," + std::to_string(ioBase) + "," + std::to_string(irq) +
           ")");
    return result("gp_init");
}

FAKEGPIB_EXPORT int gp_cardinfo(std::uint16_t* ioBase, std::uint16_t* irq)
{
    record("gp_cardinfo()");
    const int code = result("gp_cardinfo");
    if (code == 0) {
        *ioBase = static_cast<std::uint16_t>(value("card_io", 0));
        *irq = static_cast<std::uint16_t>(value("card_irq", 0));
    }
    return code;
}

FAKEGPIB_EXPORT int gp_cli()
{
    record("gp_cli()");
    return result("gp_cli");
}

FAKEGPIB_EXPORT int gp_ren()
{
    record("gp_ren()");
    return result("gp_ren");
}

FAKEGPIB_EXPORT int gp_clr(const char* address)
{
    record("gp_clr(" + quote(address) + ")");
    return result("gp_clr");
}

FAKEGPIB_EXPORT int gp_delm(const char* mode, int code)
{
    record("gp_delm(" + quote(mode) + "," + std::to_string(code) + ")");
    return result("gp_delm");
}

FAKEGPIB_EXPORT int gp_wrt(const char* address, const char* data)
{
    record("gp_wrt(" + quote(address) + "," + quote(data) + ")");
    const int code = result("gp_wrt");
    if (code == 0)
        commandWritten(data, static_cast<long>(std::strlen(data)));
    return code;
}

FAKEGPIB_EXPORT int gp_red(const char* address, char* buffer, int length)
{
    record("gp_red(" + quote(address) + "," + std::to_string(length) + ")");
    const int code = result("gp_red");
    if (code != 0)
        return code;
    std::string reply;
    if (!takeReply("\r\n", reply))
        return 1;
    const size_t copied = std::min(static_cast<size_t>(std::max(length, 0)), reply.size());
    std::memcpy(buffer, reply.data(), copied);
    return 0;
}

// Looked up by the adapters, never called.
FAKEGPIB_EXPORT int GetMyCardResource()
{
    record("GetMyCardResource()");
    return 0;
}

FAKEGPIB_EXPORT int gp_tmout(int)
{
    record("gp_tmout()");
    return 0;
}

FAKEGPIB_EXPORT int gp_llo(const char*)
{
    record("gp_llo()");
    return 0;
}

static_assert(std::is_same_v<decltype(&gp_init), RatocGpibApi::Init>);
static_assert(std::is_same_v<decltype(&gp_cardinfo), RatocGpibApi::CardInfo>);
static_assert(std::is_same_v<decltype(&gp_cli), RatocGpibApi::Cli>);
static_assert(std::is_same_v<decltype(&gp_ren), RatocGpibApi::Ren>);
static_assert(std::is_same_v<decltype(&gp_clr), RatocGpibApi::Clr>);
static_assert(std::is_same_v<decltype(&gp_delm), RatocGpibApi::Delm>);
static_assert(std::is_same_v<decltype(&gp_wrt), RatocGpibApi::Wrt>);
static_assert(std::is_same_v<decltype(&gp_red), RatocGpibApi::Red>);
