#include "records/element_writer.h"

#include <algorithm>

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
    std::copy_n(vertices, n, vertexArray(at));
    return at + kVertexSize * n;
}

}  // namespace spatialgeom
