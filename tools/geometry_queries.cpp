#include "tools/geometry_queries.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "spatialgeom/queries.h"
#include "spatialgeom/records.h"
#include "tools/collection_members.h"

namespace spatialgeom::tool {
namespace {

bool isCollection(const void* record) {
    std::uint32_t type = 0;
    return spatialWKB_getType(record, &type) == SPATIAL_SUCCESS && type == SPATIAL_TYPE_COLLECTION;
}

// True when visit(member) is true for a member of the collection.
template <typename Visit>
bool anyMember(const void* collection, Visit&& visit) {
    bool found = false;
    everyMember(collection, [&](const void* member) {
        found = visit(member);
        return !found;
    });
    return found;
}

void unite(DRange3d* range, const DRange3d& other) {
    range->low = {std::min(range->low.x, other.low.x), std::min(range->low.y, other.low.y),
                  std::min(range->low.z, other.low.z)};
    range->high = {std::max(range->high.x, other.high.x), std::max(range->high.y, other.high.y),
                   std::max(range->high.z, other.high.z)};
}

}  // namespace

bool geometryRange(const void* record, DRange3d* range) {
    if (!isCollection(record)) return spatialWKB_getRange(record, &range->low, &range->high) == SPATIAL_SUCCESS;
    bool any = false;
    everyMember(record, [&](const void* member) {
        DRange3d memberRange;
        if (geometryRange(member, &memberRange)) {
            if (any) {
                unite(range, memberRange);
            } else {
                *range = memberRange;
            }
            any = true;
        }
        return true;
    });
    return any;
}

namespace {

// The answer of an intersection export: refused, a record without
// vertices, which meets nothing, or else memory that could not be had.
bool answer(std::uint32_t status, std::uint32_t result, const void* a, const void* b) {
    if (status == SPATIAL_SUCCESS) return result == 1;
    DRange3d range;
    if (geometryRange(a, &range) && geometryRange(b, &range)) throw std::bad_alloc();
    return false;
}

}  // namespace

bool geometriesMeet(const void* a, const void* b, double tolerance) {
    if (isCollection(a)) return anyMember(a, [&](const void* member) { return geometriesMeet(member, b, tolerance); });
    if (isCollection(b)) return anyMember(b, [&](const void* member) { return geometriesMeet(a, member, tolerance); });
    std::uint32_t result = 0;
    const std::uint32_t status = spatialWKB_intersectGeometry(a, b, tolerance, &result);
    return answer(status, result, a, b);
}

}  // namespace spatialgeom::tool
