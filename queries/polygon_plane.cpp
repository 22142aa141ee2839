#include "queries/polygon_plane.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "kernel/exact_predicates.h"
#include "kernel/plane_frame.h"
#include "queries/filter_bounds.h"

namespace spatialgeom {
namespace {

using filter::kInflate;
using filter::kTiny;
using filter::kUnit;
using kernel::coordinate;
using kernel::RationalPoint;
using kernel::Vec3d;

bool finite(const DPoint3d& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }
int signOf(double v) { return (v > 0.0) - (v < 0.0); }
double& at(Vec3d& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }
const mpq_class& at(const RationalPoint& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }
mpq_class& at(RationalPoint& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

RationalPoint minus(const RationalPoint& a, const RationalPoint& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
mpq_class dot(const RationalPoint& a, const RationalPoint& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
RationalPoint cross(const RationalPoint& a, const RationalPoint& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// a * b == product + error exactly, barring overflow and underflow:
// Dekker's product of halves (split by Veltkamp's 2^27 + 1), or a fused
// multiply-add in the functions compiled for processors that have one.
struct SplitProduct {
    static void apply(double a, double b, double& product, double& error) {
        product = a * b;
        const auto split = [](double x, double& high, double& low) {
            const double c = 134217729.0 * x;
            high = c - (c - x);
            low = x - high;
        };
        double aHigh, aLow, bHigh, bLow;
        split(a, aHigh, aLow);
        split(b, bHigh, bLow);
        error = ((aHigh * bHigh - product) + aHigh * bLow + aLow * bHigh) + aLow * bLow;
    }
};
#if defined(__GNUC__) && defined(__x86_64__)
const bool kFusedMultiplyAdd = [] {
    __builtin_cpu_init();  // may run before the library's CPU probe
    return __builtin_cpu_supports("fma") != 0;
}();
#endif
struct FusedProduct {
    [[gnu::always_inline]] static inline void apply(double a, double b, double& product, double& error) {
        product = a * b;
        error = __builtin_fma(a, b, -product);
    }
};

// a + b == sum + error exactly.
[[gnu::always_inline]] inline void twoSum(double a, double b, double& sum, double& error) {
    sum = a + b;
    const double bVirtual = sum - a;
    error = (a - (sum - bVirtual)) + (b - bVirtual);
}

// A sum of products kept as an unevaluated pair high + low of doubles (Ogita,
// Rump and Oishi's Dot2 without the final rounding): each product is split
// exactly into h + r and h added exactly into high + q; low gathers q + r.
// So high + low differs from the exact sum S only by the rounding of low's
// n additions of those error terms: at most gamma_2n (n u B + u B) <=
// 2 (n + 2)^2 u^2 B, B the sum of |h| (as computed); each product that
// underflows adds up to 2^-1070.
template <typename Product>
class PairSum {
public:
    [[gnu::always_inline]] inline void addProduct(double x, double y) {
        if (x == 0.0 || y == 0.0) return;
        double h, r, q;
        Product::apply(x, y, h, r);
        twoSum(high_, h, high_, q);
        low_ += q + r;
        magnitude_ += std::fabs(h);
        ++count_;
    }
    // (x.first + x.second) (y.first + y.second) times sign.
    [[gnu::always_inline]] inline void addPairProduct(double xHigh, double xLow, double yHigh, double yLow,
                                                      double sign) {
        addProduct(sign * xHigh, yHigh);
        addProduct(sign * xHigh, yLow);
        addProduct(sign * xLow, yHigh);
        addProduct(sign * xLow, yLow);
    }
    double high() const { return high_; }
    double low() const { return low_; }
    double value() const { return high_ + low_; }
    double error() const {
        const double n = static_cast<double>(count_);
        return 2 * (n + 2) * (n + 2) * kUnit * kUnit * magnitude_ * kInflate + n * 0x1p-1070;
    }

private:
    double high_ = 0.0, low_ = 0.0, magnitude_ = 0.0;
    long count_ = 0;
};

// Newell's sum about ring[0] (m = count - 2 terms) in double precision, in
// the order that defines the projection axis, with a bound on each
// component's error. Each term (v_i - o) x (v_i+1 - o) rounds two
// differences per factor, two products and one difference: relative error
// gamma_4 on the sum of its two products' magnitudes; summing m terms adds
// m - 1 roundings. So a component errs by at most gamma_(m+3) times the sum
// B of its products' magnitudes; 2 (m + 4) u B, B as computed, bounds that
// with room for the rounding of B itself. Each product that underflows
// adds up to 2^-1075.
struct NewellSum {
    Vec3d value{0.0, 0.0, 0.0};
    Vec3d error{0.0, 0.0, 0.0};
};

NewellSum newellSum(const DPoint3d* ring, std::size_t count) {
    NewellSum sum;
    Vec3d magnitude{0.0, 0.0, 0.0};
    const DPoint3d& o = ring[0];
    for (std::size_t i = 1; i + 1 < count; ++i) {
        const Vec3d a = ring[i] - o, b = ring[i + 1] - o;
        sum.value = sum.value + kernel::cross(a, b);
        magnitude =
            magnitude + Vec3d{std::fabs(a.y * b.z) + std::fabs(a.z * b.y), std::fabs(a.z * b.x) + std::fabs(a.x * b.z),
                              std::fabs(a.x * b.y) + std::fabs(a.y * b.x)};
    }
    const double m = count >= 3 ? static_cast<double>(count - 2) : 0.0;
    const double relative = 2 * (m + 4) * kUnit, absolute = (m + 1) * 0x1p-1073;
    sum.error = {relative * magnitude.x + absolute, relative * magnitude.y + absolute,
                 relative * magnitude.z + absolute};
    return sum;
}

// The axis of the largest |component|, ties to the lower axis.
int largestAxis(const Vec3d& v) {
    int axis = 0;
    if (std::fabs(v.y) > std::fabs(v.x)) axis = 1;
    if (std::fabs(v.z) > std::fabs(coordinate(v, axis))) axis = 2;
    return axis;
}

bool finiteNonZero(const Vec3d& v) { return finite(v) && (v.x != 0.0 || v.y != 0.0 || v.z != 0.0); }

// Are a, b and c collinear? The predicates decide when they can take the
// coordinates, rational arithmetic otherwise.
bool collinear(const DPoint3d& a, const DPoint3d& b, const DPoint3d& c) {
    if (filter::predicateSafe(a) && filter::predicateSafe(b) && filter::predicateSafe(c))
        return kernel::collinear(a, b, c);
    const RationalPoint o = kernel::toRational(a);
    const RationalPoint n = cross(minus(kernel::toRational(b), o), minus(kernel::toRational(c), o));
    return sgn(n.x) == 0 && sgn(n.y) == 0 && sgn(n.z) == 0;
}

// Three points of the array that are not collinear, decided exactly for
// any finite coordinates: points[0], the first point that differs from it
// and the first point after that off their line. False when there is none:
// fewer than three distinct points, or all on one line. Cost: O(count),
// usually a few points for a ring with area.
bool spanningTriple(const DPoint3d* points, std::size_t count, std::size_t triple[3]) {
    std::size_t second = 1;
    while (second < count && points[second] == points[0]) ++second;
    for (std::size_t third = second + 1; third < count; ++third) {
        if (!collinear(points[0], points[second], points[third])) {
            triple[0] = 0;
            triple[1] = second;
            triple[2] = third;
            return true;
        }
    }
    return false;
}

// Newell's vector exactly, up to a positive factor (which changes no
// plane, side or foot): every coordinate is an integer times 2^lowest, so
// the sum is taken over integers, in a few variables reused throughout
// (no rational normalisation, no allocation per vertex).
RationalPoint exactNewell(const DPoint3d* ring, std::size_t count) {
    if (count < 3) return {0, 0, 0};
    int lowest = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < count; ++i)
        for (int axis = 0; axis < 3; ++axis) {
            const double c = coordinate(ring[i], axis);
            if (c == 0.0) continue;
            int exponent;
            std::frexp(c, &exponent);
            lowest = std::min(lowest, exponent - 53);
        }
    if (lowest == std::numeric_limits<int>::max()) return {0, 0, 0};
    // c = m 2^(e - 53) with m an integer below 2^53, converted exactly.
    const auto setInteger = [&](mpz_class& z, double c) {
        if (c == 0.0) {
            z = 0;
            return;
        }
        int exponent;
        const double fraction = std::frexp(c, &exponent);
        mpz_set_d(z.get_mpz_t(), std::ldexp(fraction, 53));
        mpz_mul_2exp(z.get_mpz_t(), z.get_mpz_t(), static_cast<mp_bitcnt_t>(exponent - 53 - lowest));
    };
    mpz_class o[3], a[3], b[3], sum[3];
    for (int axis = 0; axis < 3; ++axis) setInteger(o[axis], coordinate(ring[0], axis));
    const auto difference = [&](mpz_class(&d)[3], const DPoint3d& p) {
        for (int axis = 0; axis < 3; ++axis) {
            setInteger(d[axis], coordinate(p, axis));
            mpz_sub(d[axis].get_mpz_t(), d[axis].get_mpz_t(), o[axis].get_mpz_t());
        }
    };
    difference(a, ring[1]);
    for (std::size_t i = 1; i + 1 < count; ++i) {
        difference(b, ring[i + 1]);
        for (int axis = 0; axis < 3; ++axis) {
            const int s = (axis + 1) % 3, t = (axis + 2) % 3;  // a_s b_t - a_t b_s
            mpz_addmul(sum[axis].get_mpz_t(), a[s].get_mpz_t(), b[t].get_mpz_t());
            mpz_submul(sum[axis].get_mpz_t(), a[t].get_mpz_t(), b[s].get_mpz_t());
        }
        for (int axis = 0; axis < 3; ++axis) mpz_swap(a[axis].get_mpz_t(), b[axis].get_mpz_t());
    }
    return {mpq_class(sum[0]), mpq_class(sum[1]), mpq_class(sum[2])};
}

}  // namespace

// The unit normal of `value` (whose components err by at most `error`),
// with the bound |n_f - n| <= 2 |N_f - N| / |N_f| + 8u: the first term
// bounds the distance of two vectors' directions, |N_f - N| is at most the
// sum of the component bounds and |N_f| at least the largest component;
// 8u covers kernel::normalize (a division by the largest component, a
// square root of a sum of squares, a reciprocal and a product). False,
// nothing set, when the bound exceeds kLargestNormalError.
bool PolygonPlane::setUnitNormal(const Vec3d& value, const Vec3d& error) {
    if (!finiteNonZero(value)) return false;
    const double largest = std::max({std::fabs(value.x), std::fabs(value.y), std::fabs(value.z)});
    const double bound = (2 * (error.x + error.y + error.z) / largest + 8 * kUnit) * kInflate;
    Vec3d unit;
    if (!(bound <= filter::kLargestNormalError) || !kernel::normalize(value, &unit)) return false;
    unit_ = unit;
    unitError_ = bound;
    return true;
}

// From the exact normal, divided by its largest component (so that no
// magnitude leaves the double range) and rounded to doubles: each
// component off by less than 2^-51 of itself, or 2^-1074 near zero.
bool PolygonPlane::setUnitNormalFromExact() {
    const RationalPoint& n = exactNormal().normal;
    mpq_class largest = abs(n.x);
    if (abs(n.y) > largest) largest = abs(n.y);
    if (abs(n.z) > largest) largest = abs(n.z);
    if (sgn(largest) == 0) return false;
    const Vec3d value{mpq_class(n.x / largest).get_d(), mpq_class(n.y / largest).get_d(),
                      mpq_class(n.z / largest).get_d()};
    const auto bound = [](double c) { return std::fabs(c) * 0x1p-51 + 0x1p-1073; };
    return setUnitNormal(value, {bound(value.x), bound(value.y), bound(value.z)});
}

// orient3d of the three vertices and p, exactly whatever the coordinates.
int PolygonPlane::tripleSide(const DPoint3d& p) const {
    if (tripleSafe_ && filter::predicateSafe(p)) return kernel::orient3d(triple_[0], triple_[1], triple_[2], p);
    const RationalPoint a = kernel::toRational(triple_[0]);
    const RationalPoint n = cross(minus(kernel::toRational(triple_[1]), a), minus(kernel::toRational(triple_[2]), a));
    return -sgn(dot(n, minus(kernel::toRational(p), a)));
}

void PolygonPlane::find(const DPoint3d* outer, std::size_t count) {
    kind_ = Kind::none;
    exact_.reset();
    refined_.reset();
    refinable_ = false;
    outer_ = outer;
    count_ = count;
    std::size_t triple[3];
    if (!spanningTriple(outer, count, triple)) return;
    for (int j = 0; j < 3; ++j) triple_[j] = outer[triple[j]];
    tripleSafe_ =
        filter::predicateSafe(triple_[0]) && filter::predicateSafe(triple_[1]) && filter::predicateSafe(triple_[2]);
    origin_ = outer[0];

    // Three vertices sharing one coordinate span a plane of constant
    // coordinate; the ring lies in it when every vertex has that value.
    int flatAxis = -1;
    for (int axis = 0; axis < 3; ++axis) {
        const double value = coordinate(triple_[0], axis);
        if (value == coordinate(triple_[1], axis) && value == coordinate(triple_[2], axis)) flatAxis = axis;
    }
    if (flatAxis >= 0) {
        flatValue_ = coordinate(triple_[0], flatAxis);
        axis_ = flatAxis;
        if (holdsAllFlat(outer, count)) {
            // Newell's sum of such a ring has no other component: k is that axis.
            kind_ = Kind::flat;
            unit_ = {0.0, 0.0, 0.0};
            at(unit_, flatAxis) = 1.0;
            unitError_ = 0.0;
            return;
        }
    }
    bool planar = flatAxis < 0;
    for (std::size_t i = 0; planar && i < count; ++i) planar = tripleSide(outer[i]) == 0;

    const NewellSum sum = newellSum(outer, count);
    if (finiteNonZero(sum.value)) axis_ = largestAxis(sum.value);
    else axis_ = largestAxis(kernel::cross(triple_[1] - triple_[0], triple_[2] - triple_[0]));
    // The double sum certifies the sign of component k when it exceeds its
    // error bound.
    const double sumK = coordinate(sum.value, axis_), sumKError = coordinate(sum.error, axis_);
    const bool sumCertain = std::fabs(sumK) > sumKError;

    if (planar) {
        // Component k of (b - a) x (c - a) is the orientation of the three
        // images.
        int tripleK;
        if (tripleSafe_) {
            tripleK = kernel::orient2dDropping(axis_, triple_[0], triple_[1], triple_[2]);
        } else {
            const RationalPoint a = kernel::toRational(triple_[0]);
            tripleK = sgn(
                at(cross(minus(kernel::toRational(triple_[1]), a), minus(kernel::toRational(triple_[2]), a)), axis_));
        }
        if (tripleK == 0) return;
        kind_ = Kind::planar;
        // Newell's exact sum of a planar ring is parallel to the plane's
        // normal; when certified nonzero it gives the better unit normal.
        if (sumCertain && setUnitNormal(sum.value, sum.error)) {
            flip_ = signOf(sumK) * tripleK;
            refinable_ = true;  // Newell's exact vector points along the exact normal
            return;
        }
        flip_ = 1;
        if (!setUnitNormalFromExact()) unitError_ = INFINITY;
        return;
    }
    kind_ = Kind::skew;
    refinable_ = true;
    if (sumCertain && setUnitNormal(sum.value, sum.error)) return;
    // The double sum cannot certify N: decide with the exact one.
    if (sgn(at(exactNormal().normal, axis_)) == 0) {
        kind_ = Kind::none;
        exact_.reset();
        return;
    }
    if (!setUnitNormalFromExact()) unitError_ = INFINITY;
}

bool PolygonPlane::holdsAllFlat(const DPoint3d* points, std::size_t count) const {
    // One comparison per point, in a loop the compiler keeps tight.
    const auto all = [&](double DPoint3d::*member) {
        bool on = true;
        for (std::size_t i = 0; i < count; ++i) on &= points[i].*member == flatValue_;
        return on;
    };
    return all(axis_ == 0 ? &DPoint3d::x : axis_ == 1 ? &DPoint3d::y : &DPoint3d::z);
}

bool PolygonPlane::holdsAll(const DPoint3d* points, std::size_t count) const {
    if (kind_ == Kind::flat) return holdsAllFlat(points, count);
    if (kind_ != Kind::planar) return false;
    for (std::size_t i = 0; i < count; ++i)
        if (tripleSide(points[i]) != 0) return false;
    return true;
}

int PolygonPlane::side(const DPoint3d& p) const {
    switch (kind_) {
        case Kind::flat: {
            const double c = coordinate(p, axis_);
            return (c > flatValue_) - (c < flatValue_);
        }
        // orient3d(a, b, c, p) = -((b - a) x (c - a)) . (p - a).
        case Kind::planar: return -flip_ * tripleSide(p);
        case Kind::skew: return side(p, distance(p, 0.0));
        case Kind::none: break;
    }
    return 0;
}

int PolygonPlane::side(const DPoint3d& p, const Estimate& d) const {
    if (kind_ != Kind::skew) return side(p);
    if (std::fabs(d.value) > d.error) return signOf(d.value);
    const Estimate refined = refinedDistance(p);
    if (std::fabs(refined.value) > refined.error) return signOf(refined.value);
    filter::countExactDecision();
    return exactSide(kernel::toRational(p));
}

// d = n . (p - o): three products and two sums round by gamma_3 of the
// sum A of the products' magnitudes, the rounding of p - o adds u A, the
// normal's error adds rho |p - o| <= rho (|w_x| + |w_y| + |w_z|)(1 + u),
// and p known to within radius moves d by at most radius (|n| = 1).
// Flat: one subtraction, exact in the subnormal range.
Estimate PolygonPlane::distance(const DPoint3d& p, double radius) const {
    if (kind_ == Kind::flat) {
        const double d = coordinate(p, axis_) - flatValue_;
        return {d, (kUnit * std::fabs(d) + radius) * kInflate};
    }
    const Vec3d w = p - origin_;
    const double tx = unit_.x * w.x, ty = unit_.y * w.y, tz = unit_.z * w.z;
    const double d = tx + ty + tz;
    const double error = (4 * kUnit * (std::fabs(tx) + std::fabs(ty) + std::fabs(tz)) +
                          unitError_ * (std::fabs(w.x) + std::fabs(w.y) + std::fabs(w.z)) + radius) *
                             kInflate +
                         kTiny;
    return {d, error};
}

namespace {

// Newell's vector about ring[0] with exact differences (each v - o split
// into two doubles), each component a PairSum of the products of their
// parts: high + low per component, and the bounds.
template <typename Product>
[[gnu::always_inline]] inline void refinedNewell(const DPoint3d* ring, std::size_t count, double high[3], double low[3],
                                                 double error[3]) {
    PairSum<Product> c[3];
    const DPoint3d& o = ring[0];
    const auto difference = [&](const DPoint3d& v, double h[3], double l[3]) {
        for (int axis = 0; axis < 3; ++axis) twoSum(coordinate(v, axis), -coordinate(o, axis), h[axis], l[axis]);
    };
    double aHigh[3], aLow[3], bHigh[3], bLow[3];
    if (count >= 3) difference(ring[1], aHigh, aLow);
    for (std::size_t i = 1; i + 1 < count; ++i) {
        difference(ring[i + 1], bHigh, bLow);
        if (aLow[0] == 0.0 && aLow[1] == 0.0 && aLow[2] == 0.0 && bLow[0] == 0.0 && bLow[1] == 0.0 && bLow[2] == 0.0) {
            // Exact differences (the common case): the products of the high parts.
            c[0].addProduct(aHigh[1], bHigh[2]);
            c[0].addProduct(-aHigh[2], bHigh[1]);
            c[1].addProduct(aHigh[2], bHigh[0]);
            c[1].addProduct(-aHigh[0], bHigh[2]);
            c[2].addProduct(aHigh[0], bHigh[1]);
            c[2].addProduct(-aHigh[1], bHigh[0]);
        } else {
            for (int axis = 0; axis < 3; ++axis) {
                const int s = (axis + 1) % 3, t = (axis + 2) % 3;  // component axis: a_s b_t - a_t b_s
                c[axis].addPairProduct(aHigh[s], aLow[s], bHigh[t], bLow[t], 1.0);
                c[axis].addPairProduct(aHigh[t], aLow[t], bHigh[s], bLow[s], -1.0);
            }
        }
        std::copy(bHigh, bHigh + 3, aHigh);
        std::copy(bLow, bLow + 3, aLow);
    }
    for (int axis = 0; axis < 3; ++axis) {
        high[axis] = c[axis].high();
        low[axis] = c[axis].low();
        error[axis] = c[axis].error();
    }
}

void refinedNewellSplit(const DPoint3d* ring, std::size_t count, double high[3], double low[3], double error[3]) {
    refinedNewell<SplitProduct>(ring, count, high, low, error);
}

#if defined(__GNUC__) && defined(__x86_64__)
[[gnu::target("fma")]] void refinedNewellFused(const DPoint3d* ring, std::size_t count, double high[3], double low[3],
                                               double error[3]) {
    refinedNewell<FusedProduct>(ring, count, high, low, error);
}
#endif

}  // namespace

const PolygonPlane::Refined& PolygonPlane::refined() const {
    if (refined_) return *refined_;
    Refined r{};
#if defined(__GNUC__) && defined(__x86_64__)
    if (kFusedMultiplyAdd) refinedNewellFused(outer_, count_, r.high, r.low, r.error);
    else
#endif
        refinedNewellSplit(outer_, count_, r.high, r.low, r.error);
    double largest = 0.0, off = 0.0, squares = 0.0;
    for (int axis = 0; axis < 3; ++axis) {
        largest = std::max(largest, std::fabs(r.high[axis]));
        off += std::fabs(r.low[axis]) + r.error[axis];
        squares += r.high[axis] * r.high[axis];
    }
    r.norm = std::sqrt(squares);
    // |norm - |N|| <= (2.5u + |N_high - N| / |N_high|) |N|, with
    // |N_high - N| <= off and |N_high| >= largest.
    r.normError = 3 * kUnit + off / largest;
    r.usable = std::isfinite(r.norm) && r.norm > 0x1p-900 && std::isfinite(off) && r.normError <= 0x1p-40;
    refined_ = r;
    return *refined_;
}

namespace {

// H = N . (p - o) with p - o split exactly into w_high + w_low and N as
// high + low: the three products of the high parts summed exactly up to
// Dot2's bound, the small products (a low part times anything) added
// plainly (three products and two sums per axis, three sums more: within
// 10u of their magnitudes), the total rounded once (u |H|, plus u of the
// low part it absorbs), plus the error of N times |p - o|.
template <typename Product>
[[gnu::always_inline]] inline Estimate refinedHeightWith(const double high[3], const double low[3],
                                                         const double error[3], const DPoint3d& o, const DPoint3d& p) {
    PairSum<Product> h;
    double small = 0.0, smallMagnitude = 0.0, nError = 0.0;
    for (int axis = 0; axis < 3; ++axis) {
        double wHigh, wLow;
        twoSum(coordinate(p, axis), -coordinate(o, axis), wHigh, wLow);
        h.addProduct(high[axis], wHigh);
        const double a = high[axis] * wLow, b = low[axis] * wHigh, c = low[axis] * wLow;
        small += a + b + c;
        smallMagnitude += std::fabs(a) + std::fabs(b) + std::fabs(c);
        nError += error[axis] * (std::fabs(wHigh) + std::fabs(wLow));
    }
    const double rest = h.low() + small;
    const double value = h.high() + rest;
    return {value, (kUnit * (std::fabs(value) + std::fabs(rest)) + h.error() + 10 * kUnit * smallMagnitude + nError) *
                       (1 + 4 * kUnit)};
}

Estimate refinedHeightSplit(const double high[3], const double low[3], const double error[3], const DPoint3d& o,
                            const DPoint3d& p) {
    return refinedHeightWith<SplitProduct>(high, low, error, o, p);
}

#if defined(__GNUC__) && defined(__x86_64__)
[[gnu::target("fma")]] Estimate refinedHeightFused(const double high[3], const double low[3], const double error[3],
                                                   const DPoint3d& o, const DPoint3d& p) {
    return refinedHeightWith<FusedProduct>(high, low, error, o, p);
}
#endif

}  // namespace

Estimate PolygonPlane::refinedHeight(const DPoint3d& p) const {
    const Refined& r = refined();
#if defined(__GNUC__) && defined(__x86_64__)
    if (kFusedMultiplyAdd) return refinedHeightFused(r.high, r.low, r.error, outer_[0], p);
#endif
    return refinedHeightSplit(r.high, r.low, r.error, outer_[0], p);
}

// d = H / |N| with |N| known to a relative normError.
Estimate PolygonPlane::refinedDistance(const DPoint3d& p) const {
    if (!refinable_) return {0.0, INFINITY};
    const Refined& r = refined();
    if (!r.usable) return {0.0, INFINITY};
    const Estimate h = refinedHeight(p);
    const double error = (h.error + 2 * r.normError * (std::fabs(h.value) + h.error)) / r.norm;
    return {h.value / r.norm, error * kInflate + kTiny};
}

// q' = q + delta e_k' (k' the other plane's axis, delta = -H'(q) / N'_k'),
// so N . (q' - o) = H(q) - H'(q) N_k' / N'_k', each factor refined (H and
// H' with their errors, N_k' and N'_k' as high + low with theirs), and the
// difference rounds by u. A flat plane's normal is exact: its height a
// subtraction split exactly, and its lift exact.
Estimate PolygonPlane::liftedDistance(const DPoint3d& q, const PolygonPlane& other) const {
    if (other.kind_ == Kind::flat) {
        DPoint3d lifted = q;
        (other.axis_ == 0 ? lifted.x : other.axis_ == 1 ? lifted.y : lifted.z) = other.flatValue_;
        return distance(lifted, 0.0);
    }
    if (!other.refinable_ || !(kind_ == Kind::flat || refinable_)) return {0.0, INFINITY};
    const Refined& b = other.refined();
    if (!b.usable) return {0.0, INFINITY};
    const int k = other.axis_;
    Estimate h, nk;
    double norm = 1.0, normError = 0.0;
    if (kind_ == Kind::flat) {
        double high, low;
        twoSum(coordinate(q, axis_), -flatValue_, high, low);
        h = {high + low, kUnit * std::fabs(high + low)};
        nk = {k == axis_ ? 1.0 : 0.0, 0.0};
    } else {
        const Refined& a = refined();
        if (!a.usable) return {0.0, INFINITY};
        h = refinedHeight(q);
        nk = {a.high[k] + a.low[k], a.error[k] + kUnit * std::fabs(a.high[k] + a.low[k])};
        norm = a.norm;
        normError = a.normError;
    }
    const Estimate hOther = other.refinedHeight(q);
    const Estimate nkOther{b.high[k] + b.low[k], b.error[k] + kUnit * std::fabs(b.high[k] + b.low[k])};
    if (!(std::fabs(nkOther.value) > 2 * nkOther.error)) return {0.0, INFINITY};
    // |a'b'/c' - ab/c| <= |a'b' - ab| / |c| + |a'b'| |c - c'| / (|c| |c'|),
    // |a'b' - ab| <= e_a (|b'| + e_b) + |a'| e_b and |c| >= |c'| - e_c; the
    // product and the quotient round by 3u of the result.
    const double term = hOther.value * nk.value / nkOther.value;
    const double product = std::fabs(hOther.value * nk.value);
    const double productError = hOther.error * (std::fabs(nk.value) + nk.error) + std::fabs(hOther.value) * nk.error;
    const double c = std::fabs(nkOther.value);
    const double termError =
        (productError + product * nkOther.error / c) / (c - nkOther.error) + 3 * kUnit * std::fabs(term);
    const double value = h.value - term;
    const double hError = (h.error + termError + kUnit * std::fabs(value)) * kInflate;
    const double error = (hError + 2 * normError * (std::fabs(value) + hError)) / norm;
    return {value / norm, error * kInflate + kTiny};
}

// foot_c = p_c - d n_c for c = u, v: |d_f n_fc - d n_c| <= e |n_fc| +
// (|d_f| + e) rho; the product and the difference round by u |d_f n_fc| +
// u |y_c|; p known to within radius moves its foot by at most radius.
// Flat: the image of p itself.
PlaneImage PolygonPlane::footImage(const DPoint3d& p, const Estimate& d, double radius) const {
    const int u = uAxis(), v = vAxis();
    if (kind_ == Kind::flat) return {coordinate(p, u), coordinate(p, v), radius};
    const double nu = coordinate(unit_, u), nv = coordinate(unit_, v);
    const double su = d.value * nu, sv = d.value * nv;
    const double yu = coordinate(p, u) - su, yv = coordinate(p, v) - sv;
    const double common = (std::fabs(d.value) + d.error) * unitError_ + radius;
    const double eu = d.error * std::fabs(nu) + kUnit * (std::fabs(su) + std::fabs(yu));
    const double ev = d.error * std::fabs(nv) + kUnit * (std::fabs(sv) + std::fabs(yv));
    return {yu, yv, (common + std::max(eu, ev)) * kInflate + kTiny};
}

// The crossing lies at f = a / (a + b) from the start, a and b the ends'
// distances from the plane. With |a_f - a| <= e0 and |b_f - b| <= e1,
// |a_f / (a_f + b_f) - f| = |(a_f - a) b - a (b_f - b)| / ((a_f + b_f)(a + b))
// <= max(e0, e1) / (a_f + b_f); computing f rounds by 2u f. The point
// s0_c + f D_c then errs by the fraction's error times |D_c| (1 + u), plus
// the rounding of D_c, f D_c and the sum (u (2 |f D_c| + |x_c|)), plus
// radius: ends moved by radius move every point of the segment by at most
// radius.
PlaneImage PolygonPlane::crossingImage(const kernel::Segment3d& s, const Estimate& d0, const Estimate& d1,
                                       double radius) const {
    const double a = std::fabs(d0.value), b = std::fabs(d1.value), sum = a + b;
    const double f = a / sum;
    const double fError = std::max(d0.error, d1.error) / sum + 3 * kUnit * f;
    const int u = uAxis(), v = vAxis();
    const double du = coordinate(s.end, u) - coordinate(s.start, u);
    const double dv = coordinate(s.end, v) - coordinate(s.start, v);
    const double fu = f * du, fv = f * dv;
    const double xu = coordinate(s.start, u) + fu, xv = coordinate(s.start, v) + fv;
    const double eu = fError * std::fabs(du) * (1 + kUnit) + kUnit * (2 * std::fabs(fu) + std::fabs(xu));
    const double ev = fError * std::fabs(dv) * (1 + kUnit) + kUnit * (2 * std::fabs(fv) + std::fabs(xv));
    return {xu, xv, (std::max(eu, ev) + radius) * kInflate + kTiny};
}

// q_k = o_k - S / n_k with S = n_u w_u + n_v w_v, w = q - o. S errs by
// 3u (|n_u w_u| + |n_v w_v|) (two products, a sum, the rounding of w) plus
// rho (|w_u| + |w_v|)(1 + u) for the normal; dividing by n_k, itself off by
// rho, adds |S| rho / (|n_k| (|n_k| - rho)); the quotient and the
// difference round by u (|S / n_k| + |q_k|). Not used when |n_k| is under
// 2^-8 or 2 rho (dividing would amplify the errors): the points are then
// lifted in rational arithmetic (liftExactly).
// Over an array, the constants hoisted and the axes fixed at compile time;
// the range of value -/+ error grows *low and *high.
template <int K>
void PolygonPlane::liftEach(const DPoint3d* points, std::size_t count, double* value, double* error, double* low,
                            double* high) const {
    constexpr int U = (K + 1) % 3, V = (K + 2) % 3;
    const double nk = coordinate(unit_, K), nu = coordinate(unit_, U), nv = coordinate(unit_, V);
    const double absK = std::fabs(nk), rho = unitError_;
    if (!(absK >= 0x1p-8 && absK > 2 * rho)) {
        liftExactly(points, count, value, error, low, high);
        return;
    }
    const double ou = coordinate(origin_, U), ov = coordinate(origin_, V), ok = coordinate(origin_, K);
    const double inverseK = 1.0 / absK, normalTerm = rho / (absK * (absK - rho));
    double lowest = *low, highest = *high;
    for (std::size_t i = 0; i < count; ++i) {
        const double wu = coordinate(points[i], U) - ou, wv = coordinate(points[i], V) - ov;
        const double tu = nu * wu, tv = nv * wv, s = tu + tv;
        const double shift = s / nk;
        const double v = ok - shift;
        const double sError =
            3 * kUnit * (std::fabs(tu) + std::fabs(tv)) + rho * (std::fabs(wu) + std::fabs(wv)) * (1 + kUnit);
        const double e = (sError * inverseK * (1 + 2 * kUnit) + (std::fabs(s) + sError) * normalTerm +
                          kUnit * (std::fabs(shift) + std::fabs(v))) *
                             kInflate +
                         kTiny;
        value[i] = v;
        error[i] = e;
        lowest = std::min(lowest, v - e);
        highest = std::max(highest, v + e);
    }
    *low = lowest;
    *high = highest;
}

// Each point lifted exactly and rounded towards zero (get_d), so off by
// less than 2^-52 of itself, or 2^-1074 below the normal range; an
// overflow gives an infinite error. Rare: only where axis k was chosen
// from a double Newell sum or cross product that underflowed or cancelled
// (for instance a sliver of subnormal width), so the filter cannot bound
// the lift. Without it every lifted edge of such a ring would carry an
// infinite error and leave every nearby test to rational arithmetic.
void PolygonPlane::liftExactly(const DPoint3d* points, std::size_t count, double* value, double* error, double* low,
                               double* high) const {
    double lowest = *low, highest = *high;
    for (std::size_t i = 0; i < count; ++i) {
        const double v = at(exactLifted(points[i]), axis_).get_d();
        const double e = std::isfinite(v) ? std::fabs(v) * 0x1p-51 + 0x1p-1070 : INFINITY;
        value[i] = v;
        error[i] = e;
        lowest = std::min(lowest, v - e);
        highest = std::max(highest, v + e);
    }
    *low = lowest;
    *high = highest;
}

void PolygonPlane::lift(const DPoint3d* points, std::size_t count, double* value, double* error, double* low,
                        double* high) const {
    if (kind_ == Kind::flat) {
        std::fill(value, value + count, flatValue_);
        std::fill(error, error + count, 0.0);
        if (count > 0) {
            *low = std::min(*low, flatValue_);
            *high = std::max(*high, flatValue_);
        }
        return;
    }
    switch (axis_) {
        case 0: liftEach<0>(points, count, value, error, low, high); break;
        case 1: liftEach<1>(points, count, value, error, low, high); break;
        default: liftEach<2>(points, count, value, error, low, high); break;
    }
}

const PolygonPlane::ExactNormal& PolygonPlane::exactNormal() const {
    if (!exact_) {
        ExactNormal e{{0, 0, 0}, kernel::toRational(origin_), 0};
        if (kind_ == Kind::flat) {
            at(e.normal, axis_) = 1;
        } else if (kind_ == Kind::planar) {
            const RationalPoint a = kernel::toRational(triple_[0]);
            e.normal = cross(minus(kernel::toRational(triple_[1]), a), minus(kernel::toRational(triple_[2]), a));
            if (flip_ < 0) e.normal = {-e.normal.x, -e.normal.y, -e.normal.z};
        } else {
            e.normal = exactNewell(outer_, count_);
        }
        e.squared = dot(e.normal, e.normal);
        exact_ = std::move(e);
    }
    return *exact_;
}

mpq_class PolygonPlane::exactHeight(const RationalPoint& p) const {
    const ExactNormal& e = exactNormal();
    return dot(e.normal, minus(p, e.origin));
}

int PolygonPlane::exactSide(const RationalPoint& p) const { return sgn(exactHeight(p)); }

bool PolygonPlane::exactlyWithin(const RationalPoint& p, double t) const {
    const mpq_class h = exactHeight(p), tolerance(t);
    return h * h <= tolerance * tolerance * exactNormal().squared;
}

RationalImage PolygonPlane::exactFootImage(const RationalPoint& p) const {
    const ExactNormal& e = exactNormal();
    const mpq_class scale = exactHeight(p) / e.squared;
    const int u = uAxis(), v = vAxis();
    return {at(p, u) - scale * at(e.normal, u), at(p, v) - scale * at(e.normal, v)};
}

RationalImage PolygonPlane::exactCrossingImage(const RationalPoint& a, const RationalPoint& b) const {
    const mpq_class ha = exactHeight(a), hb = exactHeight(b);
    const mpq_class f = ha / (ha - hb);
    const int u = uAxis(), v = vAxis();
    return {at(a, u) + f * (at(b, u) - at(a, u)), at(a, v) + f * (at(b, v) - at(a, v))};
}

RationalPoint PolygonPlane::exactLifted(const DPoint3d& q) const {
    RationalPoint lifted = kernel::toRational(q);
    if (kind_ == Kind::flat) {
        at(lifted, axis_) = flatValue_;
        return lifted;
    }
    const ExactNormal& e = exactNormal();
    const int k = axis_, u = uAxis(), v = vAxis();
    const mpq_class rest =
        at(e.normal, u) * (at(lifted, u) - at(e.origin, u)) + at(e.normal, v) * (at(lifted, v) - at(e.origin, v));
    at(lifted, k) = at(e.origin, k) - rest / at(e.normal, k);
    return lifted;
}

}  // namespace spatialgeom
