// The range exports: thin wrappers that check arguments, walk the record
// once and write low and high only on success.
#include "queries/record_range.h"
#include "spatialgeom/queries.h"

using spatialgeom::Byte;

namespace {

using RecordRange = bool (*)(const Byte*, DRange3d*);

std::uint32_t exportRange(RecordRange measure, const void* geom, DPoint3d* low, DPoint3d* high) {
    if (geom == nullptr || low == nullptr || high == nullptr) return SPATIAL_FAILURE;
    DRange3d box;
    if (!measure(static_cast<const Byte*>(geom), &box)) return SPATIAL_FAILURE;
    *low = box.low;
    *high = box.high;
    return SPATIAL_SUCCESS;
}

// The kind-specific measure of a type code, or null for codes other than 1..6.
RecordRange rangeOfType(std::uint32_t type) {
    switch (type) {
        case SPATIAL_TYPE_POINT: return spatialgeom::pointRecordRange;
        case SPATIAL_TYPE_LINESTRING: return spatialgeom::lineRecordRange;
        case SPATIAL_TYPE_POLYGON: return spatialgeom::polygonRecordRange;
        case SPATIAL_TYPE_MULTIPOINT: return spatialgeom::multiPointRecordRange;
        case SPATIAL_TYPE_MULTILINESTRING: return spatialgeom::multiLineRecordRange;
        case SPATIAL_TYPE_MULTIPOLYGON: return spatialgeom::multiPolygonRecordRange;
        default: return nullptr;
    }
}

}  // namespace

extern "C" {

SPATIALGEOM_API uint32_t spatialWKB_getRange(const void* geom, DPoint3d* low, DPoint3d* high) {
    if (geom == nullptr) return SPATIAL_FAILURE;
    const RecordRange measure = rangeOfType(spatialgeom::recordType(static_cast<const Byte*>(geom)));
    if (measure == nullptr) return SPATIAL_FAILURE;
    return exportRange(measure, geom, low, high);
}

SPATIALGEOM_API uint32_t spatialWKB_getPointRange(const void* geom, DPoint3d* low, DPoint3d* high) {
    return exportRange(spatialgeom::pointRecordRange, geom, low, high);
}

SPATIALGEOM_API uint32_t spatialWKB_getLineRange(const void* geom, DPoint3d* low, DPoint3d* high) {
    return exportRange(spatialgeom::lineRecordRange, geom, low, high);
}

SPATIALGEOM_API uint32_t spatialWKB_getPolygonRange(const void* geom, DPoint3d* low, DPoint3d* high) {
    return exportRange(spatialgeom::polygonRecordRange, geom, low, high);
}

SPATIALGEOM_API uint32_t spatialWKB_getMultiPointRange(const void* geom, DPoint3d* low, DPoint3d* high) {
    return exportRange(spatialgeom::multiPointRecordRange, geom, low, high);
}

SPATIALGEOM_API uint32_t spatialWKB_getMultiLineRange(const void* geom, DPoint3d* low, DPoint3d* high) {
    return exportRange(spatialgeom::multiLineRecordRange, geom, low, high);
}

SPATIALGEOM_API uint32_t spatialWKB_getMultiPolygonRange(const void* geom, DPoint3d* low, DPoint3d* high) {
    return exportRange(spatialgeom::multiPolygonRecordRange, geom, low, high);
}

}  // extern "C"
