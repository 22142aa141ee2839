#include "text/vertex_text.h"

#include <algorithm>

#include "text/number_format.h"
#include "text/wkt_precision.h"

namespace spatialgeom {
namespace {

// Room for the text of a vertex whose numbers all take the fast path, with
// their scratch and the terminator.
constexpr std::int32_t kFastVertexChars = 3 * static_cast<std::int32_t>(kMaxFastNumberChars) + 5;

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

// The vertex's text, without terminator, written at out, which has
// kAmpleVertexChars of room. Returns the text's end.
SpatialWChar* writeVertex(const DPoint3d& vertex, VertexStyle style, std::int32_t precision, SpatialWChar* out) {
    const bool parenthesised = style == VertexStyle::kParenthesised;
    if (parenthesised) *out++ = '(';
    out = formatCoordinates(vertex, precision, out);
    if (parenthesised) *out++ = ')';
    return out;
}

// The vertices from the first on, each after a comma unless it is the
// first and comma is false, written from at (the fast path, numbers of
// width kWidth) while room keeps more than kFastVertexChars characters
// after them; stops at a vertex the fast path declines. The count written
// goes to *written; returns the end of the text (unterminated).
template <int kWidth>
SpatialWChar* appendFastRun(const DPoint3d* vertices, std::uint32_t count, bool parenthesised, bool comma,
                            std::int32_t precision, SpatialWChar* at, std::int32_t room, std::uint32_t* written) {
    SpatialWChar* end = at;
    const std::ptrdiff_t usable = room - kFastVertexChars;
    std::uint32_t i = 0;
    for (; i < count && end - at < usable; ++i) {
        SpatialWChar* next = end;
        *next = ',';
        next += comma || i > 0;
        if (parenthesised) *next++ = '(';
        next = fastnumber::writeCoordinates<kWidth>(vertices[i], precision, next);
        if (next == nullptr) break;
        if (parenthesised) *next++ = ')';
        end = next;
    }
    *written = i;
    return end;
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
    const SpatialWChar* end = writeVertex(vertex, style, precision, text);
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
    for (std::uint32_t i = appendFastVertices(vertices, count); i < count;
         i += appendFastVertices(vertices + i, count - i)) {
        if (!appendVertex(vertices[i++])) return false;
    }
    return true;
}

std::uint32_t VertexListWriter::appendFastVertices(const DPoint3d* vertices, std::uint32_t count) {
    const std::int32_t precision = effectivePrecision(precision_);
    const bool parenthesised = style_ == VertexStyle::kParenthesised;
    std::uint32_t written = 0;
    out_.appendWritten([&](SpatialWChar* at, std::int32_t room) {
        SpatialWChar* end = at;
        switch (precision > kLargestFastPrecision ? 0 : fastnumber::widthOf(precision)) {
            case 1:
                end = appendFastRun<1>(vertices, count, parenthesised, !empty_, precision, at, room, &written);
                break;
            case 2:
                end = appendFastRun<2>(vertices, count, parenthesised, !empty_, precision, at, room, &written);
                break;
            case 3:
                end = appendFastRun<3>(vertices, count, parenthesised, !empty_, precision, at, room, &written);
                break;
            default: break;
        }
        if (written == 0) return 0;
        empty_ = false;
        *end = 0;
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
