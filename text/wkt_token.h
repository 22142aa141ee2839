// Tokens of the geometry text: what the scanner hands to the parser.
#pragma once

#include <string_view>

namespace spatialgeom {

// Token codes. The values are those of the text grammar's terminal symbols;
// kBadNumber is internal: a number token whose value cannot be read, which
// no grammar rule accepts, so the parse fails at it.
enum class TokenKind : int {
    kEnd = 0,
    kLeftParen = 258,
    kRightParen = 259,
    kComma = 260,
    kReal = 261,
    kPoint = 262,
    kLineString = 263,
    kPolygon = 264,
    kMultiPoint = 265,
    kMultiLineString = 266,
    kMultiPolygon = 267,
    kGeometryCollection = 268,
    kBadNumber = -1,
};

struct Token {
    TokenKind kind = TokenKind::kEnd;
    // The matched characters, as the text wrote them; empty at the end.
    std::string_view text;
    // The number's value (kReal only).
    double value = 0.0;
};

}  // namespace spatialgeom
