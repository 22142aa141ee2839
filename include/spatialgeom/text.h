/*
 * spatialgeom: writing records as Well-Known Text into 16-bit buffers.
 *
 * Capacities count SpatialWChar units including the terminator. A positive
 * result is the number of characters written (terminator not counted); -1
 * means the text did not fit or cannot be written (the buffer then holds an
 * unfinished text). Numbers are written as printf's "%.*g" in the C locale,
 * whatever locale the host has set.
 */
#ifndef SPATIALGEOM_TEXT_H
#define SPATIALGEOM_TEXT_H

#include "spatialgeom/types.h"

SPATIALGEOM_EXTERN_C_BEGIN

/* The whole record (collections included) into a buffer of bufferBytes
 * bytes; 32768 for a null record or buffer. */
SPATIALGEOM_API int32_t spatialWKB_convertBinaryToText(const void* geom, SpatialWChar* buffer, uint32_t bufferBytes);
/* Dispatch by geometryType 1..6; 32768 for null arguments, capacity 0 or any other code. */
SPATIALGEOM_API int32_t spatialWKT_geometry(const void* geom, SpatialWChar* buffer, int32_t capacity);
SPATIALGEOM_API int32_t spatialWKT_geometryCollection(const void* geom, SpatialWChar* buffer, int32_t capacity);
SPATIALGEOM_API int32_t spatialWKT_point(const void* geom, SpatialWChar* buffer, int32_t capacity);
SPATIALGEOM_API int32_t spatialWKT_linestring(const void* geom, SpatialWChar* buffer, int32_t capacity);
SPATIALGEOM_API int32_t spatialWKT_polygon(const void* geom, SpatialWChar* buffer, int32_t capacity);
SPATIALGEOM_API int32_t spatialWKT_multipoint(const void* geom, SpatialWChar* buffer, int32_t capacity);
SPATIALGEOM_API int32_t spatialWKT_multilinestring(const void* geom, SpatialWChar* buffer, int32_t capacity);
SPATIALGEOM_API int32_t spatialWKT_multipolygon(const void* geom, SpatialWChar* buffer, int32_t capacity);
SPATIALGEOM_API int32_t spatialWKT_pointList(uint32_t count, const DPoint3d* vertices, SpatialWChar* buffer, int32_t capacity);
SPATIALGEOM_API int32_t spatialWKT_multipointList(uint32_t count, const DPoint3d* vertices, SpatialWChar* buffer, int32_t capacity);
/* seq points into a record at a subline sequence / a ring sequence. */
SPATIALGEOM_API int32_t spatialWKT_sublineSeq(const void* seq, SpatialWChar* buffer, int32_t capacity);
SPATIALGEOM_API int32_t spatialWKT_ringSeq(const void* seq, SpatialWChar* buffer, int32_t capacity);
/* The process-wide number of significant digits (default 6). */
SPATIALGEOM_API int32_t spatialWKT_getPrecision(void);
/* Stores precision unchanged and returns the previous value. */
SPATIALGEOM_API int32_t spatialWKT_setPrecision(int32_t precision);

SPATIALGEOM_EXTERN_C_END

#endif /* SPATIALGEOM_TEXT_H */
