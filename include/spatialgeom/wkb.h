/*
 * spatialgeom: records as OGC Well-Known Binary (WKB) and back.
 *
 * Both exports are reentrant: they keep no state between calls and may run
 * on any number of threads at once (a record may be read by several of them
 * while nothing grows or destroys it). Each costs time linear in the bytes
 * it reads and writes, and neither allocates anything that outlives a failed
 * call.
 */
#ifndef SPATIALGEOM_WKB_H
#define SPATIALGEOM_WKB_H

#include "spatialgeom/types.h"

SPATIALGEOM_EXTERN_C_BEGIN

/* Writes the record geom (8-byte aligned, as the library hands records out)
 * as WKB: little-endian (byte-order byte 1), ISO type codes with z, 1001
 * point to 1007 collection, every vertex x y z.
 *
 * The record is written as the text writer writes it, element for element:
 * a linestring, and each polygon ring, is one point list of all its
 * sublines' vertices in order (sublines without vertices add nothing); each
 * subline of a multilinestring's line becomes a linestring of its own, so a
 * line of several sublines reads back as several lines. The record is
 * believed as the other exports believe it (check outside bytes with
 * spatialWKB_checkRecord first).
 *
 * *size receives the byte count of the encoding. Statuses:
 *   0           the bytes are at buffer (any alignment, not overlapping the
 *               record); bytes after them are untouched.
 *   4294967291  (SPATIAL_BUFFER_TOO_SMALL, -5) capacity is below *size, or
 *               buffer is null: *size is written, buffer untouched. A null
 *               buffer is a size query whatever the capacity.
 *   32768       null geom or size; a type code other than 1 to 7; a record
 *               the encoding cannot express: a linestring or polygon ring
 *               without vertices, a polygon without rings, a multipoint
 *               without points, a multilinestring line without sublines or
 *               with a subline without vertices, a multipolygon member without
 *               rings, a collection member that is a collection or of an
 *               unknown type, a point (alone, in a multipoint or a collection)
 *               whose three coordinates are all NaN (read everywhere as the
 *               empty point), or an encoding over 4294967295 bytes. *size and
 *               buffer are then untouched.
 * An empty multilinestring, multipolygon or collection is written with a
 * count of 0. Two walks of the record, no allocation. */
SPATIALGEOM_API uint32_t spatialWKB_toOgcWkb(const void* geom, void* buffer, uint32_t capacity, uint32_t* size);

/* Reads the length bytes at bytes (any alignment) as one WKB geometry and
 * stores a new record in *outGeom, owned by the caller and released with
 * spatialWKB_destroyGeom. The record is byte for byte the one the creators,
 * growers and spatialParse_string make for the same geometry (one subline
 * per linestring, ring and member line).
 *
 * Accepted: either byte order, chosen anew by every nested geometry's own
 * byte-order byte; ISO type codes 1 to 7 (x y; z is taken as 0) and 1001 to
 * 1007 (x y z); the extended dialect: codes 1 to 7 with the z flag
 * 0x80000000 and the SRID flag 0x20000000, whose SRID word follows the type
 * word and is dropped (on any geometry, nested ones included). Each nested
 * geometry's type word says whether it has z. Empty multilinestrings,
 * multipolygons and collections (count 0) are accepted, as are linestrings
 * and rings of a single point (rings are not checked for closure).
 *
 * Statuses: 0, or 32768 with nothing allocated and *outGeom untouched for:
 * null bytes or outGeom; truncated bytes; a byte-order byte other than 0 or
 * 1; m coordinates (codes 2001-2007 and 3001-3007, the flag 0x40000000),
 * whether or not with z; an ISO code with extended flags; any other code;
 * a count larger than the bytes left could hold; a member of the wrong kind
 * (a multipoint holds points, a multilinestring linestrings, a multipolygon
 * polygons); a collection inside a collection; what no record holds: a
 * point whose coordinates are all NaN (the empty point), a multipoint
 * without points, a linestring or ring without points, a polygon without
 * rings; bytes after the geometry; a record over 4294967295 bytes;
 * exhausted memory.
 *
 * One pass over the bytes, never a read outside them; working memory and
 * the record are linear in length. */
SPATIALGEOM_API uint32_t spatialWKB_fromOgcWkb(const void* bytes, uint32_t length, void** outGeom);

SPATIALGEOM_EXTERN_C_END

#endif /* SPATIALGEOM_WKB_H */
