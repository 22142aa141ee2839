// The C interface of spatialgeom/records.h: argument checks and status
// codes over the record operations of records/.
#include <algorithm>

#include "records/navigation.h"
#include "records/record_check.h"
#include "records/record_creators.h"
#include "records/record_growth.h"
#include "records/record_memory.h"
#include "records/record_sizes.h"
#include "records/vertex_runs.h"
#include "spatialgeom/records.h"

namespace spatialgeom {
namespace {

const Byte* asRecord(const void* geom) { return static_cast<const Byte*>(geom); }

std::uint32_t status(bool succeeded) { return succeeded ? SPATIAL_SUCCESS : SPATIAL_FAILURE; }

// Stores a new record in *outGeom; a null record is a failure.
std::uint32_t handOut(Byte* record, void** outGeom) {
    if (record == nullptr) return SPATIAL_FAILURE;
    *outGeom = record;
    return SPATIAL_SUCCESS;
}

using Creator = Byte* (*)(const DPoint3d*, std::uint32_t);

std::uint32_t create(Creator creator, const DPoint3d* vertices, std::uint32_t count, void** outGeom) {
    if (outGeom == nullptr || vertices == nullptr || count == 0) return SPATIAL_FAILURE;
    return handOut(creator(vertices, count), outGeom);
}

std::uint32_t sizeAs(std::uint32_t kind, const void* geom, std::uint32_t* size) {
    if (geom == nullptr || size == nullptr) return SPATIAL_FAILURE;
    return status(sizeAsKind(asRecord(geom), kind, size));
}

using Append = bool (*)(Byte**, const DPoint3d*, std::uint32_t);

std::uint32_t append(Append appendElement, const DPoint3d* vertices, std::uint32_t count, void** geomVar) {
    if (geomVar == nullptr || *geomVar == nullptr || vertices == nullptr || count == 0) return SPATIAL_FAILURE;
    auto* record = static_cast<Byte*>(*geomVar);
    if (!appendElement(&record, vertices, count)) return SPATIAL_FAILURE;
    *geomVar = record;
    return SPATIAL_SUCCESS;
}

// The readers check, in this order, the record pointer, its outputs and
// the type code: the record when all hold, else null.
const Byte* typedRecord(const void* geom, bool outputsPresent, std::uint32_t type) {
    if (geom == nullptr || !outputsPresent) return nullptr;
    return recordType(asRecord(geom)) == type ? asRecord(geom) : nullptr;
}

std::uint32_t reportCount(std::uint64_t count, std::uint32_t* out) {
    *out = static_cast<std::uint32_t>(count);
    return SPATIAL_SUCCESS;
}

}  // namespace
}  // namespace spatialgeom

using namespace spatialgeom;

extern "C" {

// ---- Creating.

SPATIALGEOM_API uint32_t spatialWKB_createPoint(const DPoint3d* point, void** outGeom) {
    if (outGeom == nullptr || point == nullptr) return SPATIAL_FAILURE;
    return handOut(createPointRecord(*point), outGeom);
}

SPATIALGEOM_API uint32_t spatialWKB_createLine(const DPoint3d* vertices, uint32_t count, void** outGeom) {
    return create(createLineRecord, vertices, count, outGeom);
}

SPATIALGEOM_API uint32_t spatialWKB_createPolygon(const DPoint3d* vertices, uint32_t count, void** outGeom) {
    return create(createPolygonRecord, vertices, count, outGeom);
}

SPATIALGEOM_API uint32_t spatialWKB_createMultiPoint(const DPoint3d* vertices, uint32_t count, void** outGeom) {
    return create(createMultiPointRecord, vertices, count, outGeom);
}

SPATIALGEOM_API uint32_t spatialWKB_createMultiLine(const DPoint3d* vertices, uint32_t count, void** outGeom) {
    return create(createMultiLineRecord, vertices, count, outGeom);
}

SPATIALGEOM_API uint32_t spatialWKB_createMultiPolygon(const DPoint3d* vertices, uint32_t count, void** outGeom) {
    return create(createMultiPolygonRecord, vertices, count, outGeom);
}

// ---- Sizing.

SPATIALGEOM_API uint32_t spatialWKB_calculateSize(const void* geom, uint32_t* size) {
    if (geom == nullptr || size == nullptr) return SPATIAL_FAILURE;
    // Type 8 has no layout: success without a size.
    if (recordType(asRecord(geom)) == SPATIAL_TYPE_RESERVED) return SPATIAL_SUCCESS;
    return status(computedRecordSize(asRecord(geom), size));
}

SPATIALGEOM_API uint32_t spatialWKB_getPointSize(const void* geom, uint32_t* size) {
    return sizeAs(SPATIAL_TYPE_POINT, geom, size);
}

SPATIALGEOM_API uint32_t spatialWKB_getLineSize(const void* geom, uint32_t* size) {
    return sizeAs(SPATIAL_TYPE_LINESTRING, geom, size);
}

SPATIALGEOM_API uint32_t spatialWKB_getPolygonSize(const void* geom, uint32_t* size) {
    return sizeAs(SPATIAL_TYPE_POLYGON, geom, size);
}

SPATIALGEOM_API uint32_t spatialWKB_getMultiPointSize(const void* geom, uint32_t* size) {
    return sizeAs(SPATIAL_TYPE_MULTIPOINT, geom, size);
}

SPATIALGEOM_API uint32_t spatialWKB_getMultiLineSize(const void* geom, uint32_t* size) {
    return sizeAs(SPATIAL_TYPE_MULTILINESTRING, geom, size);
}

SPATIALGEOM_API uint32_t spatialWKB_getMultiPolygonSize(const void* geom, uint32_t* size) {
    return sizeAs(SPATIAL_TYPE_MULTIPOLYGON, geom, size);
}

SPATIALGEOM_API uint32_t spatialWKB_getSize(const void* geom, uint32_t* size) {
    if (geom == nullptr || size == nullptr) return SPATIAL_FAILURE;
    return status(recordSize(asRecord(geom), size));
}

// ---- Checking.

SPATIALGEOM_API uint32_t spatialWKB_checkRecord(const void* record, uint32_t byteLength) {
    if (record == nullptr) return SPATIAL_FAILURE;
    return status(isWellFormedRecord(asRecord(record), byteLength));
}

// ---- Copying and releasing.

SPATIALGEOM_API uint32_t spatialWKB_copy(const void* geom, void** outGeom) {
    if (geom == nullptr || outGeom == nullptr) return SPATIAL_FAILURE;
    return handOut(copyRecord(asRecord(geom)), outGeom);
}

SPATIALGEOM_API uint32_t spatialWKB_destroyGeom(void** geomVar) {
    if (geomVar == nullptr || *geomVar == nullptr) return SPATIAL_FAILURE;
    releaseRecord(*geomVar);
    *geomVar = nullptr;
    return SPATIAL_SUCCESS;
}

SPATIALGEOM_API uint32_t spatialWKB_destroyGeomCollection(void** geomVar) { return spatialWKB_destroyGeom(geomVar); }

// ---- Growing.

SPATIALGEOM_API uint32_t spatialWKB_addLineToLine(const DPoint3d* vertices, uint32_t count, void** geomVar) {
    return append(appendSublineToLine, vertices, count, geomVar);
}

SPATIALGEOM_API uint32_t spatialWKB_addLineToMultiLine(const DPoint3d* vertices, uint32_t count, void** geomVar) {
    return append(appendLineToMultiLine, vertices, count, geomVar);
}

SPATIALGEOM_API uint32_t spatialWKB_addRingToPolygon(const DPoint3d* vertices, uint32_t count, void** geomVar) {
    return append(appendRingToPolygon, vertices, count, geomVar);
}

SPATIALGEOM_API uint32_t spatialWKB_addPolyToMultiPoly(const DPoint3d* vertices, uint32_t count, void** geomVar) {
    return append(appendPolygonToMultiPolygon, vertices, count, geomVar);
}

SPATIALGEOM_API uint32_t spatialWKB_addRingToMultiPoly(const DPoint3d* vertices, uint32_t count, void** geomVar) {
    return append(appendRingToLastPolygon, vertices, count, geomVar);
}

// ---- Reading.

SPATIALGEOM_API uint32_t spatialWKB_getType(const void* geom, uint32_t* type) {
    if (geom == nullptr || type == nullptr) return SPATIAL_FAILURE;
    *type = recordType(asRecord(geom));
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
    return status(sublineSeqCopyVertices(lineBody(record), capacity, vertices, count));
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
    return status(ringSeqCopyVertices(polygonBody(record), capacity, vertices, count));
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
    const Byte* record = typedRecord(geom, count != nullptr, SPATIAL_TYPE_MULTILINESTRING);
    const Byte* line = record == nullptr ? nullptr : multiLineMember(record, lineIndex);
    if (line == nullptr) return SPATIAL_FAILURE;
    return reportCount(sublineSeqVertexCount(line), count);
}

SPATIALGEOM_API uint32_t spatialWKB_mlineGetPoints(const void* geom, uint32_t lineIndex, uint32_t capacity,
                                                   DPoint3d* vertices, uint32_t* count) {
    const Byte* record = typedRecord(geom, vertices != nullptr && count != nullptr, SPATIAL_TYPE_MULTILINESTRING);
    const Byte* line = record == nullptr ? nullptr : multiLineMember(record, lineIndex);
    if (line == nullptr) return SPATIAL_FAILURE;
    return status(sublineSeqCopyVertices(line, capacity, vertices, count));
}

SPATIALGEOM_API uint32_t spatialWKB_mpolygonGetPolyCount(const void* geom, uint32_t* count) {
    const Byte* record = typedRecord(geom, count != nullptr, SPATIAL_TYPE_MULTIPOLYGON);
    if (record == nullptr) return SPATIAL_FAILURE;
    return reportCount(bodyCount(record), count);
}

SPATIALGEOM_API uint32_t spatialWKB_mpolygonGetPointCount(const void* geom, uint32_t polygonIndex, uint32_t* count) {
    const Byte* record = typedRecord(geom, count != nullptr, SPATIAL_TYPE_MULTIPOLYGON);
    const Byte* polygon = record == nullptr ? nullptr : multiPolygonMember(record, polygonIndex);
    if (polygon == nullptr) return SPATIAL_FAILURE;
    return reportCount(ringSeqVertexCount(polygon), count);
}

SPATIALGEOM_API uint32_t spatialWKB_mpolygonGetPoints(const void* geom, uint32_t polygonIndex, uint32_t capacity,
                                                      DPoint3d* vertices, uint32_t* count) {
    const Byte* record = typedRecord(geom, vertices != nullptr && count != nullptr, SPATIAL_TYPE_MULTIPOLYGON);
    const Byte* polygon = record == nullptr ? nullptr : multiPolygonMember(record, polygonIndex);
    if (polygon == nullptr) return SPATIAL_FAILURE;
    return status(ringSeqCopyVertices(polygon, capacity, vertices, count));
}

// ---- Walking.

SPATIALGEOM_API uint32_t spatialWKB_forEachVertexRun(const void* geom, SpatialVertexRunVisitor visit, void* context) {
    if (geom == nullptr || visit == nullptr) return SPATIAL_FAILURE;
    bool stopped = false;
    const bool completed = forEachVertexRun(asRecord(geom), [&](const VertexRun& run) {
        const SpatialVertexRun reported{run.element, run.elementType, run.ring, run.subline, run.vertices, run.count};
        stopped = visit(context, &reported) != 0;
        return !stopped;
    });
    return status(completed || stopped);
}

SPATIALGEOM_API uint32_t spatialWKB_forEachMember(const void* geom, SpatialMemberVisitor visit, void* context) {
    if (geom == nullptr || visit == nullptr || recordType(asRecord(geom)) != SPATIAL_TYPE_COLLECTION) {
        return SPATIAL_FAILURE;
    }
    bool stopped = false;
    const bool completed = forEachMember(asRecord(geom), [&](const Byte* member) {
        stopped = visit(context, member) != 0;
        return !stopped;
    });
    return status(completed || stopped);
}

}  // extern "C"
