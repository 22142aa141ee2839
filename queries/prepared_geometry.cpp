// Memory, for a record of n vertices: a point or line kind keeps a copy
// (n = 1 or 24 n and its headers). A polygon kind keeps a copy of the ring
// sequences of its small polygons and, per large polygon of n vertices (its
// part of the record at least 24 n bytes): its vertices (24 n), its frozen
// edge grid (about one cell per edge, 4 bytes each; 4 bytes per
// registration of an edge in a cell, at most 4 n + 16 registrations and
// usually under 1.5 n; 8 bytes per edge for its first cell), with lifted
// rings their lifted coordinates and errors (16 n) and a state per edge
// (n), and the object (a fixed size, under 6 bytes per edge at that many
// edges): about 24 + 4 + 6 + 8 + 6 = 48 n usually, 65 n lifted, within
// 3 * 24 n; at the worst grid 10 n more (75 n lifted, 3.1 times). Each
// polygon adds a 16-byte entry, under a third of its smallest ring
// sequence in the record.
#include "queries/prepared_geometry.h"

#include <cmath>
#include <cstring>
#include <new>

#include "kernel/range3d.h"
#include "queries/call_scratch.h"
#include "queries/flat_point_scan.h"
#include "queries/record_shapes.h"
#include "queries/shape_meets.h"
#include "records/navigation.h"

namespace spatialgeom {
namespace {

bool isSimpleKind(std::uint32_t type) { return type >= SPATIAL_TYPE_POINT && type <= SPATIAL_TYPE_MULTIPOLYGON; }

// Calls visit(i, rings) for polygon i of a polygon or multipolygon record.
template <typename Visit>
void forEachRingSeq(std::uint32_t kind, const Byte* record, Visit&& visit) {
    if (kind == SPATIAL_TYPE_POLYGON) {
        visit(std::size_t{0}, polygonBody(record));
        return;
    }
    std::size_t i = 0;
    forEachPolygon(record, [&](const Byte* rings) {
        visit(i++, rings);
        return true;
    });
}

}  // namespace

// The prepared record's shape for one test: a copy's elements gathered, or
// the shared polygons viewed and the small ones gathered.
template <std::uint32_t P>
void gatherPrepared(const PreparedGeometry& prepared, typename KindShape<P>::Shape& shape) {
    if constexpr (P == SPATIAL_TYPE_POLYGON || P == SPATIAL_TYPE_MULTIPOLYGON) {
        for (std::size_t i = 0; i < prepared.polygonCount(); ++i) {
            if (PreparedPolygon* shared = prepared.sharedPolygon(i)) shape.addShared(*shared);
            else shape.add(prepared.polygonRings(i));
        }
    } else {
        KindShape<P>::gather(prepared.record(), shape);
    }
}

// Whether the prepared record of kind P and other, of kind O, come within
// tolerance (finite, >= 0), without the boxes' test: the shapes gathered
// as intersectRecords gathers them, the prepared one first unless O is
// lower. Memory from the caller's scratch scope (throws std::bad_alloc).
template <std::uint32_t P, std::uint32_t O>
bool preparedShapesMeet(const PreparedGeometry& prepared, const Byte* other, const RecordExtent* otherExtent,
                        double tolerance) {
    typename KindShape<P>::Shape preparedShape(tolerance);
    typename KindShape<O>::Shape otherShape(tolerance);
    if constexpr (!(O < P)) {
        gatherPrepared<P>(prepared, preparedShape);
        KindShape<O>::gather(other, otherShape, otherExtent);
        return shapesMeet(preparedShape, otherShape, tolerance);
    } else {
        KindShape<O>::gather(other, otherShape, otherExtent);
        gatherPrepared<P>(prepared, preparedShape);
        return shapesMeet(otherShape, preparedShape, tolerance);
    }
}

// Whether point p meets a polygon of the prepared polygon kind, each
// polygon answering for itself without gathering either record: a shared
// one through its index, a copied one in one pass over its rings, when it
// lies with p in a plane of constant coordinate. nullopt when a polygon
// cannot answer so.
std::optional<bool> flatPointMeets(const PreparedGeometry& prepared, const DPoint3d& p, double tolerance) {
    for (std::size_t i = 0; i < prepared.polygonCount(); ++i) {
        const PreparedPolygon* shared = prepared.sharedPolygon(i);
        const std::optional<bool> meets = shared ? shared->sharedFlatPointMeets(p, tolerance)
                                                 : pointMeetsFlatPolygon(p, prepared.polygonRings(i), tolerance);
        if (!meets || *meets) return meets;
    }
    return false;
}

// A point, or the points of a multipoint against a single shared polygon
// (where each costs about the edges near it), against a polygon kind, point
// by point; nullopt when a point cannot be answered so: the general test
// decides.
template <std::uint32_t P, std::uint32_t O>
std::optional<bool> flatPointAnswer(const PreparedGeometry& prepared, const Byte* other, double tolerance) {
    if constexpr (!(P == SPATIAL_TYPE_POLYGON || P == SPATIAL_TYPE_MULTIPOLYGON)) {
        return std::nullopt;
    } else if constexpr (O == SPATIAL_TYPE_POINT) {
        return flatPointMeets(prepared, *pointVertex(other), tolerance);
    } else if constexpr (O == SPATIAL_TYPE_MULTIPOINT) {
        if (prepared.polygonCount() != 1 || prepared.sharedPolygon(0) == nullptr) return std::nullopt;
        const DPoint3d* points = multiPointVertices(other);
        for (std::uint32_t i = 0; i < bodyCount(other); ++i) {
            const std::optional<bool> answer = flatPointMeets(prepared, points[i], tolerance);
            if (!answer || *answer) return answer;
        }
        return false;
    } else {
        return std::nullopt;
    }
}

// The body of intersectRecords (record_intersection.cpp) with the
// prepared record of kind P first, unless O is lower.
template <std::uint32_t P, std::uint32_t O>
bool intersectPrepared(const PreparedGeometry& prepared, const Byte* other, double tolerance, bool* meets) {
    constexpr bool preparedFirst = !(O < P);
    RecordExtent otherExtent;
    if (!KindShape<O>::range(other, &otherExtent)) return false;
    try {
        const DRange3d& firstBox = preparedFirst ? prepared.box_ : otherExtent.box;
        const DRange3d& secondBox = preparedFirst ? otherExtent.box : prepared.box_;
        bool result = false;
        if (!(tolerance >= 0.0)) {  // negative or NaN: nothing meets
            result = false;
        } else if (!kernel::boxesOverlap(tolerance == 0.0 ? firstBox : kernel::widenedBox(firstBox, tolerance),
                                         secondBox)) {  // (a box holds every point within 0 of it)
            result = false;
        } else if (std::isinf(tolerance)) {
            result = true;
        } else if (const std::optional<bool> answer = flatPointAnswer<P, O>(prepared, other, tolerance)) {
            result = *answer;
        } else {
            const ScratchScope scratch;
            result = preparedShapesMeet<P, O>(prepared, other, &otherExtent, tolerance);
        }
        *meets = result;
    } catch (...) {  // allocation of the gathered shapes failed
        return false;
    }
    return true;
}

namespace {

using PreparedTest = bool (*)(const PreparedGeometry&, const Byte*, double, bool*);

template <std::uint32_t P>
constexpr PreparedTest kRow[6] = {intersectPrepared<P, 1>, intersectPrepared<P, 2>, intersectPrepared<P, 3>,
                                  intersectPrepared<P, 4>, intersectPrepared<P, 5>, intersectPrepared<P, 6>};

// kTests[p - 1][o - 1]: the prepared kind p against a record of kind o.
constexpr const PreparedTest* kTests[6] = {kRow<1>, kRow<2>, kRow<3>, kRow<4>, kRow<5>, kRow<6>};

using PreparedWithin = bool (*)(const PreparedGeometry&, const Byte*, double);

template <std::uint32_t P, std::uint32_t O>
bool preparedWithin(const PreparedGeometry& prepared, const Byte* other, double tolerance) {
    return preparedShapesMeet<P, O>(prepared, other, nullptr, tolerance);
}

template <std::uint32_t P>
constexpr PreparedWithin kWithinRow[6] = {preparedWithin<P, 1>, preparedWithin<P, 2>, preparedWithin<P, 3>,
                                          preparedWithin<P, 4>, preparedWithin<P, 5>, preparedWithin<P, 6>};

// kWithin[p - 1][o - 1], as kTests.
constexpr const PreparedWithin* kWithin[6] = {kWithinRow<1>, kWithinRow<2>, kWithinRow<3>,
                                              kWithinRow<4>, kWithinRow<5>, kWithinRow<6>};

bool rangeOfKind(std::uint32_t kind, const Byte* record, DRange3d* box) { return rangeAsKind(record, kind, box); }

}  // namespace

std::unique_ptr<PreparedGeometry> PreparedGeometry::prepare(const Byte* record, std::uint32_t sharedPolygonEdges) {
    const std::uint32_t kind = recordType(record);
    if (!isSimpleKind(kind)) return nullptr;
    std::unique_ptr<PreparedGeometry> prepared(new PreparedGeometry);
    prepared->kind_ = kind;
    if (!rangeOfKind(kind, record, &prepared->box_)) return nullptr;
    std::uint64_t size = 0;
    if (!layoutSize(record, &size)) return nullptr;
    prepared->recordBytes_ = static_cast<std::size_t>(size);
    const auto append = [&](const Byte* bytes, std::uint64_t count) {
        const std::size_t offset = prepared->copy_.size() * 8;
        prepared->copy_.resize(prepared->copy_.size() + (count + 7) / 8);
        std::memcpy(reinterpret_cast<Byte*>(prepared->copy_.data()) + offset, bytes, count);
        return offset;
    };
    if (kind != SPATIAL_TYPE_POLYGON && kind != SPATIAL_TYPE_MULTIPOLYGON) {
        prepared->copy_.reserve((size + 7) / 8);
        append(record, size);
        return prepared;
    }
    const double magnitude = kernel::largestCoordinate(prepared->box_);
    if (magnitude > 0.0 && magnitude < kTinyMagnitude) {
        prepared->tinyCopy_.resize((size + 7) / 8);
        std::memcpy(prepared->tinyCopy_.data(), record, size);
    }
    std::size_t count = 0, copied = 0;
    forEachRingSeq(kind, record, [&](std::size_t, const Byte* rings) {
        ++count;
        if (ringSeqVertexCount(rings) < sharedPolygonEdges) copied += ringSeqSize(rings);
    });
    prepared->polygons_.resize(count);
    prepared->copy_.reserve(copied / 8);
    // Outside any scratch scope: the shared parts come from the heap.
    forEachRingSeq(kind, record, [&](std::size_t i, const Byte* rings) {
        Polygon& polygon = prepared->polygons_[i];
        if (ringSeqVertexCount(rings) < sharedPolygonEdges) {
            polygon.offset = append(rings, ringSeqSize(rings));
            return;
        }
        polygon.shared = std::make_unique<PreparedPolygon>(rings, 0.0);
        polygon.shared->share();
    });
    return prepared;
}

bool PreparedGeometry::intersects(const Byte* other, double tolerance, bool* meets) const {
    const std::uint32_t otherKind = recordType(other);
    if (!isSimpleKind(otherKind)) return false;
    return kTests[kind_ - 1][otherKind - 1](*this, other, tolerance, meets);
}

bool PreparedGeometry::within(const Byte* other, std::uint32_t otherKind, double tolerance) const {
    return kWithin[kind_ - 1][otherKind - 1](*this, other, tolerance);
}

std::size_t PreparedGeometry::memoryBytes() const {
    std::size_t bytes = sizeof(PreparedGeometry) + (copy_.capacity() + tinyCopy_.capacity()) * sizeof(std::uint64_t) +
                        polygons_.capacity() * sizeof(Polygon);
    for (const Polygon& polygon : polygons_)
        if (polygon.shared) bytes += polygon.shared->memoryBytes();
    return bytes;
}

}  // namespace spatialgeom
