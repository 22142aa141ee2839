// The members of a collection record, for the tool's code: the library's
// member visitor (spatialWKB_forEachMember) with a C++ callable.
#pragma once

#include <cstdint>

#include "spatialgeom/records.h"

namespace spatialgeom::tool {

// Calls visit(member) for each member of a collection, in storage order,
// while it returns true. True when the record is a collection whose
// members were all visited and accepted; false otherwise (not a
// collection, a member refused by visit, or members the library cannot
// find).
template <typename Visit>
bool everyMember(const void* collection, Visit&& visit) {
    struct Walk {
        Visit& visit;
        bool accepted = true;
    } walk{visit};
    const std::uint32_t status = spatialWKB_forEachMember(
        collection,
        [](void* context, const void* member) -> std::int32_t {
            auto* walk = static_cast<Walk*>(context);
            walk->accepted = walk->visit(member);
            return !walk->accepted;
        },
        &walk);
    return status == SPATIAL_SUCCESS && walk.accepted;
}

}  // namespace spatialgeom::tool
