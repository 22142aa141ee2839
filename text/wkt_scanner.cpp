#include "text/wkt_scanner.h"

#include <algorithm>
#include <cstdio>

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

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

bool punctuation(TokenKind kind, std::string_view text, Token* token) {
    token->kind = kind;
    token->text = text.substr(0, 1);
    return true;
}

bool keywordToken(std::string_view text, Token* token) {
    switch (text[0]) {
        case 'P': case 'L': case 'M': case 'G': case 'p': case 'l': case 'm': case 'g': break;
        default: return false;
    }
    for (const Keyword& keyword : kKeywords) {
        for (std::string_view form : {keyword.upper, keyword.lower}) {
            if (form[0] == text[0] && text.starts_with(form)) {
                token->kind = keyword.kind;
                token->text = text.substr(0, form.size());
                return true;
            }
        }
    }
    return false;
}

// The token at the start of a non-empty text into *token; false when no
// token rule matches there. (An out-parameter: tokens are copied once.)
bool matchToken(std::string_view text, Token* token) {
    switch (text[0]) {
        case '(': return punctuation(TokenKind::kLeftParen, text, token);
        case ')': return punctuation(TokenKind::kRightParen, text, token);
        case ',': return punctuation(TokenKind::kComma, text, token);
        default: break;
    }
    NumberScan scan;
    if (scanNumber(text, &scan) != 0) {
        token->kind = scan.hasValue ? TokenKind::kReal : TokenKind::kBadNumber;
        token->text = text.substr(0, scan.length);
        token->value = scan.hasValue ? scan.value : 0.0;
        return true;
    }
    return keywordToken(text, token);
}

// An unmatched-bytes sink that keeps the offset of the first run.
void rememberFirst(void* context, std::size_t offset, std::string_view) {
    auto* first = static_cast<std::optional<std::size_t>*>(context);
    if (!*first) *first = offset;
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

void WktScanner::echoToStandardOutput(void*, std::size_t, std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void WktScanner::next(Token* token) {
    while (position_ < text_.size()) {
        if (isBlank(text_[position_])) {  // matches no rule and is skipped quietly
            ++position_;
            continue;
        }
        const std::string_view rest = text_.substr(position_);
        if (matchToken(rest, token)) {
            position_ += token->text.size();
            return;
        }
        const std::size_t skipped = unmatchedLength(rest);
        sink_(context_, position_, rest.substr(0, skipped));
        position_ += skipped;
    }
    token->kind = TokenKind::kEnd;
    token->text = text_.substr(text_.size());
    token->value = 0.0;
}

std::optional<std::size_t> firstUnmatchedByte(std::string_view text) {
    std::optional<std::size_t> first;
    WktScanner scanner(text, rememberFirst, &first);
    Token token;
    do {
        scanner.next(&token);
    } while (!first && token.kind != TokenKind::kEnd);
    return first;
}

}  // namespace spatialgeom
