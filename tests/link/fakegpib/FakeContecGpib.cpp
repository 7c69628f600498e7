// Stand-in for the Contec board library (libApiGpib1.so). Values read: "board_status" (what
// GpBoardsts(10) reports, 0), "own_address" (GpBoardsts(8), 0), "listen_length" (forces the
// received length). A reply arrives followed by CR LF and its length excludes them; a read with
// nothing waiting returns the time-out code 254.

#include "FakeGpibBoard.h"
#include "link/GpibEntryPoints.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

using namespace fakegpib;

namespace {

constexpr std::uint32_t timeoutCode = 254;

std::uint32_t result(const char* function)
{
    int code = 0;
    return takeFailure(function, code) ? static_cast<std::uint32_t>(code) : 0;
}

std::string command(const std::uint32_t* list)
{
    std::string text = "{";
    const std::uint32_t count = list ? std::min<std::uint32_t>(list[0], 15) : 0;
    for (std::uint32_t i = 0; list && i <= count; ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(list[i]);
    }
    return text + "}";
}

} // namespace

FAKEGPIB_EXPORT std::uint32_t GpExit()
{
    record("GpExit()");
    return result("GpExit");
}

FAKEGPIB_EXPORT std::uint32_t GpIni()
{
    record("GpIni()");
    return result("GpIni");
}

FAKEGPIB_EXPORT std::uint32_t GpBoardsts(std::uint32_t item, std::uint32_t* value)
{
    record("GpBoardsts(" + std::to_string(item) + ")");
    if (item == ContecGpibApi::boardStatusState)
        *value = static_cast<std::uint32_t>(fakegpib::value("board_status", 0));
    else if (item == ContecGpibApi::boardStatusOwnAddress)
        *value = static_cast<std::uint32_t>(fakegpib::value("own_address", 0));
    return result("GpBoardsts");
}

FAKEGPIB_EXPORT std::uint32_t GpIfc(std::uint32_t time)
{
    record("GpIfc(" + std::to_string(time) + ")");
    return result("GpIfc");
}

FAKEGPIB_EXPORT std::uint32_t GpRen()
{
    record("GpRen()");
    return result("GpRen");
}

FAKEGPIB_EXPORT std::uint32_t GpTimeout(std::uint32_t milliseconds)
{
    record("GpTimeout(" + std::to_string(milliseconds) + ")");
    return result("GpTimeout");
}

FAKEGPIB_EXPORT std::uint32_t GpDelim(std::uint32_t delimiter, std::uint32_t eoi)
{
    record("GpDelim(" + std::to_string(delimiter) + "," + std::to_string(eoi) + ")");
    return result("GpDelim");
}

FAKEGPIB_EXPORT std::uint32_t GpTalk(std::uint32_t* list, std::uint32_t length, const char* data)
{
    record("GpTalk(" + command(list) + "," + std::to_string(length) + "," + quote(data, length) + ")");
    const std::uint32_t code = result("GpTalk");
    if (code == 0)
        commandWritten(data, length);
    return code;
}

FAKEGPIB_EXPORT std::uint32_t GpListen(std::uint32_t* list, std::uint32_t* length, char* data)
{
    record("GpListen(" + command(list) + "," + std::to_string(*length) + ")");
    // Results below 3 are warnings that still deliver the data.
    const std::uint32_t code = result("GpListen");
    if (code >= 3)
        return code;
    std::string reply;
    if (!takeReply("\r\n", reply))
        return timeoutCode;
    const bool raw = board().values.count("listen_length") != 0;
    const std::uint32_t copied = std::min<std::uint32_t>(*length, static_cast<std::uint32_t>(reply.size()));
    std::memcpy(data, reply.data(), copied);
    std::uint32_t received = copied;
    if (!raw && received >= 2 && reply.size() <= *length)
        received -= 2; // the CR LF delimiter is not counted
    *length = raw ? static_cast<std::uint32_t>(value("listen_length", 0)) : received;
    return code;
}

FAKEGPIB_EXPORT std::uint32_t GpComand(std::uint32_t* list)
{
    record("GpComand(" + command(list) + ")");
    return result("GpComand");
}

FAKEGPIB_EXPORT std::uint32_t GpResetren()
{
    record("GpResetren()");
    return result("GpResetren");
}

static_assert(std::is_same_v<decltype(&GpExit), ContecGpibApi::Exit>);
static_assert(std::is_same_v<decltype(&GpIni), ContecGpibApi::Ini>);
static_assert(std::is_same_v<decltype(&GpBoardsts), ContecGpibApi::Boardsts>);
static_assert(std::is_same_v<decltype(&GpIfc), ContecGpibApi::Ifc>);
static_assert(std::is_same_v<decltype(&GpRen), ContecGpibApi::Ren>);
static_assert(std::is_same_v<decltype(&GpTimeout), ContecGpibApi::Timeout>);
static_assert(std::is_same_v<decltype(&GpDelim), ContecGpibApi::Delim>);
static_assert(std::is_same_v<decltype(&GpTalk), ContecGpibApi::Talk>);
static_assert(std::is_same_v<decltype(&GpListen), ContecGpibApi::Listen>);
static_assert(std::is_same_v<decltype(&GpComand), ContecGpibApi::Comand>);
static_assert(std::is_same_v<decltype(&GpResetren), ContecGpibApi::Resetren>);
