// Records as Well-Known Binary and back.
//
// Writing: little-endian, ISO type codes with z (1001 to 1007), every
// vertex x y z. What the text writer writes is what can be written, and in
// the same shape: a linestring, and each polygon ring, is one point list of
// all its sublines' vertices (sublines without vertices add nothing, but the
// list must not be empty); each subline of a multilinestring's member line
// is a linestring of its own and must have vertices, and a member line must
// have a subline; a polygon needs a ring; a multipoint needs a point; a
// multilinestring, multipolygon or collection may be empty; collection
// members are of kinds 1 to 6. A point whose three coordinates are all NaN
// is refused as well: every reader takes those for the empty point.
//
// Reading: type codes 1 to 7 (x y; z becomes 0) and 1001 to 1007 (x y z),
// or the extended dialect (kinds 1 to 7 with the z flag 0x80000000 and the
// SRID flag 0x20000000, whose SRID word is skipped); either byte order,
// chosen again by each nested geometry; each nested geometry's own type word
// says whether it has z. Refused: m coordinates (2001-2007, 3001-3007, the
// flag 0x40000000), ISO codes with extended flags, other codes and bits,
// members of the wrong kind, a collection inside a collection, whatever the
// writer refuses (so an empty point, multipoint, linestring, polygon or ring),
// and bytes after the geometry. The record is the one the creators, growers
// and text parser make for the same geometry: one subline per line and ring.
//
// Both directions cost time linear in their input and recurse no deeper
// than a collection's members; neither keeps state between calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/record_layout.h"

namespace spatialgeom {

// The size in bytes of the record's encoding, or false when the record
// cannot be written (see above, and unknown type codes). The record is
// believed as every walker believes it.
bool ogcWkbSize(const Byte* record, std::uint64_t* size);

// Writes the encoding, exactly the ogcWkbSize bytes, at `out` (any
// alignment) and returns the address after it. The record must be one
// ogcWkbSize accepts.
Byte* writeOgcWkb(const Byte* record, Byte* out);

// A new record block (records/record_memory.h) for the geometry of the
// `length` bytes at `bytes` (any alignment), or null when they are not
// exactly one geometry the record holds, the record's size does not fit in
// 32 bits, or its block cannot be allocated. Reads nothing outside the
// bytes and reserves nothing before the bytes show it is needed. Throws
// std::bad_alloc when its working arrays cannot grow; nothing is leaked.
Byte* recordFromOgcWkb(const Byte* bytes, std::size_t length);

}  // namespace spatialgeom
