// Work counts of the calling thread's queries, for the tests that bound how
// much work a search does on a large input: a wrong choice of search path
// (all pairs where a hierarchy should prune) shows as a count far above its
// bound, without timing anything. Counted only in builds configured with
// SPATIALGEOM_WORK_COUNTERS (the sanitizer build of the CI runs those
// tests); elsewhere the counting compiles to nothing.
#pragma once

#include <cstdint>

namespace spatialgeom::work {

#ifdef SPATIALGEOM_WORK_COUNTERS
inline constexpr bool kCounted = true;
#else
inline constexpr bool kCounted = false;
#endif

struct Counts {
    std::uint64_t segmentPairs = 0;  // pairs of elements given to segmentsWithin
    std::uint64_t candidates = 0;    // box pairs compared, grid entries visited by the searches
    std::uint64_t measured = 0;      // vertices read to measure boxes
    std::uint64_t exactPieces = 0;   // lifted boundary pieces given exact ends
};

inline thread_local Counts counts;

inline void countSegmentPair() {
    if constexpr (kCounted) ++counts.segmentPairs;
}

inline void countCandidate() {
    if constexpr (kCounted) ++counts.candidates;
}

inline void countMeasured(std::uint64_t vertices) {
    if constexpr (kCounted) counts.measured += vertices;
}

inline void countExactPiece() {
    if constexpr (kCounted) ++counts.exactPieces;
}

}  // namespace spatialgeom::work
