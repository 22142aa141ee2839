#include "text/utf16_to_utf8.h"

#include <cstdint>

namespace spatialgeom {
namespace {

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void appendUtf8(char32_t codePoint, std::string* out) {
    auto byte = [out](char32_t value) { out->push_back(static_cast<char>(static_cast<std::uint8_t>(value))); };
    if (codePoint < 0x80) {
        byte(codePoint);
    } else if (codePoint < 0x800) {
        byte(0xC0 | (codePoint >> 6));
        byte(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        byte(0xE0 | (codePoint >> 12));
        byte(0x80 | ((codePoint >> 6) & 0x3F));
        byte(0x80 | (codePoint & 0x3F));
    } else {
        byte(0xF0 | (codePoint >> 18));
        byte(0x80 | ((codePoint >> 12) & 0x3F));
        byte(0x80 | ((codePoint >> 6) & 0x3F));
        byte(0x80 | (codePoint & 0x3F));
    }
}

}  // namespace

bool utf16ToUtf8(const char16_t* text, std::string* out) {
    out->clear();
    for (const char16_t* unit = text; *unit != 0; ++unit) {
        char32_t codePoint = *unit;
        if (isLowSurrogate(codePoint)) return false;
        if (isHighSurrogate(codePoint)) {
            if (!isLowSurrogate(unit[1])) return false;
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (char32_t{unit[1]} - 0xDC00);
            ++unit;
        }
        appendUtf8(codePoint, out);
    }
    return true;
}

}  // namespace spatialgeom
