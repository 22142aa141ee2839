#include "join/geometry_probe.h"

#include <new>

namespace spatialgeom {

GeometryProbe::GeometryProbe(const Byte* record, double tolerance) : record_(record), tolerance_(tolerance) {
    std::uint64_t size = 0;
    if (recordType(record) == SPATIAL_TYPE_COLLECTION || !layoutSize(record, &size) || size < kPreparedFromBytes)
        return;
    // nullptr for a record without vertices, which meets nothing anyway.
    prepared_ = PreparedGeometry::prepare(record);
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
