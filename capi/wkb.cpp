// The WKB exports: argument checks and statuses around interchange/ogc_wkb.h.
#include <limits>
#include <new>

#include "interchange/ogc_wkb.h"
#include "spatialgeom/wkb.h"

using namespace spatialgeom;

extern "C" {

SPATIALGEOM_API uint32_t spatialWKB_toOgcWkb(const void* geom, void* buffer, uint32_t capacity, uint32_t* size) {
    if (geom == nullptr || size == nullptr) return SPATIAL_FAILURE;
    const auto* record = static_cast<const Byte*>(geom);
    std::uint64_t needed = 0;
    if (!ogcWkbSize(record, &needed) || needed > std::numeric_limits<uint32_t>::max()) return SPATIAL_FAILURE;
    *size = static_cast<uint32_t>(needed);
    if (buffer == nullptr || needed > capacity) return SPATIAL_BUFFER_TOO_SMALL;
    writeOgcWkb(record, static_cast<Byte*>(buffer));
    return SPATIAL_SUCCESS;
}

SPATIALGEOM_API uint32_t spatialWKB_fromOgcWkb(const void* bytes, uint32_t length, void** outGeom) {
    if (bytes == nullptr || outGeom == nullptr) return SPATIAL_FAILURE;
    Byte* record = nullptr;
    try {
        record = recordFromOgcWkb(static_cast<const Byte*>(bytes), length);
    } catch (const std::bad_alloc&) {
        return SPATIAL_FAILURE;
    }
    if (record == nullptr) return SPATIAL_FAILURE;
    *outGeom = record;
    return SPATIAL_SUCCESS;
}

}  // extern "C"
