// Exact rational arithmetic on double coordinates: the slow, exact path
// that the floating-point tests fall back to when their error bounds cannot
// decide. Every finite double converts to a rational exactly; non-finite
// values must not reach these functions.
#pragma once

#include <cstdint>

#include <gmpxx.h>

#include "spatialgeom/types.h"

namespace spatialgeom::kernel {

struct RationalPoint {
    mpq_class x, y, z;
};

inline RationalPoint toRational(const DPoint3d& p) { return {mpq_class(p.x), mpq_class(p.y), mpq_class(p.z)}; }

// The exact squared distance between the closed segments a0a1 and b0b1
// (either may be a point: a0 == a1). The squared distance is the minimum
// of a convex quadratic over the parameter square: at its critical point
// when that lies inside, otherwise on an edge of the square, where it is an
// end point's squared distance to the other segment. Cost: a few dozen
// rational operations.
mpq_class squaredSegmentDistance(const RationalPoint& a0, const RationalPoint& a1, const RationalPoint& b0,
                                 const RationalPoint& b1);

// The least double whose square is at least q (q >= 0): the square root
// rounded upwards; NaN when it is not 0 and lies outside 2^-500 .. 2^500
// (where the correction by single ulps could take many steps). Cost: a
// floating-point root and two or three rational squares.
double upwardSqrt(const mpq_class& q);

// How many decisions took the exact path since the process started (all
// threads; relaxed): lets tests and benchmarks check that it stays rare.
// Every exact path calls noteExactDecision() once.
void noteExactDecision();
std::uint64_t exactDecisionCount();

}  // namespace spatialgeom::kernel
