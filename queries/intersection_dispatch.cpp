// The seven intersection dispatchers: they read type codes and call the
// pairwise export of the two kinds with the lower-coded record first.
#include "records/record_layout.h"
#include "spatialgeom/queries.h"

namespace {

using Pairwise = uint32_t (*)(const void*, const void*, double, uint32_t*);

// kPairwise[i][j], i <= j: the export taking kind i + 1 first, j + 1 second.
constexpr Pairwise kPairwise[6][6] = {
    {spatialWKB_intersectPointPoint, spatialWKB_intersectPointLineString, spatialWKB_intersectPointPolygon,
     spatialWKB_intersectPointMultiPoint, spatialWKB_intersectPointMultiLineString,
     spatialWKB_intersectPointMultiPolygon},
    {nullptr, spatialWKB_intersectLineStringLineString, spatialWKB_intersectLineStringPolygon,
     spatialWKB_intersectLineStringMultiPoint, spatialWKB_intersectLineStringMultiLineString,
     spatialWKB_intersectLineStringMultiPolygon},
    {nullptr, nullptr, spatialWKB_intersectPolygonPolygon, spatialWKB_intersectPolygonMultiPoint,
     spatialWKB_intersectPolygonMultiLineString, spatialWKB_intersectPolygonMultiPolygon},
    {nullptr, nullptr, nullptr, spatialWKB_intersectMultiPointMultiPoint,
     spatialWKB_intersectMultiPointMultiLineString, spatialWKB_intersectMultiPointMultiPolygon},
    {nullptr, nullptr, nullptr, nullptr, spatialWKB_intersectMultiLineStringMultiLineString,
     spatialWKB_intersectMultiLineStringMultiPolygon},
    {nullptr, nullptr, nullptr, nullptr, nullptr, spatialWKB_intersectMultiPolygonMultiPolygon},
};

bool isSimpleKind(uint32_t type) { return type >= SPATIAL_TYPE_POINT && type <= SPATIAL_TYPE_MULTIPOLYGON; }

uint32_t typeOf(const void* record) { return spatialgeom::recordType(static_cast<const spatialgeom::Byte*>(record)); }

// The per-kind dispatch: g of any simple kind against x of kind `kind`;
// (g, x) when g's code is lower, else (x, g).
uint32_t dispatchAgainst(uint32_t kind, const void* g, const void* x, double tolerance, uint32_t* result) {
    if (g == nullptr || x == nullptr || result == nullptr) return SPATIAL_FAILURE;
    const uint32_t type = typeOf(g);
    if (!isSimpleKind(type)) return SPATIAL_FAILURE;
    if (type < kind) return kPairwise[type - 1][kind - 1](g, x, tolerance, result);
    return kPairwise[kind - 1][type - 1](x, g, tolerance, result);
}

}  // namespace

extern "C" {

SPATIALGEOM_API uint32_t spatialWKB_intersectGeometry(const void* a, const void* b, double tolerance, uint32_t* result) {
    if (a == nullptr || b == nullptr || result == nullptr) return SPATIAL_FAILURE;
    const uint32_t type = typeOf(a);
    if (!isSimpleKind(type)) return SPATIAL_FAILURE;
    return dispatchAgainst(type, b, a, tolerance, result);
}

#define SPATIALGEOM_DISPATCH_EXPORT(Name, TYPE)                                                                \
    SPATIALGEOM_API uint32_t spatialWKB_intersectGeometry##Name(const void* g, const void* x, double tolerance, \
                                                                uint32_t* result) {                          \
        return dispatchAgainst(SPATIAL_TYPE_##TYPE, g, x, tolerance, result);                                 \
    }

SPATIALGEOM_DISPATCH_EXPORT(Point, POINT)
SPATIALGEOM_DISPATCH_EXPORT(LineString, LINESTRING)
SPATIALGEOM_DISPATCH_EXPORT(Polygon, POLYGON)
SPATIALGEOM_DISPATCH_EXPORT(MultiPoint, MULTIPOINT)
SPATIALGEOM_DISPATCH_EXPORT(MultiLineString, MULTILINESTRING)
SPATIALGEOM_DISPATCH_EXPORT(MultiPolygon, MULTIPOLYGON)

}  // extern "C"
