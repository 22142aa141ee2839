// The geometries of an accepted geometry text, as flat arrays in text order
// (what the parser collects instead of a tree), and the record they make.
// The Well-Known Binary reader collects into the same arrays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "records/record_builder.h"

namespace spatialgeom {

// The number of bytes of text equal to byte.
std::size_t countByte(std::string_view text, char byte);

inline constexpr std::size_t kReservedTextBytes = 1 << 16;

struct ParsedText {
    // Where one geometry starts in the arrays below; it ends where the next
    // one starts (or at the end of the arrays).
    struct Shape {
        std::uint32_t type = 0;
        std::size_t firstVertex = 0;
        std::size_t firstRun = 0;
        std::size_t firstGroup = 0;
    };

    std::vector<DPoint3d> vertices;
    std::vector<std::size_t> runLengths;    // vertices per line or ring
    std::vector<std::size_t> groupLengths;  // rings per polygon of a multipolygon
    std::vector<Shape> shapes;              // one, or one per collection member
    bool isCollection = false;

    // Empties the arrays (keeping their capacity) and releases them when
    // they hold more than keptBytes, so a scratch reused across parses
    // keeps no large block.
    void clear(std::size_t keptBytes);
    // Reserves room for the vertices of a large text (from
    // kReservedTextBytes on; below, the array's growth costs less than
    // counting): at most one vertex per comma, plus one, so the vertex array
    // is never copied while it grows. Costs a pass over the text.
    void reserveFor(std::string_view text);

    // Geometry i (below shapes.size()) as the record builder takes it.
    ShapeParts shapeParts(std::size_t i) const;
    // Size of the record of the text: a single geometry or a collection.
    // O(number of geometries).
    std::uint64_t recordSize() const;
    // Writes recordSize() bytes at `at` (any alignment); the size must fit
    // in 32 bits. O(size).
    void writeRecord(Byte* at) const;
};

}  // namespace spatialgeom
