#include "text/vertex_text.h"

#include <algorithm>
#include <string_view>

#include "text/number_format.h"
#include "text/wkt_precision.h"

namespace spatialgeom {
namespace {

// Writes text into at most limit characters while counting all of it.
class BoundedWideWriter {
  public:
    BoundedWideWriter(SpatialWChar* buffer, std::int32_t limit) : buffer_(buffer), limit_(limit) {}

    void put(std::string_view text) {
        const std::int32_t size = static_cast<std::int32_t>(text.size());
        const std::int32_t fits = std::clamp(limit_ - length_, 0, size);
        for (std::int32_t i = 0; i < fits; ++i) buffer_[length_ + i] = static_cast<SpatialWChar>(text[i]);
        length_ += size;
    }

    // The truncating contract of formatWide.
    std::int32_t finish() {
        if (length_ < limit_) {
            buffer_[length_] = 0;
            return length_;
        }
        return length_ == limit_ ? length_ : -1;
    }

  private:
    SpatialWChar* buffer_;
    std::int32_t limit_;
    std::int32_t length_ = 0;
};

// Room for any vertex's text and its terminator: formatVertexDirect needs
// no bounds below it.
constexpr std::int32_t kAmpleVertexChars = 3 * static_cast<std::int32_t>(kMaxNumberChars) + 5;

// The text of value written straight to out; returns its end.
SpatialWChar* formatNumberDirect(double value, std::int32_t precision, SpatialWChar* out) {
    if (SpatialWChar* end = formatShortNumber(value, precision, out)) return end;
    NumberChars scratch;
    for (char c : formatGeneralNumber(value, precision, scratch)) *out++ = static_cast<SpatialWChar>(c);
    return out;
}

// The vertex's text and a terminator written straight to out, which has
// kAmpleVertexChars characters; returns the text's length.
std::int32_t formatVertexDirect(const DPoint3d& vertex, bool parenthesised, std::int32_t precision,
                                SpatialWChar* buffer) {
    SpatialWChar* out = buffer;
    if (parenthesised) *out++ = '(';
    out = formatNumberDirect(vertex.x, precision, out);
    *out++ = ' ';
    out = formatNumberDirect(vertex.y, precision, out);
    *out++ = ' ';
    out = formatNumberDirect(vertex.z, precision, out);
    if (parenthesised) *out++ = ')';
    *out = 0;
    return static_cast<std::int32_t>(out - buffer);
}

}  // namespace

std::int32_t formatWide(const DPoint3d& vertex, VertexStyle style, std::int32_t precision, SpatialWChar* buffer,
                        std::int32_t limit) {
    const bool parenthesised = style == VertexStyle::kParenthesised;
    if (limit >= kAmpleVertexChars) return formatVertexDirect(vertex, parenthesised, precision, buffer);
    BoundedWideWriter writer(buffer, limit);
    NumberChars scratch;
    if (parenthesised) writer.put("(");
    writer.put(formatNumber(vertex.x, precision, scratch));
    writer.put(" ");
    writer.put(formatNumber(vertex.y, precision, scratch));
    writer.put(" ");
    writer.put(formatNumber(vertex.z, precision, scratch));
    if (parenthesised) writer.put(")");
    return writer.finish();
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
