#include "record_parsing.h"

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <shared_mutex>

#include "spatialgeom/parse.h"
#include "spatialgeom/types.h"
#include "spatialgeom/wkb.h"

namespace spatialgeom::python {
namespace {

std::shared_mutex& messageLock() {
    static std::shared_mutex lock;
    return lock;
}

// The byte at offset, shown as itself when printable.
std::string unexpectedByte(const char* text, std::uint64_t offset) {
    const auto byte = static_cast<unsigned char>(text[offset]);
    char shown[64];
    if (byte >= 0x20 && byte < 0x7f) {
        std::snprintf(shown, sizeof shown, "'%c'", byte);
    } else {
        std::snprintf(shown, sizeof shown, "byte 0x%02x", byte);
    }
    return std::string("unexpected character ") + shown + " at column " + std::to_string(offset + 1);
}

std::string syntaxMessage(const char* text) {
    std::unique_lock lock(messageLock());
    void* record = nullptr;
    if (spatialParse_string(text, &record) == 0) {  // cannot happen: the same text was refused
        spatialWKB_destroyGeom(&record);
        return "parse error";
    }
    std::string message = spatialParse_errorString();
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    return message.empty() ? "parse error" : message;
}

}  // namespace

ReadOutcome parseWkt(const char* text, std::size_t length) {
    ReadOutcome outcome;
    std::uint64_t offset = 0;
    if (spatialParse_findUnmatchedByte(text, length, &offset) == 1) {
        outcome.error = unexpectedByte(text, offset);
        return outcome;
    }
    std::int32_t status;
    {
        std::shared_lock lock(messageLock());
        status = spatialParse_string(text, outcome.record.out());
    }
    if (status == 0) return outcome;
    outcome.record.release();  // untouched by a refusal
    if (status == SPATIAL_PARSE_SYNTAX_ERROR) {
        outcome.error = syntaxMessage(text);
    } else {
        outcome.error = "the record cannot be made (memory exhausted, or a size beyond 32 bits)";
    }
    return outcome;
}

ReadOutcome readWkb(const void* bytes, std::size_t length) {
    ReadOutcome outcome;
    if (length > UINT32_MAX) {
        outcome.error = "WKB over 4294967295 bytes";
    } else if (spatialWKB_fromOgcWkb(bytes, static_cast<std::uint32_t>(length), outcome.record.out()) !=
               SPATIAL_SUCCESS) {
        outcome.record.release();  // untouched by a refusal
        outcome.error =
            "invalid WKB (truncated or extra bytes, an unknown type code or byte order, m coordinates, a member of "
            "the wrong kind, a nested collection, an empty point, line, ring or polygon), or memory exhausted";
    }
    return outcome;
}

}  // namespace spatialgeom::python
