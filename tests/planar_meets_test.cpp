// Shapes lying in one plane of constant coordinate are tested by the
// planar search (one pass for a point, box hierarchies for chains, a grid
// for point sets); its answers must be exactly those of the tests for
// shapes anywhere in space. Lattice coordinates make touching, collinear
// and vertex-on-edge configurations frequent, where any difference in
// exactness would show at tolerance 0.
#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "queries/shape_meets.h"
#include "records/navigation.h"
#include "spatialgeom/record_ptr.h"

namespace {

using spatialgeom::Byte;
using Points = std::vector<DPoint3d>;

using spatialgeom::RecordPtr;

const Byte* bytesOf(const RecordPtr& record) { return static_cast<const Byte*>(record.get()); }

class LatticeShapes {
public:
    explicit LatticeShapes(unsigned seed) : random_(seed) {}

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }

    // The plane of the next shapes: which coordinate is constant, and its value.
    void choosePlane() {
        axis_ = pick(0, 2);
        value_ = pick(0, 3) == 0 ? 0.5 * pick(-4, 4) : 0.0;
    }
    DPoint3d at(double u, double v) const {
        double c[3];
        c[axis_] = value_;
        c[(axis_ + 1) % 3] = u;
        c[(axis_ + 2) % 3] = v;
        return {c[0], c[1], c[2]};
    }
    // A random walk of lattice steps (small sets are crossed directly,
    // larger ones through the hierarchies).
    Points walk(int count, int extent) {
        Points points;
        double u = pick(0, extent), v = pick(0, extent);
        for (int i = 0; i < count; ++i) {
            points.push_back(at(u, v));
            u = std::clamp(u + pick(-2, 2), 0.0, double(extent));
            v = std::clamp(v + pick(-2, 2), 0.0, double(extent));
        }
        return points;
    }
    Points scattered(int count, int extent) {
        Points points;
        for (int i = 0; i < count; ++i) points.push_back(at(pick(0, extent), pick(0, extent)));
        return points;
    }
    // A polygon: a ring of lattice points (possibly self-touching), often
    // with a hole or two.
    RecordPtr polygon(bool large) {
        const int extent = large ? 24 : 8;
        const Points outer = walk(large ? pick(20, 60) : pick(3, 9), extent);
        RecordPtr record;
        spatialWKB_createPolygon(outer.data(), static_cast<uint32_t>(outer.size()), record.out());
        for (int h = pick(0, 2); h > 0; --h) {
            const Points hole = walk(pick(3, 8), extent);
            spatialWKB_addRingToPolygon(hole.data(), static_cast<uint32_t>(hole.size()), record.out());
        }
        return record;
    }
    RecordPtr line(bool large) {
        const Points points = walk(large ? pick(20, 60) : pick(2, 8), large ? 24 : 8);
        RecordPtr record;
        spatialWKB_createLine(points.data(), static_cast<uint32_t>(points.size()), record.out());
        return record;
    }

private:
    std::mt19937 random_;
    int axis_ = 2;
    double value_ = 0.0;
};

constexpr std::array<double, 5> kTolerances = {0.0, 0.0, 0.5, 1.0, 1.5};

TEST(PlanarMeets, AgreesWithTheTestsInSpaceOnLatticeShapes) {
    LatticeShapes shapes(20261207);
    int meets = 0, trials = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        shapes.choosePlane();
        const bool large = shapes.pick(0, 3) == 0;
        const double tolerance = kTolerances[shapes.pick(0, 4)];
        const RecordPtr target = shapes.polygon(large);
        const auto polygons = [&] {
            spatialgeom::PolygonSet set(tolerance);
            set.add(spatialgeom::polygonBody(bytesOf(target)));
            return set;
        };
        bool planar, inSpace;
        switch (shapes.pick(0, 3)) {
            case 0: {  // one point, or several
                const Points points = shapes.scattered(shapes.pick(0, 1) ? 1 : (large ? 40 : 5), large ? 24 : 8);
                spatialgeom::LinearSet a(tolerance), b(tolerance);
                a.addPoints(points.data(), static_cast<uint32_t>(points.size()));
                b.addPoints(points.data(), static_cast<uint32_t>(points.size()));
                spatialgeom::PolygonSet p = polygons(), q = polygons();
                planar = spatialgeom::linearMeetsPolygons(a, p, tolerance);
                inSpace = spatialgeom::linearMeetsPolygonsInSpace(b, q);
                break;
            }
            case 1: {
                const RecordPtr line = shapes.line(large);
                spatialgeom::LinearSet a(tolerance), b(tolerance);
                a.addSublineSeq(spatialgeom::lineBody(bytesOf(line)));
                b.addSublineSeq(spatialgeom::lineBody(bytesOf(line)));
                spatialgeom::PolygonSet p = polygons(), q = polygons();
                planar = spatialgeom::linearMeetsPolygons(a, p, tolerance);
                inSpace = spatialgeom::linearMeetsPolygonsInSpace(b, q);
                break;
            }
            default: {
                const RecordPtr other = shapes.polygon(large);
                spatialgeom::PolygonSet p = polygons(), q = polygons(), r(tolerance), s(tolerance);
                r.add(spatialgeom::polygonBody(bytesOf(other)));
                s.add(spatialgeom::polygonBody(bytesOf(other)));
                planar = spatialgeom::polygonsMeetPolygons(p, r, tolerance);
                inSpace = spatialgeom::polygonsMeetPolygonsInSpace(q, s);
                break;
            }
        }
        ASSERT_EQ(planar, inSpace) << "trial " << trial << " tolerance " << tolerance;
        ++trials;
        meets += planar;
    }
    EXPECT_GT(meets, trials / 5);
    EXPECT_LT(meets, trials * 4 / 5);
}

}  // namespace
