// Ranges and intersection tests for any record the parser makes. The
// library's exports take kinds 1 to 6; the tool extends them to geometry
// collections as the union of their members.
#pragma once

#include "spatialgeom/types.h"

namespace spatialgeom::tool {

// The box of every vertex. False when the record has no vertex (or is of a
// kind the library does not know).
bool geometryRange(const void* record, DRange3d* range);

// Whether the shortest 3D distance between a and b is at most tolerance.
// A collection meets b when one of its members does. False when the
// library refuses the pair (a record without vertices).
bool geometriesMeet(const void* a, const void* b, double tolerance);

}  // namespace spatialgeom::tool
