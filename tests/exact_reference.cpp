// The exact reference distance. Every quantity is a rational (mpq_class)
// made from the stored doubles, which convert exactly; the one computation
// in double is the choice of a polygon's projection axis, which is defined
// by a double-precision sum.
//
// Each geometry is broken into primitives that are subsets of it:
//   points    points, multipoint members, isolated points of a region's edge;
//   segments  closed segments of the sublines and of every ring's closed
//             polyline, and the parts of a region's boundary that are not
//             already such a segment (zero-length segments are points);
//   regions   the planar region of a polygon whose outer ring has area.
// The distance is the minimum over all pairs of primitives, where a pair
// with a region contributes only what its boundary segments cannot:
//   point-region:   when the foot of the point on the plane lies in the
//                   region, the distance to the plane. Otherwise the nearest
//                   region point lies on the region's boundary, which the
//                   polygon's segments cover.
//   segment-region: the two endpoint feet as above, and 0 when the segment
//                   passes strictly from one side of the plane to the other
//                   through the region. Otherwise a nearest pair has either
//                   an endpoint of the segment (above) or a boundary point of
//                   the region (a segment pair): if both were interior, the
//                   point of the segment could slide towards the plane, or
//                   along it when parallel, until one of them is not.
//   region-region:  nothing: two regions that meet have a boundary point of
//                   one in the other (a segment-region pair), and disjoint
//                   ones are nearest at a boundary point of one of them, by
//                   the same sliding argument.
// Every candidate is the distance of two actual points (or segments) of the
// geometries, so the minimum never undershoots, and the arguments above
// show it never overshoots.
#include "exact_reference.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <limits>
#include <tuple>

namespace exact {

RefGeometry point(DPoint3d p) { return {Kind::Point, {p}, {}, {}}; }
RefGeometry multiPoint(Vertices points) { return {Kind::MultiPoint, std::move(points), {}, {}}; }
RefGeometry lineString(Vertices vertices) { return {Kind::LineString, {}, {std::move(vertices)}, {}}; }
RefGeometry multiLineString(std::vector<Vertices> lines) { return {Kind::MultiLineString, {}, std::move(lines), {}}; }
RefGeometry polygon(std::vector<Vertices> rings) { return {Kind::Polygon, {}, {}, {RefPolygon{std::move(rings)}}}; }
RefGeometry multiPolygon(std::vector<RefPolygon> polygons) { return {Kind::MultiPolygon, {}, {}, std::move(polygons)}; }

namespace {

// ---- Rational vectors.

struct Q3 {
    mpq_class c[3];
};
struct Q2 {
    mpq_class u, v;
};

Q3 toQ(const DPoint3d& p) { return {{mpq_class(p.x), mpq_class(p.y), mpq_class(p.z)}}; }
Q3 operator-(const Q3& a, const Q3& b) { return {{a.c[0] - b.c[0], a.c[1] - b.c[1], a.c[2] - b.c[2]}}; }
bool operator==(const Q3& a, const Q3& b) { return a.c[0] == b.c[0] && a.c[1] == b.c[1] && a.c[2] == b.c[2]; }
mpq_class dot(const Q3& a, const Q3& b) { return a.c[0] * b.c[0] + a.c[1] * b.c[1] + a.c[2] * b.c[2]; }
mpq_class norm2(const Q3& a) { return dot(a, a); }
Q3 cross(const Q3& a, const Q3& b) {
    return {{a.c[1] * b.c[2] - a.c[2] * b.c[1], a.c[2] * b.c[0] - a.c[0] * b.c[2], a.c[0] * b.c[1] - a.c[1] * b.c[0]}};
}
bool isZero(const Q3& a) { return sgn(a.c[0]) == 0 && sgn(a.c[1]) == 0 && sgn(a.c[2]) == 0; }
// a + t * d.
Q3 along(const Q3& a, const Q3& d, const mpq_class& t) {
    return {{a.c[0] + t * d.c[0], a.c[1] + t * d.c[1], a.c[2] + t * d.c[2]}};
}

Q2 operator-(const Q2& a, const Q2& b) { return {a.u - b.u, a.v - b.v}; }
mpq_class cross2(const Q2& a, const Q2& b) { return a.u * b.v - a.v * b.u; }
mpq_class dot2(const Q2& a, const Q2& b) { return a.u * b.u + a.v * b.v; }
Q2 along2(const Q2& a, const Q2& d, const mpq_class& t) { return {a.u + t * d.u, a.v + t * d.v}; }

// drop_k: the two coordinates other than axis k, in axis order. (Their order
// does not matter: it only mirrors the plane, which keeps the parity rule
// and the on-ring test.)
Q2 drop(const Q3& p, int k) { return {p.c[k == 0 ? 1 : 0], p.c[k == 2 ? 1 : 2]}; }

// ---- Squared distances between points and segments.

mpq_class pointPoint(const Q3& p, const Q3& q) { return norm2(p - q); }

// The nearest point of segment ab to p is a + t d (d = b - a), t the
// projection parameter (p - a).d / d.d clamped to [0, 1]. Inside, the
// squared distance is |p - a|^2 - ((p - a).d)^2 / d.d (Pythagoras), written
// with one division so that the values stay dyadic until the end.
mpq_class pointSegment(const Q3& p, const Q3& a, const Q3& b) {
    const Q3 d = b - a, w = p - a;
    const mpq_class dd = norm2(d), along = dot(w, d);
    if (sgn(along) <= 0 || sgn(dd) == 0) return norm2(w);
    if (along >= dd) return pointPoint(p, b);
    return (norm2(w) * dd - along * along) / dd;
}

// f(s, t) = |w + s u - t v|^2 over [0,1]^2, with u = b - a, v = d - c,
// w = a - c, is a convex quadratic. When u and v are not parallel
// (det = |u|^2 |v|^2 - (u.v)^2 = |u x v|^2 > 0) it is strictly convex and
// its only critical point solves the normal equations
//   (u.u) s - (u.v) t = -(u.w),   -(u.v) s + (v.v) t = (v.w),
// s = ((u.v)(v.w) - (v.v)(u.w)) / det, t = ((u.u)(v.w) - (u.v)(u.w)) / det.
// If it lies in the square it is the minimum, the distance of the two
// lines: (w.(u x v))^2 / |u x v|^2. Otherwise (critical point outside, or
// det = 0: parallel or degenerate segments, whose minimizers form a line or
// more) a minimum lies on the square's boundary, where s or t is 0 or 1:
// an endpoint against the other segment.
mpq_class segmentSegment(const Q3& a, const Q3& b, const Q3& c, const Q3& d) {
    const Q3 u = b - a, v = d - c, w = a - c;
    const mpq_class uu = dot(u, u), uv = dot(u, v), vv = dot(v, v), uw = dot(u, w), vw = dot(v, w);
    const mpq_class det = uu * vv - uv * uv;
    if (sgn(det) > 0) {
        const mpq_class s = uv * vw - vv * uw, t = uu * vw - uv * uw;  // times det
        if (sgn(s) >= 0 && s <= det && sgn(t) >= 0 && t <= det) {
            const mpq_class h = dot(w, cross(u, v));
            return h * h / det;
        }
    }
    return std::min({pointSegment(a, c, d), pointSegment(b, c, d), pointSegment(c, a, b), pointSegment(d, a, b)});
}

// ---- 2D rings: closed region and open interior by the parity rule.

enum class Place { Outside, OnRing, Inside };

// Where the point p / w (w > 0) lies: on the ring when on one of its closed
// edges (v[n-1]v[0] included); else inside when a ray from it towards +u
// crosses the ring an odd number of times. An edge counts when one end is
// above the line through the point (v greater) and the other is not (so a
// vertex on the line is counted once or not at all, as parity needs) and
// it passes right of the point: the point is left of an upward edge, right
// of a downward one. The point comes in homogeneous form so that callers
// need not divide (which keeps the numbers dyadic, and fast): the ring is
// scaled by w instead.
Place placeInRing(const std::vector<Q2>& unscaled, const Q2& p, const mpq_class& w) {
    std::vector<Q2> copy;
    if (w != 1) {
        for (const Q2& a : unscaled) copy.push_back({a.u * w, a.v * w});
    }
    const std::vector<Q2>& ring = w != 1 ? copy : unscaled;
    bool inside = false;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const Q2& a = ring[i];
        const Q2& b = ring[(i + 1) % ring.size()];
        const bool aAbove = a.v > p.v, bAbove = b.v > p.v;
        const bool straddles = aAbove != bAbove;
        const bool inBox = std::min(a.u, b.u) <= p.u && p.u <= std::max(a.u, b.u) && std::min(a.v, b.v) <= p.v &&
                           p.v <= std::max(a.v, b.v);
        if (!straddles && !inBox) continue;
        const int side = sgn(cross2(b - a, p - a));
        if (side == 0 && inBox) return Place::OnRing;
        if (straddles && (bAbove ? side > 0 : side < 0)) inside = !inside;
    }
    return inside ? Place::Inside : Place::Outside;
}

// ---- Polygon regions.

// The plane through o with (exact) normal n, the dominant axis k, and
// every ring (outer first) seen along k.
struct Region {
    Q3 o, n;
    mpq_class nn;
    int k = 2;
    std::vector<std::vector<Q2>> rings2;
};

// In the closed region of the outer ring and in no hole's open interior.
// A point known to lie on one ring (`onRing`) is tested against the others
// only: on the outer ring it is in its closed region, on a hole out of its
// open interior.
bool inRegion2(const Region& r, const Q2& p, const mpq_class& w = mpq_class(1), std::size_t onRing = SIZE_MAX) {
    if (onRing != 0 && placeInRing(r.rings2[0], p, w) == Place::Outside) return false;
    for (std::size_t h = 1; h < r.rings2.size(); ++h)
        if (h != onRing && placeInRing(r.rings2[h], p, w) == Place::Inside) return false;
    return true;
}

// v moved along axis k onto the plane: n . (v' - o) = 0 solved for v'_k
// (n_k is the largest component in magnitude, so not 0).
Q3 lift(const Region& r, const Q3& v) {
    Q3 lifted = v;
    mpq_class rest = 0;
    for (int j = 0; j < 3; ++j)
        if (j != r.k) rest += r.n.c[j] * (v.c[j] - r.o.c[j]);
    lifted.c[r.k] = r.o.c[r.k] - rest / r.n.c[r.k];
    return lifted;
}

// The normal as the library's contract defines it: the Newell sum about
// the first vertex, in IEEE double, in this exact order. Each product and
// difference goes through a volatile, so no compiler can fuse a multiply
// and an add into one rounding.
DPoint3d newellNormal(const Vertices& ring) {
    const DPoint3d& o = ring[0];
    DPoint3d sum{0.0, 0.0, 0.0};
    for (std::size_t i = 1; i + 1 < ring.size(); ++i) {
        volatile double ax = ring[i].x - o.x, ay = ring[i].y - o.y, az = ring[i].z - o.z;
        volatile double bx = ring[i + 1].x - o.x, by = ring[i + 1].y - o.y, bz = ring[i + 1].z - o.z;
        volatile double p0 = ay * bz, p1 = az * by, p2 = az * bx, p3 = ax * bz, p4 = ax * by, p5 = ay * bx;
        volatile double cx = p0 - p1, cy = p2 - p3, cz = p4 - p5;
        sum.x = sum.x + cx;
        sum.y = sum.y + cy;
        sum.z = sum.z + cz;
    }
    return sum;
}

// The first vertex, the first one that differs from it and the first one
// off the line through both (indexes into ring); false when all lie on one line.
bool spanningTriple(const std::vector<Q3>& ring, std::size_t* second, std::size_t* third) {
    std::size_t s = 1;
    while (s < ring.size() && ring[s] == ring[0]) ++s;
    for (std::size_t t = s + 1; t < ring.size(); ++t) {
        if (!isZero(cross(ring[s] - ring[0], ring[t] - ring[0]))) {
            *second = s;
            *third = t;
            return true;
        }
    }
    return false;
}

// Largest |component|; ties go to the lower axis.
int dominantAxis(const DPoint3d& n) {
    const double m[3] = {std::fabs(n.x), std::fabs(n.y), std::fabs(n.z)};
    int k = 0;
    for (int j = 1; j < 3; ++j)
        if (m[j] > m[k]) k = j;
    return k;
}

// ---- Primitives of a geometry.

// Points and segments refer to vertices kept once in a pool.
struct Segment {
    const Q3 *a, *b;
};

struct Primitives {
    std::deque<Q3> pool;  // stable addresses
    std::vector<const Q3*> points;
    std::vector<Segment> segments;
    std::vector<Region> regions;
    const Q3* keep(Q3 q) { return &pool.emplace_back(std::move(q)); }
    bool empty() const { return points.empty() && segments.empty(); }
};

// The parts of one lifted edge l0l1 (2D image p0p1, of ring `self`) that
// lie in the region. The edge is cut wherever it meets an edge of another
// ring. Between two cuts its points stay on their own ring (so in the outer
// ring's closed region, or out of their own hole's open interior) and on
// one side of every other ring, so the midpoint of a part decides for the
// whole closed part. A cut point that belongs when neither part next to it
// does is kept as a point.
void addClippedEdge(const Region& r, std::size_t self, const Q2& p0, const Q2& p1, const Q3& l0, const Q3& l1,
                    Primitives& out) {
    const Q2 d = p1 - p0;
    const mpq_class dd = dot2(d, d);
    std::vector<mpq_class> cuts{0, 1};
    for (std::size_t ri = 0; ri < r.rings2.size() && sgn(dd) != 0; ++ri) {
        if (ri == self) continue;
        const std::vector<Q2>& ring = r.rings2[ri];
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const Q2& q0 = ring[i];
            const Q2& q1 = ring[(i + 1) % ring.size()];
            if (std::max(q0.u, q1.u) < std::min(p0.u, p1.u) || std::min(q0.u, q1.u) > std::max(p0.u, p1.u) ||
                std::max(q0.v, q1.v) < std::min(p0.v, p1.v) || std::min(q0.v, q1.v) > std::max(p0.v, p1.v))
                continue;  // apart
            const Q2 g = q1 - q0, e = q0 - p0;
            const mpq_class denom = cross2(d, g);
            if (sgn(denom) != 0) {
                // p0 + t d = q0 + s g.
                const mpq_class t = cross2(e, g) / denom, s = cross2(e, d) / denom;
                if (sgn(t) >= 0 && t <= 1 && sgn(s) >= 0 && s <= 1) cuts.push_back(t);
            } else if (sgn(cross2(e, d)) == 0) {
                // On one line: the other edge's ends are where overlaps start or stop.
                for (const Q2* q : {&q0, &q1}) {
                    const mpq_class t = dot2(*q - p0, d) / dd;
                    if (sgn(t) >= 0 && t <= 1) cuts.push_back(t);
                }
            }
        }
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    const Q3 l = l1 - l0;
    std::vector<const Q3*> at;
    for (const mpq_class& t : cuts) at.push_back(sgn(t) == 0 ? &l0 : t == 1 ? &l1 : out.keep(along(l0, l, t)));
    const std::size_t parts = cuts.size() - 1;
    std::vector<bool> partIn(parts);
    for (std::size_t j = 0; j < parts; ++j) {
        const mpq_class mid = (cuts[j] + cuts[j + 1]) / 2;
        partIn[j] = inRegion2(r, along2(p0, d, mid), 1, self);
        if (partIn[j]) out.segments.push_back({at[j], at[j + 1]});
    }
    for (std::size_t j = 0; j < cuts.size(); ++j) {
        const bool covered = (j > 0 && partIn[j - 1]) || (j < parts && partIn[j]);
        if (!covered && inRegion2(r, along2(p0, d, cuts[j]), 1, self)) out.points.push_back(at[j]);
    }
}

void addPolygon(const RefPolygon& polygon, Primitives& out) {
    std::vector<std::vector<const Q3*>> rings;
    for (const Vertices& ring : polygon.rings) {
        std::vector<const Q3*> q;
        for (const DPoint3d& v : ring) q.push_back(out.keep(toQ(v)));
        rings.push_back(std::move(q));
    }
    // Every ring's closed polyline belongs to the polygon.
    for (const std::vector<const Q3*>& ring : rings)
        for (std::size_t i = 0; i < ring.size(); ++i) out.segments.push_back({ring[i], ring[(i + 1) % ring.size()]});

    if (rings.empty() || rings[0].empty()) return;
    std::vector<Q3> outer;
    for (const Q3* v : rings[0]) outer.push_back(*v);
    std::size_t second = 0, third = 0;
    if (!spanningTriple(outer, &second, &third)) return;  // all on one line

    // The plane: the ring's own when it is exactly planar, else the one
    // normal to the exact Newell vector through the first vertex.
    Region r;
    r.o = outer[0];
    const Q3 spanNormal = cross(outer[second] - r.o, outer[third] - r.o);
    bool planar = true;
    for (const Q3& v : outer) planar = planar && sgn(dot(spanNormal, v - r.o)) == 0;
    if (planar) {
        r.n = spanNormal;
    } else {
        r.n = Q3{{0, 0, 0}};
        for (std::size_t i = 1; i + 1 < outer.size(); ++i) {
            const Q3 c = cross(outer[i] - r.o, outer[i + 1] - r.o);
            for (int j = 0; j < 3; ++j) r.n.c[j] += c.c[j];
        }
    }
    if (isZero(r.n)) return;
    r.nn = norm2(r.n);
    // The projection axis: for a plane normal to an axis (the ring in a
    // plane of constant coordinate), that axis; else the largest component
    // of the Newell sum in double, or of the spanning triple's cross product
    // in double when that sum is zero or not finite.
    const DPoint3d normal = newellNormal(polygon.rings[0]);
    const bool finite = std::isfinite(normal.x) && std::isfinite(normal.y) && std::isfinite(normal.z);
    const bool zero = normal.x == 0 && normal.y == 0 && normal.z == 0;
    r.k = finite && !zero ? dominantAxis(normal)
                          : dominantAxis(crossD(sub(polygon.rings[0][second], polygon.rings[0][0]),
                                                sub(polygon.rings[0][third], polygon.rings[0][0])));
    for (int j = 0; planar && j < 3; ++j)
        if (sgn(r.n.c[(j + 1) % 3]) == 0 && sgn(r.n.c[(j + 2) % 3]) == 0) r.k = j;
    if (sgn(r.n.c[r.k]) == 0) return;
    for (const std::vector<const Q3*>& ring : rings) {
        std::vector<Q2> ring2;
        for (const Q3* v : ring) ring2.push_back(drop(*v, r.k));
        r.rings2.push_back(std::move(ring2));
    }
    // The region's boundary lies on the lifted ring edges. An edge whose
    // ends are on the plane is its own lift, already a polyline segment of
    // the polygon (which covers every part of it). Without holes every
    // lifted edge lies in the region; with holes only its clipped parts do.
    for (std::size_t ri = 0; ri < rings.size(); ++ri) {
        const std::vector<const Q3*>& ring = rings[ri];
        std::vector<const Q3*> lifted;
        for (const Q3* v : ring) {
            Q3 l = lift(r, *v);
            lifted.push_back(l == *v ? v : out.keep(std::move(l)));
        }
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const std::size_t j = (i + 1) % ring.size();
            if (lifted[i] == ring[i] && lifted[j] == ring[j]) continue;
            if (rings.size() == 1) out.segments.push_back({lifted[i], lifted[j]});
            else addClippedEdge(r, ri, r.rings2[ri][i], r.rings2[ri][j], *lifted[i], *lifted[j], out);
        }
    }
    out.regions.push_back(std::move(r));
}

// Built in place: the primitives point into its pool.
void gather(const RefGeometry& g, Primitives& out) {
    for (const DPoint3d& p : g.points) out.points.push_back(out.keep(toQ(p)));
    for (const Vertices& subline : g.sublines) {
        const Q3* previous = nullptr;
        for (const DPoint3d& v : subline) {
            const Q3* current = out.keep(toQ(v));
            if (previous != nullptr) out.segments.push_back({previous, current});
            previous = current;
        }
    }
    for (const RefPolygon& polygon : g.polygons) addPolygon(polygon, out);
}

// ---- Pairs with a region.

// The squared distance to the plane, side^2 / n.n with side = n.(p - o),
// when the foot of p lies in the region. The foot is p - (side / n.n) n;
// its image is taken as (n.n) drop(p) - side drop(n) over n.n.
std::optional<mpq_class> pointRegion(const Q3& p, const Region& r) {
    const mpq_class side = dot(r.n, p - r.o);
    const Q2 image = drop(p, r.k), normal = drop(r.n, r.k);
    if (!inRegion2(r, {r.nn * image.u - side * normal.u, r.nn * image.v - side * normal.v}, r.nn)) return std::nullopt;
    return side * side / r.nn;
}

// A segment from one side of the plane strictly to the other meets it at
// a + t(b - a), t = sa / (sa - sb), sa and sb the sides of its ends, that is
// at (sa b - sb a) / (sa - sb); it meets the region when that point does.
bool segmentCrossesRegion(const Segment& s, const Region& r) {
    mpq_class sa = dot(r.n, *s.a - r.o), sb = dot(r.n, *s.b - r.o);
    if (sgn(sa) * sgn(sb) >= 0) return false;
    if (sgn(sa) < 0) {
        sa = -sa;
        sb = -sb;
    }
    const Q2 a = drop(*s.a, r.k), b = drop(*s.b, r.k);
    return inRegion2(r, {sa * b.u - sb * a.u, sa * b.v - sb * a.v}, sa - sb);
}

class Minimum {
public:
    void offer(const std::optional<mpq_class>& value) {
        if (value && (!best_ || *value < *best_)) {
            best_ = value;
            // best_ <= this: get_d truncates towards zero.
            bestAbove_ = std::nextafter(best_->get_d(), INFINITY);
        }
    }
    bool zero() const { return best_ && sgn(*best_) == 0; }
    // Whether a pair whose squared distance is at least `bound` cannot lower it.
    bool beats(double bound) const { return best_ && bound > bestAbove_; }
    const std::optional<mpq_class>& value() const { return best_; }

private:
    std::optional<mpq_class> best_;
    double bestAbove_ = INFINITY;
};

// What the points and segments of p contribute against the regions (see
// the top of this file).
void offerAgainstRegions(const Primitives& p, const std::vector<Region>& regions, Minimum& m) {
    for (const Region& r : regions) {
        for (const Q3* q : p.points) m.offer(pointRegion(*q, r));
        for (const Segment& s : p.segments) {
            if (segmentCrossesRegion(s, r)) {
                m.offer(mpq_class(0));
            } else {
                m.offer(pointRegion(*s.a, r));
                m.offer(pointRegion(*s.b, r));
            }
        }
    }
}

// ---- Skipping pairs that cannot be nearest, which only saves time: a box
// holds its point or segment for sure (double bounds widened by one step),
// and the squared gap between two boxes is rounded down, so it never
// exceeds the squared distance of what they hold.

struct Box {
    double lo[3], hi[3];
};

Box boxOf(const Segment& s) {
    Box b;
    for (int j = 0; j < 3; ++j) {
        const double x = s.a->c[j].get_d(), y = s.b->c[j].get_d();
        b.lo[j] = std::nextafter(std::min(x, y), -INFINITY);
        b.hi[j] = std::nextafter(std::max(x, y), INFINITY);
    }
    return b;
}

double squaredGapBelow(const Box& a, const Box& b) {
    double sum = 0;
    for (int j = 0; j < 3; ++j) {
        // One step down undoes the rounding of the difference.
        const double gap = std::nextafter(std::max(a.lo[j] - b.hi[j], b.lo[j] - a.hi[j]), 0.0);
        if (gap > 0) sum += gap * gap;
    }
    // Five roundings of at most 2^-53 each, and tiny values that may have
    // lost their relative precision.
    sum *= 1 - 0x1p-50;
    return sum < 1e-280 ? 0.0 : sum;
}

// The segments of p and its points, as segments from a point to itself.
std::vector<Segment> pieces(const Primitives& p) {
    std::vector<Segment> all = p.segments;
    for (const Q3* q : p.points) all.push_back({q, q});
    return all;
}

mpq_class pieceDistance(const Segment& s, const Segment& t) {
    if (s.a == s.b) return pointSegment(*s.a, *t.a, *t.b);
    if (t.a == t.b) return pointSegment(*t.a, *s.a, *s.b);
    return segmentSegment(*s.a, *s.b, *t.a, *t.b);
}

}  // namespace

// Every primitive of one geometry against every primitive of the other:
// the pairs of points and segments by increasing gap between their boxes,
// until that gap exceeds the smallest distance found, then the pairs with
// a region.
std::optional<mpq_class> exactSquaredDistance(const RefGeometry& a, const RefGeometry& b) {
    Primitives pa, pb;
    gather(a, pa);
    gather(b, pb);
    if (pa.empty() || pb.empty()) return std::nullopt;
    const std::vector<Segment> piecesA = pieces(pa), piecesB = pieces(pb);
    std::vector<Box> boxesB;
    for (const Segment& t : piecesB) boxesB.push_back(boxOf(t));
    std::vector<std::tuple<double, const Segment*, const Segment*>> pairs;
    for (const Segment& s : piecesA) {
        const Box box = boxOf(s);
        for (std::size_t j = 0; j < piecesB.size(); ++j)
            pairs.emplace_back(squaredGapBelow(box, boxesB[j]), &s, &piecesB[j]);
    }
    std::sort(pairs.begin(), pairs.end());
    Minimum m;
    for (const auto& [gap, s, t] : pairs) {
        if (m.zero() || m.beats(gap)) break;
        m.offer(pieceDistance(*s, *t));
    }
    offerAgainstRegions(pa, pb.regions, m);
    offerAgainstRegions(pb, pa.regions, m);
    return m.value();
}

bool meetsAt(const std::optional<mpq_class>& squaredDistance, double tolerance) {
    if (std::isnan(tolerance) || tolerance < 0) return false;
    if (std::isinf(tolerance)) return true;  // even an empty geometry: inf <= inf
    if (!squaredDistance) return false;
    const mpq_class t(tolerance);
    return *squaredDistance <= t * t;
}

bool exactlyMeets(const RefGeometry& a, const RefGeometry& b, double tolerance) {
    return meetsAt(exactSquaredDistance(a, b), tolerance);
}

namespace {

// Every stored vertex, empty sublines' and rings' included.
template <typename Visit>
void forEachVertex(const RefGeometry& g, Visit&& visit) {
    for (const DPoint3d& p : g.points) visit(p);
    for (const Vertices& line : g.sublines)
        for (const DPoint3d& p : line) visit(p);
    for (const RefPolygon& polygon : g.polygons)
        for (const Vertices& ring : polygon.rings)
            for (const DPoint3d& p : ring) visit(p);
}

struct VertexBox {
    double low[3] = {INFINITY, INFINITY, INFINITY}, high[3] = {-INFINITY, -INFINITY, -INFINITY};
};

VertexBox vertexBox(const RefGeometry& g) {
    VertexBox box;
    forEachVertex(g, [&](const DPoint3d& p) {
        const double c[3] = {p.x, p.y, p.z};
        for (int axis = 0; axis < 3; ++axis) {
            box.low[axis] = std::min(box.low[axis], c[axis]);
            box.high[axis] = std::max(box.high[axis], c[axis]);
        }
    });
    return box;
}

// The largest magnitude of any coordinate of the geometry (0 for none).
double largestCoordinate(const RefGeometry& g) {
    double m = 0;
    forEachVertex(g, [&](const DPoint3d& p) { m = std::max({m, std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}); });
    return m;
}

}  // namespace

Owed owedAnswer(const RefGeometry& a, const RefGeometry& b, const std::optional<mpq_class>& squaredDistance,
                double tolerance) {
    if (!meetsAt(squaredDistance, tolerance)) return Owed::no;
    if (std::isinf(tolerance)) return Owed::yes;
    const VertexBox boxA = vertexBox(a), boxB = vertexBox(b);
    // The largest per-axis gap between the boxes, exactly, and the
    // magnitude the widening rounds at.
    mpq_class gap = 0;
    double magnitude = tolerance;
    for (int axis = 0; axis < 3; ++axis) {
        const mpq_class above = mpq_class(boxB.low[axis]) - mpq_class(boxA.high[axis]);
        const mpq_class below = mpq_class(boxA.low[axis]) - mpq_class(boxB.high[axis]);
        gap = std::max(gap, std::max(above, below));
        magnitude = std::max({magnitude, std::fabs(boxA.low[axis]), std::fabs(boxA.high[axis]),
                              std::fabs(boxB.low[axis]), std::fabs(boxB.high[axis])});
    }
    const mpq_class t(tolerance);
    if (gap <= t) return Owed::yes;
    // Two roundings to nearest and two steps outwards: four ulps at most.
    return gap - t <= mpq_class(4 * std::ldexp(std::numeric_limits<double>::epsilon(), std::ilogb(magnitude)))
               ? Owed::either
               : Owed::no;
}

double roundedSqrt(const mpq_class& value) {
    if (sgn(value) <= 0) return 0.0;
    // A first guess from a scaled copy, so that tiny and huge values do not
    // leave the double range on the way.
    const long numeratorBits = static_cast<long>(mpz_sizeinbase(value.get_num().get_mpz_t(), 2));
    const long denominatorBits = static_cast<long>(mpz_sizeinbase(value.get_den().get_mpz_t(), 2));
    const long shift = (denominatorBits - numeratorBits) / 2;
    mpq_class scaled = value;
    if (shift > 0) mpq_mul_2exp(scaled.get_mpq_t(), scaled.get_mpq_t(), static_cast<mp_bitcnt_t>(2 * shift));
    else mpq_div_2exp(scaled.get_mpq_t(), scaled.get_mpq_t(), static_cast<mp_bitcnt_t>(-2 * shift));
    double r = std::ldexp(std::sqrt(scaled.get_d()), static_cast<int>(-shift));
    // Then the double whose rounding interval holds the square root.
    for (int step = 0; step < 64; ++step) {
        const double below = std::nextafter(r, 0.0), above = std::nextafter(r, INFINITY);
        const mpq_class low = (mpq_class(below) + mpq_class(r)) / 2, high = (mpq_class(r) + mpq_class(above)) / 2;
        if (r > 0 && value < low * low) r = below;
        else if (std::isfinite(above) && value > high * high) r = above;
        else break;
    }
    return r;
}

const char* distanceFault(const RefGeometry& a, const RefGeometry& b, const mpq_class& squaredDistance, double d,
                          const DPoint3d& onA, const DPoint3d& onB) {
    const auto squared = [](double v) -> mpq_class { return mpq_class(v) * mpq_class(v); };
    // Rounded upwards: d^2 >= exact > (the double below d)^2.
    if (squared(d) < squaredDistance || (d > 0 && squared(std::nextafter(d, 0.0)) >= squaredDistance))
        return "not the exact distance rounded upwards";
    for (const DPoint3d& p : {onA, onB})
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return "a point not finite";
    const double slack = 32 * std::numeric_limits<double>::epsilon() *
                         std::max({largestCoordinate(a), largestCoordinate(b), std::numeric_limits<double>::min()});
    const std::optional<mpq_class> offA = exactSquaredDistance(point(onA), a),
                                   offB = exactSquaredDistance(point(onB), b);
    if (!offA || !offB || *offA > squared(slack) || *offB > squared(slack)) return "a point off its geometry";
    const double apart = std::hypot(onA.x - onB.x, onA.y - onB.y, onA.z - onB.z);  // (no square under- or overflows)
    if (!(std::fabs(apart - d) <= slack)) return "points not at the distance";
    return nullptr;
}

void* buildRecord(const RefGeometry& g) {
    using Maker = std::uint32_t (*)(const DPoint3d*, std::uint32_t, void**);
    void* record = nullptr;
    bool ok = true;
    const auto size = [](const Vertices& v) { return static_cast<std::uint32_t>(v.size()); };
    // The record's first list of vertices through `create`, the others through `grow`.
    const auto add = [&](const Vertices& v, Maker create, Maker grow) {
        ok = ok && (record == nullptr ? create : grow)(v.data(), size(v), &record) == SPATIAL_SUCCESS;
    };
    switch (g.kind) {
        case Kind::Point:
            ok = g.points.size() == 1 && spatialWKB_createPoint(&g.points[0], &record) == SPATIAL_SUCCESS;
            break;
        case Kind::MultiPoint: add(g.points, spatialWKB_createMultiPoint, nullptr); break;
        case Kind::LineString:
        case Kind::MultiLineString: {
            const bool multi = g.kind == Kind::MultiLineString;
            ok = !g.sublines.empty();
            for (const Vertices& v : g.sublines)
                add(v, multi ? spatialWKB_createMultiLine : spatialWKB_createLine,
                    multi ? spatialWKB_addLineToMultiLine : spatialWKB_addLineToLine);
            break;
        }
        case Kind::Polygon:
        case Kind::MultiPolygon: {
            const bool multi = g.kind == Kind::MultiPolygon;
            ok = !g.polygons.empty() && (multi || g.polygons.size() == 1);
            for (const RefPolygon& polygon : g.polygons) {
                ok = ok && !polygon.rings.empty();
                for (const Vertices& v : polygon.rings) {
                    const Maker grow = !multi                    ? spatialWKB_addRingToPolygon
                                       : &v == &polygon.rings[0] ? spatialWKB_addPolyToMultiPoly
                                                                 : spatialWKB_addRingToMultiPoly;
                    add(v, multi ? spatialWKB_createMultiPolygon : spatialWKB_createPolygon, grow);
                }
            }
            break;
        }
    }
    if (!ok && record != nullptr) spatialWKB_destroyGeom(&record);
    return ok ? record : nullptr;
}

namespace {

// "(" write(item) "," ... ")".
template <typename T, typename Write>
void appendEach(std::string& out, const std::vector<T>& items, Write&& write) {
    out += '(';
    for (const T& item : items) {
        if (&item != items.data()) out += ',';
        write(item);
    }
    out += ')';
}

}  // namespace

std::string toWkt(const RefGeometry& g) {
    static const char* const kNames[] = {"",           "POINT",           "LINESTRING",  "POLYGON",
                                         "MULTIPOINT", "MULTILINESTRING", "MULTIPOLYGON"};
    std::string out = kNames[static_cast<int>(g.kind)];
    const auto vertices = [&](const Vertices& v) {
        appendEach(out, v, [&](const DPoint3d& p) {
            char buffer[96];
            std::snprintf(buffer, sizeof buffer, "%.17g %.17g %.17g", p.x, p.y, p.z);
            out += buffer;
        });
    };
    const auto lists = [&](const std::vector<Vertices>& l) { appendEach(out, l, vertices); };
    switch (g.kind) {
        case Kind::Point: vertices(g.points); break;
        case Kind::MultiPoint: appendEach(out, g.points, [&](const DPoint3d& p) { vertices({p}); }); break;
        case Kind::LineString:
            if (g.sublines.size() == 1) vertices(g.sublines[0]);
            else lists(g.sublines);
            break;
        case Kind::MultiLineString: lists(g.sublines); break;
        case Kind::Polygon: lists(g.polygons.at(0).rings); break;
        case Kind::MultiPolygon: appendEach(out, g.polygons, [&](const RefPolygon& p) { lists(p.rings); }); break;
    }
    return out;
}

}  // namespace exact
