#pragma once

// The control functions every stand-in GPIB library exports besides its vendor's entry points.
// A test loads the library itself (so it stays loaded across the adapter's own load and release),
// looks these up and scripts the board: replies, failures and values, and reads back every call.

#ifdef __cplusplus
extern "C" {
#endif

// Answers one command written to the instrument: the reply without terminator, or null for none.
// The text must stay valid until the next call of the responder.
typedef const char* (*FakeGpibResponder)(const char* command, void* context);

typedef void (*FakeGpibReset)(void);
typedef void (*FakeGpibSetResponder)(FakeGpibResponder responder, void* context);
// The exact bytes the next read delivers, terminator included (overrides the responder's reply).
typedef void (*FakeGpibSetReply)(const char* bytes, int length);
// The next call of the named entry point fails with this code (status error + iberr for NI).
typedef void (*FakeGpibFailNext)(const char* function, int code);
// A named value of the board (see each library for the names it reads).
typedef void (*FakeGpibSetValue)(const char* name, long value);
// Every call since the last reset, one per line: name(arguments) with texts quoted.
typedef const char* (*FakeGpibCalls)(void);

#ifdef __cplusplus
}
#endif
