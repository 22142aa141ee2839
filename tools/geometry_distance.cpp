#include "tools/geometry_distance.h"

#include <cstdint>
#include <new>

#include "spatialgeom/queries.h"
#include "spatialgeom/records.h"
#include "tools/collection_members.h"
#include "tools/geometry_queries.h"

namespace spatialgeom::tool {
namespace {

bool isCollection(const void* record) {
    std::uint32_t type = 0;
    return spatialWKB_getType(record, &type) == SPATIAL_SUCCESS && type == SPATIAL_TYPE_COLLECTION;
}

// The nearest of the members' answers, members of `collection` taken on
// the side `membersFirst` says.
bool nearestMember(const void* collection, const void* other, bool membersFirst, Nearness* result) {
    bool any = false;
    everyMember(collection, [&](const void* member) {
        Nearness candidate;
        const bool measured =
            membersFirst ? geometryDistance(member, other, &candidate) : geometryDistance(other, member, &candidate);
        // NaN (coordinates that are not finite) is kept only when nothing
        // else was measured.
        if (measured && (!any || candidate.distance < result->distance)) {
            *result = candidate;
            any = true;
        }
        return true;
    });
    return any;
}

}  // namespace

bool geometryDistance(const void* a, const void* b, Nearness* result) {
    if (isCollection(a)) return nearestMember(a, b, true, result);
    if (isCollection(b)) return nearestMember(b, a, false, result);
    Nearness answer;
    if (spatialWKB_distance(a, b, &answer.distance, &answer.onA, &answer.onB) != SPATIAL_SUCCESS) {
        // Refused: a record without vertices, or else memory.
        DRange3d range;
        if (geometryRange(a, &range) && geometryRange(b, &range)) throw std::bad_alloc();
        return false;
    }
    *result = answer;
    return true;
}

}  // namespace spatialgeom::tool
