// The six creators: each makes the smallest record of its kind in one heap
// block, every enclosing count 1 and one subline holding all vertices.
#include <algorithm>

#include "records/element_writer.h"
#include "records/navigation.h"
#include "records/record_memory.h"
#include "spatialgeom/records.h"

namespace spatialgeom {
namespace {

// Lays out header + body, stores totalSize and hands the block out. The body
// writer fills the block after the header. Cost: one allocation, one copy.
template <typename WriteBody>
std::uint32_t createRecord(std::uint32_t type, std::uint64_t size, void** outGeom, WriteBody&& writeBody) {
    if (!fitsRecordSize(size)) return SPATIAL_FAILURE;
    Byte* record = allocateRecord(size);
    if (record == nullptr) return SPATIAL_FAILURE;
    writeHeader(record, type, 0);
    writeBody(record + kBodyOffset);
    std::uint64_t computed = 0;
    layoutSize(record, &computed);
    writeWord(record + kTotalSizeOffset, static_cast<std::uint32_t>(computed));
    *outGeom = record;
    return SPATIAL_SUCCESS;
}

// Linestring (depth 1), polygon and multilinestring (2), multipolygon (3).
std::uint32_t createNested(std::uint32_t type, unsigned depth, const DPoint3d* vertices, std::uint32_t count,
                           void** outGeom) {
    if (outGeom == nullptr || vertices == nullptr || count == 0) return SPATIAL_FAILURE;
    return createRecord(type, kHeaderSize + elementSize(depth, count), outGeom,
                        [&](Byte* body) { writeElement(body, depth, vertices, count); });
}

}  // namespace
}  // namespace spatialgeom

using namespace spatialgeom;

extern "C" {

SPATIALGEOM_API uint32_t spatialWKB_createPoint(const DPoint3d* point, void** outGeom) {
    if (outGeom == nullptr || point == nullptr) return SPATIAL_FAILURE;
    return createRecord(SPATIAL_TYPE_POINT, kPointRecordSize, outGeom,
                        [&](Byte* body) { *vertexArray(body) = *point; });
}

SPATIALGEOM_API uint32_t spatialWKB_createLine(const DPoint3d* vertices, uint32_t count, void** outGeom) {
    return createNested(SPATIAL_TYPE_LINESTRING, 1, vertices, count, outGeom);
}

SPATIALGEOM_API uint32_t spatialWKB_createPolygon(const DPoint3d* vertices, uint32_t count, void** outGeom) {
    return createNested(SPATIAL_TYPE_POLYGON, 2, vertices, count, outGeom);
}

SPATIALGEOM_API uint32_t spatialWKB_createMultiLine(const DPoint3d* vertices, uint32_t count, void** outGeom) {
    return createNested(SPATIAL_TYPE_MULTILINESTRING, 2, vertices, count, outGeom);
}

SPATIALGEOM_API uint32_t spatialWKB_createMultiPolygon(const DPoint3d* vertices, uint32_t count, void** outGeom) {
    return createNested(SPATIAL_TYPE_MULTIPOLYGON, 3, vertices, count, outGeom);
}

SPATIALGEOM_API uint32_t spatialWKB_createMultiPoint(const DPoint3d* vertices, uint32_t count, void** outGeom) {
    if (outGeom == nullptr || vertices == nullptr || count == 0) return SPATIAL_FAILURE;
    return createRecord(SPATIAL_TYPE_MULTIPOINT, kFirstElementOffset + kVertexSize * std::uint64_t{count}, outGeom,
                        [&](Byte* body) {
                            writeCountWords(body, count);
                            std::copy_n(vertices, count, vertexArray(body + kCountWordsSize));
                        });
}

}  // extern "C"
