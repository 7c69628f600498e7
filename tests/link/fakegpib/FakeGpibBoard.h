#pragma once

// The state behind one stand-in GPIB library: the call record, the scripted replies, failures
// and values. Each library links its own copy (hidden symbols), so two loaded libraries never
// share a board.

#include "FakeGpibControl.h"

#include <map>
#include <string>
#include <vector>

#define FAKEGPIB_EXPORT extern "C" __attribute__((visibility("default")))

namespace fakegpib {

struct Board {
    std::vector<std::string> calls;
    std::string callText;
    FakeGpibResponder responder = nullptr;
    void* responderContext = nullptr;
    std::map<std::string, std::vector<int>> failures;
    std::map<std::string, long> values;
    bool hasReply = false;
    bool rawReply = false;
    std::string reply;
};

Board& board();

void record(const std::string& call);
// A quoted text with control bytes escaped (\r, \n, \xNN).
std::string quote(const char* bytes, long length);
std::string quote(const char* text);
// The failure code scripted for the next call of the function, consumed; false when none.
bool takeFailure(const std::string& function, int& code);
long value(const std::string& name, long fallback);
// Hands a written command to the responder and keeps its reply for the next read.
void commandWritten(const char* bytes, long length);
// The bytes the next read delivers: the raw reply as set, or the responder's reply followed by
// the given terminator. False when nothing is waiting. Consumes the reply.
bool takeReply(const std::string& terminator, std::string& bytes);

} // namespace fakegpib
