#include "text/parsed_text.h"

#include <algorithm>
#include <cstring>
#include <span>

namespace spatialgeom {
namespace {

template <typename T>
std::span<const T> slice(const std::vector<T>& items, std::size_t first, std::size_t end) {
    return std::span<const T>(items).subspan(first, end - first);
}

template <typename T>
inline void clearVector(std::vector<T>& items, std::size_t keptBytes) {
    if (items.capacity() * sizeof(T) > keptBytes) [[unlikely]]
        std::vector<T>().swap(items);
    items.clear();
}

}  // namespace

// Eight bytes at a time: each word's
// matching bytes become 1 in their lane (exactly: no carry crosses lanes),
// lanes are summed for up to 255 words, then across.
std::size_t countByte(std::string_view text, char byte) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u, kLow7 = 0x7F7F7F7F7F7F7F7Fu, kHigh = 0x8080808080808080u;
    const std::uint64_t pattern = kOnes * static_cast<unsigned char>(byte);
    std::size_t count = 0, i = 0;
    while (i + 8 <= text.size()) {
        std::uint64_t lanes = 0;
        for (int words = 0; words < 255 && i + 8 <= text.size(); ++words, i += 8) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + i, sizeof word);
            const std::uint64_t x = word ^ pattern;  // zero bytes where byte is
            lanes += (~(((x & kLow7) + kLow7) | x) & kHigh) >> 7;
        }
        const std::uint64_t pairs = (lanes & 0x00FF00FF00FF00FFu) + ((lanes >> 8) & 0x00FF00FF00FF00FFu);
        count += static_cast<std::size_t>((pairs * 0x0001000100010001u) >> 48);
    }
    for (; i < text.size(); ++i) count += text[i] == byte;
    return count;
}

void ParsedText::clear(std::size_t keptBytes) {
    clearVector(vertices, keptBytes);
    clearVector(runLengths, keptBytes);
    clearVector(groupLengths, keptBytes);
    clearVector(shapes, keptBytes);
    isCollection = false;
}

void ParsedText::reserveFor(std::string_view text) { vertices.reserve(countByte(text, ',') + 1); }

ShapeParts ParsedText::shapeParts(std::size_t i) const {
    if (shapes.size() == 1) return {shapes[0].type, vertices, runLengths, groupLengths};  // all of the arrays
    const Shape& shape = shapes[i];
    const Shape end =
        i + 1 < shapes.size() ? shapes[i + 1] : Shape{0, vertices.size(), runLengths.size(), groupLengths.size()};
    return {shape.type, slice(vertices, shape.firstVertex, end.firstVertex),
            slice(runLengths, shape.firstRun, end.firstRun), slice(groupLengths, shape.firstGroup, end.firstGroup)};
}

std::uint64_t ParsedText::recordSize() const {
    if (!isCollection) return shapeRecordSize(shapeParts(0));
    std::uint64_t size = kCollectionHeadSize;
    for (std::size_t i = 0; i < shapes.size(); ++i) size += shapeRecordSize(shapeParts(i));
    return size;
}

void ParsedText::writeRecord(Byte* at) const {
    if (!isCollection) {
        writeShapeRecord(shapeParts(0), at);
        return;
    }
    at = writeCollectionHead(at, shapes.size(), static_cast<std::uint32_t>(recordSize()));
    for (std::size_t i = 0; i < shapes.size(); ++i) at = writeShapeRecord(shapeParts(i), at);
}

}  // namespace spatialgeom
