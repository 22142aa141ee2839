// Writing new elements into record memory: the shared tail of every creator
// and growing operation. An element of "depth" d is d count words of 1 (each
// with its pad word cleared) followed by one subline holding n vertices:
//   depth 0: a subline (linestring growth)
//   depth 1: a subline sequence (a ring, a member line)
//   depth 2: a ring sequence (a member polygon)
#pragma once

#include <cstdint>

#include "records/record_layout.h"

namespace spatialgeom {

// Bytes taken by an element of that depth holding n vertices.
constexpr std::uint64_t elementSize(unsigned depth, std::uint64_t n) {
    return kCountWordsSize * (depth + 1) + kVertexSize * n;
}

// Writes the element at `at` (any alignment); returns the address just
// after it.
Byte* writeElement(Byte* at, unsigned depth, const DPoint3d* vertices, std::uint32_t n);

// Writes a u32 count word and clears the pad word after it.
void writeCountWords(Byte* at, std::uint32_t count);

}  // namespace spatialgeom
