#include "tools/number_text.h"

#include <charconv>

namespace spatialgeom::tool {

std::string numberText(double value, int significantDigits) {
    char text[64];
    char* const end = text + sizeof text;
    const auto result = significantDigits > 0
                            ? std::to_chars(text, end, value, std::chars_format::general, significantDigits)
                            : std::to_chars(text, end, value);
    return std::string(text, result.ptr);
}

}  // namespace spatialgeom::tool
