/*
 * spatialgeom: ranges (3D boxes) of records, intersection tests and distances.
 */
#ifndef SPATIALGEOM_QUERIES_H
#define SPATIALGEOM_QUERIES_H

#include "spatialgeom/types.h"

SPATIALGEOM_EXTERN_C_BEGIN

/* ---- Ranges: (*low, *high) = the box of every vertex of the record (all
 * sublines, rings and members; elements without vertices are skipped). A
 * bound moves only when a coordinate lies strictly beyond it, so a signed
 * zero keeps the sign of the first vertex that set it. Null arguments, or a
 * record with no vertex at all: 32768, nothing written. The kind-specific
 * exports do not read geometryType. One pass, no allocation. */

/* Dispatch by geometryType (1..6); other codes: 32768. */
SPATIALGEOM_API uint32_t spatialWKB_getRange(const void* geom, DPoint3d* low, DPoint3d* high);
SPATIALGEOM_API uint32_t spatialWKB_getPointRange(const void* geom, DPoint3d* low, DPoint3d* high);
SPATIALGEOM_API uint32_t spatialWKB_getLineRange(const void* geom, DPoint3d* low, DPoint3d* high);
SPATIALGEOM_API uint32_t spatialWKB_getPolygonRange(const void* geom, DPoint3d* low, DPoint3d* high);
SPATIALGEOM_API uint32_t spatialWKB_getMultiPointRange(const void* geom, DPoint3d* low, DPoint3d* high);
SPATIALGEOM_API uint32_t spatialWKB_getMultiLineRange(const void* geom, DPoint3d* low, DPoint3d* high);
SPATIALGEOM_API uint32_t spatialWKB_getMultiPolygonRange(const void* geom, DPoint3d* low, DPoint3d* high);

/* The range (low, high) grown by distance on every side and rounded
 * outwards, so that it holds every point within that distance of the range
 * per axis despite rounding, into (*widenedLow, *widenedHigh) (which may be
 * low and high themselves). It is the box the intersection exports below
 * compare with the other record's range before any other test: a host that
 * selects candidate pairs itself, keeping the pairs whose widened range
 * overlaps the other range (closed boxes: touching counts), keeps every
 * pair those exports can answer 1 for. 32768 for a null argument or a
 * negative or NaN distance (at which nothing meets), nothing written. Any
 * range is taken as it is (a bound may be infinite or NaN). Constant time;
 * reentrant. */
SPATIALGEOM_API uint32_t spatialWKB_widenRange(const DPoint3d* low, const DPoint3d* high, double distance,
                                               DPoint3d* widenedLow, DPoint3d* widenedHigh);

/* ---- Intersections: *result = 1 when the shortest 3D distance between the
 * two geometries is at most tolerance, else 0. Arguments: first record,
 * second record, tolerance, result.
 *
 * What a geometry is: a point is itself; a line (linestring, member of a
 * multilinestring) is the union of the closed segments of its sublines
 * (sublines are not joined; a subline of fewer than two vertices adds
 * nothing). A ring is the vertices of its sublines in order, closed from
 * last to first, and its polyline (its stored 3D edges) belongs to the
 * polygon, for every ring, planar or not. A polygon is those polylines and
 * its region:
 *  - The plane: when the outer ring lies exactly in one plane (and not on
 *    one line), that plane; otherwise the plane through its first vertex o
 *    normal to its exact Newell vector N = sum over i of (v[i] - o) x
 *    (v[i+1] - o) (no region when N is exactly zero).
 *  - The projection axis k: for an outer ring whose vertices all share one
 *    coordinate, that coordinate's axis; otherwise the largest component
 *    (ties: x, then y) of that sum evaluated in double precision in vertex
 *    order (for a planar ring whose sum is zero, of the cross product of
 *    its first three non-collinear vertices). No region when the plane's
 *    normal is exactly perpendicular to axis k.
 *  - The region: the points q of the plane whose coordinates other than k
 *    lie inside or on the outer ring's stored vertices taken in those two
 *    coordinates (even-odd rule), and strictly inside no hole taken the
 *    same way. That is, every ring is projected along axis k into the
 *    plane; a ring lying exactly in the plane projects onto itself.
 * A ring all on one line, or fewer than three distinct vertices, has no
 * area: an outer ring without area leaves the polygon its polylines; a hole
 * without area removes nothing. A multi-record is the union of its members.
 *
 * Exactness: for finite coordinates the answer is the exact one for the
 * stored coordinates and tolerance, as if evaluated in exact arithmetic:
 * the squared distance, a rational function of the coordinates, is
 * compared with the squared tolerance, for every pair whose boxes pass the
 * test below. (The region of a polygon whose outer ring is not planar may
 * reach beyond the box of its vertices; a geometry near that part but
 * farther than the tolerance from the box answers 0 all the same.) A floating-point evaluation with a
 * proven error bound decides almost every element pair; only pairs within
 * that bound of the tolerance are decided exactly (orientation predicates
 * at tolerance 0, rational arithmetic otherwise). Tolerance: negative or
 * NaN, nothing meets; +infinity, everything whose records have vertices
 * does. Coordinates that are infinite or NaN give an unspecified answer
 * (but a status of 0 and no crash).
 *
 * Status: 0, or 32768 (result not written) for a null argument, a type code
 * other than 1..6 (a collection, type 8, unknown), a record that is not of
 * the kind an export names, a record without vertices, or memory that
 * cannot be had. Pairs whose boxes, widened by the tolerance, do not
 * overlap answer 0 before any other test. Each call gathers both records
 * once into per-call indexes (time and memory linear in their vertex
 * counts), then tests only elements whose boxes come within the tolerance
 * of each other, and stops at the first pair that meets. Reentrant. */

/* Dispatch on a's type code: spatialWKB_intersectGeometry<kind of a>(b, a). */
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometry(const void* a, const void* b, double tolerance, uint32_t* result);
/* g of any kind 1..6 against x of the kind named: calls the pairwise
 * export of the two kinds with the lower type code first, (x, g) when the
 * codes are equal. */
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryPoint(const void* g, const void* x, double tolerance,
                                                           uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryLineString(const void* g, const void* x, double tolerance,
                                                                uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryPolygon(const void* g, const void* x, double tolerance,
                                                             uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryMultiPoint(const void* g, const void* x, double tolerance,
                                                                uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryMultiLineString(const void* g, const void* x, double tolerance,
                                                                     uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryMultiPolygon(const void* g, const void* x, double tolerance,
                                                                  uint32_t* result);

/* Pairwise: the first record of the first kind named, the second of the
 * second kind. */
SPATIALGEOM_API uint32_t spatialWKB_intersectPointPoint(const void* a, const void* b, double tolerance,
                                                        uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPointLineString(const void* a, const void* b, double tolerance,
                                                             uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPointPolygon(const void* a, const void* b, double tolerance,
                                                          uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPointMultiPoint(const void* a, const void* b, double tolerance,
                                                             uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPointMultiLineString(const void* a, const void* b, double tolerance,
                                                                  uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPointMultiPolygon(const void* a, const void* b, double tolerance,
                                                               uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectLineStringLineString(const void* a, const void* b, double tolerance,
                                                                  uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectLineStringPolygon(const void* a, const void* b, double tolerance,
                                                               uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectLineStringMultiPoint(const void* a, const void* b, double tolerance,
                                                                  uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectLineStringMultiLineString(const void* a, const void* b, double tolerance,
                                                                       uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectLineStringMultiPolygon(const void* a, const void* b, double tolerance,
                                                                    uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPolygonPolygon(const void* a, const void* b, double tolerance,
                                                            uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPolygonMultiPoint(const void* a, const void* b, double tolerance,
                                                               uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPolygonMultiLineString(const void* a, const void* b, double tolerance,
                                                                    uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPolygonMultiPolygon(const void* a, const void* b, double tolerance,
                                                                 uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiPointMultiPoint(const void* a, const void* b, double tolerance,
                                                                  uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiPointMultiLineString(const void* a, const void* b, double tolerance,
                                                                       uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiPointMultiPolygon(const void* a, const void* b, double tolerance,
                                                                    uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiLineStringMultiLineString(const void* a, const void* b,
                                                                            double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiLineStringMultiPolygon(const void* a, const void* b, double tolerance,
                                                                         uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiPolygonMultiPolygon(const void* a, const void* b, double tolerance,
                                                                      uint32_t* result);

/* ---- Distance: *distance = the shortest 3D distance between the
 * geometries of records a and b (kinds 1 to 6, any order), the geometries
 * being those of the intersection tests above; *onA and *onB, when those
 * pointers are not NULL, a point of each geometry where it is reached.
 *
 * Value: the exact distance for the stored coordinates, rounded upwards
 * to a double (the least double not below it; +infinity when it exceeds
 * the largest double). So spatialWKB_intersectGeometry(a, b, t) answers 1
 * for t = *distance and 0 for the next double below, whenever the records'
 * boxes pass that export's test. That test is the one difference: the
 * region of a polygon whose outer ring is not planar may reach beyond the
 * box of its vertices, and a geometry near that part has the true (small)
 * distance here while the intersection exports answer 0 for tolerances
 * that do not bring the boxes together.
 *
 * Points: each lies on its geometry within the rounding of its
 * coordinates (a polygon's point on a ring or in its region, not in a
 * hole), and their distance apart differs from *distance by at most a few
 * ulps of the coordinates' magnitude. Geometries that meet: distance 0 and
 * the same point in *onA and *onB, common to both within rounding.
 *
 * Coordinates that are infinite or NaN: status 0, and NaN in *distance and
 * in every coordinate of the points. A linestring or multilinestring whose
 * sublines all have fewer than two vertices has vertices but no point:
 * status 0, +infinity, NaN points (the intersection exports answer 1 only
 * at tolerance +infinity).
 *
 * Status: 0, or 32768 (nothing written) for a null a, b or distance, a type
 * code other than 1..6 (a collection, type 8, unknown), a record without
 * vertices, a polygon whose rings off the plane of its outer ring lift onto
 * it beyond the largest double where the nearest points are sought (no
 * double holds those points), or memory that cannot be had.
 *
 * Cost: first the first point of each geometry (a point, the first of a
 * multipoint, a polygon's first vertex, the first vertex of a line's first
 * subline of two vertices or more) is tested against the other, exactly at
 * tolerance 0: when one
 * meets, the distance is 0 with that point, at the cost of one or two
 * intersection tests with a point (geometries that overlap mostly end
 * here). Otherwise both records are gathered once (time and memory
 * linear in their vertex counts); a floating-point estimate takes the nearest pair of
 * points over the element pairs whose boxes come within the best distance
 * so far (the first record's segments nearest to the second's box first,
 * stopping at the first beyond the best distance; a grid over the second
 * record's segments), which is about linear for compact shapes but can
 * approach the product of the segment counts for long parallel ones. Then
 * exact intersection tests fix the value: two when the distance is
 * reached between two segments (the start is their exact distance), else
 * a search from the estimate (up to about 130 tests, a few for a good
 * estimate); each costs about an intersection test at that tolerance.
 * Rational arithmetic for the nearest pair of segments and for the places
 * in a region the floating-point filters leave open. Reentrant: any
 * number of threads may measure at once. */
SPATIALGEOM_API uint32_t spatialWKB_distance(const void* a, const void* b, double* distance, DPoint3d* onA,
                                             DPoint3d* onB);

SPATIALGEOM_EXTERN_C_END

#endif /* SPATIALGEOM_QUERIES_H */
