// Records of kinds 1 to 7 for the join and the nearest search: a geometry
// collection is the union of its members (kinds 1 to 6), so it meets what
// one of its members meets, and its distance to a geometry is the least
// of its members'. The intersection and distance cores take kinds 1 to 6;
// these functions spread a pair over the members.
#pragma once

#include <cstdint>

#include "records/navigation.h"

namespace spatialgeom {

// Is the type code 1 to 7, and for a collection every member's 1 to 6
// (each member found)? What the other functions here take.
bool unionKinds(const Byte* record);

// visit(part) for the record itself (kinds 1 to 6) or each member of a
// collection, while it returns true; false when visit stopped the walk.
template <typename Visit>
bool forEachPart(const Byte* record, Visit&& visit) {
    if (recordType(record) != SPATIAL_TYPE_COLLECTION) return visit(record);
    return forEachMember(record, visit);
}

// The box of every vertex (a collection: of its members); false, *box
// untouched, when there is no vertex at all. No allocation.
bool unionRange(const Byte* record, DRange3d* box);

// Whether a and b meet within tolerance, as the intersection test
// (spatialWKB_intersectGeometry(a, b, tolerance)) answers for kinds 1 to
// 6, for some pair of parts; a part without vertices meets nothing. Throws
// std::bad_alloc when memory runs out.
bool unionMeets(const Byte* a, const Byte* b, double tolerance);

// The test of two parts (kinds 1 to 6), as unionMeets answers it.
bool partsMeet(const Byte* a, const Byte* b, double tolerance);

// Whether unionDistance(a, b) <= tolerance (finite, >= 0), decided as
// the intersection tests decide it but without their boxes' test: the
// same answer as that distance, at the cost of one intersection test per
// pair of parts. Throws std::bad_alloc.
bool unionWithin(const Byte* a, const Byte* b, double tolerance);

// The least distance (recordDistance, record_distance.h) over the pairs
// of parts with vertices: +infinity when there is no such pair, NaN when a
// pair has a coordinate that is not finite. Throws std::bad_alloc.
double unionDistance(const Byte* a, const Byte* b);

}  // namespace spatialgeom
