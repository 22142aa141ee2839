#include "records/record_creators.h"

#include <algorithm>

#include "records/element_writer.h"
#include "records/navigation.h"
#include "records/record_memory.h"

namespace spatialgeom {
namespace {

// Lays out header + body and stores totalSize. The body writer fills the
// block after the header.
template <typename WriteBody>
Byte* createRecord(std::uint32_t type, std::uint64_t size, WriteBody&& writeBody) {
    if (!fitsRecordSize(size)) return nullptr;
    Byte* record = allocateRecord(size);
    if (record == nullptr) return nullptr;
    writeHeader(record, type, 0);
    writeBody(record + kBodyOffset);
    std::uint64_t computed = 0;
    layoutSize(record, &computed);
    writeWord(record + kTotalSizeOffset, static_cast<std::uint32_t>(computed));
    return record;
}

// Linestring (depth 1), polygon and multilinestring (2), multipolygon (3).
Byte* createNested(std::uint32_t type, unsigned depth, const DPoint3d* vertices, std::uint32_t count) {
    return createRecord(type, kHeaderSize + elementSize(depth, count),
                        [&](Byte* body) { writeElement(body, depth, vertices, count); });
}

}  // namespace

Byte* createPointRecord(const DPoint3d& point) {
    return createRecord(SPATIAL_TYPE_POINT, kPointRecordSize, [&](Byte* body) { *vertexArray(body) = point; });
}

Byte* createLineRecord(const DPoint3d* vertices, std::uint32_t count) {
    return createNested(SPATIAL_TYPE_LINESTRING, 1, vertices, count);
}

Byte* createPolygonRecord(const DPoint3d* vertices, std::uint32_t count) {
    return createNested(SPATIAL_TYPE_POLYGON, 2, vertices, count);
}

Byte* createMultiLineRecord(const DPoint3d* vertices, std::uint32_t count) {
    return createNested(SPATIAL_TYPE_MULTILINESTRING, 2, vertices, count);
}

Byte* createMultiPolygonRecord(const DPoint3d* vertices, std::uint32_t count) {
    return createNested(SPATIAL_TYPE_MULTIPOLYGON, 3, vertices, count);
}

Byte* createMultiPointRecord(const DPoint3d* vertices, std::uint32_t count) {
    return createRecord(SPATIAL_TYPE_MULTIPOINT, kFirstElementOffset + kVertexSize * std::uint64_t{count},
                        [&](Byte* body) {
                            writeCountWords(body, count);
                            std::copy_n(vertices, count, vertexArray(body + kCountWordsSize));
                        });
}

}  // namespace spatialgeom
