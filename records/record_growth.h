// Growing records in place: each operation appends one element made of
// count vertices (count at least 1) at the end of the record's top level
// (or, for a multipolygon hole, at the end of its last polygon, which is
// the end of the record). Elements already present never move relative to
// the record's start; totalSize is kept exact. The block may move: the new
// address replaces *record. Each returns false, the record and *record
// unchanged, when the record cannot take the element (a multipolygon
// without polygon, for a hole), its size would not fit in 32 bits, or the
// block cannot be resized.
//
// Cost: finding the current size walks the top-level elements, so building
// a record of k elements by appending costs O(k^2) element steps; one
// resize and one vertex copy per call.
#pragma once

#include <cstdint>

#include "records/record_layout.h"

namespace spatialgeom {

// One subline to a linestring.
bool appendSublineToLine(Byte** record, const DPoint3d* vertices, std::uint32_t count);
// One line of one subline to a multilinestring.
bool appendLineToMultiLine(Byte** record, const DPoint3d* vertices, std::uint32_t count);
// One ring (a hole) of one subline to a polygon.
bool appendRingToPolygon(Byte** record, const DPoint3d* vertices, std::uint32_t count);
// One polygon of one ring to a multipolygon.
bool appendPolygonToMultiPolygon(Byte** record, const DPoint3d* vertices, std::uint32_t count);
// One ring (a hole) of one subline to the last polygon of a multipolygon.
bool appendRingToLastPolygon(Byte** record, const DPoint3d* vertices, std::uint32_t count);

}  // namespace spatialgeom
