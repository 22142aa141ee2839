// Lays out whole records in one pass from flat vertex arrays. The result is
// byte for byte the record that the creators and growing operations make for
// the same elements in the same order (one subline per line and ring; pad
// words and sublineReserved written as 0), at a cost linear in its size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "records/record_layout.h"

namespace spatialgeom {

// One geometry of kind 1 to 6 as flat arrays, elements in storage order.
//   vertices      every vertex of the geometry
//   runLengths    vertex count of each line or ring (linestring: one run;
//                 polygon: its rings; multilinestring: its lines;
//                 multipolygon: the rings of all its polygons); unused for
//                 points and multipoints
//   groupLengths  ring count of each polygon (multipolygon only)
// The lengths must add up: runLengths to vertices.size(), groupLengths to
// runLengths.size(). A point has exactly one vertex.
struct ShapeParts {
    std::uint32_t type = 0;
    std::span<const DPoint3d> vertices;
    std::span<const std::size_t> runLengths;
    std::span<const std::size_t> groupLengths;
};

// The record size in bytes, computed from the counts alone (O(1)). Always
// a multiple of 8. Callers check that it fits in 32 bits before writing.
std::uint64_t shapeRecordSize(const ShapeParts& shape);

// Writes exactly shapeRecordSize(shape) bytes at `at` (any alignment: every
// store is a memcpy) and returns the address after the record.
Byte* writeShapeRecord(const ShapeParts& shape, Byte* at);

// A collection record is its header and count words followed by its member
// records back to back (member sizes are multiples of 8, so no rounding
// bytes fall between them): 24 + the member sizes.
inline constexpr std::uint64_t kCollectionHeadSize = kFirstElementOffset;
// Writes the header (type 7, totalSize) and memberCount with its pad word;
// returns where the first member goes.
Byte* writeCollectionHead(Byte* at, std::size_t memberCount, std::uint32_t totalSize);

}  // namespace spatialgeom
