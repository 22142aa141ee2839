#include "text/wkt_writer.h"

#include <cstdint>
#include <string_view>

#include "records/navigation.h"
#include "text/vertex_text.h"
#include "text/wide_text_buffer.h"

namespace spatialgeom {
namespace {

constexpr std::int32_t kCannotWrite = -1;

// write bound to one element, in the shape WideTextBuffer::appendWritten takes.
auto writing(TextWriter write, const Byte* element) {
    return [write, element](SpatialWChar* at, std::int32_t room) { return write(element, at, room); };
}

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
    const bool complete = forEachSubline(
        seq, [&](const Byte* subline) { return list.append(sublineVertices(subline), sublineVertexCount(subline)); });
    return complete ? out.length() : kCannotWrite;
}

// The four simple kinds: keyword, a body that must not be empty, ")".
std::int32_t writeSimpleKind(std::string_view keyword, TextWriter writeBody, const Byte* body, SpatialWChar* buffer,
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

// The three containers: keyword, comma-separated elements, ")". An empty
// container is just the keyword and ")". A capacity that cannot hold the
// keyword gives 0.
template <typename WriteElements>
std::int32_t writeContainer(std::string_view keyword, SpatialWChar* buffer, std::int32_t capacity,
                            WriteElements&& writeElements) {
    WideTextBuffer out(buffer, capacity);
    if (!out.append(keyword)) return 0;
    if (!writeElements(out) || !out.append(")")) return kCannotWrite;
    return out.length();
}

}  // namespace

// ---- The lists of lines and rings.

std::int32_t writeSublineList(const Byte* seq, SpatialWChar* buffer, std::int32_t capacity) {
    if (sublineCount(seq) == 0 || capacity < 1) return 0;
    WideTextBuffer out(buffer, capacity);
    const bool complete = forEachSubline(seq, commaSeparated(out, [&](const Byte* subline) {
                                             return appendParenthesised(out, writing(writeSublineVertices, subline));
                                         }));
    return complete ? out.length() : kCannotWrite;
}

std::int32_t writeRingList(const Byte* rings, SpatialWChar* buffer, std::int32_t capacity) {
    if (ringCount(rings) == 0 || capacity < 1) return 0;
    WideTextBuffer out(buffer, capacity);
    const bool complete = forEachSublineSeq(rings, commaSeparated(out, [&](const Byte* ring) {
                                                return appendParenthesised(out, writing(writeLineVertices, ring));
                                            }));
    return complete ? out.length() : kCannotWrite;
}

// ---- The kinds.

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

std::int32_t writeCollection(const Byte* record, SpatialWChar* buffer, std::int32_t capacity) {
    return writeContainer("geometrycollection(", buffer, capacity, [&](WideTextBuffer& out) {
        return forEachMember(record, commaSeparated(out, [&](const Byte* member) {
                                 const TextWriter write = simpleKindWriter(recordType(member));
                                 return write != nullptr && out.appendWritten(writing(write, member));
                             }));
    });
}

TextWriter simpleKindWriter(std::uint32_t type) {
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

}  // namespace spatialgeom
