// What a record of each kind (1 to 6) is measured with and gathered into
// for an intersection test: KindShape<kind>::range (its box, false when it
// has no vertex), ::Shape (LinearSet or PolygonSet) and ::gather (adds the
// record's elements to a shape; the record must outlive it).
#pragma once

#include <cstdint>

#include "queries/linear_set.h"
#include "queries/polygon_set.h"
#include "queries/record_range.h"
#include "records/navigation.h"
#include "spatialgeom/types.h"

namespace spatialgeom {

using RecordRange = bool (*)(const Byte*, DRange3d*);

template <std::uint32_t Type>
struct KindShape;

template <>
struct KindShape<SPATIAL_TYPE_POINT> {
    using Shape = LinearSet;
    static constexpr RecordRange range = pointRecordRange;
    static void gather(const Byte* record, LinearSet& shape) { shape.addPoints(pointVertex(record), 1); }
};

template <>
struct KindShape<SPATIAL_TYPE_LINESTRING> {
    using Shape = LinearSet;
    static constexpr RecordRange range = lineRecordRange;
    static void gather(const Byte* record, LinearSet& shape) { shape.addSublineSeq(lineBody(record)); }
};

template <>
struct KindShape<SPATIAL_TYPE_POLYGON> {
    using Shape = PolygonSet;
    static constexpr RecordRange range = polygonRecordRange;
    static void gather(const Byte* record, PolygonSet& shape) { shape.add(polygonBody(record)); }
};

template <>
struct KindShape<SPATIAL_TYPE_MULTIPOINT> {
    using Shape = LinearSet;
    static constexpr RecordRange range = multiPointRecordRange;
    static void gather(const Byte* record, LinearSet& shape) {
        shape.addPoints(multiPointVertices(record), bodyCount(record));
    }
};

template <>
struct KindShape<SPATIAL_TYPE_MULTILINESTRING> {
    using Shape = LinearSet;
    static constexpr RecordRange range = multiLineRecordRange;
    static void gather(const Byte* record, LinearSet& shape) { shape.addRingSeq(multiLineBody(record)); }
};

template <>
struct KindShape<SPATIAL_TYPE_MULTIPOLYGON> {
    using Shape = PolygonSet;
    static constexpr RecordRange range = multiPolygonRecordRange;
    static void gather(const Byte* record, PolygonSet& shape) {
        forEachPolygon(record, [&](const Byte* polygon) {
            shape.add(polygon);
            return true;
        });
    }
};

}  // namespace spatialgeom
