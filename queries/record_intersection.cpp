// One generic body over the pairs of kinds: it checks the type codes,
// measures both records (a record without vertices fails), answers "apart"
// when the boxes, the first one widened by the tolerance, do not overlap,
// and otherwise gathers both records once and tests them, stopping at the
// first hit.
#include "queries/record_intersection.h"

#include <cmath>
#include <optional>

#include "kernel/range3d.h"
#include "queries/call_scratch.h"
#include "queries/flat_point_scan.h"
#include "queries/record_shapes.h"
#include "queries/shape_meets.h"

namespace spatialgeom {
namespace {

template <std::uint32_t A, std::uint32_t B>
bool recordsMeet(const Byte* first, const RecordExtent& firstExtent, const Byte* second,
                 const RecordExtent& secondExtent, double tolerance) {
    if (!(tolerance >= 0.0)) return false;  // negative or NaN: nothing meets
    if (!kernel::boxesOverlap(kernel::widenedBox(firstExtent.box, tolerance), secondExtent.box)) return false;
    if (std::isinf(tolerance)) return true;
    typename KindShape<A>::Shape firstShape(tolerance);
    typename KindShape<B>::Shape secondShape(tolerance);
    KindShape<A>::gather(first, firstShape, &firstExtent);
    KindShape<B>::gather(second, secondShape, &secondExtent);
    return shapesMeet(firstShape, secondShape, tolerance);
}

template <std::uint32_t A, std::uint32_t B>
bool intersectKinds(const Byte* a, const Byte* b, double tolerance, bool* meets) {
    if (recordType(a) != A || recordType(b) != B) return false;
    if constexpr (A == SPATIAL_TYPE_POINT && B == SPATIAL_TYPE_POLYGON) {
        // The common point-in-polygon of planar data, without gathering.
        if (tolerance >= 0.0 && tolerance < INFINITY)
            if (const std::optional<bool> answer = pointMeetsFlatPolygon(*pointVertex(a), polygonBody(b), tolerance)) {
                *meets = *answer;
                return true;
            }
    }
    RecordExtent extentA, extentB;
    if (!KindShape<A>::range(a, &extentA) || !KindShape<B>::range(b, &extentB)) return false;
    try {
        const ScratchScope scratch;
        *meets = recordsMeet<A, B>(a, extentA, b, extentB, tolerance);
    } catch (...) {  // allocation of the gathered shapes failed
        return false;
    }
    return true;
}

using KindsTest = bool (*)(const Byte*, const Byte*, double, bool*);

// kTests[i][j], i <= j: the test of kind i + 1 against kind j + 1.
constexpr KindsTest kTests[6][6] = {
    {intersectKinds<1, 1>, intersectKinds<1, 2>, intersectKinds<1, 3>, intersectKinds<1, 4>, intersectKinds<1, 5>,
     intersectKinds<1, 6>},
    {nullptr, intersectKinds<2, 2>, intersectKinds<2, 3>, intersectKinds<2, 4>, intersectKinds<2, 5>,
     intersectKinds<2, 6>},
    {nullptr, nullptr, intersectKinds<3, 3>, intersectKinds<3, 4>, intersectKinds<3, 5>, intersectKinds<3, 6>},
    {nullptr, nullptr, nullptr, intersectKinds<4, 4>, intersectKinds<4, 5>, intersectKinds<4, 6>},
    {nullptr, nullptr, nullptr, nullptr, intersectKinds<5, 5>, intersectKinds<5, 6>},
    {nullptr, nullptr, nullptr, nullptr, nullptr, intersectKinds<6, 6>},
};

bool isPolygonKind(std::uint32_t kind) { return kind == SPATIAL_TYPE_POLYGON || kind == SPATIAL_TYPE_MULTIPOLYGON; }

void gatherLinear(std::uint32_t kind, const Byte* record, LinearSet& shape) {
    switch (kind) {
        case SPATIAL_TYPE_POINT: KindShape<SPATIAL_TYPE_POINT>::gather(record, shape); break;
        case SPATIAL_TYPE_LINESTRING: KindShape<SPATIAL_TYPE_LINESTRING>::gather(record, shape); break;
        case SPATIAL_TYPE_MULTIPOINT: KindShape<SPATIAL_TYPE_MULTIPOINT>::gather(record, shape); break;
        default: KindShape<SPATIAL_TYPE_MULTILINESTRING>::gather(record, shape); break;
    }
}

void gatherPolygons(std::uint32_t kind, const Byte* record, PolygonSet& shape) {
    if (kind == SPATIAL_TYPE_POLYGON) {
        KindShape<SPATIAL_TYPE_POLYGON>::gather(record, shape);
    } else {
        KindShape<SPATIAL_TYPE_MULTIPOLYGON>::gather(record, shape);
    }
}

}  // namespace

bool geometriesWithin(std::uint32_t firstKind, std::uint32_t secondKind, const Byte* first, const Byte* second,
                      double tolerance) {
    const bool firstPolygons = isPolygonKind(firstKind), secondPolygons = isPolygonKind(secondKind);
    if (firstPolygons && secondPolygons) {
        PolygonSet a(tolerance), b(tolerance);
        gatherPolygons(firstKind, first, a);
        gatherPolygons(secondKind, second, b);
        return shapesMeet(a, b, tolerance);
    }
    if (firstPolygons || secondPolygons) {
        // A point against a polygon in a plane of constant coordinate: one
        // pass over its rings (flat_point_scan.h), in either order.
        if (firstKind == SPATIAL_TYPE_POLYGON && secondKind == SPATIAL_TYPE_POINT)
            return geometriesWithin(secondKind, firstKind, second, first, tolerance);
        if (firstKind == SPATIAL_TYPE_POINT && secondKind == SPATIAL_TYPE_POLYGON)
            if (const std::optional<bool> answer =
                    pointMeetsFlatPolygon(*pointVertex(first), polygonBody(second), tolerance))
                return *answer;
        LinearSet lines(tolerance);
        PolygonSet polygons(tolerance);
        gatherLinear(firstPolygons ? secondKind : firstKind, firstPolygons ? second : first, lines);
        gatherPolygons(firstPolygons ? firstKind : secondKind, firstPolygons ? first : second, polygons);
        return shapesMeet(lines, polygons, tolerance);
    }
    LinearSet a(tolerance), b(tolerance);
    gatherLinear(firstKind, first, a);
    gatherLinear(secondKind, second, b);
    return shapesMeet(a, b, tolerance);
}

bool intersectRecords(std::uint32_t firstKind, std::uint32_t secondKind, const Byte* first, const Byte* second,
                      double tolerance, bool* meets) {
    if (firstKind < SPATIAL_TYPE_POINT || secondKind > SPATIAL_TYPE_MULTIPOLYGON || firstKind > secondKind) {
        return false;
    }
    return kTests[firstKind - 1][secondKind - 1](first, second, tolerance, meets);
}

}  // namespace spatialgeom
