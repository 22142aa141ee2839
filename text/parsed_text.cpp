#include "text/parsed_text.h"

#include <algorithm>
#include <span>

namespace spatialgeom {
namespace {

template <typename T>
std::span<const T> slice(const std::vector<T>& items, std::size_t first, std::size_t end) {
    return std::span<const T>(items).subspan(first, end - first);
}

template <typename T>
void clearVector(std::vector<T>& items, std::size_t keptBytes) {
    if (items.capacity() * sizeof(T) > keptBytes) std::vector<T>().swap(items);
    items.clear();
}

// Below this size the vertex array's growth costs less than counting.
constexpr std::size_t kReservedTextBytes = 1 << 16;

}  // namespace

void ParsedText::clear(std::size_t keptBytes) {
    clearVector(vertices, keptBytes);
    clearVector(runLengths, keptBytes);
    clearVector(groupLengths, keptBytes);
    clearVector(shapes, keptBytes);
    isCollection = false;
}

void ParsedText::reserveFor(std::string_view text) {
    if (text.size() < kReservedTextBytes) return;
    vertices.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')) + 1);
}

ShapeParts ParsedText::shapeParts(std::size_t i) const {
    const Shape& shape = shapes[i];
    const Shape end =
        i + 1 < shapes.size() ? shapes[i + 1] : Shape{0, vertices.size(), runLengths.size(), groupLengths.size()};
    return {shape.type, slice(vertices, shape.firstVertex, end.firstVertex),
            slice(runLengths, shape.firstRun, end.firstRun),
            slice(groupLengths, shape.firstGroup, end.firstGroup)};
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
