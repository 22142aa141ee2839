#include "tools/wkt_vocabulary.h"

#include <array>
#include <cctype>
#include <cstdio>

namespace spatialgeom::tool {
namespace {

constexpr std::array<std::string_view, 7> kKeywords = {"POINT", "LINESTRING", "POLYGON", "MULTIPOINT",
                                                       "MULTILINESTRING", "MULTIPOLYGON", "GEOMETRYCOLLECTION"};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t digitsFrom(std::string_view text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && isDigit(text[end])) ++end;
    return end - at;
}

// Whether text starts with the keyword entirely upper or entirely lower case.
bool startsWithKeyword(std::string_view text, std::string_view keyword) {
    if (text.size() < keyword.size()) return false;
    bool upper = true;
    bool lower = true;
    for (std::size_t i = 0; i < keyword.size(); ++i) {
        upper = upper && text[i] == keyword[i];
        lower = lower && text[i] == static_cast<char>(std::tolower(static_cast<unsigned char>(keyword[i])));
    }
    return upper || lower;
}

std::size_t keywordLength(std::string_view text) {
    std::size_t longest = 0;
    for (std::string_view keyword : kKeywords) {
        if (keyword.size() > longest && startsWithKeyword(text, keyword)) longest = keyword.size();
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
    switch (text.front()) {
        case '(': case ')': case ',': case ' ': case '\t': case '\n': return 1;
        default: break;
    }
    const std::size_t keyword = keywordLength(text);
    return keyword > 0 ? keyword : numberLength(text);
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
