#include "kernel/nearest_segment.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include <gmpxx.h>

#include "kernel/range3d.h"

namespace spatialgeom::kernel {
namespace {

struct ScaledPoint {
    mpz_class x, y, z;
};

// The squared distance from the point to one segment, as numerator /
// denominator (in units of the scale squared), and where it is reached:
// at `start` (place 0), at `end` (1), or inside at along / length.
struct Reach {
    mpz_class numerator, denominator;
    int place = 0;  // 0, 1, or 2 inside
    mpz_class along, length;
};

// The integers of one call, kept by each thread from call to call so that
// their limbs are allocated once, not at every operation.
struct Workspace {
    ScaledPoint point, start, end, w, d, nearestStart;
    Reach reach, nearest;
    mpz_class product, left, right, quotient, divisor;
};

Workspace& workspace() {
    thread_local Workspace w;
    return w;
}

void scale(const DPoint3d& v, int low, ScaledPoint& out) {
    out.x = std::ldexp(v.x, -low);
    out.y = std::ldexp(v.y, -low);
    out.z = std::ldexp(v.z, -low);
}

void minus(const ScaledPoint& a, const ScaledPoint& b, ScaledPoint& out) {
    out.x = a.x - b.x;
    out.y = a.y - b.y;
    out.z = a.z - b.z;
}

void dot(const ScaledPoint& a, const ScaledPoint& b, mpz_class& out) {
    out = a.x * b.x;
    out += a.y * b.y;
    out += a.z * b.z;
}

std::size_t bitLength(const mpz_class& n) { return sgn(n) == 0 ? 0 : mpz_sizeinbase(n.get_mpz_t(), 2); }

// |n / d| (d != 0) as m 2^e, m its leading 53 bits, truncated (a whole
// double; 0 when n is 0).
double leadingBits(const mpz_class& n, const mpz_class& d, int* e, Workspace& ws) {
    *e = 0;
    if (n == 0) return 0.0;
    // Shifted so that the quotient has 64 bits or more.
    const std::size_t shift = static_cast<std::size_t>(std::max<std::ptrdiff_t>(
        0, static_cast<std::ptrdiff_t>(bitLength(d)) - static_cast<std::ptrdiff_t>(bitLength(n)) + 64));
    ws.quotient = abs(n);
    ws.quotient <<= shift;
    ws.divisor = abs(d);
    ws.quotient /= ws.divisor;
    const std::size_t dropped = bitLength(ws.quotient) - 53;
    ws.quotient >>= dropped;
    *e = static_cast<int>(dropped) - static_cast<int>(shift);
    return static_cast<double>(mpz_get_ui(ws.quotient.get_mpz_t()));
}

// n / d * 2^scale rounded towards zero to a double (to nearest below the
// normal range).
double truncatedRatio(const mpz_class& n, const mpz_class& d, int scale, Workspace& ws) {
    int e = 0;
    const double m = leadingBits(n, d, &e, ws);
    return ((n < 0) != (d < 0) ? -1 : 1) * std::ldexp(m, e + scale);
}

// ws.reach for the segment from ws.start to ws.end.
void reach(Workspace& ws) {
    Reach& r = ws.reach;
    minus(ws.point, ws.start, ws.w);
    minus(ws.end, ws.start, ws.d);
    dot(ws.w, ws.d, r.along);
    dot(ws.d, ws.d, r.length);
    r.denominator = 1;
    if (r.along <= 0) {
        dot(ws.w, ws.w, r.numerator);
        r.place = 0;
    } else if (r.along >= r.length) {
        minus(ws.point, ws.end, ws.w);
        dot(ws.w, ws.w, r.numerator);
        r.place = 1;
    } else {
        // |w x d|^2 / |d|^2, by Lagrange's identity.
        dot(ws.w, ws.w, r.numerator);
        r.numerator *= r.length;
        ws.product = r.along * r.along;
        r.numerator -= ws.product;
        r.denominator = r.length;
        r.place = 2;
    }
}

// numerator / denominator * 2^(2 scale): its root, rounded upwards; NaN
// outside 2^-500 .. 2^500.
double upwardRoot(const Reach& r, int scale, Workspace& ws) {
    if (r.numerator == 0) return 0.0;
    // The estimate from the leading bits: m 2^exponent, the exponent made
    // even.
    int e = 0;
    double m = leadingBits(r.numerator, r.denominator, &e, ws);
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
        ws.product = std::ldexp(v, -k);
        ws.left = ws.product * ws.product;
        ws.left *= r.denominator;
        ws.right = r.numerator;
        const long shift = 2L * k - 2L * scale;
        if (shift >= 0) {
            ws.left <<= static_cast<unsigned>(shift);
        } else {
            ws.right <<= static_cast<unsigned>(-shift);
        }
        return ws.left >= ws.right;
    };
    while (!covers(root)) root = nextUp(root);
    while (covers(nextDown(root))) root = nextDown(root);
    return root;
}

std::optional<NearestSegment> nearestIn(const DPoint3d& p, std::span<const Segment3d> segments, int low) {
    Workspace& ws = workspace();
    scale(p, low, ws.point);
    std::size_t best = 0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        scale(segments[i].start, low, ws.start);
        scale(segments[i].end, low, ws.end);
        reach(ws);
        if (i > 0) {
            ws.left = ws.reach.numerator * ws.nearest.denominator;
            ws.right = ws.nearest.numerator * ws.reach.denominator;
        }
        if (i == 0 || ws.left < ws.right) {
            best = i;
            std::swap(ws.reach, ws.nearest);
            std::swap(ws.start, ws.nearestStart);
        }
    }
    const Reach& nearest = ws.nearest;
    const double distance = upwardRoot(nearest, low, ws);
    if (!(distance >= 0.0)) return std::nullopt;
    const Segment3d& s = segments[best];
    if (nearest.place != 2) return NearestSegment{best, distance, nearest.place == 0 ? s.start : s.end};
    // start + along / length * (end - start), each coordinate.
    scale(s.end, low, ws.end);
    minus(ws.end, ws.nearestStart, ws.d);
    const auto at = [&](const mpz_class& origin, const mpz_class& step) {
        ws.right = origin * nearest.length;
        ws.right += nearest.along * step;
        return truncatedRatio(ws.right, nearest.length, low, ws);
    };
    return NearestSegment{
        best, distance, {at(ws.nearestStart.x, ws.d.x), at(ws.nearestStart.y, ws.d.y), at(ws.nearestStart.z, ws.d.z)}};
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
