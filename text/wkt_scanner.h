// The scanner of the geometry text: cuts a narrow text into tokens.
//
// Longest match, the earlier rule winning between matches of equal length:
//   keywords  POINT LINESTRING POLYGON MULTIPOINT MULTILINESTRING
//             MULTIPOLYGON GEOMETRYCOLLECTION, each all uppercase or all
//             lowercase (mixed case is no keyword)
//   numbers   -*[0-9]+(\.[0-9]*)?  optionally followed by [eE][+-][0-9]+
//             (so .5, +1 and 1e5 are not single numbers)
//   ( ) ,     punctuation
//   blanks    space, tab, line feed: skipped
//   other     every other byte (carriage return and bytes 128-255 too) is
//             skipped after being handed to the scanner's sink, which by
//             default writes it to standard output with fwrite
// The text is taken byte by byte and ends at the end of the view.
//
// All state lives in the object: scanners of different threads are
// independent. One pass over the text, no allocation.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "text/number_token.h"
#include "text/wkt_token.h"

namespace spatialgeom {

class WktScanner {
public:
    // Receives each run of bytes that no rule matches, with its offset in
    // the text.
    using UnmatchedSink = void (*)(void* context, std::size_t offset, std::string_view bytes);
    // Writes the bytes to standard output.
    static void echoToStandardOutput(void* context, std::size_t offset, std::string_view bytes);

    // The text must outlive the scanner; token texts point into it.
    explicit WktScanner(std::string_view text, UnmatchedSink sink = echoToStandardOutput, void* context = nullptr)
        : text_(text), sink_(sink), context_(context) {}

    // The next token. At the end of the text: kEnd with an empty text, on
    // every further call too. A number token whose value cannot be read
    // (see numberTokenValue) comes back as kBadNumber.
    Token next() {
        Token token;
        next(&token);
        return token;
    }
    // next() into *token, field by field (copying a returned token stalled
    // the parser on store forwarding). Numbers after spaces, the most
    // frequent tokens, are scanned inline; the rest out of line.
    void next(Token* token) {
        const char* const begin = text_.data();
        const char* const end = begin + text_.size();
        const char* p = begin + position_;
        while (p < end && *p == ' ') ++p;
        if (p < end && (static_cast<unsigned char>(*p - '0') <= 9 || *p == '-')) {
            NumberScan scan;
            if (scanNumber(std::string_view(p, static_cast<std::size_t>(end - p)), &scan) != 0) {
                token->kind = scan.hasValue ? TokenKind::kReal : TokenKind::kBadNumber;
                token->text = std::string_view(p, scan.length);
                token->value = scan.hasValue ? scan.value : 0.0;
                position_ = static_cast<std::size_t>(p - begin) + scan.length;
                return;
            }
        }
        position_ = static_cast<std::size_t>(p - begin);
        nextOther(token);
    }

private:
    // next() for any token, from position_ on.
    void nextOther(Token* token);

    std::string_view text_;
    std::size_t position_ = 0;
    UnmatchedSink sink_;
    void* context_;
};

// The offset of the first byte of text that the scanner hands to its sink
// (no token rule matches it and it is no blank), or nullopt when there is
// none. Scans up to that byte, with no output. O(n).
std::optional<std::size_t> firstUnmatchedByte(std::string_view text);

}  // namespace spatialgeom
