#include "tools/wkt_vocabulary.h"

#include <cstdio>

#include "text/wkt_scanner.h"

namespace spatialgeom::tool {
namespace {

// Keeps the offset of the first unmatched byte the scanner reports.
void rememberFirst(void* context, std::size_t offset, std::string_view) {
    auto* first = static_cast<std::optional<std::size_t>*>(context);
    if (!*first) *first = offset;
}

}  // namespace

std::optional<std::size_t> firstUnexpectedCharacter(std::string_view text) {
    std::optional<std::size_t> first;
    WktScanner scanner(text, rememberFirst, &first);
    while (!first && scanner.next().kind != TokenKind::kEnd) continue;
    return first;
}

std::string describeUnexpectedCharacter(std::string_view text, std::size_t offset) {
    const auto byte = static_cast<unsigned char>(text[offset]);
    char shown[8];
    if (byte >= 0x20 && byte < 0x7f) {
        std::snprintf(shown, sizeof shown, "'%c'", byte);
    } else {
        std::snprintf(shown, sizeof shown, "\\x%02X", byte);
    }
    return "unexpected character " + std::string(shown) + " at column " + std::to_string(offset + 1);
}

}  // namespace spatialgeom::tool
