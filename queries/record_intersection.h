// Intersection tests of two records within a distance tolerance: whether
// the shortest 3D distance between the geometries is at most the tolerance
// (what a geometry of each kind is, and how exact the answer is, is told in
// spatialgeom/queries.h).
#pragma once

#include <cstdint>

#include "records/record_layout.h"

namespace spatialgeom {

// Whether `first`, a record of kind firstKind, and `second`, of kind
// secondKind (kinds 1 to 6, firstKind <= secondKind), meet: *meets. A
// negative or NaN tolerance meets nothing, +infinity everything. Returns
// false, *meets untouched, when a record's type code is not the kind
// named, a record has no vertex, the kinds are not such a pair, or memory
// runs out. Pairs whose boxes, the first widened by the tolerance, do not
// overlap are answered before anything else; otherwise both records are
// gathered once into per-call indexes (time and memory linear in their
// vertex counts, from the calling thread's scratch memory) and only
// elements whose boxes come within the tolerance of each other are tested,
// up to the first pair that meets. Reentrant.
bool intersectRecords(std::uint32_t firstKind, std::uint32_t secondKind, const Byte* first, const Byte* second,
                      double tolerance, bool* meets);

// Whether the geometries of `first` (kind firstKind) and `second` (kind
// secondKind), any kinds 1 to 6 whose type codes the caller has checked,
// come within tolerance (finite, >= 0): the exact answer for the stored
// coordinates, without the boxes' test that intersectRecords answers with
// first (so a warped polygon's region beyond its vertices' box counts).
// Same cost as intersectRecords past that test; takes its memory from the
// caller's ScratchScope and throws std::bad_alloc when there is none left.
bool geometriesWithin(std::uint32_t firstKind, std::uint32_t secondKind, const Byte* first, const Byte* second,
                      double tolerance);

}  // namespace spatialgeom
