// Two small geometries of any kind decoded from fuzzer input, in the model
// of the tests' exact reference (tests/exact_reference.h). Vertices come
// from a pool both geometries share, so copies, midpoints and one-ulp
// neighbours of earlier vertices (shared vertices, vertices on edges,
// nearly degenerate configurations) are as easy to reach as fresh
// coordinates.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tests/exact_reference.h"

namespace fuzz_support {

using exact::Kind;
using exact::RefGeometry;
using exact::RefPolygon;
using exact::Vertices;

// The seed corpus refers to these by index: append, do not reorder.
inline constexpr double kInterestingCoordinates[] = {
    // 0 to 15: small values, and decimals of the named examples.
    0, 1, -1, 0.5, 2, 3, 10, -10, 0.1, 1.1, 3.1, 4.1, 0.0000001, -0.0000001, 2.0000001, 12.9999999,
    // 16 to 27: far scales and more.
    1e-7, 1e8, 1.0 / 3, 5, 7, 100, 0.3, -2.5, 1e-30, 1e30, 0x1p-40, 6.5};

// Finite and of moderate magnitude, else 0.
inline double moderate(double x) {
    const double m = std::fabs(x);
    return std::isfinite(x) && m < 1e30 && (m == 0 || m > 1e-30) ? x : 0.0;
}

class Decoder {
public:
    Decoder(const std::uint8_t* data, std::size_t size) : in_(data, size) {}

    std::uint8_t byte() { return in_.take<std::uint8_t>(); }
    // 1 .. limit.
    std::size_t count(std::size_t limit) { return 1 + byte() % limit; }

    double coordinate() {
        const std::uint8_t c = byte();
        if (c < 0xC0) return kInterestingCoordinates[c % std::size(kInterestingCoordinates)];
        if (c < 0xE0 && !pool_.empty()) {
            const DPoint3d& v = pool_[c % pool_.size()];
            const double axis[3] = {v.x, v.y, v.z};
            return axis[byte() % 3];
        }
        return moderate(in_.take<double>());
    }

    // A fresh vertex, or one made from the earlier ones.
    DPoint3d vertex() {
        const std::uint8_t how = byte();
        DPoint3d v;
        if (pool_.empty() || how < 0x80) {
            v = {coordinate(), coordinate(), coordinate()};
        } else if (how < 0xA0) {
            v = earlier();
        } else if (how < 0xC0) {
            const DPoint3d a = earlier(), b = earlier();
            v = {moderate(a.x + (b.x - a.x) / 2), moderate(a.y + (b.y - a.y) / 2), moderate(a.z + (b.z - a.z) / 2)};
        } else {
            // One ulp away from an earlier vertex along one axis.
            v = earlier();
            double* axis[3] = {&v.x, &v.y, &v.z};
            double& x = *axis[how % 3];
            x = moderate(std::nextafter(x, how & 8 ? INFINITY : -INFINITY));
        }
        pool_.push_back(v);
        return v;
    }

    Vertices vertices(std::size_t n) {
        Vertices v;
        for (std::size_t i = 0; i < n; ++i) v.push_back(vertex());
        return v;
    }

    // A ring of 3 to 6 vertices, closed or not.
    Vertices ring() {
        Vertices v = vertices(2 + count(4));
        if (byte() & 1) v.push_back(v.front());
        return v;
    }

    RefPolygon polygonRings() {
        RefPolygon p{{ring()}};
        if (byte() & 1) p.rings.push_back(ring());
        return p;
    }

    RefGeometry geometry() {
        switch (byte() % 6) {
            case 0: return exact::point(vertex());
            case 1: {
                RefGeometry g = exact::lineString(vertices(count(4)));
                if (byte() & 1) g.sublines.push_back(vertices(count(3)));
                return g;
            }
            case 2: return RefGeometry{Kind::Polygon, {}, {}, {polygonRings()}};
            case 3: return exact::multiPoint(vertices(count(3)));
            case 4: {
                std::vector<Vertices> lines;
                for (std::size_t i = count(2); i > 0; --i) lines.push_back(vertices(1 + count(2)));
                return exact::multiLineString(std::move(lines));
            }
            default: {
                std::vector<RefPolygon> polygons;
                for (std::size_t i = count(2); i > 0; --i) polygons.push_back(polygonRings());
                return exact::multiPolygon(std::move(polygons));
            }
        }
    }

private:
    const DPoint3d& earlier() { return pool_[byte() % pool_.size()]; }

    InputReader in_;
    std::vector<DPoint3d> pool_;
};

// The bytes before the geometries: the exact-intersection target's
// tolerance, which the distance target skips so that both share seeds.
inline constexpr std::size_t kHeadBytes = 10;

// Decodes two geometries after the head, builds their records and, when both
// build, calls check(a, b, record of a, record of b, the exact squared
// distance or none); frees the records.
template <typename Check>
void checkDecodedPair(const std::uint8_t* data, std::size_t size, Check check) {
    const std::size_t head = std::min(size, kHeadBytes);
    Decoder decoder(data + head, size - head);
    const RefGeometry a = decoder.geometry(), b = decoder.geometry();
    void* ra = exact::buildRecord(a);
    void* rb = exact::buildRecord(b);
    if (ra != nullptr && rb != nullptr) check(a, b, ra, rb, exact::exactSquaredDistance(a, b));
    if (ra != nullptr) spatialWKB_destroyGeom(&ra);
    if (rb != nullptr) spatialWKB_destroyGeom(&rb);
}

// Stops the run, printing both geometries and what failed.
[[noreturn]] inline void failPair(const RefGeometry& a, const RefGeometry& b, const char* what) {
    std::fprintf(stderr, "A: %s\nB: %s\n%s\n", exact::toWkt(a).c_str(), exact::toWkt(b).c_str(), what);
    __builtin_trap();
}

}  // namespace fuzz_support
