/*
 * spatialgeom: ranges (3D boxes) of records and intersection tests.
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

/* ---- Intersections: *result = 1 when the shortest 3D distance between the
 * two geometries is at most tolerance, else 0. Arguments: first record,
 * second record, tolerance, result.
 *
 * What a geometry is: a point is itself; a line (linestring, member of a
 * multilinestring) is the union of the segments of its sublines (sublines
 * are not joined; a subline of fewer than two vertices adds nothing); a
 * polygon is the closed planar region of its outer ring, in the plane of
 * that ring (Newell normal), minus the open interiors of its holes
 * projected into that plane, and the boundary of every ring belongs to it
 * (a ring is the vertices of its sublines in order, closed from last to
 * first). A ring without area (all vertices collinear, fewer than three
 * distinct) counts as its closed polyline; an outer ring without area makes
 * the polygon the closed polylines of its rings. A multi-record is the
 * union of its members.
 *
 * Tolerance: negative or NaN, nothing meets; +infinity, everything does.
 * Geometries that share a point in exact arithmetic meet at tolerance 0
 * whenever that contact is decided by the stored coordinates themselves:
 * shared vertices, a vertex on an edge, collinear or coplanar overlaps,
 * edges crossing, a vertex in the plane of a polygon that lies exactly in
 * a plane (exact orientation predicates; finite coordinates between about
 * 1e-140 and 1e140 in magnitude). Other distances are computed in double
 * precision and err by a few ulps of the coordinates' magnitude, so a pair
 * whose true distance is within that of a small positive tolerance may go
 * either way; a polygon ring that is not exactly planar is projected into
 * its plane and so is off by its rounding as well.
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
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryPoint(const void* g, const void* x, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryLineString(const void* g, const void* x, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryPolygon(const void* g, const void* x, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryMultiPoint(const void* g, const void* x, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryMultiLineString(const void* g, const void* x, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryMultiPolygon(const void* g, const void* x, double tolerance, uint32_t* result);

/* Pairwise: the first record of the first kind named, the second of the
 * second kind. */
SPATIALGEOM_API uint32_t spatialWKB_intersectPointPoint(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPointLineString(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPointPolygon(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPointMultiPoint(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPointMultiLineString(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPointMultiPolygon(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectLineStringLineString(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectLineStringPolygon(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectLineStringMultiPoint(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectLineStringMultiLineString(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectLineStringMultiPolygon(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPolygonPolygon(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPolygonMultiPoint(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPolygonMultiLineString(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPolygonMultiPolygon(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiPointMultiPoint(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiPointMultiLineString(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiPointMultiPolygon(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiLineStringMultiLineString(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiLineStringMultiPolygon(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiPolygonMultiPolygon(const void* a, const void* b, double tolerance, uint32_t* result);

SPATIALGEOM_EXTERN_C_END

#endif /* SPATIALGEOM_QUERIES_H */
