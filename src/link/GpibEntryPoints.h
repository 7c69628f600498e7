#pragma once

// The entry points of the GPIB board libraries as the adapters call them, declared from the calls
// and arguments the adapters make. The stand-in libraries of the tests check their exports against
// these types, so a mismatch is a compile error rather than a corrupted stack.

#include <cstdint>

namespace NiGpibApi {
// NI-488.2 as linux-gpib and NI-488.2 for Linux export it.
constexpr const char* libraryFiles[] = {"libgpib.so.0", "libni4882.so"};
using Ibdev = int (*)(int board, int primaryAddress, int secondaryAddress, int timeout, int sendEoi,
                      int endOfString);
using Ibclr = int (*)(int descriptor);
using Ibwrt = int (*)(int descriptor, const void* buffer, long count);
using Ibrd = int (*)(int descriptor, void* buffer, long count);
using Ibstop = int (*)(int descriptor);
using Ibonl = int (*)(int descriptor, int online);
using ThreadIbsta = int (*)();
using ThreadIberr = int (*)();
using ThreadIbcntl = long (*)();
constexpr int errorBit = 0x8000;
constexpr int timeout10s = 13;
} // namespace NiGpibApi

namespace InterfaceGpibApi {
constexpr const char* libraryFile = "libGPC4304.so";
using InitBoard = int (*)(int board, int flags);
using SetConfig = int (*)(int board, const char* config);
using SetIfc = int (*)(int board, int time);
using SetRen = int (*)(int board);
using ExecDevClear = int (*)(int board);
using FinishBoard = int (*)(int board);
// addressList: primary addresses ended by -1; length in bytes; length is in/out for receiving.
using MastSendData = int (*)(int board, int* addressList, std::uint32_t length, const char* data, int flags);
using MastRecvData = int (*)(int board, int* addressList, std::uint32_t* length, char* data, int flags);
} // namespace InterfaceGpibApi

namespace ContecGpibApi {
constexpr const char* libraryFile = "libApiGpib1.so";
// Every call returns a code whose low byte is 0 on success.
using Exit = std::uint32_t (*)();
using Ini = std::uint32_t (*)();
using Boardsts = std::uint32_t (*)(std::uint32_t item, std::uint32_t* value);
using Ifc = std::uint32_t (*)(std::uint32_t time);
using Ren = std::uint32_t (*)();
using Timeout = std::uint32_t (*)(std::uint32_t milliseconds);
using Delim = std::uint32_t (*)(std::uint32_t delimiter, std::uint32_t eoi);
// command: {count, talker, listener...}; length in bytes, in/out for listening.
using Talk = std::uint32_t (*)(std::uint32_t* command, std::uint32_t length, const char* data);
using Listen = std::uint32_t (*)(std::uint32_t* command, std::uint32_t* length, char* data);
using Comand = std::uint32_t (*)(std::uint32_t* command);
using Resetren = std::uint32_t (*)();
constexpr std::uint32_t boardStatusOwnAddress = 8;
constexpr std::uint32_t boardStatusState = 10;
} // namespace ContecGpibApi

namespace RatocGpibApi {
// REX-5052 libraries by operating-system generation, and the REX-USB220 library.
constexpr const char* library2000 = "libGPLIB2K.so";
constexpr const char* library98 = "libGPLIB32.so";
constexpr const char* libraryNt4 = "lib5052LIB.so";
constexpr const char* libraryUsb = "libU2GPLIB.so";
// Every call returns 0 on success.
using Init = int (*)(int board, std::uint16_t ioBase, std::uint16_t irq);
using CardInfo = int (*)(std::uint16_t* ioBase, std::uint16_t* irq);
using Cli = int (*)();
using Ren = int (*)();
using Clr = int (*)(const char* address);
using Delm = int (*)(const char* mode, int code);
using Wrt = int (*)(const char* address, const char* data);
using Red = int (*)(const char* address, char* buffer, int length);
} // namespace RatocGpibApi
