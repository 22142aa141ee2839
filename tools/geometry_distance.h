// The shortest 3D distance for any record the parser makes: the library's
// export for kinds 1 to 6, extended to geometry collections as the union of
// their members.
#pragma once

#include "spatialgeom/types.h"

namespace spatialgeom::tool {

struct Nearness {
    double distance = 0.0;
    DPoint3d onA{}, onB{};  // a point of each geometry where it is reached
};

// What spatialWKB_distance gives for a and b; for a collection, that of
// its nearest member (the first of equals). False when nothing can be
// measured: a record without vertices, or a collection none of whose
// members has one. Throws std::bad_alloc when memory runs out.
bool geometryDistance(const void* a, const void* b, Nearness* result);

}  // namespace spatialgeom::tool
