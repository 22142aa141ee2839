// Every pair of records, one from each list, that meet within a tolerance
// (what spatialgeom/join.h promises of spatialWKB_joinRecords): the ranges
// of the second list's records in a box tree, each record of the first
// list's range widened by the tolerance (as the intersection tests widen
// it) queried in it, and every candidate pair decided by the intersection
// test, through a prepared geometry when a record has many candidates.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "records/record_layout.h"

namespace spatialgeom {

// (position in the first list, position in the second list).
using JoinPair = std::pair<std::uint32_t, std::uint32_t>;

// *pairs: the pairs that meet, sorted by first then second position. Null
// entries and records without vertices take part in nothing; collections
// are the union of their members (join/collection_union.h). False, *pairs
// unspecified, when a record is one unionKinds refuses. tolerance: >= 0
// (+infinity allowed). Works on up to `threads` threads (>= 1); the answer
// does not depend on their number. Throws std::bad_alloc.
bool joinRecords(const void* const* a, std::uint32_t aCount, const void* const* b, std::uint32_t bCount,
                 double tolerance, std::uint32_t threads, std::vector<JoinPair>* pairs);

}  // namespace spatialgeom
