// What a record of each kind (1 to 6) is measured with and gathered into
// for an intersection test: KindShape<kind>::range (its extent, false when
// it has no vertex), ::Shape (LinearSet or PolygonSet) and ::gather (adds
// the record's elements to a shape; the record must outlive it). Given the
// extent that range measured, gather hands what it learnt on to the
// polygons, which then need not measure their box or check their
// coordinates again.
#pragma once

#include <cstdint>

#include "queries/linear_set.h"
#include "queries/polygon_set.h"
#include "queries/record_range.h"
#include "records/navigation.h"
#include "spatialgeom/types.h"

namespace spatialgeom {

// A record's box and, for the polygon kinds, whether every coordinate is
// finite (false for the other kinds: not measured).
struct RecordExtent {
    DRange3d box{};
    bool finite = false;
};

template <std::uint32_t Type>
struct KindShape;

template <>
struct KindShape<SPATIAL_TYPE_POINT> {
    using Shape = LinearSet;
    static bool range(const Byte* record, RecordExtent* extent) { return pointRecordRange(record, &extent->box); }
    static void gather(const Byte* record, LinearSet& shape, const RecordExtent* = nullptr) {
        shape.addPoints(pointVertex(record), 1);
    }
};

template <>
struct KindShape<SPATIAL_TYPE_LINESTRING> {
    using Shape = LinearSet;
    static bool range(const Byte* record, RecordExtent* extent) { return lineRecordRange(record, &extent->box); }
    static void gather(const Byte* record, LinearSet& shape, const RecordExtent* = nullptr) {
        shape.addSublineSeq(lineBody(record));
    }
};

template <>
struct KindShape<SPATIAL_TYPE_POLYGON> {
    using Shape = PolygonSet;
    static bool range(const Byte* record, RecordExtent* extent) {
        return polygonRecordRange(record, &extent->box, &extent->finite);
    }
    // The polygon is the whole record: its box is the record's.
    static void gather(const Byte* record, PolygonSet& shape, const RecordExtent* extent = nullptr) {
        shape.add(polygonBody(record), extent != nullptr ? PolygonFacts{&extent->box, extent->finite} : PolygonFacts{});
    }
};

template <>
struct KindShape<SPATIAL_TYPE_MULTIPOINT> {
    using Shape = LinearSet;
    static bool range(const Byte* record, RecordExtent* extent) { return multiPointRecordRange(record, &extent->box); }
    static void gather(const Byte* record, LinearSet& shape, const RecordExtent* = nullptr) {
        shape.addPoints(multiPointVertices(record), bodyCount(record));
    }
};

template <>
struct KindShape<SPATIAL_TYPE_MULTILINESTRING> {
    using Shape = LinearSet;
    static bool range(const Byte* record, RecordExtent* extent) { return multiLineRecordRange(record, &extent->box); }
    static void gather(const Byte* record, LinearSet& shape, const RecordExtent* = nullptr) {
        shape.addRingSeq(multiLineBody(record));
    }
};

template <>
struct KindShape<SPATIAL_TYPE_MULTIPOLYGON> {
    using Shape = PolygonSet;
    static bool range(const Byte* record, RecordExtent* extent) {
        return multiPolygonRecordRange(record, &extent->box, &extent->finite);
    }
    // Each member is finite when the whole record is; its box is its own.
    static void gather(const Byte* record, PolygonSet& shape, const RecordExtent* extent = nullptr) {
        const PolygonFacts facts{nullptr, extent != nullptr && extent->finite};
        forEachPolygon(record, [&](const Byte* polygon) {
            shape.add(polygon, facts);
            return true;
        });
    }
};

}  // namespace spatialgeom
