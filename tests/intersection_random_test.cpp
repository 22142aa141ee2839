// Randomised comparison of the intersection exports with a brute-force
// distance computed here independently: closest points on segments and
// triangles by textbook formulas, segments and polygons densely sampled.
// Geometries are built near a common plane (to make touching, coplanar
// and crossing configurations frequent) and then moved by a random rigid
// motion. Cases whose sampled distance is within the sampling error of the
// tolerance are skipped.
#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "record_test_builder.h"
#include "spatialgeom/queries.h"

namespace {

using namespace testrecords;

struct V {
    double x, y, z;
};
V operator+(V a, V b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V operator-(V a, V b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V operator*(double s, V a) { return {s * a.x, s * a.y, s * a.z}; }
double dotV(V a, V b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double length(V a) { return std::sqrt(dotV(a, a)); }

V closestOnSegment(V p, V a, V b) {
    const V d = b - a;
    const double dd = dotV(d, d);
    const double t = dd > 0 ? std::clamp(dotV(p - a, d) / dd, 0.0, 1.0) : 0.0;
    return a + t * d;
}

// Closest point of triangle abc to p, by Voronoi regions of the triangle.
V closestOnTriangle(V p, V a, V b, V c) {
    const V ab = b - a, ac = c - a, ap = p - a;
    const double d1 = dotV(ab, ap), d2 = dotV(ac, ap);
    if (d1 <= 0 && d2 <= 0) return a;
    const V bp = p - b;
    const double d3 = dotV(ab, bp), d4 = dotV(ac, bp);
    if (d3 >= 0 && d4 <= d3) return b;
    const double vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) return a + (d1 / (d1 - d3)) * ab;
    const V cp = p - c;
    const double d5 = dotV(ab, cp), d6 = dotV(ac, cp);
    if (d6 >= 0 && d5 <= d6) return c;
    const double vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) return a + (d2 / (d2 - d6)) * ac;
    const double va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) return b + ((d4 - d3) / ((d4 - d3) + (d5 - d6))) * (c - b);
    const double denom = 1.0 / (va + vb + vc);
    return a + (vb * denom) * ab + (vc * denom) * ac;
}

// One geometry: its points, segments and triangles (a convex polygon is a fan).
struct Shape {
    std::vector<V> points;
    std::vector<std::array<V, 2>> segments;
    std::vector<std::array<V, 3>> triangles;
};

// Distance from p to the shape, exactly (up to rounding).
double distanceTo(const Shape& s, V p) {
    double best = INFINITY;
    for (V q : s.points) best = std::min(best, length(p - q));
    for (const auto& g : s.segments) best = std::min(best, length(p - closestOnSegment(p, g[0], g[1])));
    for (const auto& t : s.triangles) best = std::min(best, length(p - closestOnTriangle(p, t[0], t[1], t[2])));
    return best;
}

constexpr int kSamples = 400;

// Sample points of every element of a, with the largest spacing error.
std::vector<V> samples(const Shape& a, double* error) {
    std::vector<V> out = a.points;
    *error = 0;
    for (const auto& g : a.segments) {
        for (int i = 0; i <= kSamples; ++i) out.push_back(g[0] + (double(i) / kSamples) * (g[1] - g[0]));
        *error = std::max(*error, length(g[1] - g[0]) / (2 * kSamples));
    }
    constexpr int m = 60;
    for (const auto& t : a.triangles) {
        for (int i = 0; i <= m; ++i)
            for (int j = 0; i + j <= m; ++j)
                out.push_back(t[0] + (double(i) / m) * (t[1] - t[0]) + (double(j) / m) * (t[2] - t[0]));
        const double edge = std::max({length(t[1] - t[0]), length(t[2] - t[0]), length(t[2] - t[1])});
        *error = std::max(*error, edge / m);
    }
    return out;
}

// Upper estimate of the distance between a and b and its maximal excess.
double sampledDistance(const Shape& a, const Shape& b, double* error) {
    double errorA, errorB, best = INFINITY;
    for (V p : samples(a, &errorA)) best = std::min(best, distanceTo(b, p));
    for (V p : samples(b, &errorB)) best = std::min(best, distanceTo(a, p));
    *error = std::max(errorA, errorB);
    return best;
}

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    // A point near the plane z = 0, often exactly in it.
    V point() { return {uniform(-1, 1), uniform(-1, 1), pick(0, 1) ? 0.0 : uniform(-0.4, 0.4)}; }

    std::vector<V> polyline() {
        std::vector<V> v(pick(2, 4));
        for (V& p : v) p = point();
        return v;
    }

    // A convex polygon of 3 or 4 vertices, flat in z = 0 or in a random plane.
    std::vector<V> convexPolygon() {
        const V center = point();
        V u{1, 0, 0}, w{0, 1, 0};
        if (pick(0, 1)) {
            u = unit({uniform(-1, 1), uniform(-1, 1), uniform(-1, 1)});
            w = unit(crossV(u, unit({uniform(-1, 1), uniform(-1, 1), uniform(-1, 1)})));
        }
        const int n = pick(3, 4);
        std::vector<double> angles(n);
        for (double& a : angles) a = uniform(0, 2 * M_PI);
        std::sort(angles.begin(), angles.end());
        const double rx = uniform(0.1, 0.8), ry = uniform(0.1, 0.8);
        std::vector<V> ring;
        for (double a : angles) ring.push_back(center + (rx * std::cos(a)) * u + (ry * std::sin(a)) * w);
        return ring;
    }

    // A rigid motion: rotation from a random unit quaternion, translation.
    void newMotion() {
        double q[4];
        double n = 0;
        for (double& c : q) c = uniform(-1, 1), n += c * c;
        for (double& c : q) c /= std::sqrt(n);
        const double w = q[0], x = q[1], y = q[2], z = q[3];
        rotation_[0] = {1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y)};
        rotation_[1] = {2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x)};
        rotation_[2] = {2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)};
        shift_ = {uniform(-100, 100), uniform(-100, 100), uniform(-100, 100)};
    }
    V move(V p) const { return V{dotV(rotation_[0], p), dotV(rotation_[1], p), dotV(rotation_[2], p)} + shift_; }

    // A record of the kind and the same geometry as a Shape (both moved).
    Record geometry(int kind, Shape* shape) {
        const int members = kind >= 4 ? pick(1, 3) : 1;
        Vertices points;
        SublineSeqs lines;
        std::vector<SublineSeqs> polygons;
        for (int m = 0; m < members; ++m) {
            if (kind == 1 || kind == 4) {
                points.push_back(moved(point(), shape));
            } else if (kind == 2 || kind == 5) {
                lines.push_back({movedPolyline(polyline(), shape)});
            } else {
                polygons.push_back({{movedPolygon(convexPolygon(), shape)}});
            }
        }
        switch (kind) {
            case 1: return testrecords::point(points[0]);
            case 2: return line(lines[0]);
            case 3: return polygon(polygons[0]);
            case 4: return multiPoint(points);
            case 5: return multiLine(lines);
            default: return multiPolygon(polygons);
        }
    }

private:
    static V crossV(V a, V b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
    static V unit(V a) { return (1 / length(a)) * a; }
    static DPoint3d d(V p) { return {p.x, p.y, p.z}; }

    DPoint3d moved(V p, Shape* shape) {
        const V m = move(p);
        shape->points.push_back(m);
        return d(m);
    }
    Vertices movedPolyline(const std::vector<V>& v, Shape* shape) {
        Vertices out;
        for (V p : v) out.push_back(d(move(p)));
        for (std::size_t i = 1; i < v.size(); ++i) shape->segments.push_back({move(v[i - 1]), move(v[i])});
        return out;
    }
    Vertices movedPolygon(const std::vector<V>& v, Shape* shape) {
        Vertices out;
        for (V p : v) out.push_back(d(move(p)));
        for (std::size_t i = 2; i < v.size(); ++i) shape->triangles.push_back({move(v[0]), move(v[i - 1]), move(v[i])});
        return out;
    }

    std::mt19937 rng_;
    V rotation_[3];
    V shift_;
};

TEST(IntersectRandom, AgreesWithBruteForceDistanceAfterRigidMotions) {
    Generator gen(20261206);
    int checked = 0, meets = 0, skipped = 0;
    for (int i = 0; i < 3000; ++i) {
        gen.newMotion();
        const int kindA = gen.pick(1, 6), kindB = gen.pick(1, 6);
        Shape a, b;
        const Record ra = gen.geometry(kindA, &a), rb = gen.geometry(kindB, &b);
        double error;
        const double sampled = sampledDistance(a, b, &error);
        const int regime = gen.pick(0, 5);
        const double tolerance = regime == 0 ? 0.0 : gen.uniform(0, regime <= 2 ? 0.02 : 0.5);
        constexpr double kRounding = 1e-9;
        uint32_t expected;
        if (sampled <= tolerance - kRounding) {
            expected = 1;
        } else if (sampled - error > tolerance + kRounding) {
            expected = 0;
        } else {
            ++skipped;
            continue;
        }
        for (bool swapped : {false, true}) {
            uint32_t result = 7;
            ASSERT_EQ(spatialWKB_intersectGeometry((swapped ? rb : ra).data(), (swapped ? ra : rb).data(), tolerance,
                                                   &result),
                      SPATIAL_SUCCESS);
            ASSERT_EQ(result, expected) << "case " << i << " kinds " << kindA << "/" << kindB << " tolerance "
                                        << tolerance << " sampled distance " << sampled << " +- " << error;
        }
        ++checked;
        meets += expected;
    }
    EXPECT_GT(checked, 2400);
    EXPECT_GT(meets, checked / 8);
    EXPECT_GT(checked - meets, checked / 5);
}

}  // namespace
