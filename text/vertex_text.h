// Vertices as text: "x y z" (plain) or "(x y z)" (the points of a
// multipoint), each coordinate formatted as "%.*g" in the C locale.
#pragma once

#include <cstdint>

#include "spatialgeom/types.h"
#include "text/wide_text_buffer.h"

namespace spatialgeom {

enum class VertexStyle { kPlain, kParenthesised };

// Bounded formatting of one vertex into at most limit characters, with a
// truncating contract: a text shorter than limit is written with a
// terminator and its length returned; a text of exactly limit characters is
// written without terminator and its length returned; a longer text has its
// first limit characters written, without terminator, and gives -1.
// Characters after a terminator, within limit, may be overwritten.
std::int32_t formatWide(const DPoint3d& vertex, VertexStyle style, std::int32_t precision, SpatialWChar* buffer,
                        std::int32_t limit);

// One comma-separated list of vertices appended to a buffer, possibly fed
// in several runs (the sublines of one line). The precision is read once,
// when the list starts. Each vertex needs room for its text and the
// terminator, each comma for itself and the terminator. Vertices of finite
// numbers at precisions up to 17 (formatNumberFast), with ample room left,
// are written straight in at a few dozen operations per number.
class VertexListWriter {
public:
    VertexListWriter(WideTextBuffer& out, VertexStyle style);

    // Appends count vertices; false when one of them or a comma does not fit.
    bool append(const DPoint3d* vertices, std::uint32_t count);

private:
    // Appends the vertices from the first on, with their commas, straight
    // into the buffer while there is room for the fast path's numbers
    // (formatNumberFast) and it takes every number; returns how many.
    std::uint32_t appendFastVertices(const DPoint3d* vertices, std::uint32_t count);
    // Appends one vertex of any numbers, with its comma, within the room left.
    bool appendVertex(const DPoint3d& vertex);

    WideTextBuffer& out_;
    VertexStyle style_;
    std::int32_t precision_;
    bool empty_ = true;
};

// count vertices as one list into buffer: its length, 0 without writing
// when count is 0 or capacity below 1, -1 when it does not fit.
std::int32_t writeVertexList(const DPoint3d* vertices, std::uint32_t count, VertexStyle style, SpatialWChar* buffer,
                             std::int32_t capacity);

}  // namespace spatialgeom
