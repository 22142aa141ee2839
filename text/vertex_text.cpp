#include "text/vertex_text.h"

#include <algorithm>

#include "text/number_format.h"
#include "text/wkt_precision.h"

namespace spatialgeom {
namespace {

// Room for any vertex's text, its terminator and the scratch formatNumber
// may write past the last number: writeVertex needs no bounds below it.
constexpr std::int32_t kAmpleVertexChars = 3 * static_cast<std::int32_t>(kMaxNumberChars) + 5;

// The vertex's text written at out, which has kAmpleVertexChars
// characters, without terminator; returns its end.
SpatialWChar* writeVertex(const DPoint3d& vertex, VertexStyle style, std::int32_t precision, SpatialWChar* out) {
    const bool parenthesised = style == VertexStyle::kParenthesised;
    if (parenthesised) *out++ = '(';
    out = formatNumber(vertex.x, precision, out);
    *out++ = ' ';
    out = formatNumber(vertex.y, precision, out);
    *out++ = ' ';
    out = formatNumber(vertex.z, precision, out);
    if (parenthesised) *out++ = ')';
    return out;
}

}  // namespace

std::int32_t formatWide(const DPoint3d& vertex, VertexStyle style, std::int32_t precision, SpatialWChar* buffer,
                        std::int32_t limit) {
    if (limit >= kAmpleVertexChars) {
        SpatialWChar* end = writeVertex(vertex, style, precision, buffer);
        *end = 0;
        return static_cast<std::int32_t>(end - buffer);
    }
    SpatialWChar text[kAmpleVertexChars];
    const auto length = static_cast<std::int32_t>(writeVertex(vertex, style, precision, text) - text);
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
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!appendVertex(vertices[i])) return false;
    }
    return true;
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
