#include "FakeGpibBoard.h"

#include <cstdio>
#include <cstring>

namespace fakegpib {

Board& board()
{
    static Board state;
    return state;
}

void record(const std::string& call)
{
    board().calls.push_back(call);
}

std::string quote(const char* bytes, long length)
{
    std::string text = "\"";
    for (long i = 0; bytes && i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c == '"' || c == '\\') {
            text += '\\';
            text += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        } else {
            text += static_cast<char>(c);
        }
    }
    return text + "\"";
}

std::string quote(const char* text)
{
    return text ? quote(text, static_cast<long>(std::strlen(text))) : std::string("null");
}

bool takeFailure(const std::string& function, int& code)
{
    auto found = board().failures.find(function);
    if (found == board().failures.end() || found->second.empty())
        return false;
    code = found->second.front();
    found->second.erase(found->second.begin());
    return true;
}

long value(const std::string& name, long fallback)
{
    auto found = board().values.find(name);
    return found == board().values.end() ? fallback : found->second;
}

void commandWritten(const char* bytes, long length)
{
    Board& state = board();
    if (!state.responder)
        return;
    const std::string command(bytes, static_cast<size_t>(length));
    const char* answer = state.responder(command.c_str(), state.responderContext);
    if (answer) {
        state.reply = answer;
        state.hasReply = true;
        state.rawReply = false;
    }
}

bool takeReply(const std::string& terminator, std::string& bytes)
{
    Board& state = board();
    if (!state.hasReply)
        return false;
    bytes = state.rawReply ? state.reply : state.reply + terminator;
    state.hasReply = false;
    state.reply.clear();
    return true;
}

} // namespace fakegpib

using fakegpib::board;

FAKEGPIB_EXPORT void fakegpib_reset(void)
{
    board() = fakegpib::Board{};
}

FAKEGPIB_EXPORT void fakegpib_set_responder(FakeGpibResponder responder, void* context)
{
    board().responder = responder;
    board().responderContext = context;
}

FAKEGPIB_EXPORT void fakegpib_set_reply(const char* bytes, int length)
{
    board().reply.assign(bytes, static_cast<size_t>(length));
    board().hasReply = true;
    board().rawReply = true;
}

FAKEGPIB_EXPORT void fakegpib_fail_next(const char* function, int code)
{
    board().failures[function].push_back(code);
}

FAKEGPIB_EXPORT void fakegpib_set_value(const char* name, long value)
{
    board().values[name] = value;
}

FAKEGPIB_EXPORT const char* fakegpib_calls(void)
{
    std::string& text = board().callText;
    text.clear();
    for (const std::string& call : board().calls) {
        text += call;
        text += '\n';
    }
    return text.c_str();
}
