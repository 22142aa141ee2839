// Copying and releasing records.
#include <cstring>

#include "records/record_memory.h"
#include "spatialgeom/records.h"

using namespace spatialgeom;

extern "C" {

SPATIALGEOM_API uint32_t spatialWKB_copy(const void* geom, void** outGeom) {
    if (geom == nullptr || outGeom == nullptr) return SPATIAL_FAILURE;
    std::uint32_t size = 0;
    if (std::uint32_t status = spatialWKB_getSize(geom, &size); status != SPATIAL_SUCCESS) return status;
    Byte* copy = allocateRecord(size);
    if (copy == nullptr) return SPATIAL_FAILURE;
    std::memcpy(copy, geom, size);
    *outGeom = copy;
    return SPATIAL_SUCCESS;
}

SPATIALGEOM_API uint32_t spatialWKB_destroyGeom(void** geomVar) {
    if (geomVar == nullptr || *geomVar == nullptr) return SPATIAL_FAILURE;
    releaseRecord(*geomVar);
    *geomVar = nullptr;
    return SPATIAL_SUCCESS;
}

SPATIALGEOM_API uint32_t spatialWKB_destroyGeomCollection(void** geomVar) { return spatialWKB_destroyGeom(geomVar); }

}  // extern "C"
