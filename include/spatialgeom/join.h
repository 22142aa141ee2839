/*
 * spatialgeom: joins of two lists of records, on several threads: every
 * pair that meets within a tolerance, and each record's nearest record.
 */
#ifndef SPATIALGEOM_JOIN_H
#define SPATIALGEOM_JOIN_H

#include "spatialgeom/types.h"

SPATIALGEOM_EXTERN_C_BEGIN

/* Calls found(context, i, j) for every pair (a[i], b[j]) whose geometries
 * meet within tolerance: the pairs for which spatialWKB_intersectGeometry(
 * a[i], b[j], tolerance, &result) gives result 1, with the geometries and
 * the exactness told in queries.h.
 *
 * Lists: a holds aCount record pointers and b bCount (either may be NULL
 * when its count is 0); a and b may be the same list (every record with
 * vertices then meets itself). A NULL entry, and a record without
 * vertices, takes part in no pair. Records of type codes 1 to 7 are
 * taken; a geometry collection (7) is the union of its members (kinds 1
 * to 6), so it meets what one of its members meets, and a member without
 * vertices adds nothing.
 *
 * found: called on the calling thread only, once per pair, in ascending
 * order of i then j, after every test is done; so a call that fails calls
 * it for no pair at all. It may call any export (the records must not
 * change before the call returns).
 *
 * threads: the most threads the work runs on, the calling one included
 * (more than there is work for are not started). The pairs do not depend
 * on it.
 *
 * Status: 0; or 32768, found called for no pair, for a NULL a or b with a
 * nonzero count, a NULL found, a negative or NaN tolerance, threads 0, a
 * record whose type code is not 1 to 7, a collection with a member whose
 * type code is not 1 to 6 (or whose place cannot be found), or memory or a
 * thread that cannot be had. Tolerance +infinity: every pair of records
 * with vertices.
 *
 * Cost: the ranges of both lists (one pass over their vertices), a packed
 * tree over the ranges of b (O(m log m) for m records), a query of the
 * tree per record of a with its range widened by the tolerance as
 * spatialWKB_widenRange widens it, and the intersection test of each pair
 * whose boxes overlap so (time as queries.h tells); a polygon or
 * multipolygon of a with enough candidates for the size of its polygons
 * of 64 vertices or more (at least 16 candidates at 128 vertices, 11 at
 * 256, 8 at 1,024, 7 beyond) is prepared once for them (as
 * spatialWKB_prepareGeometry, those polygons indexed), where that costs
 * less than testing every candidate alone.
 * Memory: at most about 150 bytes per record of either list and 8 bytes
 * per pair found, besides each test's own.
 *
 * Threads: reentrant; the records are only read, so other threads may
 * read them (and join them) at the same time. */
SPATIALGEOM_API uint32_t spatialWKB_joinRecords(const void* const* a, uint32_t aCount, const void* const* b,
                                                uint32_t bCount, double tolerance, uint32_t threads,
                                                void (*found)(void* context, uint32_t i, uint32_t j), void* context);

/* For each record b[j], in ascending j, calls found(context, j, i,
 * distance) with the record a[i] nearest to it and their distance, when
 * that distance is at most maxDistance; records of b with nothing that
 * near are skipped.
 *
 * Distance: that of spatialWKB_distance (queries.h), the exact 3D distance
 * rounded upwards, records compared by those values (distances that round
 * to the same double are a tie); ties go to the lowest i. A geometry
 * collection (7) is the union of its members (kinds 1 to 6): its distance
 * is the least of its members' (members without vertices add nothing).
 * maxDistance may be +infinity (every record of b with vertices gets its
 * nearest, when a has a record with vertices).
 *
 * Lists, found, threads and statuses as spatialWKB_joinRecords (found
 * called on the calling thread only, after the whole search, so nothing on
 * failure; 32768 for a NULL list with a nonzero count, a NULL found, a
 * negative or NaN maxDistance, threads 0, a type code other than 1 to 7 or
 * a collection member's other than 1 to 6, memory or a thread that cannot
 * be had). NULL entries, records without vertices and records with a
 * coordinate that is infinite or NaN (whose distances are NaN) take part
 * in nothing. A line whose sublines all have fewer than two vertices is
 * at distance +infinity from everything.
 *
 * Cost: a box of each record holding all its geometry (its vertices, and
 * for a polygon whose outer ring is not planar the part of its region
 * beyond them: linear in the vertices), a packed tree over the boxes of a
 * (O(n log n)), then per record of b a best-first search of the tree: its
 * records in order of the distance between the boxes until the next box
 * lies farther than the nearest distance found, or than maxDistance; each
 * record met is tested within the nearest distance so far (one
 * intersection test, as queries.h tells) and measured as
 * spatialWKB_distance does (see its cost) only when it comes that near. So
 * each record of b measures its distance to the records of a whose boxes
 * come about as near as its nearest record, not to all of them. Memory:
 * at most about 150 bytes per record of either list, besides each
 * measure's own.
 *
 * Threads: reentrant; the records are only read. */
SPATIALGEOM_API uint32_t spatialWKB_nearestRecords(
    const void* const* a, uint32_t aCount, const void* const* b, uint32_t bCount, double maxDistance, uint32_t threads,
    void (*found)(void* context, uint32_t j, uint32_t i, double distance), void* context);

SPATIALGEOM_EXTERN_C_END

#endif /* SPATIALGEOM_JOIN_H */
