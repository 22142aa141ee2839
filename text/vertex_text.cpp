#include "text/vertex_text.h"

#include <algorithm>

#include "text/number_format.h"
#include "text/wkt_precision.h"

namespace spatialgeom {
namespace {

// Room for the text of a vertex whose numbers all take the short path,
// with their scratch and the terminator.
constexpr std::int32_t kShortVertexChars = 3 * static_cast<std::int32_t>(kMaxShortNumberChars) + 5;

// Room for any vertex's text, its terminator and formatNumber's scratch.
constexpr std::int32_t kAmpleVertexChars = 3 * static_cast<std::int32_t>(kMaxNumberChars) + 5;

// The three coordinates as formatNumber writes them, a space between two.
SpatialWChar* formatCoordinates(const DPoint3d& vertex, std::int32_t precision, SpatialWChar* out) {
    out = formatNumber(vertex.x, precision, out);
    *out++ = ' ';
    out = formatNumber(vertex.y, precision, out);
    *out++ = ' ';
    return formatNumber(vertex.z, precision, out);
}

using CoordinatesWriter = SpatialWChar* (*)(const DPoint3d& vertex, std::int32_t precision, SpatialWChar* out);

// The vertex's text, without terminator, written at out with write (one of
// formatCoordinates and formatShortCoordinates), which needs no bounds
// there. Returns the text's end; null when write declines the vertex.
template <CoordinatesWriter write>
SpatialWChar* writeVertex(const DPoint3d& vertex, VertexStyle style, std::int32_t precision, SpatialWChar* out) {
    const bool parenthesised = style == VertexStyle::kParenthesised;
    if (parenthesised) *out++ = '(';
    if ((out = write(vertex, precision, out)) == nullptr) return nullptr;
    if (parenthesised) *out++ = ')';
    return out;
}

}  // namespace

std::int32_t formatWide(const DPoint3d& vertex, VertexStyle style, std::int32_t precision, SpatialWChar* buffer,
                        std::int32_t limit) {
    if (limit >= kAmpleVertexChars) {
        SpatialWChar* end = writeVertex<formatCoordinates>(vertex, style, precision, buffer);
        *end = 0;
        return static_cast<std::int32_t>(end - buffer);
    }
    SpatialWChar text[kAmpleVertexChars];
    const SpatialWChar* end = writeVertex<formatCoordinates>(vertex, style, precision, text);
    const auto length = static_cast<std::int32_t>(end - text);
    std::copy_n(text, std::clamp(length, 0, limit), buffer);
    if (length < limit) {
        buffer[length] = 0;
        return length;
    }
    return length == limit ? length : -1;
}

VertexListWriter::VertexListWriter(WideTextBuffer& out, VertexStyle style)
    : out_(out), style_(style), precision_(wktPrecision()) {}

bool VertexListWriter::append(const DPoint3d* vertices, std::uint32_t count) {
    // Runs of vertices written straight in, each ended by one vertex for
    // the general path (or by the end of the list).
    for (std::uint32_t i = appendShortVertices(vertices, count); i < count;
         i += appendShortVertices(vertices + i, count - i)) {
        if (!appendVertex(vertices[i++])) return false;
    }
    return true;
}

std::uint32_t VertexListWriter::appendShortVertices(const DPoint3d* vertices, std::uint32_t count) {
    std::uint32_t written = 0;
    out_.appendWritten([&](SpatialWChar* at, std::int32_t room) {
        SpatialWChar* end = at;
        // Each vertex with room for the comma too.
        for (; written < count && room - (end - at) > kShortVertexChars; ++written) {
            SpatialWChar* next = end;
            if (!empty_) *next++ = ',';
            next = writeVertex<formatShortCoordinates>(vertices[written], style_, precision_, next);
            if (next == nullptr) break;
            end = next;
            empty_ = false;
        }
        if (written > 0) *end = 0;
        return static_cast<std::int32_t>(end - at);
    });
    return written;
}

bool VertexListWriter::appendVertex(const DPoint3d& vertex) {
    if (!empty_ && !out_.append(",")) return false;
    empty_ = false;
    // A vertex that fills the rest exactly has no room for its terminator.
    return out_.appendWritten([&](SpatialWChar* at, std::int32_t room) {
        const std::int32_t length = formatWide(vertex, style_, precision_, at, room);
        return length == room ? -1 : length;
    });
}

std::int32_t writeVertexList(const DPoint3d* vertices, std::uint32_t count, VertexStyle style, SpatialWChar* buffer,
                             std::int32_t capacity) {
    if (count == 0 || capacity < 1) return 0;
    WideTextBuffer out(buffer, capacity);
    VertexListWriter list(out, style);
    return list.append(vertices, count) ? out.length() : -1;
}

}  // namespace spatialgeom
