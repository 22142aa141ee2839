// Record sizes: computed from the layout, or read from the header.
#include "records/navigation.h"
#include "records/record_memory.h"
#include "spatialgeom/records.h"

namespace spatialgeom {
namespace {

// Reports a 64-bit layout size through the u32 interface; a size that does
// not fit in 32 bits is no record of ours.
std::uint32_t reportSize(std::uint64_t size, std::uint32_t* out) {
    if (!fitsRecordSize(size)) return SPATIAL_FAILURE;
    *out = static_cast<std::uint32_t>(size);
    return SPATIAL_SUCCESS;
}

// The body of the typed size exports: checks, then sizes the record as the
// named kind whatever its type code says.
template <typename SizeOfKind>
std::uint32_t sizeAs(const void* geom, std::uint32_t* size, SizeOfKind&& sizeOfKind) {
    if (geom == nullptr || size == nullptr) return SPATIAL_FAILURE;
    return reportSize(sizeOfKind(static_cast<const Byte*>(geom)), size);
}

}  // namespace
}  // namespace spatialgeom

using namespace spatialgeom;

extern "C" {

SPATIALGEOM_API uint32_t spatialWKB_calculateSize(const void* geom, uint32_t* size) {
    if (geom == nullptr || size == nullptr) return SPATIAL_FAILURE;
    const auto* record = static_cast<const Byte*>(geom);
    // Type 8 has no layout: success without a size.
    if (recordType(record) == SPATIAL_TYPE_RESERVED) return SPATIAL_SUCCESS;
    std::uint64_t computed = 0;
    if (!layoutSize(record, &computed)) return SPATIAL_FAILURE;
    return reportSize(computed, size);
}

SPATIALGEOM_API uint32_t spatialWKB_getPointSize(const void* geom, uint32_t* size) {
    return sizeAs(geom, size, [](const Byte*) { return std::uint64_t{kPointRecordSize}; });
}

SPATIALGEOM_API uint32_t spatialWKB_getLineSize(const void* geom, uint32_t* size) {
    return sizeAs(geom, size, lineRecordSize);
}

SPATIALGEOM_API uint32_t spatialWKB_getPolygonSize(const void* geom, uint32_t* size) {
    return sizeAs(geom, size, polygonRecordSize);
}

SPATIALGEOM_API uint32_t spatialWKB_getMultiPointSize(const void* geom, uint32_t* size) {
    return sizeAs(geom, size, multiPointRecordSize);
}

SPATIALGEOM_API uint32_t spatialWKB_getMultiLineSize(const void* geom, uint32_t* size) {
    return sizeAs(geom, size, multiLineRecordSize);
}

SPATIALGEOM_API uint32_t spatialWKB_getMultiPolygonSize(const void* geom, uint32_t* size) {
    return sizeAs(geom, size, multiPolygonRecordSize);
}

SPATIALGEOM_API uint32_t spatialWKB_getSize(const void* geom, uint32_t* size) {
    if (geom == nullptr || size == nullptr) return SPATIAL_FAILURE;
    const auto* record = static_cast<const Byte*>(geom);
    std::uint64_t found = 0;
    if (!memberSize(record, &found)) return SPATIAL_FAILURE;
    return reportSize(found, size);
}

}  // extern "C"
