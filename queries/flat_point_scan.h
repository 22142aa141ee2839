// A point against a polygon record that lies, with the point, in one plane
// of constant coordinate (z = 0 data, the common case): decided in one pass
// over the record's rings as stored, without copying them, measuring the
// record's range or building any index.
//
// The answer is the one of the general test (prepared_polygon.h): the
// point meets the polygon when it comes within the tolerance of a ring's
// edge, or lies in the region, which for such a polygon is the even-odd
// region of the outer ring in that plane minus the holes' open interiors.
// (A point that meets such a polygon lies inside the polygon's box widened
// by the tolerance, so skipping the boxes' test changes no answer.)
//
// Cost: one pass over the vertices, a few comparisons each; an orientation
// predicate for each edge that the ray from the point crosses, an exact
// distance test for each edge whose box comes within the tolerance. No
// allocation.
#pragma once

#include <optional>

#include "records/record_layout.h"

namespace spatialgeom {

// Whether the point meets the polygon whose ring sequence is `rings`, for a
// finite tolerance >= 0; nullopt when this path does not apply (the
// polygon does not lie in a plane of constant coordinate through the
// point, it has no vertex, a coordinate is not finite, or a coordinate the
// orientation predicates cannot take meets the ray), and the general test
// must answer.
std::optional<bool> pointMeetsFlatPolygon(const DPoint3d& point, const Byte* rings, double tolerance);

}  // namespace spatialgeom
