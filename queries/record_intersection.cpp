// One generic body over the pairs of kinds: it checks the type codes,
// measures both records (a record without vertices fails), answers "apart"
// when the boxes, the first one widened by the tolerance, do not overlap,
// and otherwise gathers both records once and tests them, stopping at the
// first hit.
#include "queries/record_intersection.h"

#include <cmath>

#include "kernel/range3d.h"
#include "queries/call_scratch.h"
#include "queries/record_range.h"
#include "queries/shape_meets.h"
#include "records/navigation.h"

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
bool intersectKinds(const Byte* a, const Byte* b, double tolerance, bool* meets) {
    if (recordType(a) != A || recordType(b) != B) return false;
    DRange3d boxA, boxB;
    if (!Kind<A>::range(a, &boxA) || !Kind<B>::range(b, &boxB)) return false;
    try {
        const ScratchScope scratch;
        *meets = recordsMeet<A, B>(a, boxA, b, boxB, tolerance);
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
        case SPATIAL_TYPE_POINT: Kind<SPATIAL_TYPE_POINT>::gather(record, shape); break;
        case SPATIAL_TYPE_LINESTRING: Kind<SPATIAL_TYPE_LINESTRING>::gather(record, shape); break;
        case SPATIAL_TYPE_MULTIPOINT: Kind<SPATIAL_TYPE_MULTIPOINT>::gather(record, shape); break;
        default: Kind<SPATIAL_TYPE_MULTILINESTRING>::gather(record, shape); break;
    }
}

void gatherPolygons(std::uint32_t kind, const Byte* record, PolygonSet& shape) {
    if (kind == SPATIAL_TYPE_POLYGON) {
        Kind<SPATIAL_TYPE_POLYGON>::gather(record, shape);
    } else {
        Kind<SPATIAL_TYPE_MULTIPOLYGON>::gather(record, shape);
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
