#include "tools/geometry_queries.h"

#include <algorithm>
#include <cstdint>

#include "spatialgeom/queries.h"
#include "spatialgeom/records.h"

namespace spatialgeom::tool {
namespace {

bool isCollection(const void* record) {
    std::uint32_t type = 0;
    return spatialWKB_getType(record, &type) == SPATIAL_SUCCESS && type == SPATIAL_TYPE_COLLECTION;
}

// Calls visit(member) for each member of a collection until one returns
// true; true when one did.
template <typename Visit>
bool anyMember(const void* collection, Visit&& visit) {
    struct Search {
        Visit& visit;
        bool found = false;
    } search{visit};
    spatialWKB_forEachMember(
        collection,
        [](void* context, const void* member) -> std::int32_t {
            auto* search = static_cast<Search*>(context);
            search->found = search->visit(member);
            return search->found;
        },
        &search);
    return search.found;
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
    anyMember(record, [&](const void* member) {
        DRange3d memberRange;
        if (geometryRange(member, &memberRange)) {
            if (any) {
                unite(range, memberRange);
            } else {
                *range = memberRange;
            }
            any = true;
        }
        return false;  // every member
    });
    return any;
}

bool geometriesMeet(const void* a, const void* b, double tolerance) {
    if (isCollection(a)) return anyMember(a, [&](const void* member) { return geometriesMeet(member, b, tolerance); });
    if (isCollection(b)) return anyMember(b, [&](const void* member) { return geometriesMeet(a, member, tolerance); });
    std::uint32_t result = 0;
    return spatialWKB_intersectGeometry(a, b, tolerance, &result) == SPATIAL_SUCCESS && result == 1;
}

}  // namespace spatialgeom::tool
