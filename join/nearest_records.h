// For each record of one list, the nearest record of another (what
// spatialgeom/join.h promises of spatialWKB_nearestRecords): a box tree
// over the first list's reach boxes, searched best first with the gap
// between boxes as a lower bound of the distance, each record met tested
// within the best distance so far and measured exactly (recordDistance)
// only when it comes that near, until no box left can hold a nearer one.
#pragma once

#include <cstdint>
#include <vector>

#include "records/record_layout.h"

namespace spatialgeom {

struct NearestPair {
    std::uint32_t j;  // position in the second list
    std::uint32_t i;  // position of its nearest record in the first list
    double distance;
};

// The box of every point of the record's geometry (kinds 1 to 7, those
// unionKinds takes): its vertices and, for a polygon whose outer ring is
// not planar, the part of its region beyond them. False when the record
// has no vertex or a coordinate that is not finite. Throws std::bad_alloc.
bool reachBox(const Byte* record, DRange3d* box);

// *found: for each record b[j] in ascending j, the record a[i] at the
// least distance (unionDistance, join/collection_union.h; ties: the lowest
// i), when that distance is at most maxDistance (>= 0, +infinity allowed).
// Null entries, records without vertices and records with a coordinate
// that is not finite take part in nothing. False, *found unspecified,
// when a record is one unionKinds refuses. Works on up to `threads`
// threads (>= 1); the answer does not depend on their number. Throws
// std::bad_alloc.
bool nearestRecords(const void* const* a, std::uint32_t aCount, const void* const* b, std::uint32_t bCount,
                    double maxDistance, std::uint32_t threads, std::vector<NearestPair>* found);

}  // namespace spatialgeom
