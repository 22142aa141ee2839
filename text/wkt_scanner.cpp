#include "text/wkt_scanner.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "text/number_token.h"

namespace spatialgeom {
namespace {

struct Keyword {
    std::string_view upper;
    std::string_view lower;
    TokenKind kind;
};

// No keyword is a prefix of another, so at most one of them matches.
constexpr Keyword kKeywords[] = {
    {"POINT", "point", TokenKind::kPoint},
    {"LINESTRING", "linestring", TokenKind::kLineString},
    {"POLYGON", "polygon", TokenKind::kPolygon},
    {"MULTIPOINT", "multipoint", TokenKind::kMultiPoint},
    {"MULTILINESTRING", "multilinestring", TokenKind::kMultiLineString},
    {"MULTIPOLYGON", "multipolygon", TokenKind::kMultiPolygon},
    {"GEOMETRYCOLLECTION", "geometrycollection", TokenKind::kGeometryCollection},
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

std::size_t digitRun(std::string_view text, std::size_t from) {
    std::size_t i = from;
    while (i < text.size() && isDigit(text[i])) ++i;
    return i - from;
}

// Length of the number at the start of text, 0 when there is none.
std::size_t numberLength(std::string_view text) {
    std::size_t i = text.find_first_not_of('-');
    if (i == std::string_view::npos) return 0;
    const std::size_t integerDigits = digitRun(text, i);
    if (integerDigits == 0) return 0;
    i += integerDigits;
    if (i < text.size() && text[i] == '.') i += 1 + digitRun(text, i + 1);
    const bool exponentFollows = i + 2 < text.size() && (text[i] == 'e' || text[i] == 'E') &&
                                 (text[i + 1] == '+' || text[i + 1] == '-') && isDigit(text[i + 2]);
    if (exponentFollows) i += 2 + digitRun(text, i + 2);
    return i;
}

Token numberToken(std::string_view matched) {
    const std::optional<double> value = numberTokenValue(matched);
    if (!value) return {TokenKind::kBadNumber, matched, 0.0};
    return {TokenKind::kReal, matched, *value};
}

std::optional<Token> keywordToken(std::string_view text) {
    switch (text[0]) {
        case 'P': case 'L': case 'M': case 'G': case 'p': case 'l': case 'm': case 'g': break;
        default: return std::nullopt;
    }
    for (const Keyword& keyword : kKeywords) {
        for (std::string_view form : {keyword.upper, keyword.lower}) {
            if (text.starts_with(form)) return Token{keyword.kind, text.substr(0, form.size()), 0.0};
        }
    }
    return std::nullopt;
}

// The token at the start of a non-empty text, or nullopt when no token
// rule matches there.
std::optional<Token> matchToken(std::string_view text) {
    switch (text[0]) {
        case '(': return Token{TokenKind::kLeftParen, text.substr(0, 1), 0.0};
        case ')': return Token{TokenKind::kRightParen, text.substr(0, 1), 0.0};
        case ',': return Token{TokenKind::kComma, text.substr(0, 1), 0.0};
        default: break;
    }
    if (const std::size_t length = numberLength(text); length != 0) return numberToken(text.substr(0, length));
    return keywordToken(text);
}

// How many bytes at the start of text no rule matches, given that
// matchToken found none: one byte, or the whole run of minus signs when it
// starts one (no digit follows the run, so every suffix of it fails too;
// skipping it at once keeps the scan linear).
std::size_t unmatchedLength(std::string_view text) {
    if (text[0] != '-') return 1;
    return std::min(text.find_first_not_of('-'), text.size());
}

}  // namespace

Token WktScanner::next() {
    while (position_ < text_.size()) {
        if (isBlank(text_[position_])) {  // matches no rule and is skipped quietly
            ++position_;
            continue;
        }
        const std::string_view rest = text_.substr(position_);
        if (const std::optional<Token> token = matchToken(rest)) {
            position_ += token->text.size();
            return *token;
        }
        const std::size_t skipped = unmatchedLength(rest);
        if (!isBlank(rest[0])) std::fwrite(rest.data(), 1, skipped, stdout);
        position_ += skipped;
    }
    return {TokenKind::kEnd, text_.substr(text_.size()), 0.0};
}

}  // namespace spatialgeom
