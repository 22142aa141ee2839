#include "tools/wkt_vocabulary.h"

#include <cstdio>

#include "spatialgeom/parse.h"

namespace spatialgeom::tool {

std::optional<std::size_t> firstUnexpectedCharacter(std::string_view text) {
    std::uint64_t offset = 0;
    if (spatialParse_findUnmatchedByte(text.data(), text.size(), &offset) != 1) return std::nullopt;
    return static_cast<std::size_t>(offset);
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
