#include "tools/wkt_vocabulary.h"

#include <array>
#include <cstdio>

namespace spatialgeom::tool {
namespace {

// Each keyword in its two spellings.
constexpr std::array<std::string_view, 7> kUpperKeywords = {
    "POINT", "LINESTRING", "POLYGON", "MULTIPOINT", "MULTILINESTRING", "MULTIPOLYGON", "GEOMETRYCOLLECTION"};
constexpr std::array<std::string_view, 7> kLowerKeywords = {
    "point", "linestring", "polygon", "multipoint", "multilinestring", "multipolygon", "geometrycollection"};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t digitsFrom(std::string_view text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && isDigit(text[end])) ++end;
    return end - at;
}

// The longest keyword text starts with (0 for none).
std::size_t keywordLength(std::string_view text) {
    std::size_t longest = 0;
    for (std::size_t k = 0; k < kUpperKeywords.size(); ++k) {
        const std::size_t length = kUpperKeywords[k].size();
        if (length > longest && (text.starts_with(kUpperKeywords[k]) || text.starts_with(kLowerKeywords[k]))) {
            longest = length;
        }
    }
    return longest;
}

// Number: "-"*, digits, optionally "." digits*, optionally [eE] sign digits.
std::size_t numberLength(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && text[at] == '-') ++at;
    const std::size_t integerDigits = digitsFrom(text, at);
    if (integerDigits == 0) return 0;
    at += integerDigits;
    if (at < text.size() && text[at] == '.') at += 1 + digitsFrom(text, at + 1);
    const bool exponentMark = at + 2 < text.size() && (text[at] == 'e' || text[at] == 'E') &&
                              (text[at + 1] == '+' || text[at + 1] == '-');
    if (exponentMark) {
        const std::size_t exponentDigits = digitsFrom(text, at + 2);
        if (exponentDigits > 0) at += 2 + exponentDigits;
    }
    return at;
}

std::size_t tokenLength(std::string_view text) {
    const char first = text.front();
    switch (first) {
        case '(': case ')': case ',': case ' ': case '\t': case '\n': return 1;
        default: break;
    }
    if (isDigit(first) || first == '-') return numberLength(text);
    return keywordLength(text);
}

}  // namespace

std::optional<std::size_t> firstUnexpectedCharacter(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t length = tokenLength(text.substr(at));
        if (length == 0) return at;
        at += length;
    }
    return std::nullopt;
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
