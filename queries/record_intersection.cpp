// The 21 pairwise intersection exports: one generic body over the kinds.
// Each checks its arguments and type codes, measures both records (a
// record without vertices fails), answers 0 when the boxes, the first one
// widened by the tolerance, do not overlap, and otherwise gathers both
// records once and tests them, stopping at the first hit.
#include <cmath>

#include "kernel/range3d.h"
#include "queries/call_scratch.h"
#include "queries/record_range.h"
#include "queries/shape_meets.h"
#include "records/navigation.h"
#include "spatialgeom/queries.h"

namespace spatialgeom {
namespace {

using RecordRange = bool (*)(const Byte*, DRange3d*);

// What each kind is measured with and gathered into.
template <std::uint32_t Type>
struct Kind;

template <>
struct Kind<SPATIAL_TYPE_POINT> {
    using Shape = LinearSet;
    static constexpr RecordRange range = pointRecordRange;
    static void gather(const Byte* record, LinearSet& shape) { shape.addPoints(pointVertex(record), 1); }
};

template <>
struct Kind<SPATIAL_TYPE_LINESTRING> {
    using Shape = LinearSet;
    static constexpr RecordRange range = lineRecordRange;
    static void gather(const Byte* record, LinearSet& shape) { shape.addSublineSeq(lineBody(record)); }
};

template <>
struct Kind<SPATIAL_TYPE_POLYGON> {
    using Shape = PolygonSet;
    static constexpr RecordRange range = polygonRecordRange;
    static void gather(const Byte* record, PolygonSet& shape) { shape.add(polygonBody(record)); }
};

template <>
struct Kind<SPATIAL_TYPE_MULTIPOINT> {
    using Shape = LinearSet;
    static constexpr RecordRange range = multiPointRecordRange;
    static void gather(const Byte* record, LinearSet& shape) {
        shape.addPoints(multiPointVertices(record), bodyCount(record));
    }
};

template <>
struct Kind<SPATIAL_TYPE_MULTILINESTRING> {
    using Shape = LinearSet;
    static constexpr RecordRange range = multiLineRecordRange;
    static void gather(const Byte* record, LinearSet& shape) { shape.addRingSeq(multiLineBody(record)); }
};

template <>
struct Kind<SPATIAL_TYPE_MULTIPOLYGON> {
    using Shape = PolygonSet;
    static constexpr RecordRange range = multiPolygonRecordRange;
    static void gather(const Byte* record, PolygonSet& shape) {
        forEachPolygon(record, [&](const Byte* polygon) {
            shape.add(polygon);
            return true;
        });
    }
};

template <std::uint32_t A, std::uint32_t B>
bool recordsMeet(const Byte* first, const DRange3d& firstBox, const Byte* second, const DRange3d& secondBox,
                 double tolerance) {
    if (!(tolerance >= 0.0)) return false;  // negative or NaN: nothing meets
    if (!kernel::boxesOverlap(kernel::widenedBox(firstBox, tolerance), secondBox)) return false;
    if (std::isinf(tolerance)) return true;
    typename Kind<A>::Shape firstShape(tolerance);
    typename Kind<B>::Shape secondShape(tolerance);
    Kind<A>::gather(first, firstShape);
    Kind<B>::gather(second, secondShape);
    return shapesMeet(firstShape, secondShape, tolerance);
}

template <std::uint32_t A, std::uint32_t B>
std::uint32_t intersectRecords(const void* first, const void* second, double tolerance, std::uint32_t* result) {
    if (first == nullptr || second == nullptr || result == nullptr) return SPATIAL_FAILURE;
    const Byte* a = static_cast<const Byte*>(first);
    const Byte* b = static_cast<const Byte*>(second);
    if (recordType(a) != A || recordType(b) != B) return SPATIAL_FAILURE;
    DRange3d boxA, boxB;
    if (!Kind<A>::range(a, &boxA) || !Kind<B>::range(b, &boxB)) return SPATIAL_FAILURE;
    try {
        const ScratchScope scratch;
        *result = recordsMeet<A, B>(a, boxA, b, boxB, tolerance) ? 1 : 0;
    } catch (...) {  // allocation of the gathered shapes failed
        return SPATIAL_FAILURE;
    }
    return SPATIAL_SUCCESS;
}

}  // namespace
}  // namespace spatialgeom

#define SPATIALGEOM_PAIRWISE_EXPORT(Name, A, B)                                                              \
    SPATIALGEOM_API uint32_t spatialWKB_intersect##Name(const void* a, const void* b, double tolerance,      \
                                                        uint32_t* result) {                                  \
        return spatialgeom::intersectRecords<SPATIAL_TYPE_##A, SPATIAL_TYPE_##B>(a, b, tolerance, result); \
    }

extern "C" {
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
}  // extern "C"
