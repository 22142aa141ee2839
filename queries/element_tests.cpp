#include "queries/element_tests.h"

namespace spatialgeom {

// Computed distances of segments that touch stay below this fraction of
// the coordinates' magnitude (generously: the computation errs by a few ulps).
static constexpr double kTouchingScale = 0x1p-30;

bool segmentsWithin(const Corvane::DSegment3d& a, const Corvane::DSegment3d& b, double tolerance) {
    const double distance = Corvane::cvgDSegment3d_distanceToDSegment3d(a, b);
    if (distance <= tolerance) return true;
    if (distance > kTouchingScale * Corvane::cvgDSegment3d_coordinateScale(a, b)) return false;
    return Corvane::cvgDSegment3d_intersectsDSegment3d(a, b);
}

}  // namespace spatialgeom
