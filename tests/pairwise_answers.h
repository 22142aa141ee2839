// The answers of the list exports (join.h) found the slow way, for every
// pair of entries through the exports for two records: a collection meets
// what one of its members meets and lies at its nearest member's distance;
// null entries and records without vertices take part in nothing.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <utility>
#include <vector>

#include "spatialgeom/queries.h"
#include "spatialgeom/records.h"

namespace testrecords {

// visit(part) for a collection's members, or for the record itself.
template <typename Visit>
void forEachPart(const void* record, Visit&& visit) {
    std::uint32_t type = 0;
    spatialWKB_getType(record, &type);
    if (type != SPATIAL_TYPE_COLLECTION) {
        visit(record);
        return;
    }
    spatialWKB_forEachMember(
        record,
        [](void* context, const void* member) -> std::int32_t {
            (*static_cast<Visit*>(context))(member);
            return 0;
        },
        &visit);
}

// visit(partA, partB) for every pair of parts of two entries (none when
// either is null).
template <typename Visit>
void forEachPartPair(const void* a, const void* b, Visit&& visit) {
    if (a == nullptr || b == nullptr) return;
    forEachPart(a, [&](const void* partA) { forEachPart(b, [&](const void* partB) { visit(partA, partB); }); });
}

using Pairs = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

// Every (i, j) whose records meet within the tolerance, in ascending order.
inline Pairs meetingPairs(const std::vector<const void*>& a, const std::vector<const void*>& b, double tolerance) {
    Pairs pairs;
    for (std::uint32_t i = 0; i < a.size(); ++i)
        for (std::uint32_t j = 0; j < b.size(); ++j) {
            bool meets = false;
            forEachPartPair(a[i], b[j], [&](const void* partA, const void* partB) {
                std::uint32_t result = 0;
                meets = meets || (spatialWKB_intersectGeometry(partA, partB, tolerance, &result) == SPATIAL_SUCCESS &&
                                  result == 1);
            });
            if (meets) pairs.emplace_back(i, j);
        }
    return pairs;
}

// One callback of spatialWKB_nearestRecords: b[j]'s nearest is a[i].
struct Nearest {
    std::uint32_t j, i;
    double distance;
    bool operator==(const Nearest& other) const { return j == other.j && i == other.i && distance == other.distance; }
};

inline std::ostream& operator<<(std::ostream& out, const Nearest& n) {
    return out << "(b " << n.j << ": a " << n.i << " at " << n.distance << ")";
}

// d[j][i], the distance of a[i] to b[j]; NaN where either is null or has no
// vertex.
using Distances = std::vector<std::vector<double>>;

inline Distances everyDistance(const std::vector<const void*>& a, const std::vector<const void*>& b) {
    Distances d(b.size(), std::vector<double>(a.size(), NAN));
    for (std::uint32_t j = 0; j < b.size(); ++j)
        for (std::uint32_t i = 0; i < a.size(); ++i)
            forEachPartPair(a[i], b[j], [&](const void* partA, const void* partB) {
                double distance = 0.0;
                if (spatialWKB_distance(partA, partB, &distance, nullptr, nullptr) == SPATIAL_SUCCESS)
                    d[j][i] = std::isnan(d[j][i]) ? distance : std::min(d[j][i], distance);
            });
    return d;
}

// For each j, the lowest i at the least distance, when that is at most
// maxDistance.
inline std::vector<Nearest> nearestIn(const Distances& d, double maxDistance) {
    std::vector<Nearest> found;
    for (std::uint32_t j = 0; j < d.size(); ++j) {
        Nearest best{j, 0, INFINITY};
        bool any = false;
        for (std::uint32_t i = 0; i < d[j].size(); ++i) {
            if (d[j][i] <= maxDistance && (!any || d[j][i] < best.distance)) {
                best = {j, i, d[j][i]};
                any = true;
            }
        }
        if (any) found.push_back(best);
    }
    return found;
}

}  // namespace testrecords
