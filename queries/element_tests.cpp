#include "queries/element_tests.h"

namespace spatialgeom {

// Computed distances of segments that touch stay below this fraction of
// the coordinates' magnitude (generously: the computation errs by a few ulps).
static constexpr double kTouchingScale = 0x1p-30;

bool segmentsWithin(const kernel::Segment3d& a, const kernel::Segment3d& b, double tolerance) {
    const double distance = kernel::segmentDistance(a, b);
    if (distance <= tolerance) return true;
    if (distance > kTouchingScale * kernel::coordinateScale(a, b)) return false;
    return kernel::segmentsIntersect(a, b);
}

}  // namespace spatialgeom
