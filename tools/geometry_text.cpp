#include "tools/geometry_text.h"

#include <new>

#include <algorithm>
#include <vector>

#include "spatialgeom/parse.h"
#include "spatialgeom/text.h"
#include "tools/tool_error.h"
#include "tools/wkt_vocabulary.h"

namespace spatialgeom::tool {
namespace {

// The parser's message without its trailing line feed.
std::string parserMessage(int32_t status) {
    std::string message = spatialParse_errorString();
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    if (message.empty()) message = "cannot build the record (status " + std::to_string(status) + ")";
    return message;
}

// Calls the parser; unexpected characters are refused first. The message
// is fetched only when error is not null.
void parseChecked(std::string_view text, RecordPtr* record, std::string* error) {
    if (const auto offset = firstUnexpectedCharacter(text)) {
        if (error) *error = describeUnexpectedCharacter(text, *offset);
        return;
    }
    void* geometry = nullptr;
    const int32_t status = spatialParse_string(text.data(), &geometry);
    // 32768 is memory or a record beyond 32 bits, which a text of this size
    // cannot make (a record takes at most about four bytes per character).
    if (status == SPATIAL_FAILURE && text.size() < (std::size_t{1} << 29)) throw std::bad_alloc();
    if (status == 0) {
        record->reset(geometry);
    } else if (error) {
        *error = parserMessage(status);
    }
}

// An upper bound on the text of a record of `bytes` bytes: a vertex takes
// 24 bytes and at most three numbers of 8 + precision characters and six
// separators and parentheses; every other 8 bytes at most a keyword, two
// parentheses and a comma.
std::size_t textBound(uint32_t bytes) {
    int32_t precision = spatialWKT_getPrecision();
    if (precision <= 0) precision = 6;
    const std::size_t perVertex = 3 * (8 + static_cast<std::size_t>(precision)) + 6;
    return (bytes / 24 + 1) * perVertex + (bytes / 8 + 1) * 24;
}

}  // namespace

ParsedGeometry parseGeometry(std::string_view text) {
    ParsedGeometry parsed;
    parseChecked(text, &parsed.record, &parsed.error);
    return parsed;
}

RecordPtr parseGeometryQuietly(std::string_view text) {
    RecordPtr record;
    parseChecked(text, &record, nullptr);
    return record;
}

std::string writeGeometry(const void* record) {
    uint32_t bytes = 0;
    if (spatialWKB_getSize(record, &bytes) != SPATIAL_SUCCESS) throw inputError("the record has no size");
    std::vector<SpatialWChar> buffer(std::min<std::size_t>(textBound(bytes), 1u << 30));
    const int32_t length = spatialWKB_convertBinaryToText(record, buffer.data(),
                                                          static_cast<uint32_t>(buffer.size() * sizeof(SpatialWChar)));
    // 32768 is also the writer's refusal: a refused record leaves the buffer empty.
    const bool written = length > 0 && static_cast<std::size_t>(length) < buffer.size() && buffer[0] != 0;
    if (!written) throw inputError("the record cannot be written as text");
    return std::string(buffer.begin(), buffer.begin() + length);
}

}  // namespace spatialgeom::tool
