// Stand-in for the Interface board library (libGPC4304.so). Replies lose their delimiter, as the
// board's library does; a read with nothing waiting returns the time-out code -14.

#include "FakeGpibBoard.h"
#include "link/GpibEntryPoints.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

using namespace fakegpib;

namespace {

constexpr int timeoutCode = -14;

std::string addressList(const int* list)
{
    std::string text = "{";
    for (int i = 0; list && i < 16; ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(list[i]);
        if (list[i] == -1)
            break;
    }
    return text + "}";
}

int result(const char* function)
{
    int code = 0;
    return takeFailure(function, code) ? code : 0;
}

} // namespace

FAKEGPIB_EXPORT int PciGpibExInitBoard(int board, int flags)
{
    record("PciGpibExInitBoard(" + std::to_string(board) + "," + std::to_string(flags) + ")");
    return result("PciGpibExInitBoard");
}

FAKEGPIB_EXPORT int PciGpibExSetConfig(int board, const char* config)
{
    record("PciGpibExSetConfig(" + std::to_string(board) + "," + quote(config) + ")");
    return result("PciGpibExSetConfig");
}

FAKEGPIB_EXPORT int PciGpibExSetIfc(int board, int time)
{
    record("PciGpibExSetIfc(" + std::to_string(board) + "," + std::to_string(time) + ")");
    return result("PciGpibExSetIfc");
}

FAKEGPIB_EXPORT int PciGpibExSetRen(int board)
{
    record("PciGpibExSetRen(" + std::to_string(board) + ")");
    return result("PciGpibExSetRen");
}

FAKEGPIB_EXPORT int PciGpibExExecDevClear(int board)
{
    record("PciGpibExExecDevClear(" + std::to_string(board) + ")");
    return result("PciGpibExExecDevClear");
}

FAKEGPIB_EXPORT int PciGpibExFinishBoard(int board)
{
    record("PciGpibExFinishBoard(" + std::to_string(board) + ")");
    return result("PciGpibExFinishBoard");
}

FAKEGPIB_EXPORT int PciGpibExMastSendData(int board, int* addresses, std::uint32_t length, const char* data,
                                          int flags)
{
    record("PciGpibExMastSendData(" + std::to_string(board) + "," + addressList(addresses) + "," +
           std::to_string(length) + "," + quote(data, length) + "," + std::to_string(flags) + ")");
    const int code = result("PciGpibExMastSendData");
    if (code == 0)
        commandWritten(data, length);
    return code;
}

FAKEGPIB_EXPORT int PciGpibExMastRecvData(int board, int* addresses, std::uint32_t* length, char* data,
                                          int flags)
{
    record("PciGpibExMastRecvData(" + std::to_string(board) + "," + addressList(addresses) + "," +
           std::to_string(*length) + "," + std::to_string(flags) + ")");
    const int code = result("PciGpibExMastRecvData");
    if (code != 0)
        return code;
    std::string reply;
    if (!takeReply("", reply))
        return timeoutCode;
    const std::uint32_t copied = std::min<std::uint32_t>(*length, static_cast<std::uint32_t>(reply.size()));
    std::memcpy(data, reply.data(), copied);
    *length = copied;
    return 0;
}

static_assert(std::is_same_v<decltype(&PciGpibExInitBoard), InterfaceGpibApi::InitBoard>);
static_assert(std::is_same_v<decltype(&PciGpibExSetConfig), InterfaceGpibApi::SetConfig>);
static_assert(std::is_same_v<decltype(&PciGpibExSetIfc), InterfaceGpibApi::SetIfc>);
static_assert(std::is_same_v<decltype(&PciGpibExSetRen), InterfaceGpibApi::SetRen>);
static_assert(std::is_same_v<decltype(&PciGpibExExecDevClear), InterfaceGpibApi::ExecDevClear>);
static_assert(std::is_same_v<decltype(&PciGpibExFinishBoard), InterfaceGpibApi::FinishBoard>);
static_assert(std::is_same_v<decltype(&PciGpibExMastSendData), InterfaceGpibApi::MastSendData>);
static_assert(std::is_same_v<decltype(&PciGpibExMastRecvData), InterfaceGpibApi::MastRecvData>);
