#include "records/record_sizes.h"

#include "records/navigation.h"
#include "records/record_memory.h"

namespace spatialgeom {
namespace {

// A 64-bit layout size as a record stores it; false when it does not fit.
bool storedSize(std::uint64_t size, std::uint32_t* out) {
    if (!fitsRecordSize(size)) return false;
    *out = static_cast<std::uint32_t>(size);
    return true;
}

}  // namespace

bool sizeAsKind(const Byte* record, std::uint32_t kind, std::uint32_t* size) {
    switch (kind) {
        case SPATIAL_TYPE_POINT: return storedSize(kPointRecordSize, size);
        case SPATIAL_TYPE_LINESTRING: return storedSize(lineRecordSize(record), size);
        case SPATIAL_TYPE_POLYGON: return storedSize(polygonRecordSize(record), size);
        case SPATIAL_TYPE_MULTIPOINT: return storedSize(multiPointRecordSize(record), size);
        case SPATIAL_TYPE_MULTILINESTRING: return storedSize(multiLineRecordSize(record), size);
        case SPATIAL_TYPE_MULTIPOLYGON: return storedSize(multiPolygonRecordSize(record), size);
        default: return false;
    }
}

bool computedRecordSize(const Byte* record, std::uint32_t* size) {
    std::uint64_t computed = 0;
    return layoutSize(record, &computed) && storedSize(computed, size);
}

bool recordSize(const Byte* record, std::uint32_t* size) {
    std::uint64_t found = 0;
    return memberSize(record, &found) && storedSize(found, size);
}

}  // namespace spatialgeom
