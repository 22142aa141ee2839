// The C interface of spatialgeom/join.h: argument checks and status codes
// over the join of two lists (join/record_join.h). Everything is found
// before the caller's callback hears of any of it.
#include <vector>

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

}  // extern "C"
