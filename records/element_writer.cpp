#include "records/element_writer.h"

#include <cstring>

namespace spatialgeom {

void writeCountWords(Byte* at, std::uint32_t count) {
    writeWord(at, count);
    writeWord(at + 4, 0);
}

Byte* writeElement(Byte* at, unsigned depth, const DPoint3d* vertices, std::uint32_t n) {
    for (unsigned level = 0; level < depth; ++level, at += kCountWordsSize) writeCountWords(at, 1);
    writeWord(at, 0);  // sublineReserved
    writeWord(at + 4, n);
    at += kCountWordsSize;
    // memcpy: `at` need not be 8-byte aligned (a caller's byte buffer).
    if (n != 0) std::memcpy(at, vertices, kVertexSize * n);
    return at + kVertexSize * n;
}

}  // namespace spatialgeom
