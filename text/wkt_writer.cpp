// Records as Well-Known Text, written in one pass into the caller's buffer
// with no allocation. Texts use lowercase keywords and no spaces other than
// those between the coordinates of a vertex, e.g.
//   polygon((0 0 0,4 0 0,4 4 0,0 0 0),(1 1 0,2 1 0,2 2 0,1 1 0))
// Every writer below has the shape (element, buffer, capacity) -> result:
// the text's length, 0 when it wrote nothing, -1 when the text does not fit
// or the element cannot be written (the buffer then holds an unfinished
// text). A positive result always leaves the text terminated.
#include <cstdint>
#include <string_view>

#include "records/navigation.h"
#include "spatialgeom/text.h"
#include "text/vertex_text.h"
#include "text/wide_text_buffer.h"

namespace spatialgeom {
namespace {

using Writer = std::int32_t (*)(const Byte* element, SpatialWChar* buffer, std::int32_t capacity);

constexpr std::int32_t kCannotWrite = -1;
constexpr std::int32_t kDispatchFailure = static_cast<std::int32_t>(SPATIAL_FAILURE);

// write bound to one element, in the shape WideTextBuffer::appendWritten takes.
auto writing(Writer write, const Byte* element) {
    return [write, element](SpatialWChar* at, std::int32_t room) { return write(element, at, room); };
}

// ---- Vertex lists and the lists of lines and rings.

std::int32_t writeSublineVertices(const Byte* subline, SpatialWChar* buffer, std::int32_t capacity) {
    return writeVertexList(sublineVertices(subline), sublineVertexCount(subline), VertexStyle::kPlain, buffer,
                           capacity);
}

// Every vertex of a subline sequence as one list, subline after subline, so
// that a line or ring made of several sublines reads back whole. 0 when the
// sequence has no vertex or the capacity is below 1.
std::int32_t writeLineVertices(const Byte* seq, SpatialWChar* buffer, std::int32_t capacity) {
    if (capacity < 1) return 0;
    WideTextBuffer out(buffer, capacity);
    VertexListWriter list(out, VertexStyle::kPlain);
    const bool complete = forEachSubline(seq, [&](const Byte* subline) {
        return list.append(sublineVertices(subline), sublineVertexCount(subline));
    });
    return complete ? out.length() : kCannotWrite;
}

// Each subline as "(" its vertices ")", comma separated. 0 when there is no
// subline or the capacity is below 1; -1 for a subline without vertices.
std::int32_t writeSublineList(const Byte* seq, SpatialWChar* buffer, std::int32_t capacity) {
    if (sublineCount(seq) == 0 || capacity < 1) return 0;
    WideTextBuffer out(buffer, capacity);
    const bool complete = forEachSubline(seq, commaSeparated(out, [&](const Byte* subline) {
        return appendParenthesised(out, writing(writeSublineVertices, subline));
    }));
    return complete ? out.length() : kCannotWrite;
}

// Each ring as "(" all its vertices ")", comma separated. 0 when there is
// no ring or the capacity is below 1; -1 for a ring without vertices.
std::int32_t writeRingList(const Byte* rings, SpatialWChar* buffer, std::int32_t capacity) {
    if (ringCount(rings) == 0 || capacity < 1) return 0;
    WideTextBuffer out(buffer, capacity);
    const bool complete = forEachSublineSeq(rings, commaSeparated(out, [&](const Byte* ring) {
        return appendParenthesised(out, writing(writeLineVertices, ring));
    }));
    return complete ? out.length() : kCannotWrite;
}

// ---- The four simple kinds: keyword, a body that must not be empty, ")".

std::int32_t writeSimpleKind(std::string_view keyword, Writer writeBody, const Byte* body, SpatialWChar* buffer,
                             std::int32_t capacity) {
    WideTextBuffer out(buffer, capacity);
    if (!out.append(keyword) || !out.appendWritten(writing(writeBody, body)) || !out.append(")")) return kCannotWrite;
    return out.length();
}

std::int32_t writePointVertex(const Byte* record, SpatialWChar* buffer, std::int32_t capacity) {
    return writeVertexList(pointVertex(record), 1, VertexStyle::kPlain, buffer, capacity);
}

std::int32_t writeMultiPointVertices(const Byte* record, SpatialWChar* buffer, std::int32_t capacity) {
    return writeVertexList(multiPointVertices(record), bodyCount(record), VertexStyle::kParenthesised, buffer,
                           capacity);
}

std::int32_t writePoint(const Byte* record, SpatialWChar* buffer, std::int32_t capacity) {
    return writeSimpleKind("point(", writePointVertex, record, buffer, capacity);
}

std::int32_t writeLinestring(const Byte* record, SpatialWChar* buffer, std::int32_t capacity) {
    return writeSimpleKind("linestring(", writeLineVertices, lineBody(record), buffer, capacity);
}

std::int32_t writePolygon(const Byte* record, SpatialWChar* buffer, std::int32_t capacity) {
    return writeSimpleKind("polygon(", writeRingList, polygonBody(record), buffer, capacity);
}

std::int32_t writeMultiPoint(const Byte* record, SpatialWChar* buffer, std::int32_t capacity) {
    return writeSimpleKind("multipoint(", writeMultiPointVertices, record, buffer, capacity);
}

// ---- The three containers: keyword, comma-separated elements, ")". An
// empty container is just the keyword and ")". A capacity that cannot hold
// the keyword gives 0.

template <typename WriteElements>
std::int32_t writeContainer(std::string_view keyword, SpatialWChar* buffer, std::int32_t capacity,
                            WriteElements&& writeElements) {
    WideTextBuffer out(buffer, capacity);
    if (!out.append(keyword)) return 0;
    if (!writeElements(out) || !out.append(")")) return kCannotWrite;
    return out.length();
}

std::int32_t writeMultiLinestring(const Byte* record, SpatialWChar* buffer, std::int32_t capacity) {
    return writeContainer("multilinestring(", buffer, capacity, [&](WideTextBuffer& out) {
        return forEachSublineSeq(multiLineBody(record), commaSeparated(out, [&](const Byte* line) {
            return out.appendWritten(writing(writeSublineList, line));
        }));
    });
}

std::int32_t writeMultiPolygon(const Byte* record, SpatialWChar* buffer, std::int32_t capacity) {
    return writeContainer("multipolygon(", buffer, capacity, [&](WideTextBuffer& out) {
        return forEachPolygon(record, commaSeparated(out, [&](const Byte* polygon) {
            return appendParenthesised(out, writing(writeRingList, polygon));
        }));
    });
}

// The writer of type codes 1 to 6; null for any other code.
Writer simpleKindWriter(std::uint32_t type) {
    switch (type) {
        case SPATIAL_TYPE_POINT: return writePoint;
        case SPATIAL_TYPE_LINESTRING: return writeLinestring;
        case SPATIAL_TYPE_POLYGON: return writePolygon;
        case SPATIAL_TYPE_MULTIPOINT: return writeMultiPoint;
        case SPATIAL_TYPE_MULTILINESTRING: return writeMultiLinestring;
        case SPATIAL_TYPE_MULTIPOLYGON: return writeMultiPolygon;
        default: return nullptr;
    }
}

// Members of the six simple kinds only: a nested collection, an unknown
// code or a member whose position cannot be found gives -1.
std::int32_t writeCollection(const Byte* record, SpatialWChar* buffer, std::int32_t capacity) {
    return writeContainer("geometrycollection(", buffer, capacity, [&](WideTextBuffer& out) {
        return forEachMember(record, commaSeparated(out, [&](const Byte* member) {
            const Writer write = simpleKindWriter(recordType(member));
            return write != nullptr && out.appendWritten(writing(write, member));
        }));
    });
}

const Byte* asRecord(const void* at) { return static_cast<const Byte*>(at); }

// The exported writers of one element: a null element or buffer cannot be
// written.
std::int32_t writeChecked(Writer write, const void* element, SpatialWChar* buffer, std::int32_t capacity) {
    if (element == nullptr || buffer == nullptr) return kCannotWrite;
    return write(asRecord(element), buffer, capacity);
}

std::int32_t writeVertexListChecked(std::uint32_t count, const DPoint3d* vertices, VertexStyle style,
                                    SpatialWChar* buffer, std::int32_t capacity) {
    if (count == 0 || capacity < 1) return 0;
    if (vertices == nullptr || buffer == nullptr) return kCannotWrite;
    return writeVertexList(vertices, count, style, buffer, capacity);
}

}  // namespace
}  // namespace spatialgeom

using namespace spatialgeom;

extern "C" {

SPATIALGEOM_API int32_t spatialWKB_convertBinaryToText(const void* geom, SpatialWChar* buffer, uint32_t bufferBytes) {
    if (geom == nullptr || buffer == nullptr) return kDispatchFailure;
    // At most 2^31 - 1 characters: the capacity fits in int32_t.
    const auto capacity = static_cast<std::int32_t>(bufferBytes / sizeof(SpatialWChar));
    if (recordType(asRecord(geom)) == SPATIAL_TYPE_COLLECTION) return writeCollection(asRecord(geom), buffer, capacity);
    return spatialWKT_geometry(geom, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_geometry(const void* geom, SpatialWChar* buffer, int32_t capacity) {
    if (geom == nullptr || buffer == nullptr || capacity == 0) return kDispatchFailure;
    const Writer write = simpleKindWriter(recordType(asRecord(geom)));
    return write == nullptr ? kDispatchFailure : write(asRecord(geom), buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_geometryCollection(const void* geom, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writeCollection, geom, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_point(const void* geom, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writePoint, geom, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_linestring(const void* geom, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writeLinestring, geom, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_polygon(const void* geom, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writePolygon, geom, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_multipoint(const void* geom, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writeMultiPoint, geom, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_multilinestring(const void* geom, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writeMultiLinestring, geom, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_multipolygon(const void* geom, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writeMultiPolygon, geom, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_pointList(uint32_t count, const DPoint3d* vertices, SpatialWChar* buffer,
                                             int32_t capacity) {
    return writeVertexListChecked(count, vertices, VertexStyle::kPlain, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_multipointList(uint32_t count, const DPoint3d* vertices, SpatialWChar* buffer,
                                                  int32_t capacity) {
    return writeVertexListChecked(count, vertices, VertexStyle::kParenthesised, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_sublineSeq(const void* seq, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writeSublineList, seq, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_ringSeq(const void* seq, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writeRingList, seq, buffer, capacity);
}

}  // extern "C"
