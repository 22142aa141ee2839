// The shortest 3D distance between the geometries of two records, and a
// pair of points where it is reached (what a geometry of each kind is:
// spatialgeom/queries.h).
#pragma once

#include <cstdint>

#include "records/record_layout.h"

namespace spatialgeom {

// *distance: the exact distance between the geometries of records a and b
// (kinds 1 to 6, read from their type codes) for their stored coordinates,
// rounded upwards to a double (+infinity beyond the largest double);
// *onA and *onB: a point of each, computed in floating point, at about that
// distance apart (the same point when the distance is 0). The value is the
// least double t for which geometriesWithin (record_intersection.h)
// answers true, found around a floating-point estimate, so it agrees with
// the intersection tests at every tolerance. A coordinate that is not
// finite gives NaN for the distance and the points; a line whose sublines
// all have fewer than two vertices has no point: +infinity, NaN points. Returns false, nothing
// written, for a type code other than 1 to 6, a record without vertices,
// or memory that cannot be had.
//
// Cost: a point against a polygon kind in a plane of constant coordinate,
// one or two passes over its rings (flat_point_distance.h); geometries of
// which one holds the other's first vertex, one exact test (one pass when
// that is a flat polygon). Otherwise gathering both records (linear); the
// estimate over the pairs of segments whose boxes come within the best
// distance so far (a grid over the second record's segments), and each
// segment against each region whose box comes that near; then a few exact
// tests at tolerances around the estimate, each as costly as an
// intersection test: two when the nearest pair of segments gives the
// distance (the search then starts from their exact distance), else about
// twice the number of bits in which the estimate is wrong. Geometries
// whose coordinates all lie below 2^-300 in magnitude are measured as
// copies scaled up by a power of two (exact), so that no floating-point
// square of theirs underflows: a copy of each record more.
bool recordDistance(const Byte* a, const Byte* b, double* distance, DPoint3d* onA, DPoint3d* onB);

class PreparedGeometry;

// recordDistance(record, other, ...) for the record that `prepared` was
// made from: the same computation over the prepared parts, so the same
// value and points, bit for bit. The estimate gathers the prepared record
// as recordDistance gathers it (linear in its size); the exact tests that
// follow take its large polygons as prepared (indexed once) instead of
// gathering and indexing them again. Returns false, nothing written, as
// recordDistance does for other.
bool preparedDistance(const PreparedGeometry& prepared, const Byte* other, double* distance, DPoint3d* onPrepared,
                      DPoint3d* onOther);

}  // namespace spatialgeom
