// The entry of the text reader: geometry text to records. A parse keeps
// all its state in the call, so parses of different threads run in
// parallel; only the message of the most recent parse is process-wide.
// Every parse replaces that message: empty unless it had a syntax error.
#pragma once

#include <cstdint>

#include "records/record_layout.h"

namespace spatialgeom {

enum class ParseResult {
    kAccepted,
    kSyntaxError,  // the message says where
    kNullText,
    // The record cannot be made: memory exhausted, a size beyond 32 bits,
    // an unpaired surrogate in wide text, or nowhere to store it.
    kNoRecord,
    kBufferTooSmall,  // parseIntoBuffer only
};

// Parses the NUL-terminated narrow (ASCII/UTF-8) text, one geometry or one
// collection, into a new heap record stored in *record. With a null record
// the text is parsed all the same and an accepted text gives kNoRecord.
// Bytes that form no token are written to standard output. Uses the
// calling thread's scratch memory (queries/call_scratch.h), so small texts
// allocate only their record. O(n) in the size of the text.
ParseResult parseNewRecord(const char* text, Byte** record);

// Parses the NUL-terminated UTF-16 text and stores the size of its record
// in *size (not null).
ParseResult parseRecordSize(const char16_t* text, std::uint32_t* size);

// Parses the NUL-terminated UTF-16 text and writes its record at buffer
// (any alignment; not null) when it fits in capacity bytes, else gives
// kBufferTooSmall with the buffer untouched.
ParseResult parseIntoBuffer(const char16_t* text, Byte* buffer, std::uint32_t capacity);

// The message of the most recent parse in any thread: "parse error, at or
// near \"TOKEN\"\n" (at most 127 characters), or empty. Written under a
// lock, read without it: a caller parsing from several threads serialises
// its own parse and read.
const char* lastParseMessage();

}  // namespace spatialgeom
