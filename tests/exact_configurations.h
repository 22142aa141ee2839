// Generated configurations for checking answers against the exact
// reference (exact_reference.h): random frames (rotated in double, so
// planar only up to rounding, or integer, so exactly planar), and
// generators of pairs of geometries that are hard for floating point
// (nearly parallel segments, shared vertices, vertices on edges, tilted and
// warped polygons, points over holes, multi-records, small random grids,
// large polygons), each class with its share of a run.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "exact_reference.h"

namespace exact::cases {

using namespace exact;

inline constexpr double kInf = std::numeric_limits<double>::infinity();
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Rng {
    std::uint64_t state;
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double unit() { return static_cast<double>(next() >> 11) * 0x1p-53; }
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    DPoint3d inBox(double s) { return {range(-s, s), range(-s, s), range(-s, s)}; }
};

// A frame: world = origin + u e1 + v e2 + w e3, in double.
struct Frame {
    DPoint3d origin, e1, e2, e3;
    DPoint3d at(double u, double v, double w = 0) const {
        return add(origin, add(add(mul(u, e1), mul(v, e2)), mul(w, e3)));
    }
};

// A rotation by random angles, scaled: its images of a plane are planar
// only up to rounding.
inline Frame rotatedFrame(Rng& rng, double scale, DPoint3d origin) {
    const double a = rng.range(0, 6.3), b = rng.range(-1.6, 1.6), c = rng.range(0, 6.3);
    const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b), cc = std::cos(c),
                 sc = std::sin(c);
    const DPoint3d e1{ca * cb, sa * cb, -sb};
    const DPoint3d e2{ca * sb * sc - sa * cc, sa * sb * sc + ca * cc, cb * sc};
    return {origin, mul(scale, e1), mul(scale, e2), mul(scale, crossD(e1, e2))};
}

// Small integer axes times a power of two: every image of a point with
// few-bit coordinates is exact, so its polygons are exactly planar.
inline Frame integerFrame(Rng& rng, int exponent) {
    const double s = std::ldexp(1.0, exponent);
    auto axis = [&] { return DPoint3d{double(rng.below(7) - 3), double(rng.below(7) - 3), double(rng.below(7) - 3)}; };
    DPoint3d e1 = axis(), e2 = axis();
    while (dotD(crossD(e1, e2), crossD(e1, e2)) == 0) {
        e1 = axis();
        e2 = axis();
    }
    const DPoint3d origin{double(rng.below(64) - 32) * s, double(rng.below(64) - 32) * s,
                          double(rng.below(64) - 32) * s};
    return {origin, mul(s, e1), mul(s, e2), mul(s, crossD(e1, e2))};
}

// ---- Generated configurations.

struct Pair {
    std::string variant;
    RefGeometry a, b;
};
using Generator = std::function<Pair(Rng&)>;

// A power of ten in [1e-6, 1e8].
inline double randomScale(Rng& rng) { return std::pow(10.0, rng.below(15) - 6); }

// x moved by up to `ulps` ulps either way.
inline double nudge(Rng& rng, double x, int ulps) {
    for (int i = rng.below(2 * ulps + 1) - ulps; i != 0; i += i > 0 ? -1 : 1)
        x = std::nextafter(x, i > 0 ? kInf : -kInf);
    return x;
}
inline DPoint3d nudge(Rng& rng, DPoint3d p, int ulps) {
    return {nudge(rng, p.x, ulps), nudge(rng, p.y, ulps), nudge(rng, p.z, ulps)};
}

inline DPoint3d randomDirection(Rng& rng) {
    for (;;) {
        const DPoint3d d = rng.inBox(1);
        const double n = std::sqrt(dotD(d, d));
        if (n > 0.1 && n <= 1) return mul(1 / n, d);
    }
}

// 2D shapes (closed rings) in frame units.
inline std::vector<std::vector<std::array<double, 2>>> shape(Rng& rng, bool withHole) {
    std::vector<std::vector<std::array<double, 2>>> rings;
    switch (rng.below(3)) {
        case 0: rings.push_back({{-2, -2}, {2, -2}, {2, 2}, {-2, 2}, {-2, -2}}); break;
        case 1: rings.push_back({{-2, -2}, {2, -2}, {0, 2.5}, {-2, -2}}); break;
        default: rings.push_back({{-2, -2}, {2, -2}, {2, 2}, {0, 0.5}, {-2, 2}}); break;  // concave, not closed
    }
    if (withHole) rings.push_back({{-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {-1, -1}});
    for (auto& ring : rings)
        if (rng.chance(50)) std::reverse(ring.begin(), ring.end());
    return rings;
}

// The rings placed in the frame, each vertex at height() off its plane (0
// without it; a closed ring stays closed).
inline RefGeometry placedPolygon(const Frame& f, const std::vector<std::vector<std::array<double, 2>>>& rings,
                                 const std::function<double()>& height = {}) {
    std::vector<Vertices> placed;
    for (const auto& ring : rings) {
        Vertices v;
        for (const auto& [u, vv] : ring) v.push_back(f.at(u, vv, height ? height() : 0.0));
        if (ring.front() == ring.back()) v.back() = v.front();
        placed.push_back(std::move(v));
    }
    return polygon(std::move(placed));
}

// (u, v) in the plane where coordinate k is c, u and v the next two
// coordinates in turn.
inline DPoint3d inAxisPlane(int k, double c, double u, double v) {
    double xyz[3];
    xyz[k] = c;
    xyz[(k + 1) % 3] = u;
    xyz[(k + 2) % 3] = v;
    return {xyz[0], xyz[1], xyz[2]};
}

// g moved from z = 0 to the plane where coordinate `axis` is `c` (a
// height z to c + z), its x and y the next two coordinates.
inline RefGeometry placedInAxisPlane(RefGeometry g, int axis, double c) {
    const auto move = [&](Vertices& v) {
        for (DPoint3d& p : v) p = inAxisPlane(axis, p.z + c, p.x, p.y);
    };
    move(g.points);
    for (Vertices& s : g.sublines) move(s);
    for (RefPolygon& p : g.polygons)
        for (Vertices& r : p.rings) move(r);
    return g;
}

inline const std::vector<Vertices>& ringsOf(const RefGeometry& g) { return g.polygons.at(0).rings; }

// The axes of a plane of constant coordinate, either way round: every
// image of a point keeps that coordinate exactly (the flat data of most
// hosts).
inline Frame axisFrame(Rng& rng, double scale, DPoint3d origin) {
    const int k = rng.below(3);
    const auto axis = [&](int i) {
        const double sign = rng.chance(50) ? scale : -scale;
        return DPoint3d{i == 0 ? sign : 0.0, i == 1 ? sign : 0.0, i == 2 ? sign : 0.0};
    };
    const DPoint3d e1 = axis((k + 1) % 3), e2 = axis((k + 2) % 3);
    return {origin, e1, e2, mul(1 / scale, crossD(e1, e2))};
}

inline Frame someFrame(Rng& rng, double scale) {
    if (rng.chance(20)) return axisFrame(rng, scale, rng.inBox(scale * (rng.chance(50) ? 1 : 1e5)));
    return rng.chance(70) ? rotatedFrame(rng, scale, rng.inBox(scale)) : integerFrame(rng, std::ilogb(scale) - 2);
}

// Nearly parallel and collinear segments.
inline Pair nearlyParallel(Rng& rng) {
    const double s = randomScale(rng);
    const DPoint3d a = rng.inBox(s), d = mul(s * rng.range(0.1, 1), randomDirection(rng)), b = add(a, d);
    switch (rng.below(4)) {
        case 0: return {"ends nudged by ulps", lineString({a, b}), lineString({nudge(rng, a, 3), nudge(rng, b, 3)})};
        case 1: {
            const double off = s * std::pow(10.0, -rng.range(8, 16));
            return {"offset by a tiny vector", lineString({a, b}),
                    lineString({add(a, mul(off, randomDirection(rng))), add(b, mul(off, randomDirection(rng)))})};
        }
        case 2: {
            const double t0 = rng.range(-0.5, 1.5), t1 = rng.range(-0.5, 1.5);
            return {"collinear in double", lineString({a, b}), lineString({add(a, mul(t0, d)), add(a, mul(t1, d))})};
        }
        default: {
            const DPoint3d c = add(b, mul(rng.range(0.1, 1), d));  // continuing on, rounded
            return {"continued, touching or not", lineString({a, b}), lineString({nudge(rng, b, 1), c})};
        }
    }
}

// The second segment's ends symmetric about a point M of the first, with
// M the exact midpoint of the first (multiples of one power of two).
inline Pair sharedMidpoint(Rng& rng) {
    const double e = std::ldexp(1.0, rng.below(40) - 25);
    auto grid = [&] {
        return DPoint3d{double(rng.below(1 << 20) - (1 << 19)) * e, double(rng.below(1 << 20) - (1 << 19)) * e,
                        double(rng.below(1 << 20) - (1 << 19)) * e};
    };
    const DPoint3d p = grid(), q = grid();
    const DPoint3d m = mul(0.5, add(p, q));
    DPoint3d half;
    std::string variant;
    if (rng.chance(60)) {
        const double tilt = std::pow(10.0, -rng.range(3, 15));
        half = add(mul(rng.range(0.3, 2) * (rng.chance(50) ? 1 : -1), mul(0.5, sub(q, p))),
                   mul(tilt * std::sqrt(dotD(sub(q, p), sub(q, p))), randomDirection(rng)));
        variant = "nearly parallel crossing";
    } else {
        half = mul(std::sqrt(dotD(sub(q, p), sub(q, p))) * rng.range(0.01, 2), randomDirection(rng));
        variant = "crossing at any angle";
    }
    Pair pr{variant, lineString({p, q}), lineString({add(m, half), sub(m, half)})};
    if (rng.chance(20)) pr.b = lineString({add(m, half), m, sub(m, half)});
    return pr;
}

// Tilted polygons (not exactly planar) and a geometry through one of
// their vertices.
inline Pair sharedVertex(Rng& rng) {
    const double s = randomScale(rng);
    const Frame f = someFrame(rng, s);
    const RefGeometry poly = placedPolygon(f, shape(rng, rng.chance(30)));
    const Vertices& ring = ringsOf(poly)[rng.below(static_cast<int>(ringsOf(poly).size()))];
    const DPoint3d v = ring[rng.below(static_cast<int>(ring.size()))];
    switch (rng.below(4)) {
        case 0: return {"point at a vertex", poly, point(v)};
        case 1: return {"segment from a vertex", poly, lineString({v, add(v, mul(s, randomDirection(rng)))})};
        case 2: {
            const Frame g = rotatedFrame(rng, s, v);
            return {"polygons sharing a vertex", poly,
                    placedPolygon(g, {{{0, 0}, {3, 0.5}, {2.5, 3}, {0.2, 2}, {0, 0}}})};
        }
        default: return {"multipoint with a vertex", poly, multiPoint({add(v, mul(3 * s, randomDirection(rng))), v})};
    }
}

// A vertex exactly (or one ulp off) on an edge: integer frames make edge
// midpoints exact.
inline Pair vertexOnEdge(Rng& rng) {
    const Frame f = integerFrame(rng, rng.below(40) - 20);
    const RefGeometry poly = placedPolygon(f, shape(rng, rng.chance(30)));
    const Vertices& ring = ringsOf(poly)[rng.below(static_cast<int>(ringsOf(poly).size()))];
    const std::size_t i = static_cast<std::size_t>(rng.below(static_cast<int>(ring.size())));
    const DPoint3d a = ring[i], b = ring[(i + 1) % ring.size()];
    DPoint3d m = mul(0.5, add(a, b));
    std::string suffix = "";
    if (rng.chance(30)) {
        m = nudge(rng, m, 1);
        suffix = ", nudged";
    }
    const DPoint3d out = add(m, sub(f.at(rng.range(-3, 3), rng.range(-3, 3), rng.range(-3, 3)), f.origin));
    switch (rng.below(4)) {
        case 0: return {"point on an edge" + suffix, poly, point(m)};
        case 1: return {"segment from an edge" + suffix, poly, lineString({m, out})};
        case 2: return {"segment ending on a segment" + suffix, lineString({a, b}), lineString({out, m})};
        default: {
            const Frame g = rotatedFrame(rng, std::sqrt(dotD(f.e1, f.e1)), m);
            return {"polygon with a vertex on an edge" + suffix, poly,
                    placedPolygon(g, {{{0, 0}, {3, 0.5}, {2.5, 3}, {0, 0}}})};
        }
    }
}

// Points given in a polygon's own frame: in its plane (up to rounding), a
// little off it, at its vertices and edges, inside and outside, over holes.
inline Pair pointsOnTiltedPolygons(Rng& rng, bool overHoles) {
    const double s = randomScale(rng);
    const Frame f = someFrame(rng, s);
    RefGeometry poly = placedPolygon(f, shape(rng, overHoles || rng.chance(30)));
    if (rng.chance(20)) {  // and a neighbour in the same frame
        auto neighbour = shape(rng, rng.chance(50));
        for (auto& ring : neighbour)
            for (auto& [u, v] : ring) u += 3;
        poly = multiPolygon({poly.polygons[0], placedPolygon(f, neighbour).polygons[0]});
    }
    double u = rng.range(-2.5, 2.5), v = rng.range(-2.5, 2.5);
    std::string variant = overHoles ? "over a hole" : "in the frame";
    if (overHoles) {
        u = rng.range(-1, 1);
        v = rng.range(-1, 1);
        if (rng.chance(30)) {
            u = rng.chance(50) ? -1 : 1;
            variant = "over a hole's edge";
        }
    } else if (rng.chance(30)) {
        u = rng.below(5) - 2;
        v = rng.below(5) - 2;
        variant = "at grid points";
    }
    // In the plane, just above or below it, or anywhere near.
    const int height = rng.below(4);
    const double w = height == 0   ? 0.0
                     : height == 3 ? rng.range(-3, 3)
                                   : (height == 1 ? 1 : -1) * std::pow(10.0, -rng.range(1, 16));
    variant += w == 0 ? ", in the plane" : ", off the plane";
    const DPoint3d p = f.at(u, v, w);
    if (rng.chance(25))
        return {variant + ", segment", poly, lineString({p, f.at(u + rng.range(-1, 1), v + rng.range(-1, 1), -w)})};
    return {variant, poly, point(p)};
}

inline Pair pointsOverHoles(Rng& rng) { return pointsOnTiltedPolygons(rng, true); }

// Segments through, along and over tilted polygons.
inline Pair segmentsAndPolygons(Rng& rng) {
    const double s = randomScale(rng);
    const Frame f = someFrame(rng, s);
    const RefGeometry poly = placedPolygon(f, shape(rng, rng.chance(40)));
    const double u = rng.range(-2.5, 2.5), v = rng.range(-2.5, 2.5);
    const int kind = rng.below(3);
    if (kind == 1)
        return {"in the plane", poly, lineString({f.at(u, v), f.at(rng.range(-2.5, 2.5), rng.range(-2.5, 2.5))})};
    const double h = std::pow(10.0, -rng.range(0, 15));
    if (kind == 0)
        return {"through the plane", poly,
                lineString({f.at(u, v, h), f.at(u + rng.range(-1, 1), v + rng.range(-1, 1), -h)})};
    return {"parallel just over", poly,
            lineString({f.at(u, v, h), f.at(rng.range(-2.5, 2.5), rng.range(-2.5, 2.5), h)})};
}

// Two polygons: coplanar neighbours, parallel planes close together,
// crossing planes.
inline Pair polygonPairs(Rng& rng) {
    const double s = randomScale(rng);
    const Frame f = someFrame(rng, s);
    const RefGeometry a = placedPolygon(f, shape(rng, rng.chance(40)));
    const int kind = rng.below(3);
    Frame g = f;
    if (kind == 0) {
        g.origin = f.at(rng.range(-4.5, 4.5), rng.range(-4.5, 4.5));
        if (rng.chance(50)) g.origin = f.at(rng.below(9) - 4, rng.below(9) - 4);
    } else if (kind == 1) {
        g.origin = f.at(rng.range(-3, 3), rng.range(-3, 3), std::pow(10.0, -rng.range(0, 15)));
    } else {
        g = rotatedFrame(rng, s, f.at(rng.range(-2.5, 2.5), rng.range(-2.5, 2.5)));
    }
    const char* const variants[] = {"coplanar neighbours", "parallel planes", "crossing planes"};
    return {variants[kind], a, placedPolygon(g, shape(rng, rng.chance(30)))};
}

// Rings far from planar (every vertex up to a frame unit off the frame's
// plane), so that the region's lifted edges differ from the stored ones,
// and geometries around them, often just outside an edge.
inline Pair warpedPolygons(Rng& rng) {
    const double s = randomScale(rng);
    const Frame f = someFrame(rng, s);
    auto warped = [&](const Frame& frame, bool withHole) {
        return placedPolygon(frame, shape(rng, withHole), [&] { return rng.range(-1, 1); });
    };
    const RefGeometry poly = warped(f, rng.chance(30));
    // Just outside the middle of an edge of the frame's square, or anywhere.
    auto around = [&] {
        if (rng.chance(30)) return f.at(rng.range(-3, 3), rng.range(-3, 3), rng.range(-2, 2));
        const double out = 2 + rng.range(0, 0.5), along = rng.range(-2, 2), w = rng.range(-1.5, 1.5);
        const int side = rng.below(4);
        const double across = side % 2 == 0 ? out : -out;
        return side < 2 ? f.at(across, along, w) : f.at(along, across, w);
    };
    switch (rng.below(4)) {
        case 0:
        case 1: return {"warped ring, point", poly, point(around())};
        case 2: return {"warped ring, segment", poly, lineString({around(), around()})};
        default: {
            Frame g = f;
            g.origin = f.at(rng.range(-4.5, 4.5), rng.range(-4.5, 4.5), rng.range(-1, 1));
            return {"warped rings, two polygons", poly, warped(g, rng.chance(30))};
        }
    }
}

// Polygons of many vertices (shared once prepared), in an axis plane, an
// exact plane or rotated, often with a hole, and a point, a segment or a
// triangle from one of their vertices or edge midpoints, nudged now and
// then.
inline Pair largePolygons(Rng& rng) {
    const double s = randomScale(rng);
    const Frame f = rng.chance(25) ? Frame{{0, 0, s}, {s, 0, 0}, {0, s, 0}, {0, 0, s}} : someFrame(rng, s);
    const auto star = [](int n, double radius, double sense) {
        std::vector<std::array<double, 2>> ring;
        for (int i = 0; i <= n; ++i) {
            const double angle = sense * 6.283185307179586 * (i % n) / n, r = radius * (i % 2 ? 0.9 : 1.0);
            ring.push_back({std::round(64 * r * std::cos(angle)) / 64, std::round(64 * r * std::sin(angle)) / 64});
        }
        return ring;
    };
    const int n = 256 + 2 * rng.below(150);
    std::vector<std::vector<std::array<double, 2>>> rings{star(n, 2, 1)};
    if (rng.chance(50)) rings.push_back(star(n / 2, 1, -1));
    const RefGeometry poly = placedPolygon(f, rings);
    const Vertices& ring = ringsOf(poly)[rng.below(static_cast<int>(rings.size()))];
    const std::size_t i = static_cast<std::size_t>(rng.below(static_cast<int>(ring.size()) - 1));
    DPoint3d m = rng.chance(50) ? ring[i] : mul(0.5, add(ring[i], ring[i + 1]));
    if (rng.chance(40)) m = nudge(rng, m, 1);
    switch (rng.below(3)) {
        case 0: return {"large polygon, point", poly, point(m)};
        case 1:
            return {"large polygon, segment", poly,
                    lineString({m, f.at(rng.range(-3, 3), rng.range(-3, 3), rng.range(-1, 1))})};
        default:
            return {"large polygon, triangle", poly,
                    placedPolygon(rotatedFrame(rng, s, m), {{{0, 0}, {1, 0.2}, {0.3, 1}, {0, 0}}})};
    }
}

// g as its multi-kind with a copy of its first member moved by `away`
// added last (a point, subline or polygon).
inline RefGeometry withMovedMember(RefGeometry g, DPoint3d away) {
    const auto moved = [&](Vertices v) {
        for (DPoint3d& p : v) p = add(p, away);
        return v;
    };
    if (!g.points.empty()) {
        g.kind = Kind::MultiPoint;
        g.points.push_back(add(g.points[0], away));
    } else if (!g.sublines.empty()) {
        g.kind = Kind::MultiLineString;
        g.sublines.push_back(moved(g.sublines[0]));
    } else {
        g.kind = Kind::MultiPolygon;
        g.polygons.push_back(g.polygons.at(0));
        for (Vertices& ring : g.polygons.back().rings) ring = moved(ring);
    }
    return g;
}

// Multi-records and sublines: a point, line or polygon with a copy of it
// far away or in the same place, first or last.
inline RefGeometry asMulti(Rng& rng, const RefGeometry& g, double far) {
    if (g.kind != Kind::Point && g.kind != Kind::LineString && g.kind != Kind::Polygon) return g;
    RefGeometry multi = withMovedMember(g, rng.chance(50) ? DPoint3d{far, -far, far} : DPoint3d{0, 0, 0});
    if (rng.chance(50)) {
        std::reverse(multi.points.begin(), multi.points.end());
        std::reverse(multi.sublines.begin(), multi.sublines.end());
        std::reverse(multi.polygons.begin(), multi.polygons.end());
    }
    return multi;
}

inline Pair multiKinds(Rng& rng) {
    static const Generator inner[] = {nearlyParallel,  sharedMidpoint,      sharedVertex, vertexOnEdge,
                                      pointsOverHoles, segmentsAndPolygons, polygonPairs, warpedPolygons};
    Pair p = inner[rng.below(8)](rng);
    const double far = 1e9;
    if (p.a.kind == Kind::LineString && rng.chance(30)) {
        // The same segments as two sublines with a gap: sublines are not joined.
        const Vertices& v = p.a.sublines[0];
        const DPoint3d gap = add(v.back(), sub(v.back(), v.front()));
        p.a.sublines.push_back({gap, add(gap, sub(v.back(), v.front()))});
        p.variant = "sublines, " + p.variant;
    }
    const int which = rng.below(3);
    if (which != 1) p.a = asMulti(rng, p.a, far);
    if (which != 0) p.b = asMulti(rng, p.b, far);
    p.variant = "multi: " + p.variant;
    return p;
}

// Small random geometries on a coarse grid (collinear and shared vertices
// are common), one ulp nudges, empty lines.
inline Pair randomSmall(Rng& rng) {
    const double e = std::ldexp(1.0, rng.below(30) - 15);
    auto vertex = [&] {
        DPoint3d v{double(rng.below(5)) * e, double(rng.below(5)) * e, double(rng.below(3)) * e};
        return rng.chance(15) ? nudge(rng, v, 1) : v;
    };
    auto make = [&]() -> RefGeometry {
        auto list = [&](int n) {
            Vertices v;
            for (int i = 0; i < n; ++i) v.push_back(vertex());
            return v;
        };
        switch (rng.below(6)) {
            case 0: return point(vertex());
            case 1: return lineString(list(rng.chance(5) ? 1 : 2 + rng.below(3)));
            case 2: {
                std::vector<Vertices> rings{list(3 + rng.below(3))};
                if (rng.chance(30)) rings.push_back(list(3 + rng.below(2)));
                return polygon(rings);
            }
            case 3: return multiPoint(list(1 + rng.below(3)));
            case 4: return multiLineString({list(2), list(rng.chance(10) ? 1 : 2)});
            default: return multiPolygon({RefPolygon{{list(3 + rng.below(2))}}, RefPolygon{{list(3)}}});
        }
    };
    Pair pair{"", make(), make()};
    pair.variant = "grid: kinds " + std::to_string(int(pair.a.kind)) + " / " + std::to_string(int(pair.b.kind));
    return pair;
}

struct ConfigurationClass {
    const char* name;
    Generator generate;
    int share;  // of the cases run, in percent
};

inline const std::vector<ConfigurationClass>& configurationClasses() {
    static const std::vector<ConfigurationClass> classes = {
        {"near-parallel segments", nearlyParallel, 12},
        {"crossing at a shared midpoint", sharedMidpoint, 10},
        {"shared vertices", sharedVertex, 6},
        {"vertex on an edge", vertexOnEdge, 7},
        {"points by tilted polygons", [](Rng& r) { return pointsOnTiltedPolygons(r, false); }, 12},
        {"points over holes", pointsOverHoles, 9},
        {"segments and polygons", segmentsAndPolygons, 9},
        {"polygon pairs", polygonPairs, 6},
        {"warped polygons", warpedPolygons, 8},
        {"multi kinds", multiKinds, 8},
        {"random grid geometries", randomSmall, 13},
        {"large polygons", largePolygons, 5},
    };
    return classes;
}

}  // namespace exact::cases
