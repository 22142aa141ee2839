// Records as Well-Known Text, written in one pass into the caller's buffer
// with no allocation. Texts use lowercase keywords and no spaces other than
// those between the coordinates of a vertex, e.g.
//   polygon((0 0 0,4 0 0,4 4 0,0 0 0),(1 1 0,2 1 0,2 2 0,1 1 0))
// Every writer below has the shape (element, buffer, capacity) -> result:
// the text's length, 0 when it wrote nothing, -1 when the text does not fit
// or the element cannot be written (the buffer then holds an unfinished
// text). A positive result always leaves the text terminated. Capacities
// count characters, the terminator included; characters after the
// terminator, within the capacity, may be overwritten.
#pragma once

#include <cstdint>

#include "records/record_layout.h"

namespace spatialgeom {

using TextWriter = std::int32_t (*)(const Byte* element, SpatialWChar* buffer, std::int32_t capacity);

// A subline sequence: each subline as "(" its vertices ")", comma
// separated. 0 when there is no subline or the capacity is below 1; -1 for
// a subline without vertices.
std::int32_t writeSublineList(const Byte* seq, SpatialWChar* buffer, std::int32_t capacity);
// A ring sequence: each ring as "(" all its vertices ")", subline after
// subline, comma separated. 0 when there is no ring or the capacity is
// below 1; -1 for a ring without vertices.
std::int32_t writeRingList(const Byte* rings, SpatialWChar* buffer, std::int32_t capacity);

// The four simple kinds: keyword, a body that must not be empty, ")". A
// linestring is one list of all its vertices, subline after subline.
std::int32_t writePoint(const Byte* record, SpatialWChar* buffer, std::int32_t capacity);
std::int32_t writeLinestring(const Byte* record, SpatialWChar* buffer, std::int32_t capacity);
std::int32_t writePolygon(const Byte* record, SpatialWChar* buffer, std::int32_t capacity);
std::int32_t writeMultiPoint(const Byte* record, SpatialWChar* buffer, std::int32_t capacity);

// The three containers: keyword, comma-separated elements, ")"; an empty
// container is just the keyword and ")", e.g. "multipolygon()". A capacity
// that cannot hold the keyword gives 0.
std::int32_t writeMultiLinestring(const Byte* record, SpatialWChar* buffer, std::int32_t capacity);
std::int32_t writeMultiPolygon(const Byte* record, SpatialWChar* buffer, std::int32_t capacity);
// Members of the six simple kinds only: a nested collection, an unknown
// code or a member whose position cannot be found gives -1.
std::int32_t writeCollection(const Byte* record, SpatialWChar* buffer, std::int32_t capacity);

// The writer of type codes 1 to 6; null for any other code.
TextWriter simpleKindWriter(std::uint32_t type);

}  // namespace spatialgeom
