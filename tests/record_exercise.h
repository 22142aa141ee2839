// Runs every export that reads a record on one record that
// spatialWKB_checkRecord accepted: what a host may do with checked bytes.
// Shared by the record check tests and the record check fuzzer; under the
// sanitizers any read outside the record is reported.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "spatialgeom/record_ptr.h"
#include "spatialgeom/spatialgeom.h"

namespace testing_support {

// One small record of each simple kind (type code i + 1 at index i), made by
// the library, for the intersection exports' other side.
class PartnerRecords {
public:
    PartnerRecords() {
        const DPoint3d square[] = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {0, 0, 0}};
        spatialWKB_createPoint(square + 2, records_[0].out());
        spatialWKB_createLine(square, 3, records_[1].out());
        spatialWKB_createPolygon(square, 5, records_[2].out());
        spatialWKB_createMultiPoint(square, 4, records_[3].out());
        spatialWKB_createMultiLine(square, 2, records_[4].out());
        spatialWKB_createMultiPolygon(square, 5, records_[5].out());
    }
    const void* ofType(std::uint32_t type) const { return records_[type - 1].get(); }

private:
    spatialgeom::RecordPtr records_[6];
};

namespace exercise_detail {

using Range = std::uint32_t (*)(const void*, DPoint3d*, DPoint3d*);
using Transform = std::uint32_t (*)(const transform*, void*);
using Writer = std::int32_t (*)(const void*, SpatialWChar*, std::int32_t);
using Intersect = std::uint32_t (*)(const void*, const void*, double, std::uint32_t*);

struct KindExports {
    std::uint32_t (*size)(const void*, std::uint32_t*);
    Range range;
    Transform transform;
    Writer writer;
    Intersect intersectWith;  // spatialWKB_intersectGeometry<kind>(g, x)
};

inline const KindExports& exportsOf(std::uint32_t type) {
    static const KindExports kinds[] = {
        {spatialWKB_getPointSize, spatialWKB_getPointRange, spatialWKB_transformPoint, spatialWKT_point,
         spatialWKB_intersectGeometryPoint},
        {spatialWKB_getLineSize, spatialWKB_getLineRange, spatialWKB_transformLine, spatialWKT_linestring,
         spatialWKB_intersectGeometryLineString},
        {spatialWKB_getPolygonSize, spatialWKB_getPolygonRange, spatialWKB_transformPolygon, spatialWKT_polygon,
         spatialWKB_intersectGeometryPolygon},
        {spatialWKB_getMultiPointSize, spatialWKB_getMultiPointRange, spatialWKB_transformMultiPoint,
         spatialWKT_multipoint, spatialWKB_intersectGeometryMultiPoint},
        {spatialWKB_getMultiLineSize, spatialWKB_getMultiLineRange, spatialWKB_transformMultiLine,
         spatialWKT_multilinestring, spatialWKB_intersectGeometryMultiLineString},
        {spatialWKB_getMultiPolygonSize, spatialWKB_getMultiPolygonRange, spatialWKB_transformMultiPolygon,
         spatialWKT_multipolygon, spatialWKB_intersectGeometryMultiPolygon},
    };
    return kinds[type - 1];
}

// The vertex readers of the record's kind, each at the capacity it asks for
// and one less; members and points at a few indexes from the first on.
inline void readVertices(const void* record, std::uint32_t type) {
    std::uint32_t count = 0, members = 0;
    DPoint3d point;
    std::vector<DPoint3d> vertices;
    // The element's count, then its vertices; `element`: its index, if any.
    auto readAll = [&](auto countOf, auto read, auto... element) {
        count = 0;
        if (countOf(record, element..., &count) != SPATIAL_SUCCESS) return;
        vertices.assign(count, DPoint3d{});
        std::uint32_t copied = 0;
        read(record, element..., count, vertices.data(), &copied);
        if (count > 0) read(record, element..., count - 1, vertices.data(), &copied);
    };
    auto readMembers = [&](auto countOf, auto read) {
        for (std::uint32_t m : {0u, 1u, members / 2, members - 1, members}) readAll(countOf, read, m);
    };
    switch (type) {
        case SPATIAL_TYPE_POINT: spatialWKB_pointGetPoint(record, &point); break;
        case SPATIAL_TYPE_LINESTRING: readAll(spatialWKB_lineGetPointCount, spatialWKB_lineGetPoints); break;
        case SPATIAL_TYPE_POLYGON: readAll(spatialWKB_polygonGetPointCount, spatialWKB_polygonGetPoints); break;
        case SPATIAL_TYPE_MULTIPOINT:
            readAll(spatialWKB_mpointGetPointCount, spatialWKB_mpointGetPoints);
            for (std::uint32_t i : {0u, 1u, count / 2, count - 1, count}) spatialWKB_mpointGetPoint(record, i, &point);
            break;
        case SPATIAL_TYPE_MULTILINESTRING:
            spatialWKB_mlineGetLineCount(record, &members);
            readMembers(spatialWKB_mlineGetPointCount, spatialWKB_mlineGetPoints);
            break;
        case SPATIAL_TYPE_MULTIPOLYGON:
            spatialWKB_mpolygonGetPolyCount(record, &members);
            readMembers(spatialWKB_mpolygonGetPointCount, spatialWKB_mpolygonGetPoints);
            break;
    }
}

// The writers at a capacity that holds the whole text, at one that cuts it
// short, and at tiny and negative ones (into exact buffers, so that a write
// past the capacity is a heap overflow).
inline void writeText(const void* record, std::uint32_t type, std::uint32_t size) {
    std::vector<SpatialWChar> text(64 + 40 * std::size_t{size});
    const auto capacity = static_cast<std::int32_t>(text.size());
    const std::int32_t written = spatialWKB_convertBinaryToText(record, text.data(), capacity * 2);
    if (written > 1) spatialWKB_convertBinaryToText(record, text.data(), static_cast<std::uint32_t>(written));
    const Writer writer = type == SPATIAL_TYPE_COLLECTION ? spatialWKT_geometryCollection : exportsOf(type).writer;
    for (std::int32_t small : {-1, 0, 1, 7, capacity}) {
        std::vector<SpatialWChar> exact(static_cast<std::size_t>(small < 1 ? 1 : small));
        if (small < capacity)
            spatialWKB_convertBinaryToText(record, exact.data(), static_cast<std::uint32_t>(exact.size() * 2 - 1));
        writer(record, exact.data(), small);
        spatialWKT_geometry(record, exact.data(), small);
    }
}

// Transforms a copy in place (a rotation, a scale and a shift), then ranges
// the result.
inline void transformCopy(const void* record, std::uint32_t type) {
    spatialgeom::RecordPtr copy;
    if (spatialWKB_copy(record, copy.out()) != SPATIAL_SUCCESS) return;
    transform rotation, scale, both;
    const DPoint3d axis0{1, 2, 3}, axis1{-1, 5, 2}, factors{2, -3, 0.5}, origin{0, 0, 0};
    transform_initRotationAboutLine(&rotation, &axis0, &axis1, 0.7);
    transform_initScale(&scale, &factors, &origin);
    transform_multiply(&rotation, &scale, &both);
    spatialWKB_transformGeometry(&both, copy.get());
    if (type != SPATIAL_TYPE_COLLECTION) exportsOf(type).transform(&both, copy.get());
    DPoint3d low, high;
    spatialWKB_getRange(copy.get(), &low, &high);
}

// Walks the vertex runs, reading every vertex reported, and the members.
inline void walk(const void* record) {
    double sum = 0.0;
    spatialWKB_forEachVertexRun(
        record,
        [](void* context, const SpatialVertexRun* run) -> std::int32_t {
            for (std::uint32_t i = 0; i < run->count; ++i) *static_cast<double*>(context) += run->vertices[i].z;
            return 0;
        },
        &sum);
    spatialWKB_forEachMember(
        record, [](void*, const void*) -> std::int32_t { return 0; }, nullptr);
}

inline void intersect(const void* record, std::uint32_t type, const PartnerRecords& partners) {
    std::uint32_t meets = 0;
    for (double tolerance : {0.0, 1.5}) {
        spatialWKB_intersectGeometry(record, record, tolerance, &meets);
        for (std::uint32_t other = SPATIAL_TYPE_POINT; other <= SPATIAL_TYPE_MULTIPOLYGON; ++other) {
            spatialWKB_intersectGeometry(record, partners.ofType(other), tolerance, &meets);
            spatialWKB_intersectGeometry(partners.ofType(other), record, tolerance, &meets);
            if (type != SPATIAL_TYPE_COLLECTION)
                exportsOf(type).intersectWith(partners.ofType(other), record, tolerance, &meets);
        }
    }
}

}  // namespace exercise_detail

// Runs the exports on the record, then on each member of a collection.
// False when the record, though accepted, has no size or cannot be copied
// byte for byte: the checker and the size operations disagree.
inline bool exerciseRecord(const void* record, const PartnerRecords& partners) {
    using namespace exercise_detail;
    std::uint32_t type = 0, size = 0, computed = 0;
    spatialWKB_getType(record, &type);
    if (spatialWKB_getSize(record, &size) != SPATIAL_SUCCESS ||
        spatialWKB_calculateSize(record, &computed) != SPATIAL_SUCCESS || computed != size)
        return false;
    spatialgeom::RecordPtr copy;
    if (spatialWKB_copy(record, copy.out()) != SPATIAL_SUCCESS) return false;
    if (std::memcmp(copy.get(), record, size) != 0) return false;

    DPoint3d low, high;
    spatialWKB_getRange(record, &low, &high);
    if (type != SPATIAL_TYPE_COLLECTION) {
        exportsOf(type).size(record, &computed);
        exportsOf(type).range(record, &low, &high);
        readVertices(record, type);
    }
    writeText(record, type, size);
    walk(record);
    transformCopy(record, type);
    intersect(record, type, partners);
    if (type != SPATIAL_TYPE_COLLECTION) return true;

    // Members follow the header and count words, each at the previous one's
    // start plus its size rounded to 8.
    const auto* member = static_cast<const std::uint8_t*>(record) + 24;
    std::uint32_t members = 0;
    std::memcpy(&members, static_cast<const std::uint8_t*>(record) + 16, sizeof members);
    for (std::uint32_t i = 0; i < members; ++i) {
        std::uint32_t memberBytes = 0;
        if (!exerciseRecord(member, partners) || spatialWKB_getSize(member, &memberBytes) != SPATIAL_SUCCESS)
            return false;
        member += (memberBytes + 7) / 8 * 8;
    }
    return true;
}

}  // namespace testing_support
