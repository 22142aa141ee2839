// The C interface of spatialgeom/join.h: argument checks and status codes
// over the join of two lists (join/record_join.h) and the nearest search
// (join/nearest_records.h). Everything is found
// before the caller's callback hears of any of it.
#include <vector>

#include "join/nearest_records.h"
#include "join/record_join.h"
#include "spatialgeom/join.h"

using namespace spatialgeom;

extern "C" {

SPATIALGEOM_API uint32_t spatialWKB_joinRecords(const void* const* a, uint32_t aCount, const void* const* b,
                                                uint32_t bCount, double tolerance, uint32_t threads,
                                                void (*found)(void* context, uint32_t i, uint32_t j), void* context) {
    if ((a == nullptr && aCount > 0) || (b == nullptr && bCount > 0) || found == nullptr) return SPATIAL_FAILURE;
    if (!(tolerance >= 0.0) || threads == 0) return SPATIAL_FAILURE;
    std::vector<JoinPair> pairs;
    try {
        if (!joinRecords(a, aCount, b, bCount, tolerance, threads, &pairs)) return SPATIAL_FAILURE;
    } catch (...) {  // memory
        return SPATIAL_FAILURE;
    }
    for (const JoinPair& pair : pairs) found(context, pair.first, pair.second);
    return SPATIAL_SUCCESS;
}

SPATIALGEOM_API uint32_t spatialWKB_nearestRecords(
    const void* const* a, uint32_t aCount, const void* const* b, uint32_t bCount, double maxDistance, uint32_t threads,
    void (*found)(void* context, uint32_t j, uint32_t i, double distance), void* context) {
    if ((a == nullptr && aCount > 0) || (b == nullptr && bCount > 0) || found == nullptr) return SPATIAL_FAILURE;
    if (!(maxDistance >= 0.0) || threads == 0) return SPATIAL_FAILURE;
    std::vector<NearestPair> nearest;
    try {
        if (!nearestRecords(a, aCount, b, bCount, maxDistance, threads, &nearest)) return SPATIAL_FAILURE;
    } catch (...) {  // memory, threads
        return SPATIAL_FAILURE;
    }
    for (const NearestPair& pair : nearest) found(context, pair.j, pair.i, pair.distance);
    return SPATIAL_SUCCESS;
}

}  // extern "C"
