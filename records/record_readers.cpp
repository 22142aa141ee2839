// Reading records: type, counts and copies of vertices. Every export checks,
// in this order, the record pointer, its outputs, the type code, the index
// and (mpointGetPoints) the capacity; the first failure returns
// SPATIAL_FAILURE with nothing written.
#include <algorithm>

#include "records/navigation.h"
#include "spatialgeom/records.h"

namespace spatialgeom {
namespace {

// The record when the pointer and outputs are present and the type code is
// the one expected; else null.
const Byte* typedRecord(const void* geom, bool outputsPresent, std::uint32_t type) {
    if (geom == nullptr || !outputsPresent) return nullptr;
    const auto* record = static_cast<const Byte*>(geom);
    return recordType(record) == type ? record : nullptr;
}

// The index-th element of a multi-kind record, or null when the index is not
// below the record's count.
template <typename Step>
const Byte* indexedElement(const Byte* record, std::uint32_t index, Step&& step) {
    if (record == nullptr || index >= bodyCount(record)) return nullptr;
    return stepElements(record + kFirstElementOffset, index, step);
}

std::uint32_t reportCount(std::uint64_t count, std::uint32_t* out) {
    *out = static_cast<std::uint32_t>(count);
    return SPATIAL_SUCCESS;
}

const Byte* multiLineMember(const void* geom, bool outputsPresent, std::uint32_t index) {
    return indexedElement(typedRecord(geom, outputsPresent, SPATIAL_TYPE_MULTILINESTRING), index,
                          [](const Byte* line) { return nextSublineSeq(line); });
}

const Byte* multiPolygonMember(const void* geom, bool outputsPresent, std::uint32_t index) {
    return indexedElement(typedRecord(geom, outputsPresent, SPATIAL_TYPE_MULTIPOLYGON), index,
                          [](const Byte* polygon) { return nextRingSeq(polygon); });
}

}  // namespace
}  // namespace spatialgeom

using namespace spatialgeom;

extern "C" {

SPATIALGEOM_API uint32_t spatialWKB_getType(const void* geom, uint32_t* type) {
    if (geom == nullptr || type == nullptr) return SPATIAL_FAILURE;
    *type = recordType(static_cast<const Byte*>(geom));
    return SPATIAL_SUCCESS;
}

SPATIALGEOM_API uint32_t spatialWKB_pointGetPoint(const void* geom, DPoint3d* point) {
    const Byte* record = typedRecord(geom, point != nullptr, SPATIAL_TYPE_POINT);
    if (record == nullptr) return SPATIAL_FAILURE;
    *point = *pointVertex(record);
    return SPATIAL_SUCCESS;
}

SPATIALGEOM_API uint32_t spatialWKB_lineGetPointCount(const void* geom, uint32_t* count) {
    const Byte* record = typedRecord(geom, count != nullptr, SPATIAL_TYPE_LINESTRING);
    if (record == nullptr) return SPATIAL_FAILURE;
    return reportCount(sublineSeqVertexCount(lineBody(record)), count);
}

SPATIALGEOM_API uint32_t spatialWKB_lineGetPoints(const void* geom, uint32_t capacity, DPoint3d* vertices,
                                                  uint32_t* count) {
    const Byte* record = typedRecord(geom, vertices != nullptr && count != nullptr, SPATIAL_TYPE_LINESTRING);
    if (record == nullptr) return SPATIAL_FAILURE;
    return sublineSeqCopyVertices(lineBody(record), capacity, vertices, count);
}

SPATIALGEOM_API uint32_t spatialWKB_polygonGetPointCount(const void* geom, uint32_t* count) {
    const Byte* record = typedRecord(geom, count != nullptr, SPATIAL_TYPE_POLYGON);
    if (record == nullptr) return SPATIAL_FAILURE;
    return reportCount(ringSeqVertexCount(polygonBody(record)), count);
}

SPATIALGEOM_API uint32_t spatialWKB_polygonGetPoints(const void* geom, uint32_t capacity, DPoint3d* vertices,
                                                     uint32_t* count) {
    const Byte* record = typedRecord(geom, vertices != nullptr && count != nullptr, SPATIAL_TYPE_POLYGON);
    if (record == nullptr) return SPATIAL_FAILURE;
    return ringSeqCopyVertices(polygonBody(record), capacity, vertices, count);
}

SPATIALGEOM_API uint32_t spatialWKB_mpointGetPointCount(const void* geom, uint32_t* count) {
    const Byte* record = typedRecord(geom, count != nullptr, SPATIAL_TYPE_MULTIPOINT);
    if (record == nullptr) return SPATIAL_FAILURE;
    return reportCount(bodyCount(record), count);
}

SPATIALGEOM_API uint32_t spatialWKB_mpointGetPoint(const void* geom, uint32_t index, DPoint3d* point) {
    const Byte* record = typedRecord(geom, point != nullptr, SPATIAL_TYPE_MULTIPOINT);
    if (record == nullptr || index >= bodyCount(record)) return SPATIAL_FAILURE;
    *point = multiPointVertices(record)[index];
    return SPATIAL_SUCCESS;
}

SPATIALGEOM_API uint32_t spatialWKB_mpointGetPoints(const void* geom, uint32_t capacity, DPoint3d* vertices,
                                                    uint32_t* count) {
    const Byte* record = typedRecord(geom, vertices != nullptr && count != nullptr, SPATIAL_TYPE_MULTIPOINT);
    if (record == nullptr || capacity < bodyCount(record)) return SPATIAL_FAILURE;
    *count = bodyCount(record);
    std::copy_n(multiPointVertices(record), *count, vertices);
    return SPATIAL_SUCCESS;
}

SPATIALGEOM_API uint32_t spatialWKB_mlineGetLineCount(const void* geom, uint32_t* count) {
    const Byte* record = typedRecord(geom, count != nullptr, SPATIAL_TYPE_MULTILINESTRING);
    if (record == nullptr) return SPATIAL_FAILURE;
    return reportCount(bodyCount(record), count);
}

SPATIALGEOM_API uint32_t spatialWKB_mlineGetPointCount(const void* geom, uint32_t lineIndex, uint32_t* count) {
    const Byte* line = multiLineMember(geom, count != nullptr, lineIndex);
    if (line == nullptr) return SPATIAL_FAILURE;
    return reportCount(sublineSeqVertexCount(line), count);
}

SPATIALGEOM_API uint32_t spatialWKB_mlineGetPoints(const void* geom, uint32_t lineIndex, uint32_t capacity,
                                                   DPoint3d* vertices, uint32_t* count) {
    const Byte* line = multiLineMember(geom, vertices != nullptr && count != nullptr, lineIndex);
    if (line == nullptr) return SPATIAL_FAILURE;
    return sublineSeqCopyVertices(line, capacity, vertices, count);
}

SPATIALGEOM_API uint32_t spatialWKB_mpolygonGetPolyCount(const void* geom, uint32_t* count) {
    const Byte* record = typedRecord(geom, count != nullptr, SPATIAL_TYPE_MULTIPOLYGON);
    if (record == nullptr) return SPATIAL_FAILURE;
    return reportCount(bodyCount(record), count);
}

SPATIALGEOM_API uint32_t spatialWKB_mpolygonGetPointCount(const void* geom, uint32_t polygonIndex, uint32_t* count) {
    const Byte* polygon = multiPolygonMember(geom, count != nullptr, polygonIndex);
    if (polygon == nullptr) return SPATIAL_FAILURE;
    return reportCount(ringSeqVertexCount(polygon), count);
}

SPATIALGEOM_API uint32_t spatialWKB_mpolygonGetPoints(const void* geom, uint32_t polygonIndex, uint32_t capacity,
                                                      DPoint3d* vertices, uint32_t* count) {
    const Byte* polygon = multiPolygonMember(geom, vertices != nullptr && count != nullptr, polygonIndex);
    if (polygon == nullptr) return SPATIAL_FAILURE;
    return ringSeqCopyVertices(polygon, capacity, vertices, count);
}

}  // extern "C"
