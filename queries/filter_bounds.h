// The error model shared by the floating-point filters of the polygon
// tests, and the count of decisions they leave to rational arithmetic.
//
// A filter computes a value v in double precision together with a bound e
// such that the exact value x satisfies |v - x| <= e; it decides only when
// the answer is the same for every x in [v - e, v + e], and otherwise
// hands the question to the exact path. Each bound is written as its
// first-order term (derived where it is computed, in units of the unit
// roundoff u), times kInflate, plus kTiny:
//  - kInflate covers the second-order terms (products of two relative
//    errors, each at most 2^-20: the filters refuse normals whose error is
//    larger) and the rounding of the bound's own evaluation (a few dozen
//    operations of relative error u each);
//  - kTiny covers the products that fall into the subnormal range, each
//    off by at most 2^-1075 absolutely rather than relatively, and the few
//    later operations that scale such an error (by factors below 2^8).
// Values that overflow give infinities or NaNs, and every decision below
// is written so that a NaN leaves it undecided.
#pragma once

#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "spatialgeom/types.h"

namespace spatialgeom::filter {

constexpr double kUnit = 0x1p-53;  // u: half an ulp of 1
constexpr double kInflate = 1.0 + 0x1p-10;
constexpr double kTiny = 0x1p-1000;
// The largest error of a computed unit normal that the filters use.
constexpr double kLargestNormalError = 0x1p-20;

// With |value - x| <= error: is |x| certainly greater than t (t >= 0)?
// fl(|v| - e) exceeds |v| - e by at most a factor 1 + u, which the factor
// 1 - 4u (itself rounded) more than takes back.
inline bool certainlyBeyond(double value, double error, double t) {
    return (std::fabs(value) - error) * (1 - 4 * kUnit) > t;
}

// With |value - x| <= error: is |x| certainly at most t? fl(|v| + e) falls
// short of |v| + e by at most a factor 1 - u, which 1 + 4u makes up.
inline bool certainlyWithin(double value, double error, double t) {
    return (std::fabs(value) + error) * (1 + 4 * kUnit) <= t;
}

// Do the orientation predicates (kernel/exact_predicates.h) decide
// exactly on points with these coordinates? They do for zero and for
// magnitudes in [2^-300, 2^300]: every part of their expansions is then a
// multiple of 2^-1074 of at most 53 bits and below the overflow threshold.
// Other coordinates go to rational arithmetic.
// (On the bits of |c|: zero, or between those of 2^-300 and 2^300 as
// unsigned integers; infinities and NaNs lie above. No branches: checked
// over whole rings.)
inline bool predicateSafe(double c) {
    constexpr std::uint64_t kLow = std::bit_cast<std::uint64_t>(0x1p-300),
                            kHigh = std::bit_cast<std::uint64_t>(0x1p300);
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(c) & 0x7fffffffffffffffu;
    return (bits == 0) | (bits - kLow <= kHigh - kLow);
}
// Are all coordinates of the points finite? Integer operations on the
// exponent fields, two coordinates at a time (a vector type of GCC and
// Clang), no branch.
inline bool allFinite(const DPoint3d* points, std::size_t count) {
    static_assert(sizeof(DPoint3d) == 3 * sizeof(double));
    using Words = std::uint64_t __attribute__((vector_size(16)));
    const char* bytes = reinterpret_cast<const char*>(points);
    const std::size_t words = 3 * count, whole = words / 2 * 2;
    // The exponent field plus one reaches the sign bit exactly when it is
    // all ones.
    constexpr std::uint64_t kExponent = 0x7ffull << 52, kOne = 1ull << 52;
    const auto flags = [&](std::size_t i) {
        Words bits;
        std::memcpy(&bits, bytes + i * 8, sizeof bits);
        return (bits & kExponent) + kOne;
    };
    // Four accumulators, so that the loop is not one long chain.
    Words any0{}, any1{}, any2{}, any3{};
    std::size_t i = 0;
    for (; i + 8 <= whole; i += 8) {
        any0 |= flags(i);
        any1 |= flags(i + 2);
        any2 |= flags(i + 4);
        any3 |= flags(i + 6);
    }
    for (; i < whole; i += 2) any0 |= flags(i);
    const Words all = any0 | any1 | any2 | any3;
    std::uint64_t rest = all[0] | all[1];
    if (whole < words) {
        std::uint64_t bits;
        std::memcpy(&bits, bytes + whole * 8, sizeof bits);
        rest |= (bits & kExponent) + kOne;
    }
    return (rest >> 63) == 0;
}

inline bool predicateSafe(const DPoint3d& p) {
    return (int(predicateSafe(p.x)) & int(predicateSafe(p.y)) & int(predicateSafe(p.z))) != 0;
}

// Decisions made in rational arithmetic by the polygon tests since the
// program started, over all threads: for tests and measurements.
inline std::atomic<std::uint64_t> exactDecisions{0};
inline void countExactDecision() { exactDecisions.fetch_add(1, std::memory_order_relaxed); }

}  // namespace spatialgeom::filter
