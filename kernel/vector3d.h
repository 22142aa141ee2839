// Vector arithmetic on DPoint3d, the building block of every kernel
// operation: plain IEEE double arithmetic without hidden tolerances.
#pragma once

#include <algorithm>
#include <cmath>

#include "spatialgeom/types.h"

// Arithmetic on the public point type, at global scope so that argument-
// dependent lookup finds it wherever a DPoint3d is used.
constexpr DPoint3d operator+(const DPoint3d& a, const DPoint3d& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
constexpr DPoint3d operator-(const DPoint3d& a, const DPoint3d& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
constexpr DPoint3d operator*(double s, const DPoint3d& a) { return {s * a.x, s * a.y, s * a.z}; }
constexpr bool operator==(const DPoint3d& a, const DPoint3d& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

namespace spatialgeom::kernel {

using Vec3d = DPoint3d;

constexpr double dot(const Vec3d& a, const Vec3d& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
constexpr Vec3d cross(const Vec3d& a, const Vec3d& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double magnitude(const Vec3d& a) { return std::sqrt(dot(a, a)); }

// The unit vector along a. a is first divided by its largest component, so
// that vectors whose squared length would overflow or underflow (components
// near 1e200 or 1e-200) still give an accurate direction. False, *out
// untouched, for the zero vector and for non-finite components.
inline bool normalize(const Vec3d& a, Vec3d* out) {
    const double largest = std::max({std::fabs(a.x), std::fabs(a.y), std::fabs(a.z)});
    if (!(largest > 0.0) || !std::isfinite(largest)) return false;
    const Vec3d scaled{a.x / largest, a.y / largest, a.z / largest};
    *out = (1.0 / magnitude(scaled)) * scaled;
    return true;
}

// Euclidean distance between a and b.
inline double pointDistance(const DPoint3d& a, const DPoint3d& b) { return magnitude(a - b); }

}  // namespace spatialgeom::kernel
