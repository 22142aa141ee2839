// A caller's buffer of 16-bit characters being filled with one text, front
// to back. The capacity counts characters, the terminator included. Every
// successful append leaves the text terminated, so a piece needs room for
// its characters plus one; when it lacks that room nothing is appended.
#pragma once

#include <cstdint>
#include <string_view>

#include "spatialgeom/types.h"

namespace spatialgeom {

class WideTextBuffer {
public:
    WideTextBuffer(SpatialWChar* buffer, std::int32_t capacity) : buffer_(buffer), capacity_(capacity) {}

    // Characters written so far, the terminator not counted.
    std::int32_t length() const { return length_; }
    // Characters still free, the place of the terminator included.
    std::int32_t remaining() const { return capacity_ - length_; }

    // Appends ASCII text and a terminator; false when fewer than
    // text.size() + 1 characters remain.
    bool append(std::string_view text) {
        if (remaining() <= static_cast<std::int32_t>(text.size())) return false;
        SpatialWChar* out = buffer_ + length_;
        for (char c : text) *out++ = static_cast<SpatialWChar>(c);
        *out = 0;
        length_ += static_cast<std::int32_t>(text.size());
        return true;
    }

    // Lets write(at, capacity) fill the rest of the buffer, where it must
    // leave a terminated text and return its length. A result below 1
    // (nothing written, or failure) gives false and appends nothing.
    template <typename Write>
    bool appendWritten(Write&& write) {
        const std::int32_t written = write(buffer_ + length_, remaining());
        if (written < 1) return false;
        length_ += written;
        return true;
    }

private:
    SpatialWChar* buffer_;
    std::int32_t capacity_;
    std::int32_t length_ = 0;
};

// "(" + the text of write + ")".
template <typename Write>
bool appendParenthesised(WideTextBuffer& out, Write&& write) {
    return out.append("(") && out.appendWritten(write) && out.append(")");
}

// A visitor for the record walkers: calls write(element) for each element
// and appends "," before every element but the first. Stops the walk on
// the first failure.
template <typename Write>
auto commaSeparated(WideTextBuffer& out, Write write) {
    return [&out, write, first = true](auto element) mutable {
        if (!first && !out.append(",")) return false;
        first = false;
        return write(element);
    };
}

}  // namespace spatialgeom
