// The C interface of spatialgeom/prepared.h: argument checks and status
// codes over the prepared geometries (queries/prepared_geometry.h). A
// handle is a PreparedGeometry behind a tag word, which tells a handle
// from a record or a freed handle in most cases.
#include <cstdint>
#include <memory>
#include <new>

#include "queries/prepared_geometry.h"
#include "queries/record_distance.h"
#include "spatialgeom/prepared.h"

namespace spatialgeom {
namespace {

constexpr std::uint64_t kHandleTag = 0x6465726170657270u;  // live
constexpr std::uint64_t kFreedTag = 0x6465657266657270u;

struct PreparedHandle {
    std::uint64_t tag = kHandleTag;
    std::unique_ptr<PreparedGeometry> geometry;
};

const PreparedHandle* asHandle(const void* prepared) {
    const auto* handle = static_cast<const PreparedHandle*>(prepared);
    return handle->tag == kHandleTag ? handle : nullptr;
}

}  // namespace
}  // namespace spatialgeom

using namespace spatialgeom;

extern "C" {

SPATIALGEOM_API uint32_t spatialWKB_prepareGeometry(const void* geom, void** outPrepared) {
    if (geom == nullptr || outPrepared == nullptr) return SPATIAL_FAILURE;
    try {
        auto handle = std::make_unique<PreparedHandle>();
        handle->geometry = PreparedGeometry::prepare(static_cast<const Byte*>(geom));
        if (!handle->geometry) return SPATIAL_FAILURE;
        *outPrepared = handle.release();
    } catch (...) {  // memory
        return SPATIAL_FAILURE;
    }
    return SPATIAL_SUCCESS;
}

SPATIALGEOM_API uint32_t spatialWKB_intersectPrepared(const void* prepared, const void* other, double tolerance,
                                                      uint32_t* result) {
    if (prepared == nullptr || other == nullptr || result == nullptr) return SPATIAL_FAILURE;
    const PreparedHandle* handle = asHandle(prepared);
    if (handle == nullptr) return SPATIAL_FAILURE;
    bool meets = false;
    if (!handle->geometry->intersects(static_cast<const Byte*>(other), tolerance, &meets)) return SPATIAL_FAILURE;
    *result = meets ? 1 : 0;
    return SPATIAL_SUCCESS;
}

SPATIALGEOM_API uint32_t spatialWKB_distancePrepared(const void* prepared, const void* other, double* distance,
                                                     DPoint3d* onPrepared, DPoint3d* onOther) {
    if (prepared == nullptr || other == nullptr || distance == nullptr) return SPATIAL_FAILURE;
    const PreparedHandle* handle = asHandle(prepared);
    if (handle == nullptr) return SPATIAL_FAILURE;
    if (!preparedDistance(*handle->geometry, static_cast<const Byte*>(other), distance, onPrepared, onOther))
        return SPATIAL_FAILURE;
    return SPATIAL_SUCCESS;
}

SPATIALGEOM_API uint32_t spatialWKB_destroyPrepared(void** prepared) {
    if (prepared == nullptr || *prepared == nullptr) return SPATIAL_FAILURE;
    auto* handle = static_cast<PreparedHandle*>(*prepared);
    if (handle->tag != kHandleTag) return SPATIAL_FAILURE;
    handle->tag = kFreedTag;
    delete handle;
    *prepared = nullptr;
    return SPATIAL_SUCCESS;
}

}  // extern "C"
