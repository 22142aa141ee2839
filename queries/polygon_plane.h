// The plane of a polygon's region, the axis along which the region is
// projected, and the side, distance and lifting tests against that plane.
//
// The plane: when the outer ring has three vertices that are not
// collinear and all its vertices lie exactly in their plane (exact
// orientation predicates), that plane. Otherwise the plane through the
// outer ring's first vertex o normal to the exact Newell vector
// N = sum over i = 1 .. n-2 of (v_i - o) x (v_i+1 - o).
// The projection axis k: for an outer ring in a plane of constant
// coordinate, that coordinate's axis (the only nonzero component of N,
// even when the double sum underflows to zero); otherwise the axis of the
// largest |component| of that sum evaluated in double precision in this
// order (ties to the lower axis),
// or, when the double sum is zero or not finite, of the double cross
// product of the three vertices. There is no region when the outer ring is
// collinear, when N is exactly zero, or when the plane's exact normal has
// no component along k. A point q of the plane maps one to one to its image
// (q_u, q_v), u = k + 1 and v = k + 2 (mod 3); lifting a point moves it
// along k onto the plane.
//
// Three kinds: a plane of constant coordinate (flat: every test is a
// comparison or one subtraction), a tilted plane holding the whole outer
// ring (planar: sides by orient3d), and the plane of a ring that is not
// planar (skew: sides by a filtered signed distance).
//
// The filters work with a unit normal n computed in double precision and
// a bound on its distance from the exact unit normal (orientation fixed by
// the exact normal that exactNormal() uses). Each returns its value with an
// error bound (filter_bounds.h); the exact functions decide in rational
// arithmetic and are meant for the few cases the filters leave open.
// Non-finite coordinates must not reach the exact functions.
#pragma once

#include <cstdint>
#include <optional>

#include "kernel/rational.h"
#include "kernel/segment_distance.h"
#include "kernel/vector3d.h"
#include "queries/flat_plane.h"

namespace spatialgeom {

// A signed distance or a coordinate with a bound on its error.
struct Estimate {
    double value;
    double error;
};

// An image point (u, v) with a bound on the error of each coordinate.
struct PlaneImage {
    double u, v, error;
};

struct RationalImage {
    mpq_class u, v;
};

class PolygonPlane {
public:
    enum class Kind : std::uint8_t { none, flat, planar, skew };

    // The plane of the outer ring outer[0 .. count) (finite coordinates),
    // which must outlive this object. Cost: one pass over the ring
    // (comparisons for a flat ring; orientation predicates and Newell's sum
    // with its error bound otherwise); rational arithmetic only for a ring
    // whose double Newell sum cannot certify the normal, or whose
    // coordinates the predicates cannot take (filter::predicateSafe).
    void find(const DPoint3d* outer, std::size_t count);
    // This plane as found for a copy of its outer ring (the same vertices
    // at `outer`, which must outlive this object), with whatever it has
    // computed so far. Cost: a copy (the exact normal's rationals with it).
    PolygonPlane copyFor(const DPoint3d* outer) const {
        PolygonPlane copy = *this;
        copy.outer_ = outer;
        return copy;
    }

    Kind kind() const { return kind_; }
    bool hasRegion() const { return kind_ != Kind::none; }
    int axis() const { return axis_; }
    int uAxis() const { return (axis_ + 1) % 3; }
    int vAxis() const { return (axis_ + 2) % 3; }
    std::optional<FlatPlane> flatPlane() const {
        if (kind_ != Kind::flat) return std::nullopt;
        return FlatPlane{axis_, flatValue_};
    }

    // Exact sign of N . (p - o) (p finite): 0 exactly when p lies in the
    // plane. Flat and planar: a comparison or orient3d; skew: the filtered
    // distance d (distance(p, 0), or computed here) when it decides, else
    // the refined distance, else rational arithmetic.
    int side(const DPoint3d& p) const;
    int side(const DPoint3d& p, const Estimate& d) const;
    // Do all the points lie exactly in the plane? (Flat and planar only; a
    // skew plane answers false.)
    bool holdsAll(const DPoint3d* points, std::size_t count) const;

    // ---- Filters.
    // The signed distance of p from the plane, p known to within radius.
    Estimate distance(const DPoint3d& p, double radius) const;
    // The same for an exact p, to about twice the working precision (for
    // points too near the plane for distance() to place them): Newell's
    // vector is summed once, exactly up to a bound of order u^2. Infinite
    // error for a plane without it (flat, or planar with a normal taken
    // from three vertices).
    Estimate refinedDistance(const DPoint3d& p) const;
    // Has the refined sum been taken (refinedDistance now costs O(1))?
    bool refinedAtHand() const { return refined_.has_value(); }
    // The image of the foot of p, d = distance(p, radius).
    PlaneImage footImage(const DPoint3d& p, const Estimate& d, double radius) const;
    // The image of the point where the segment crosses the plane; its ends,
    // known to within radius, must lie strictly on opposite sides, at
    // distances d0 and d1.
    PlaneImage crossingImage(const kernel::Segment3d& s, const Estimate& d0, const Estimate& d1, double radius) const;
    // Coordinate k of each of points[0 .. count) lifted onto the plane:
    // value[i] and its error[i] (when the normal is too far from axis k for
    // the filter to bound it, lifted in rational arithmetic and rounded:
    // O(1) rational operations a point; infinite only if the lift leaves
    // the double range); the range of value - error .. value + error grows
    // [*low, *high].
    void lift(const DPoint3d* points, std::size_t count, double* value, double* error, double* low, double* high) const;
    // The signed distance from this plane of q lifted onto the other
    // plane: the same point as other.exactLifted(q), far more precisely
    // than that point's rounded coordinates place it (infinite error when
    // either plane's Newell vector cannot be refined).
    Estimate liftedDistance(const DPoint3d& q, const PolygonPlane& other) const;

    // ---- Exact.
    int exactSide(const kernel::RationalPoint& p) const;
    // Is the distance of p from the plane at most t?
    bool exactlyWithin(const kernel::RationalPoint& p, double t) const;
    RationalImage exactFootImage(const kernel::RationalPoint& p) const;
    // The crossing of a segment whose ends lie strictly on opposite sides.
    RationalImage exactCrossingImage(const kernel::RationalPoint& a, const kernel::RationalPoint& b) const;
    kernel::RationalPoint exactLifted(const DPoint3d& q) const;

private:
    // Newell's vector to about twice the working precision, for points
    // too near the plane for the unit normal to place them.
    struct Refined {
        double high[3], low[3], error[3];  // |high + low - N| <= error, per component
        double norm, normError;            // |N| to a relative error
        bool usable;
    };
    const Refined& refined() const;
    Estimate refinedHeight(const DPoint3d& p) const;

    struct ExactNormal {
        kernel::RationalPoint normal, origin;
        mpq_class squared;  // normal . normal
    };
    const ExactNormal& exactNormal() const;
    mpq_class exactHeight(const kernel::RationalPoint& p) const;
    bool setUnitNormal(const kernel::Vec3d& value, const kernel::Vec3d& error);
    bool setUnitNormalFromExact();
    bool holdsAllFlat(const DPoint3d* points, std::size_t count) const;
    void liftExactly(const DPoint3d* points, std::size_t count, double* value, double* error, double* low,
                     double* high) const;
    template <int K>
    void liftEach(const DPoint3d* points, std::size_t count, double* value, double* error, double* low,
                  double* high) const;
    int tripleSide(const DPoint3d& p) const;

    Kind kind_ = Kind::none;
    bool tripleSafe_ = true;  // may the orientation predicates take triple_?
    const DPoint3d* outer_ = nullptr;
    std::size_t count_ = 0;
    DPoint3d origin_{};
    DPoint3d triple_[3] = {};  // three outer vertices that are not collinear
    int axis_ = 2;
    // Planar: the exact normal is flip_ times (b - a) x (c - a) of triple_,
    // pointing the way the computed unit normal does.
    int flip_ = 1;
    double flatValue_ = 0.0;
    kernel::Vec3d unit_{0.0, 0.0, 0.0};
    double unitError_ = INFINITY;  // Euclidean bound on |unit_ - exact unit normal|
    mutable std::optional<ExactNormal> exact_;
    // Does Newell's exact vector point along the exact normal (skew, and
    // planar with the unit normal taken from it)?
    bool refinable_ = false;
    mutable std::optional<Refined> refined_;
};

}  // namespace spatialgeom
