#include "tools/hex_wkb.h"

#include <cstdint>
#include <vector>

#include "spatialgeom/types.h"
#include "spatialgeom/wkb.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

std::string hexWkbOf(const void* record) {
    std::uint32_t size = 0;
    if (spatialWKB_toOgcWkb(record, nullptr, 0, &size) != SPATIAL_BUFFER_TOO_SMALL) {
        throw inputError("the geometry cannot be written as WKB");
    }
    std::vector<unsigned char> bytes(size);
    if (spatialWKB_toOgcWkb(record, bytes.data(), size, &size) != SPATIAL_SUCCESS) {
        throw inputError("the geometry cannot be written as WKB");
    }
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(2 * bytes.size(), '0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text[2 * i] = kDigits[bytes[i] >> 4];
        text[2 * i + 1] = kDigits[bytes[i] & 15];
    }
    return text;
}

RecordPtr recordFromHexWkb(std::string_view line, std::string* error) {
    const std::string_view text = trimmed(line);
    const std::size_t leading = text.empty() ? 0 : static_cast<std::size_t>(text.data() - line.data());
    if (text.size() % 2 != 0) {
        *error = "an odd number of hex digits";
        return RecordPtr();
    }
    if (text.size() / 2 > UINT32_MAX) {
        *error = "more WKB bytes than a record can hold";
        return RecordPtr();
    }
    std::vector<unsigned char> bytes(text.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = hexValue(text[2 * i]);
        const int low = hexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            const std::size_t column = leading + 2 * i + (high < 0 ? 0 : 1);
            *error = "not a hex digit at column " + std::to_string(column + 1);
            return RecordPtr();
        }
        bytes[i] = static_cast<unsigned char>(high * 16 + low);
    }
    RecordPtr record;
    if (spatialWKB_fromOgcWkb(bytes.data(), static_cast<std::uint32_t>(bytes.size()), record.out()) !=
        SPATIAL_SUCCESS) {
        *error = "not WKB of a geometry a record holds";
    }
    return record;
}

}  // namespace spatialgeom::tool
