#include "join/geometry_probe.h"

#include <new>

namespace spatialgeom {
namespace {

// The vertices of the record's polygons of at least kPreparedFromVertices
// vertices (0 for a kind other than polygon and multipolygon): those a
// prepared record indexes.
std::uint64_t indexedVertices(const Byte* record) {
    std::uint64_t total = 0;
    const auto add = [&](const Byte* rings) {
        const std::uint64_t n = ringSeqVertexCount(rings);
        if (n >= GeometryProbe::kPreparedFromVertices) total += n;
        return true;
    };
    const std::uint32_t kind = recordType(record);
    if (kind == SPATIAL_TYPE_POLYGON) add(polygonBody(record));
    if (kind == SPATIAL_TYPE_MULTIPOLYGON) forEachPolygon(record, add);
    return total;
}

}  // namespace

GeometryProbe::GeometryProbe(const Byte* record, double tolerance, std::size_t candidates)
    : record_(record), tolerance_(tolerance) {
    if (!worthPreparing(indexedVertices(record), candidates)) return;
    // nullptr for a record without vertices, which meets nothing anyway.
    prepared_ = PreparedGeometry::prepare(record, kPreparedFromVertices);
}

bool GeometryProbe::meets(const Byte* other) const {
    if (!prepared_) return unionMeets(record_, other, tolerance_);
    bool meets = false;
    forEachPart(other, [&](const Byte* part) {
        if (!prepared_->intersects(part, tolerance_, &meets)) {
            DRange3d box;
            if (unionRange(part, &box)) throw std::bad_alloc();  // refused for memory only
            meets = false;
        }
        return !meets;
    });
    return meets;
}

}  // namespace spatialgeom
