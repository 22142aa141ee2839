// The text-reading exports. A parse keeps all its state in the call, so
// parses of different threads run in parallel; the parse lock guards only
// the process-wide message of the most recent parse.
#include <atomic>
#include <new>
#include <optional>
#include <string>

#include "library/parse_lock.h"
#include "records/record_memory.h"
#include "spatialgeom/parse.h"
#include "text/utf16_to_utf8.h"
#include "text/wkt_parser.h"

namespace spatialgeom {
namespace {

// The message of the most recent parse in any thread: written under the
// parse lock, read without it (a host parsing from several threads
// serialises its own parse and read). gMessageEmpty lets successful parses
// skip the lock while the message is already empty: a success racing a
// failure is then ordered before it, as it could have been anyway.
ParseMessage gLastMessage{};
std::atomic<bool> gMessageEmpty{true};

void publishMessage(const ParseMessage& message) {
    const bool empty = message[0] == '\0';
    if (empty && gMessageEmpty.load(std::memory_order_acquire)) return;
    std::lock_guard<std::mutex> guard(parseLock());
    gLastMessage = message;
    gMessageEmpty.store(empty, std::memory_order_release);
}

// The calling thread's parse arrays, lent to one parse and emptied when it
// returns: small texts parse without allocating them again, and no block
// above kKeptBytes outlives its parse.
class ScratchLoan {
public:
    ScratchLoan() : parsed(threadScratch()) {}
    ~ScratchLoan() { parsed.clear(kKeptBytes); }
    ScratchLoan(const ScratchLoan&) = delete;
    ScratchLoan& operator=(const ScratchLoan&) = delete;

    ParsedText& parsed;

private:
    static constexpr std::size_t kKeptBytes = 1 << 20;
    static ParsedText& threadScratch() {
        thread_local ParsedText scratch;
        return scratch;
    }
};

// Parses a NUL-terminated narrow text into *parsed and publishes the
// parse's message (empty unless a syntax error). Results: 0, a syntax error,
// -1 for a null text, SPATIAL_FAILURE when memory runs out.
int32_t parseNarrowText(const char* text, ParsedText* parsed) {
    ParseMessage message{};
    int32_t result = SPATIAL_PARSE_NULL_TEXT;
    if (text != nullptr) {
        try {
            result = parseWkt(text, parsed, &message);
        } catch (const std::bad_alloc&) {
            result = static_cast<int32_t>(SPATIAL_FAILURE);
        }
    }
    publishMessage(message);
    return result;
}

// parseNarrowText for wide text. An unpaired surrogate, or memory running
// out while converting, gives SPATIAL_FAILURE with nothing parsed.
int32_t parseWideText(const SpatialWChar* text, ParsedText* parsed) {
    if (text == nullptr) return parseNarrowText(nullptr, parsed);
    std::string narrow;
    try {
        if (!utf16ToUtf8(text, &narrow)) return static_cast<int32_t>(SPATIAL_FAILURE);
    } catch (const std::bad_alloc&) {
        return static_cast<int32_t>(SPATIAL_FAILURE);
    }
    return parseNarrowText(narrow.c_str(), parsed);
}

// The record size of an accepted text, or nothing when it does not fit in
// the 32-bit totalSize.
std::optional<uint32_t> recordSize(const ParsedText& parsed) {
    const uint64_t size = parsed.recordSize();
    if (!fitsRecordSize(size)) return std::nullopt;
    return static_cast<uint32_t>(size);
}

}  // namespace
}  // namespace spatialgeom

using spatialgeom::ParsedText;

extern "C" {

SPATIALGEOM_API int32_t spatialParse_string(const char* text, void** outGeom) {
    spatialgeom::ScratchLoan loan;
    ParsedText& parsed = loan.parsed;
    if (const int32_t result = spatialgeom::parseNarrowText(text, &parsed); result != 0) return result;
    const std::optional<uint32_t> size = spatialgeom::recordSize(parsed);
    if (outGeom == nullptr || !size) return static_cast<int32_t>(SPATIAL_FAILURE);
    spatialgeom::Byte* record = spatialgeom::allocateRecord(*size);
    if (record == nullptr) return static_cast<int32_t>(SPATIAL_FAILURE);
    parsed.writeRecord(record);
    *outGeom = record;
    return 0;
}

SPATIALGEOM_API const char* spatialParse_errorString(void) { return spatialgeom::gLastMessage.data(); }

SPATIALGEOM_API int32_t spatialParse_initialize(void) { return 0; }

SPATIALGEOM_API int32_t spatialParse_uninitialize(void) { return 0; }

SPATIALGEOM_API uint32_t spatialWKB_convertTextToBinary(const SpatialWChar* text, void* buffer,
                                                        uint32_t capacityBytes) {
    if (text != nullptr && buffer == nullptr) return SPATIAL_FAILURE;
    ParsedText parsed;
    if (const int32_t result = spatialgeom::parseWideText(text, &parsed); result != 0)
        return static_cast<uint32_t>(result);
    const std::optional<uint32_t> size = spatialgeom::recordSize(parsed);
    if (!size) return SPATIAL_FAILURE;
    if (*size > capacityBytes) return SPATIAL_BUFFER_TOO_SMALL;
    parsed.writeRecord(static_cast<spatialgeom::Byte*>(buffer));
    return SPATIAL_SUCCESS;
}

SPATIALGEOM_API uint32_t spatialWKB_getSizeFromTextGeom(const SpatialWChar* text, uint32_t* size) {
    if (text != nullptr && size == nullptr) return SPATIAL_FAILURE;
    ParsedText parsed;
    if (const int32_t result = spatialgeom::parseWideText(text, &parsed); result != 0)
        return static_cast<uint32_t>(result);
    const std::optional<uint32_t> recordSize = spatialgeom::recordSize(parsed);
    if (!recordSize) return SPATIAL_FAILURE;
    *size = *recordSize;
    return SPATIAL_SUCCESS;
}

}  // extern "C"
