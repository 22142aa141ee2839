#include "text/parse_entry.h"

#include <atomic>
#include <mutex>
#include <new>
#include <optional>
#include <string>

#include "queries/call_scratch.h"
#include "records/record_memory.h"
#include "text/utf16_to_utf8.h"
#include "text/wkt_parser.h"

namespace spatialgeom {
namespace {

// The parse lock guards the process-wide message of the most recent parse;
// parses keep all their other state in the call, so it is held only while
// a message is published. Constant-initialised: ready before any code of
// the library runs, with no static constructor, and no destruction needed
// when the library is unloaded.
constinit std::mutex gParseLock;

// The message of the most recent parse in any thread: written under the
// parse lock, read without it. gMessageEmpty lets successful parses skip
// the lock while the message is already empty: a success racing a failure
// is then ordered before it, as it could have been anyway.
ParseMessage gLastMessage{};
std::atomic<bool> gMessageEmpty{true};

void publishMessage(const ParseMessage& message) {
    const bool empty = message[0] == '\0';
    if (empty && gMessageEmpty.load(std::memory_order_acquire)) return;
    std::lock_guard<std::mutex> guard(gParseLock);
    if (empty) gLastMessage[0] = '\0';  // the rest of an empty message is never written
    else gLastMessage = message;
    gMessageEmpty.store(empty, std::memory_order_release);
}

// Parses a NUL-terminated narrow text into *parsed and publishes the
// parse's message (empty unless a syntax error).
ParseResult parseNarrowText(const char* text, ParsedText* parsed) {
    ParseMessage message;  // written on failure only: empty until then
    message[0] = '\0';
    ParseResult result = ParseResult::kNullText;
    if (text != nullptr) {
        try {
            result =
                parseWkt(text, parsed, &message) == kParseAccepted ? ParseResult::kAccepted : ParseResult::kSyntaxError;
        } catch (const std::bad_alloc&) {
            result = ParseResult::kNoRecord;
        }
    }
    publishMessage(message);
    return result;
}

// parseNarrowText for wide text. An unpaired surrogate, or memory running
// out while converting, gives kNoRecord with nothing parsed.
ParseResult parseWideText(const char16_t* text, ParsedText* parsed) {
    if (text == nullptr) return parseNarrowText(nullptr, parsed);
    std::string narrow;
    try {
        if (!utf16ToUtf8(text, &narrow)) return ParseResult::kNoRecord;
    } catch (const std::bad_alloc&) {
        return ParseResult::kNoRecord;
    }
    return parseNarrowText(narrow.c_str(), parsed);
}

// The record size of an accepted text, or nothing when it does not fit in
// the 32-bit totalSize.
std::optional<std::uint32_t> parsedRecordSize(const ParsedText& parsed) {
    const std::uint64_t size = parsed.recordSize();
    if (!fitsRecordSize(size)) return std::nullopt;
    return static_cast<std::uint32_t>(size);
}

}  // namespace

ParseResult parseNewRecord(const char* text, Byte** record) {
    // The calling thread's parse arrays: small texts parse without
    // allocating them again.
    const ScratchLoan<ParsedText> loan;
    ParsedText& parsed = loan.object;
    if (const ParseResult result = parseNarrowText(text, &parsed); result != ParseResult::kAccepted) return result;
    const std::optional<std::uint32_t> size = parsedRecordSize(parsed);
    if (record == nullptr || !size) return ParseResult::kNoRecord;
    Byte* made = allocateRecord(*size);
    if (made == nullptr) return ParseResult::kNoRecord;
    parsed.writeRecord(made);
    *record = made;
    return ParseResult::kAccepted;
}

ParseResult parseRecordSize(const char16_t* text, std::uint32_t* size) {
    ParsedText parsed;
    if (const ParseResult result = parseWideText(text, &parsed); result != ParseResult::kAccepted) return result;
    const std::optional<std::uint32_t> recordSize = parsedRecordSize(parsed);
    if (!recordSize) return ParseResult::kNoRecord;
    *size = *recordSize;
    return ParseResult::kAccepted;
}

ParseResult parseIntoBuffer(const char16_t* text, Byte* buffer, std::uint32_t capacity) {
    ParsedText parsed;
    if (const ParseResult result = parseWideText(text, &parsed); result != ParseResult::kAccepted) return result;
    const std::optional<std::uint32_t> size = parsedRecordSize(parsed);
    if (!size) return ParseResult::kNoRecord;
    if (*size > capacity) return ParseResult::kBufferTooSmall;
    parsed.writeRecord(buffer);
    return ParseResult::kAccepted;
}

const char* lastParseMessage() { return gLastMessage.data(); }

}  // namespace spatialgeom
