/*
 * spatialgeom: geometry records: creating, sizing, copying, releasing,
 * growing and reading them.
 *
 * A record is one contiguous block of bytes in the library's own layout
 * (16-byte header: byteOrder, reserved, geometryType, totalSize; then the
 * body of its kind). It is passed as a pointer to its first byte, which must
 * be 8-byte aligned (every block the library hands out is). A record made by
 * the library belongs to the caller until spatialWKB_destroyGeom.
 *
 * Every export returns SPATIAL_SUCCESS (0) or SPATIAL_FAILURE (32768): a null
 * pointer, a zero count where one is required, a wrong type code, an index
 * out of range, a destination too small, an allocation that failed, or a
 * record whose size would not fit in 32 bits. Counts and capacities count
 * vertices (DPoint3d), sizes count bytes.
 */
#ifndef SPATIALGEOM_RECORDS_H
#define SPATIALGEOM_RECORDS_H

#include "spatialgeom/types.h"

SPATIALGEOM_EXTERN_C_BEGIN

/* ---- Creating: each makes the smallest record of its kind (every enclosing
 * count 1, one subline holding all vertices) and stores it in *outGeom.
 * Null arguments or count 0 give 32768 and leave *outGeom untouched. */

/* Point record (40 bytes) holding a copy of *point. */
SPATIALGEOM_API uint32_t spatialWKB_createPoint(const DPoint3d* point, void** outGeom);
/* Linestring of one subline of count vertices (32 + 24n bytes). */
SPATIALGEOM_API uint32_t spatialWKB_createLine(const DPoint3d* vertices, uint32_t count, void** outGeom);
/* Polygon of one outer ring of count vertices (40 + 24n bytes). */
SPATIALGEOM_API uint32_t spatialWKB_createPolygon(const DPoint3d* vertices, uint32_t count, void** outGeom);
/* Multipoint of count points (24 + 24n bytes). */
SPATIALGEOM_API uint32_t spatialWKB_createMultiPoint(const DPoint3d* vertices, uint32_t count, void** outGeom);
/* Multilinestring of one line of count vertices (40 + 24n bytes). */
SPATIALGEOM_API uint32_t spatialWKB_createMultiLine(const DPoint3d* vertices, uint32_t count, void** outGeom);
/* Multipolygon of one polygon of one ring of count vertices (48 + 24n bytes). */
SPATIALGEOM_API uint32_t spatialWKB_createMultiPolygon(const DPoint3d* vertices, uint32_t count, void** outGeom);

/* ---- Sizing (bytes). */

/* Size computed from the layout by geometryType (never reads totalSize of
 * the record itself). Type 8 gives 0 and leaves *size unchanged; unknown
 * codes give 32768. */
SPATIALGEOM_API uint32_t spatialWKB_calculateSize(const void* geom, uint32_t* size);
/* 40, for any non-null record. */
SPATIALGEOM_API uint32_t spatialWKB_getPointSize(const void* geom, uint32_t* size);
/* The record read as a linestring, whatever its type code. */
SPATIALGEOM_API uint32_t spatialWKB_getLineSize(const void* geom, uint32_t* size);
/* The record read as a polygon. */
SPATIALGEOM_API uint32_t spatialWKB_getPolygonSize(const void* geom, uint32_t* size);
/* The record read as a multipoint. */
SPATIALGEOM_API uint32_t spatialWKB_getMultiPointSize(const void* geom, uint32_t* size);
/* The record read as a multilinestring. */
SPATIALGEOM_API uint32_t spatialWKB_getMultiLineSize(const void* geom, uint32_t* size);
/* The record read as a multipolygon. */
SPATIALGEOM_API uint32_t spatialWKB_getMultiPolygonSize(const void* geom, uint32_t* size);
/* totalSize when nonzero, else spatialWKB_calculateSize. Type 8 with
 * totalSize 0 has no size: 32768. */
SPATIALGEOM_API uint32_t spatialWKB_getSize(const void* geom, uint32_t* size);

/* ---- Checking bytes from outside before trusting them (the other exports
 * believe every count). 0 when the byteLength bytes at record (8-byte
 * aligned) begin with one well-formed record of type 1 to 7: every count
 * and walk stays inside them, totalSize is 0 or the size from the layout,
 * collection members are well-formed records of types 1 to 6. Bytes after
 * the record are allowed (compare spatialWKB_getSize). Else 32768, also for
 * a null or unaligned record. Never reads outside the bytes; O(byteLength). */
SPATIALGEOM_API uint32_t spatialWKB_checkRecord(const void* record, uint32_t byteLength);

/* ---- Copying and releasing. */

/* A new, independent block with the same spatialWKB_getSize bytes. */
SPATIALGEOM_API uint32_t spatialWKB_copy(const void* geom, void** outGeom);
/* Releases *geomVar and sets it to null; 32768 when geomVar or *geomVar is null. */
SPATIALGEOM_API uint32_t spatialWKB_destroyGeom(void** geomVar);
/* The same operation under a second name, for collections. */
SPATIALGEOM_API uint32_t spatialWKB_destroyGeomCollection(void** geomVar);

/* ---- Growing: each appends one element made of the count vertices to the
 * record in *geomVar, which must be of the kind named, and may move it (the
 * new address is stored in *geomVar). totalSize is kept exact. On any
 * failure (null arguments, count 0, size over 32 bits, resize failure) the
 * status is 32768 and the record and *geomVar are unchanged. */

/* Appends one subline to a linestring. */
SPATIALGEOM_API uint32_t spatialWKB_addLineToLine(const DPoint3d* vertices, uint32_t count, void** geomVar);
/* Appends one line of one subline to a multilinestring. */
SPATIALGEOM_API uint32_t spatialWKB_addLineToMultiLine(const DPoint3d* vertices, uint32_t count, void** geomVar);
/* Appends one ring (a hole) of one subline to a polygon. */
SPATIALGEOM_API uint32_t spatialWKB_addRingToPolygon(const DPoint3d* vertices, uint32_t count, void** geomVar);
/* Appends one polygon of one ring to a multipolygon. */
SPATIALGEOM_API uint32_t spatialWKB_addPolyToMultiPoly(const DPoint3d* vertices, uint32_t count, void** geomVar);
/* Appends one ring (a hole) of one subline to the LAST polygon of a
 * multipolygon. A multipolygon with no polygon gives 32768. */
SPATIALGEOM_API uint32_t spatialWKB_addRingToMultiPoly(const DPoint3d* vertices, uint32_t count, void** geomVar);

/* ---- Reading. Checks in order: null record, null output, wrong type code,
 * index not below the count, (mpointGetPoints) capacity below pointCount;
 * the first that fails returns 32768 with nothing written. The line and
 * polygon points exports copy subline by subline: when the capacity runs
 * out they return 32768 with the sublines copied so far in the array and
 * their vertex count in *count (whole rings only for polygons). */

/* geometryType as stored, not validated. */
SPATIALGEOM_API uint32_t spatialWKB_getType(const void* geom, uint32_t* type);
SPATIALGEOM_API uint32_t spatialWKB_pointGetPoint(const void* geom, DPoint3d* point);
/* Vertex count over all sublines. */
SPATIALGEOM_API uint32_t spatialWKB_lineGetPointCount(const void* geom, uint32_t* count);
SPATIALGEOM_API uint32_t spatialWKB_lineGetPoints(const void* geom, uint32_t capacity, DPoint3d* vertices,
                                                  uint32_t* count);
/* Vertex count over all rings, outer ring first. */
SPATIALGEOM_API uint32_t spatialWKB_polygonGetPointCount(const void* geom, uint32_t* count);
SPATIALGEOM_API uint32_t spatialWKB_polygonGetPoints(const void* geom, uint32_t capacity, DPoint3d* vertices,
                                                     uint32_t* count);
SPATIALGEOM_API uint32_t spatialWKB_mpointGetPointCount(const void* geom, uint32_t* count);
SPATIALGEOM_API uint32_t spatialWKB_mpointGetPoint(const void* geom, uint32_t index, DPoint3d* point);
/* All points or nothing. */
SPATIALGEOM_API uint32_t spatialWKB_mpointGetPoints(const void* geom, uint32_t capacity, DPoint3d* vertices,
                                                    uint32_t* count);
SPATIALGEOM_API uint32_t spatialWKB_mlineGetLineCount(const void* geom, uint32_t* count);
SPATIALGEOM_API uint32_t spatialWKB_mlineGetPointCount(const void* geom, uint32_t lineIndex, uint32_t* count);
SPATIALGEOM_API uint32_t spatialWKB_mlineGetPoints(const void* geom, uint32_t lineIndex, uint32_t capacity,
                                                   DPoint3d* vertices, uint32_t* count);
SPATIALGEOM_API uint32_t spatialWKB_mpolygonGetPolyCount(const void* geom, uint32_t* count);
SPATIALGEOM_API uint32_t spatialWKB_mpolygonGetPointCount(const void* geom, uint32_t polygonIndex, uint32_t* count);
SPATIALGEOM_API uint32_t spatialWKB_mpolygonGetPoints(const void* geom, uint32_t polygonIndex, uint32_t capacity,
                                                      DPoint3d* vertices, uint32_t* count);

/* ---- Walking: the visitors below are called in storage order, on the
 * calling thread, with the context given; a visitor returns 0 to go on and
 * any other value to stop the walk (the export then returns 0 all the
 * same). They read the record in place, allocate nothing and cost one pass
 * over the elements walked, plus the visitor's calls. The record must not
 * be grown or destroyed during the walk; several threads may walk one
 * record at once.
 *
 * Elements are a record's points, lines and polygons, numbered from 0 in
 * storage order: a point record is one point, a multipoint one point per
 * stored point, a linestring one line, a multilinestring one line per
 * member line, a polygon one polygon, a multipolygon one polygon per member
 * polygon, a collection the elements of its members, numbered on from one
 * member to the next. An element keeps its number when it has no vertex.
 *
 * A vertex run is a block of vertices stored together: each subline of a
 * line or of a polygon's ring (also one without vertices: count 0), the
 * vertex of a point record, or all the points of a multipoint at once
 * (vertex k of that run is element `element + k`; an empty multipoint has
 * no run). */

typedef struct SpatialVertexRun {
    uint32_t element;         /* the element of the run's first vertex */
    uint32_t elementType;     /* what the element is: SPATIAL_TYPE_POINT, _LINESTRING or _POLYGON */
    uint32_t ring;            /* in a polygon: 0 the outer ring, then its holes; otherwise 0 */
    uint32_t subline;         /* the subline within its line or ring, from 0; 0 for points */
    const DPoint3d* vertices; /* inside the record */
    uint32_t count;           /* vertices in the run */
} SpatialVertexRun;

typedef int32_t (*SpatialVertexRunVisitor)(void* context, const SpatialVertexRun* run);
typedef int32_t (*SpatialMemberVisitor)(void* context, const void* member);

/* Calls visit once per vertex run of a record of type 1 to 7; a collection
 * member of another type has no runs. 32768 for a null record or visitor,
 * another type code (nothing visited), or a collection member without a
 * size (type 8 with totalSize 0, an unknown code) before its last member:
 * the members after it cannot be found, and the walk ends there. */
SPATIALGEOM_API uint32_t spatialWKB_forEachVertexRun(const void* geom, SpatialVertexRunVisitor visit, void* context);
/* Calls visit once per member record of a collection (type 7); a member is
 * passed as a pointer to its first byte, inside the collection. 32768 for a
 * null record or visitor, a record of another type (nothing visited), or a
 * member without a size before the last one (the walk ends after it, as
 * for spatialWKB_forEachVertexRun). */
SPATIALGEOM_API uint32_t spatialWKB_forEachMember(const void* geom, SpatialMemberVisitor visit, void* context);

SPATIALGEOM_EXTERN_C_END

#endif /* SPATIALGEOM_RECORDS_H */
