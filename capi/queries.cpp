// The C interface of spatialgeom/queries.h: argument checks and status
// codes over the record ranges (queries/record_range.h), the box widening
// of the kernel (kernel/range3d.h) and the intersection tests
// (queries/record_intersection.h) and the distance (queries/record_distance.h).
#include "kernel/range3d.h"
#include "queries/record_distance.h"
#include "queries/record_intersection.h"
#include "queries/record_range.h"
#include "spatialgeom/queries.h"

namespace spatialgeom {
namespace {

const Byte* asRecord(const void* geom) { return static_cast<const Byte*>(geom); }

// Writes low and high only on success.
std::uint32_t rangeAs(std::uint32_t kind, const void* geom, DPoint3d* low, DPoint3d* high) {
    if (geom == nullptr || low == nullptr || high == nullptr) return SPATIAL_FAILURE;
    DRange3d box;
    if (!rangeAsKind(asRecord(geom), kind, &box)) return SPATIAL_FAILURE;
    *low = box.low;
    *high = box.high;
    return SPATIAL_SUCCESS;
}

bool isSimpleKind(std::uint32_t type) { return type >= SPATIAL_TYPE_POINT && type <= SPATIAL_TYPE_MULTIPOLYGON; }

// The pairwise test of a record of kind `firstKind` and one of kind
// `secondKind`, firstKind <= secondKind; *result written only on success.
std::uint32_t intersectAs(std::uint32_t firstKind, std::uint32_t secondKind, const void* first, const void* second,
                          double tolerance, std::uint32_t* result) {
    if (first == nullptr || second == nullptr || result == nullptr) return SPATIAL_FAILURE;
    bool meets = false;
    if (!intersectRecords(firstKind, secondKind, asRecord(first), asRecord(second), tolerance, &meets)) {
        return SPATIAL_FAILURE;
    }
    *result = meets ? 1 : 0;
    return SPATIAL_SUCCESS;
}

// The per-kind dispatch: g of any simple kind against x of kind `kind`;
// (g, x) when g's code is lower, else (x, g).
std::uint32_t intersectAgainst(std::uint32_t kind, const void* g, const void* x, double tolerance,
                               std::uint32_t* result) {
    if (g == nullptr || x == nullptr || result == nullptr) return SPATIAL_FAILURE;
    const std::uint32_t type = recordType(asRecord(g));
    if (!isSimpleKind(type)) return SPATIAL_FAILURE;
    if (type < kind) return intersectAs(type, kind, g, x, tolerance, result);
    return intersectAs(kind, type, x, g, tolerance, result);
}

}  // namespace
}  // namespace spatialgeom

using namespace spatialgeom;

extern "C" {

// ---- Ranges.

SPATIALGEOM_API uint32_t spatialWKB_getRange(const void* geom, DPoint3d* low, DPoint3d* high) {
    if (geom == nullptr) return SPATIAL_FAILURE;
    return rangeAs(recordType(asRecord(geom)), geom, low, high);
}

SPATIALGEOM_API uint32_t spatialWKB_getPointRange(const void* geom, DPoint3d* low, DPoint3d* high) {
    return rangeAs(SPATIAL_TYPE_POINT, geom, low, high);
}

SPATIALGEOM_API uint32_t spatialWKB_getLineRange(const void* geom, DPoint3d* low, DPoint3d* high) {
    return rangeAs(SPATIAL_TYPE_LINESTRING, geom, low, high);
}

SPATIALGEOM_API uint32_t spatialWKB_getPolygonRange(const void* geom, DPoint3d* low, DPoint3d* high) {
    return rangeAs(SPATIAL_TYPE_POLYGON, geom, low, high);
}

SPATIALGEOM_API uint32_t spatialWKB_getMultiPointRange(const void* geom, DPoint3d* low, DPoint3d* high) {
    return rangeAs(SPATIAL_TYPE_MULTIPOINT, geom, low, high);
}

SPATIALGEOM_API uint32_t spatialWKB_getMultiLineRange(const void* geom, DPoint3d* low, DPoint3d* high) {
    return rangeAs(SPATIAL_TYPE_MULTILINESTRING, geom, low, high);
}

SPATIALGEOM_API uint32_t spatialWKB_getMultiPolygonRange(const void* geom, DPoint3d* low, DPoint3d* high) {
    return rangeAs(SPATIAL_TYPE_MULTIPOLYGON, geom, low, high);
}

SPATIALGEOM_API uint32_t spatialWKB_widenRange(const DPoint3d* low, const DPoint3d* high, double distance,
                                               DPoint3d* widenedLow, DPoint3d* widenedHigh) {
    if (low == nullptr || high == nullptr || widenedLow == nullptr || widenedHigh == nullptr) return SPATIAL_FAILURE;
    if (!(distance >= 0.0)) return SPATIAL_FAILURE;
    const DRange3d widened = kernel::widenedBox({*low, *high}, distance);
    *widenedLow = widened.low;
    *widenedHigh = widened.high;
    return SPATIAL_SUCCESS;
}

// ---- Intersections: the dispatchers.

SPATIALGEOM_API uint32_t spatialWKB_intersectGeometry(const void* a, const void* b, double tolerance,
                                                      uint32_t* result) {
    if (a == nullptr || b == nullptr || result == nullptr) return SPATIAL_FAILURE;
    const std::uint32_t type = recordType(asRecord(a));
    if (!isSimpleKind(type)) return SPATIAL_FAILURE;
    return intersectAgainst(type, b, a, tolerance, result);
}

#define SPATIALGEOM_DISPATCH_EXPORT(Name, TYPE)                                                                 \
    SPATIALGEOM_API uint32_t spatialWKB_intersectGeometry##Name(const void* g, const void* x, double tolerance, \
                                                                uint32_t* result) {                             \
        return intersectAgainst(SPATIAL_TYPE_##TYPE, g, x, tolerance, result);                                  \
    }

SPATIALGEOM_DISPATCH_EXPORT(Point, POINT)
SPATIALGEOM_DISPATCH_EXPORT(LineString, LINESTRING)
SPATIALGEOM_DISPATCH_EXPORT(Polygon, POLYGON)
SPATIALGEOM_DISPATCH_EXPORT(MultiPoint, MULTIPOINT)
SPATIALGEOM_DISPATCH_EXPORT(MultiLineString, MULTILINESTRING)
SPATIALGEOM_DISPATCH_EXPORT(MultiPolygon, MULTIPOLYGON)

// ---- Intersections: the pairwise exports.

#define SPATIALGEOM_PAIRWISE_EXPORT(Name, A, B)                                                         \
    SPATIALGEOM_API uint32_t spatialWKB_intersect##Name(const void* a, const void* b, double tolerance, \
                                                        uint32_t* result) {                             \
        return intersectAs(SPATIAL_TYPE_##A, SPATIAL_TYPE_##B, a, b, tolerance, result);                \
    }

SPATIALGEOM_PAIRWISE_EXPORT(PointPoint, POINT, POINT)
SPATIALGEOM_PAIRWISE_EXPORT(PointLineString, POINT, LINESTRING)
SPATIALGEOM_PAIRWISE_EXPORT(PointPolygon, POINT, POLYGON)
SPATIALGEOM_PAIRWISE_EXPORT(PointMultiPoint, POINT, MULTIPOINT)
SPATIALGEOM_PAIRWISE_EXPORT(PointMultiLineString, POINT, MULTILINESTRING)
SPATIALGEOM_PAIRWISE_EXPORT(PointMultiPolygon, POINT, MULTIPOLYGON)
SPATIALGEOM_PAIRWISE_EXPORT(LineStringLineString, LINESTRING, LINESTRING)
SPATIALGEOM_PAIRWISE_EXPORT(LineStringPolygon, LINESTRING, POLYGON)
SPATIALGEOM_PAIRWISE_EXPORT(LineStringMultiPoint, LINESTRING, MULTIPOINT)
SPATIALGEOM_PAIRWISE_EXPORT(LineStringMultiLineString, LINESTRING, MULTILINESTRING)
SPATIALGEOM_PAIRWISE_EXPORT(LineStringMultiPolygon, LINESTRING, MULTIPOLYGON)
SPATIALGEOM_PAIRWISE_EXPORT(PolygonPolygon, POLYGON, POLYGON)
SPATIALGEOM_PAIRWISE_EXPORT(PolygonMultiPoint, POLYGON, MULTIPOINT)
SPATIALGEOM_PAIRWISE_EXPORT(PolygonMultiLineString, POLYGON, MULTILINESTRING)
SPATIALGEOM_PAIRWISE_EXPORT(PolygonMultiPolygon, POLYGON, MULTIPOLYGON)
SPATIALGEOM_PAIRWISE_EXPORT(MultiPointMultiPoint, MULTIPOINT, MULTIPOINT)
SPATIALGEOM_PAIRWISE_EXPORT(MultiPointMultiLineString, MULTIPOINT, MULTILINESTRING)
SPATIALGEOM_PAIRWISE_EXPORT(MultiPointMultiPolygon, MULTIPOINT, MULTIPOLYGON)
SPATIALGEOM_PAIRWISE_EXPORT(MultiLineStringMultiLineString, MULTILINESTRING, MULTILINESTRING)
SPATIALGEOM_PAIRWISE_EXPORT(MultiLineStringMultiPolygon, MULTILINESTRING, MULTIPOLYGON)
SPATIALGEOM_PAIRWISE_EXPORT(MultiPolygonMultiPolygon, MULTIPOLYGON, MULTIPOLYGON)

// ---- Distance.

SPATIALGEOM_API uint32_t spatialWKB_distance(const void* a, const void* b, double* distance, DPoint3d* onA,
                                             DPoint3d* onB) {
    if (a == nullptr || b == nullptr || distance == nullptr) return SPATIAL_FAILURE;
    if (!recordDistance(asRecord(a), asRecord(b), distance, onA, onB)) return SPATIAL_FAILURE;
    return SPATIAL_SUCCESS;
}

}  // extern "C"
