#include "kernel/nearest_segment.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include <gmpxx.h>

#include "kernel/range3d.h"

namespace spatialgeom::kernel {
namespace {

std::size_t bitLength(const mpz_class& n) { return sgn(n) == 0 ? 0 : mpz_sizeinbase(n.get_mpz_t(), 2); }
std::uint64_t low64(const mpz_class& n) { return mpz_get_ui(n.get_mpz_t()); }  // n >= 0, below 2^64

// |n / d| (d != 0) as m 2^e, m its leading 53 bits, truncated (a whole
// double; 0 when n is 0).
double leadingBits(const mpz_class& n, const mpz_class& d, int* e) {
    *e = 0;
    if (n == 0) return 0.0;
    const mpz_class absN = abs(n), absD = abs(d);
    // Shifted so that the quotient has 64 bits or more.
    const std::size_t shift = std::max<std::ptrdiff_t>(
        0, static_cast<std::ptrdiff_t>(bitLength(absD)) - static_cast<std::ptrdiff_t>(bitLength(absN)) + 64);
    mpz_class q = (absN << static_cast<unsigned>(shift)) / absD;
    const std::size_t dropped = bitLength(q) - 53;
    q >>= static_cast<unsigned>(dropped);
    *e = static_cast<int>(dropped) - static_cast<int>(shift);
    return static_cast<double>(low64(q));
}

// n / d * 2^scale rounded towards zero to a double (to nearest below the
// normal range).
double truncatedRatio(const mpz_class& n, const mpz_class& d, int scale) {
    int e = 0;
    const double m = leadingBits(n, d, &e);
    return ((n < 0) != (d < 0) ? -1 : 1) * std::ldexp(m, e + scale);
}

struct ScaledPoint {
    mpz_class x, y, z;
};

ScaledPoint minus(const ScaledPoint& a, const ScaledPoint& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
mpz_class dot(const ScaledPoint& a, const ScaledPoint& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The squared distance from the point to one segment, as numerator /
// denominator (in units of the scale squared), and where it is reached:
// at `start` (place 0), at `end` (1), or inside at along / length.
struct Reach {
    mpz_class numerator, denominator;
    int place = 0;  // 0, 1, or 2 inside
    mpz_class along, length;
};

Reach reach(const ScaledPoint& p, const ScaledPoint& start, const ScaledPoint& end) {
    const ScaledPoint w = minus(p, start), d = minus(end, start);
    Reach r;
    r.along = dot(w, d);
    r.length = dot(d, d);
    r.denominator = 1;
    if (r.along <= 0) {
        r.numerator = dot(w, w);
    } else if (r.along >= r.length) {
        const ScaledPoint e = minus(p, end);
        r.numerator = dot(e, e);
        r.place = 1;
    } else {
        // |w x d|^2 / |d|^2, by Lagrange's identity.
        r.numerator = dot(w, w) * r.length - r.along * r.along;
        r.denominator = r.length;
        r.place = 2;
    }
    return r;
}

// numerator / denominator * 2^(2 scale): its root, rounded upwards; NaN
// outside 2^-500 .. 2^500.
double upwardRoot(const Reach& r, int scale) {
    if (r.numerator == 0) return 0.0;
    // The estimate from the leading bits: m 2^exponent, the exponent made
    // even.
    int e = 0;
    double m = leadingBits(r.numerator, r.denominator, &e);
    long exponent = e + 2L * scale;
    if (exponent % 2 != 0) {
        m *= 2;
        --exponent;
    }
    if (exponent < -1200 || exponent > 1100) return std::nan("");
    double root = std::ldexp(std::sqrt(m), static_cast<int>(exponent / 2));
    if (!(root > 0x1p-500 && root < 0x1p500)) return std::nan("");
    // root^2 >= numerator / denominator * 2^(2 scale)?
    const auto covers = [&](double v) {
        const int k = std::ilogb(v) - 52;
        const mpz_class m(std::ldexp(v, -k));
        mpz_class left = m * m * r.denominator, right = r.numerator;
        const long shift = 2L * k - 2L * scale;
        if (shift >= 0) {
            left <<= static_cast<unsigned>(shift);
        } else {
            right <<= static_cast<unsigned>(-shift);
        }
        return left >= right;
    };
    while (!covers(root)) root = nextUp(root);
    while (covers(nextDown(root))) root = nextDown(root);
    return root;
}

std::optional<NearestSegment> nearestIn(const DPoint3d& p, std::span<const Segment3d> segments, int low) {
    const auto scaled = [&](const DPoint3d& v) {
        return ScaledPoint{mpz_class(std::ldexp(v.x, -low)), mpz_class(std::ldexp(v.y, -low)),
                           mpz_class(std::ldexp(v.z, -low))};
    };
    const ScaledPoint point = scaled(p);
    std::size_t best = 0;
    Reach nearest;
    ScaledPoint nearestStart;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const ScaledPoint start = scaled(segments[i].start);
        Reach r = reach(point, start, scaled(segments[i].end));
        if (i == 0 || r.numerator * nearest.denominator < nearest.numerator * r.denominator) {
            best = i;
            nearest = std::move(r);
            nearestStart = start;
        }
    }
    const double distance = upwardRoot(nearest, low);
    if (!(distance >= 0.0)) return std::nullopt;
    const Segment3d& s = segments[best];
    if (nearest.place != 2) return NearestSegment{best, distance, nearest.place == 0 ? s.start : s.end};
    // start + along / length * (end - start), each coordinate.
    const ScaledPoint d = minus(scaled(s.end), nearestStart);
    const auto at = [&](const mpz_class& origin, const mpz_class& step) {
        return truncatedRatio(mpz_class(origin * nearest.length + nearest.along * step), nearest.length, low);
    };
    return NearestSegment{best, distance, {at(nearestStart.x, d.x), at(nearestStart.y, d.y), at(nearestStart.z, d.z)}};
}

}  // namespace

std::optional<NearestSegment> nearestSegment(const DPoint3d& p, std::span<const Segment3d> segments) {
    // The scale: the least unit in the last place among the coordinates.
    int low = INT_MAX, high = INT_MIN;
    const auto note = [&](const DPoint3d& v) {
        for (const double c : {v.x, v.y, v.z}) {
            if (c == 0.0) continue;
            const int k = std::ilogb(c);
            low = std::min(low, k - 52);
            high = std::max(high, k);
        }
    };
    note(p);
    for (const Segment3d& s : segments) {
        note(s.start);
        note(s.end);
    }
    if (low == INT_MAX) return NearestSegment{0, 0.0, p};  // every coordinate is 0
    if (high - low > 900) return std::nullopt;
    return nearestIn(p, segments, low);
}

}  // namespace spatialgeom::kernel
