#include "text/wkt_scanner.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "text/number_token.h"

namespace spatialgeom {
namespace {

// Whether the text from p (before end) starts with word.
template <std::size_t N>
bool startsWith(const char* p, const char* end, const char (&word)[N]) {
    return static_cast<std::size_t>(end - p) >= N - 1 && std::memcmp(p, word, N - 1) == 0;
}

// The keyword at p in one case, its first letter given: its kind, or kEnd
// when none. No keyword is a prefix of another, so at most one matches.
template <char P, char L, char M, char G>
TokenKind keywordIn(const char* p, const char* end, std::size_t* length, const char (&point)[6],
                    const char (&polygon)[8], const char (&linestring)[11], const char (&multi)[6],
                    const char (&geometrycollection)[19]) {
    const auto found = [&](TokenKind kind, std::size_t size) {
        *length = size;
        return kind;
    };
    switch (*p) {
        case P:
            if (startsWith(p, end, point)) return found(TokenKind::kPoint, 5);
            if (startsWith(p, end, polygon)) return found(TokenKind::kPolygon, 7);
            break;
        case L:
            if (startsWith(p, end, linestring)) return found(TokenKind::kLineString, 10);
            break;
        case M:
            if (!startsWith(p, end, multi)) break;
            if (startsWith(p + 5, end, point)) return found(TokenKind::kMultiPoint, 10);
            if (startsWith(p + 5, end, polygon)) return found(TokenKind::kMultiPolygon, 12);
            if (startsWith(p + 5, end, linestring)) return found(TokenKind::kMultiLineString, 15);
            break;
        case G:
            if (startsWith(p, end, geometrycollection)) return found(TokenKind::kGeometryCollection, 18);
            break;
        default: break;
    }
    return TokenKind::kEnd;
}

// The keyword at p, all upper or all lower case: its kind, or kEnd.
TokenKind keywordAt(const char* p, const char* end, std::size_t* length) {
    if (*p >= 'a')
        return keywordIn<'p', 'l', 'm', 'g'>(p, end, length, "point", "polygon", "linestring", "multi",
                                             "geometrycollection");
    return keywordIn<'P', 'L', 'M', 'G'>(p, end, length, "POINT", "POLYGON", "LINESTRING", "MULTI",
                                         "GEOMETRYCOLLECTION");
}

// The classes of a token's first byte.
enum class Lead : std::uint8_t { kOther, kBlank, kLeftParen, kRightParen, kComma, kNumber, kLetter };

constexpr auto kLeads = [] {
    std::array<Lead, 256> leads{};
    for (const char c : {' ', '\t', '\n'}) leads[static_cast<unsigned char>(c)] = Lead::kBlank;
    leads['('] = Lead::kLeftParen;
    leads[')'] = Lead::kRightParen;
    leads[','] = Lead::kComma;
    leads['-'] = Lead::kNumber;
    for (char c = '0'; c <= '9'; ++c) leads[static_cast<unsigned char>(c)] = Lead::kNumber;
    for (const char c : {'P', 'L', 'M', 'G', 'p', 'l', 'm', 'g'}) leads[static_cast<unsigned char>(c)] = Lead::kLetter;
    return leads;
}();

// An unmatched-bytes sink that keeps the offset of the first run.
void rememberFirst(void* context, std::size_t offset, std::string_view) {
    auto* first = static_cast<std::optional<std::size_t>*>(context);
    if (!*first) *first = offset;
}

// How many bytes at p no rule matches, given that none matches there: one
// byte, or the whole run of minus signs when it starts one (no digit
// follows the run, so every suffix of it fails too; skipping it at once
// keeps the scan linear).
std::size_t unmatchedLength(const char* p, const char* end) {
    if (*p != '-') return 1;
    const char* q = p;
    while (q < end && *q == '-') ++q;
    return static_cast<std::size_t>(q - p);
}

}  // namespace

void WktScanner::echoToStandardOutput(void*, std::size_t, std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void WktScanner::nextOther(Token* token) {
    const char* const begin = text_.data();
    const char* const end = begin + text_.size();
    const char* p = begin + position_;
    const auto found = [&](TokenKind kind, std::size_t length) {
        token->kind = kind;
        token->text = std::string_view(p, length);
        position_ = static_cast<std::size_t>(p + length - begin);
    };
    for (; p < end; ++p) {
        switch (kLeads[static_cast<unsigned char>(*p)]) {
            case Lead::kBlank: continue;  // matches no rule and is skipped quietly
            case Lead::kLeftParen: return found(TokenKind::kLeftParen, 1);
            case Lead::kRightParen: return found(TokenKind::kRightParen, 1);
            case Lead::kComma: return found(TokenKind::kComma, 1);
            case Lead::kNumber: {
                NumberScan scan;
                if (scanNumber(std::string_view(p, static_cast<std::size_t>(end - p)), &scan) != 0) {
                    token->value = scan.hasValue ? scan.value : 0.0;
                    return found(scan.hasValue ? TokenKind::kReal : TokenKind::kBadNumber, scan.length);
                }
                break;
            }
            case Lead::kLetter: {
                std::size_t length = 0;
                const TokenKind kind = keywordAt(p, end, &length);
                if (kind != TokenKind::kEnd) return found(kind, length);
                break;
            }
            case Lead::kOther: break;
        }
        const std::size_t skipped = unmatchedLength(p, end);
        sink_(context_, static_cast<std::size_t>(p - begin), std::string_view(p, skipped));
        p += skipped - 1;
    }
    token->kind = TokenKind::kEnd;
    token->text = text_.substr(text_.size());
    token->value = 0.0;
    position_ = text_.size();
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
