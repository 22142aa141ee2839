// Creating records: each makes the smallest record of its kind in one heap
// block (every enclosing count 1, one subline holding all vertices) with
// totalSize exact, and returns it; null when its size would not fit in 32
// bits or the block cannot be had. count must be at least 1. Cost: one
// allocation, one copy of the vertices.
#pragma once

#include <cstdint>

#include "records/record_layout.h"

namespace spatialgeom {

Byte* createPointRecord(const DPoint3d& point);
Byte* createLineRecord(const DPoint3d* vertices, std::uint32_t count);
Byte* createPolygonRecord(const DPoint3d* vertices, std::uint32_t count);
Byte* createMultiPointRecord(const DPoint3d* vertices, std::uint32_t count);
Byte* createMultiLineRecord(const DPoint3d* vertices, std::uint32_t count);
Byte* createMultiPolygonRecord(const DPoint3d* vertices, std::uint32_t count);

}  // namespace spatialgeom
