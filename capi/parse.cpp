// The C interface of spatialgeom/parse.h: argument checks and status codes
// over the text reader's entry (text/parse_entry.h).
#include <limits>

#include "spatialgeom/parse.h"
#include "text/parse_entry.h"
#include "text/wkt_scanner.h"

namespace spatialgeom {
namespace {

// The results of spatialParse_string.
std::int32_t narrowStatus(ParseResult result) {
    switch (result) {
        case ParseResult::kAccepted: return 0;
        case ParseResult::kSyntaxError: return SPATIAL_PARSE_SYNTAX_ERROR;
        case ParseResult::kNullText: return SPATIAL_PARSE_NULL_TEXT;
        default: return static_cast<std::int32_t>(SPATIAL_FAILURE);
    }
}

// The results of the wide-text conversions: those of spatialParse_string
// as unsigned, and the buffer's refusal.
std::uint32_t wideStatus(ParseResult result) {
    if (result == ParseResult::kBufferTooSmall) return SPATIAL_BUFFER_TOO_SMALL;
    return static_cast<std::uint32_t>(narrowStatus(result));
}

}  // namespace
}  // namespace spatialgeom

using namespace spatialgeom;

extern "C" {

SPATIALGEOM_API int32_t spatialParse_string(const char* text, void** outGeom) {
    // A null outGeom is checked after the parse: the text is parsed and its
    // message published all the same.
    Byte* record = nullptr;
    const ParseResult result = parseNewRecord(text, outGeom != nullptr ? &record : nullptr);
    if (result == ParseResult::kAccepted) *outGeom = record;
    return narrowStatus(result);
}

SPATIALGEOM_API const char* spatialParse_errorString(void) { return lastParseMessage(); }

SPATIALGEOM_API int32_t spatialParse_initialize(void) { return 0; }

SPATIALGEOM_API int32_t spatialParse_uninitialize(void) { return 0; }

SPATIALGEOM_API uint32_t spatialWKB_convertTextToBinary(const SpatialWChar* text, void* buffer,
                                                        uint32_t capacityBytes) {
    if (text != nullptr && buffer == nullptr) return SPATIAL_FAILURE;
    return wideStatus(parseIntoBuffer(text, static_cast<Byte*>(buffer), capacityBytes));
}

SPATIALGEOM_API uint32_t spatialWKB_getSizeFromTextGeom(const SpatialWChar* text, uint32_t* size) {
    if (text != nullptr && size == nullptr) return SPATIAL_FAILURE;
    return wideStatus(parseRecordSize(text, size));
}

SPATIALGEOM_API int32_t spatialParse_findUnmatchedByte(const char* text, uint64_t length, uint64_t* offset) {
    if ((text == nullptr && length != 0) || offset == nullptr) return -1;
    if constexpr (sizeof(std::size_t) < sizeof(uint64_t)) {
        if (length > std::numeric_limits<std::size_t>::max()) return -1;  // longer than memory
    }
    const std::optional<std::size_t> found = firstUnmatchedByte({text, static_cast<std::size_t>(length)});
    if (!found) return 0;
    *offset = *found;
    return 1;
}

}  // extern "C"
