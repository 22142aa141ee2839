/*
 * spatialgeom: prepared geometries, a record indexed once for intersection
 * tests and distances against many other records.
 */
#ifndef SPATIALGEOM_PREPARED_H
#define SPATIALGEOM_PREPARED_H

#include "spatialgeom/types.h"

SPATIALGEOM_EXTERN_C_BEGIN

/* Prepares geom, a record of kind 1 to 6, for many intersection tests:
 * *outPrepared = a new prepared geometry, which the caller owns until
 * spatialWKB_destroyPrepared. It keeps everything it needs: geom may be
 * grown, moved or destroyed afterwards (a change to geom is not seen).
 *
 * What it keeps: for each polygon of 256 edges or more (of a polygon or
 * multipolygon), its vertices with a grid over its edges, its plane and
 * the boundary of its region, everything built that a test would build;
 * a copy of the rest of the record. Memory: at most three times the
 * record's size plus 4 KiB for ordinary polygons (per indexed polygon its
 * vertices, 24 bytes per edge, the grid, about 16 to 28 bytes per edge,
 * the place of each grid cell, about 1 byte per edge, and for rings off a
 * tilted plane 17 bytes per edge; at worst, long edges
 * crossing many grid cells, about 3.1 times), not counting a few hundred
 * bytes of exact rationals per polygon whose outer ring is not planar or
 * whose rings cross.
 *
 * Cost: linear in the record's size (plus, for a polygon whose outer ring
 * is not planar, a linear number of rational operations for its exact
 * normal).
 *
 * Status: 0, or 32768 (nothing written) for a null argument, a type code
 * other than 1..6 (a collection, type 8, unknown), a record without
 * vertices, or memory that cannot be had. */
SPATIALGEOM_API uint32_t spatialWKB_prepareGeometry(const void* geom, void** outPrepared);

/* *result exactly as spatialWKB_intersectGeometry(geom, other, tolerance,
 * result) gives it for the record geom that was prepared: 1 when the
 * shortest 3D distance between the two geometries is at most tolerance,
 * else 0, for every tolerance and with the exactness told in queries.h. The
 * same answer as spatialWKB_intersectGeometry(other, geom, ...).
 *
 * Status: 0, or 32768 (result not written) for a null argument, a prepared
 * pointer that spatialWKB_prepareGeometry did not give (when recognisably
 * so), an `other` that spatialWKB_intersectGeometry refuses (type code
 * other than 1..6, no vertices), or memory that cannot be had.
 *
 * Cost: the test of spatialWKB_intersectGeometry without gathering and
 * indexing the prepared polygons of 256 edges or more. other is gathered
 * at each call, except a point, or a multipoint against a single such
 * polygon, in the plane of constant coordinate of the polygons: each point
 * is then placed from its grid cell, at once in a cell that no edge
 * crosses, by that cell's edges in another (polygons of up to 7 rings), at
 * worst along a ray to the grid's side (O(sqrt n) for n edges). A segment
 * visits the edges near it. Shapes lying together in one plane of constant
 * coordinate still pair their boundaries through a grid built per call
 * (linear in both). Lines, points and small polygons are gathered from the
 * copy at each call.
 *
 * Threads: the prepared geometry is only read by this call, so any number
 * of threads may test one at once (each call's work lives in its thread's
 * scratch memory); destroying it needs exclusive access. */
SPATIALGEOM_API uint32_t spatialWKB_intersectPrepared(const void* prepared, const void* other, double tolerance,
                                                      uint32_t* result);

/* *distance, *onPrepared and *onOther exactly as spatialWKB_distance(geom,
 * other, distance, onPrepared, onOther) gives them for the record geom that
 * was prepared (queries.h): the exact 3D distance rounded upwards, and a
 * point of each geometry where it is reached, the same doubles bit for
 * bit (NaN for coordinates that are not finite, +infinity and NaN points
 * for a line without a segment, 0 and one common point for geometries
 * that meet). onPrepared and onOther may be NULL.
 *
 * Status: 0, or 32768 (nothing written) for a null prepared, other or
 * distance, a prepared pointer that spatialWKB_prepareGeometry did not
 * give (when recognisably so), an `other` or a pair that spatialWKB_distance
 * refuses (type code other than 1..6, no vertices, a polygon lifting
 * beyond the largest double), or memory that cannot be had.
 *
 * Cost: the computation of spatialWKB_distance, with one saving. Its
 * floating-point estimate still gathers the prepared record at each call,
 * as spatialWKB_distance does (time and memory linear in the record's
 * size, its large polygons included: the estimate keeps no index across
 * calls). The exact intersection tests that then fix the value (two when
 * the distance is reached between two segments, up to about 130 else)
 * take the prepared polygons of 256 edges or more as prepared, as
 * spatialWKB_intersectPrepared does, instead of gathering and indexing
 * them again at each test. So a call costs about one gathering of the
 * prepared record plus the tests near the closest points, rather than one
 * gathering per test: as much as spatialWKB_distance when its tests are
 * few (two, the usual case: a line against a 1,000-vertex polygon runs at
 * the same rate either way), less when they are many. A point against a
 * single such polygon in a plane of constant coordinate is measured
 * through the polygon's grid: about the edges near its foot (a 1,000-vertex
 * polygon: about 0.4 microseconds a call, 2 stateless).
 *
 * Threads: as spatialWKB_intersectPrepared, any number of threads may
 * measure against one prepared geometry at once. */
SPATIALGEOM_API uint32_t spatialWKB_distancePrepared(const void* prepared, const void* other, double* distance,
                                                     DPoint3d* onPrepared, DPoint3d* onOther);

/* Frees *prepared and sets *prepared to NULL. 32768 for a null pointer,
 * an already freed one (NULL), or a pointer that spatialWKB_prepareGeometry
 * did not give (when recognisably so), nothing freed. */
SPATIALGEOM_API uint32_t spatialWKB_destroyPrepared(void** prepared);

SPATIALGEOM_EXTERN_C_END

#endif /* SPATIALGEOM_PREPARED_H */
