/*
 * spatialgeom: writing records as Well-Known Text into 16-bit buffers.
 *
 * Capacities count SpatialWChar units including the terminator. A positive
 * result is the number of characters written (terminator not counted); -1
 * means the text did not fit or cannot be written (the buffer then holds an
 * unfinished text). Characters after the terminator, within the capacity,
 * may be overwritten. Numbers are written as printf's "%.*g" in the C
 * locale, whatever locale the host has set.
 */
#ifndef SPATIALGEOM_TEXT_H
#define SPATIALGEOM_TEXT_H

#include "spatialgeom/types.h"

SPATIALGEOM_EXTERN_C_BEGIN

/* The whole record (collections included) into a buffer of bufferBytes
 * bytes (capacity bufferBytes / 2); 32768 for a null record or buffer. */
SPATIALGEOM_API int32_t spatialWKB_convertBinaryToText(const void* geom, SpatialWChar* buffer, uint32_t bufferBytes);
/* Dispatch by geometryType 1..6; 32768 for null arguments, capacity 0 or any
 * other code (7 included). */
SPATIALGEOM_API int32_t spatialWKT_geometry(const void* geom, SpatialWChar* buffer, int32_t capacity);

/* One writer per kind; geom must be a record of that kind. A null record or
 * buffer gives -1, as do an empty vertex list, ring or line, which cannot be
 * written. A linestring, and each ring of a polygon, is one list of all its
 * vertices, subline after subline. */
SPATIALGEOM_API int32_t spatialWKT_point(const void* geom, SpatialWChar* buffer, int32_t capacity);
SPATIALGEOM_API int32_t spatialWKT_linestring(const void* geom, SpatialWChar* buffer, int32_t capacity);
SPATIALGEOM_API int32_t spatialWKT_polygon(const void* geom, SpatialWChar* buffer, int32_t capacity);
SPATIALGEOM_API int32_t spatialWKT_multipoint(const void* geom, SpatialWChar* buffer, int32_t capacity);
/* The containers give 0 when the capacity cannot hold their keyword and
 * write an empty container as e.g. "multipolygon()". A collection member
 * that is itself a collection, or of an unknown type, gives -1. */
SPATIALGEOM_API int32_t spatialWKT_multilinestring(const void* geom, SpatialWChar* buffer, int32_t capacity);
SPATIALGEOM_API int32_t spatialWKT_multipolygon(const void* geom, SpatialWChar* buffer, int32_t capacity);
SPATIALGEOM_API int32_t spatialWKT_geometryCollection(const void* geom, SpatialWChar* buffer, int32_t capacity);

/* count vertices as "x y z" (pointList) or "(x y z)" (multipointList),
 * comma separated; 0 when count is 0 or capacity below 1. */
SPATIALGEOM_API int32_t spatialWKT_pointList(uint32_t count, const DPoint3d* vertices, SpatialWChar* buffer,
                                             int32_t capacity);
SPATIALGEOM_API int32_t spatialWKT_multipointList(uint32_t count, const DPoint3d* vertices, SpatialWChar* buffer,
                                                  int32_t capacity);
/* seq points into a record at a subline sequence: each subline as
 * "(" vertices ")", comma separated; 0 when it has no subline. */
SPATIALGEOM_API int32_t spatialWKT_sublineSeq(const void* seq, SpatialWChar* buffer, int32_t capacity);
/* seq points into a record at a ring sequence: each ring as "(" all its
 * vertices ")", comma separated; 0 when it has no ring. */
SPATIALGEOM_API int32_t spatialWKT_ringSeq(const void* seq, SpatialWChar* buffer, int32_t capacity);
/* The process-wide number of significant digits (default 6). */
SPATIALGEOM_API int32_t spatialWKT_getPrecision(void);
/* Stores precision unchanged and returns the previous value; 0 acts as 1
 * and a negative precision as 6 when numbers are written. */
SPATIALGEOM_API int32_t spatialWKT_setPrecision(int32_t precision);

SPATIALGEOM_EXTERN_C_END

#endif /* SPATIALGEOM_TEXT_H */
