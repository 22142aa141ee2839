#include "tools/number_format.h"

#include <charconv>

namespace spatialgeom::tool {

std::string formatNumber(double value, int significantDigits) {
    char text[64];
    char* const end = text + sizeof text;
    const auto result = significantDigits > 0
                            ? std::to_chars(text, end, value, std::chars_format::general, significantDigits)
                            : std::to_chars(text, end, value);
    return std::string(text, result.ptr);
}

}  // namespace spatialgeom::tool
