// The distance against a prepared geometry (spatialWKB_distancePrepared):
// the same doubles, value and both points, as spatialWKB_distance with the
// prepared record first, compared bit for bit, on the configurations of
// exact_configurations.h (every kind pair; each record prepared in turn,
// as the export prepares it and with every polygon shared however small)
// and around large shared polygons. (Statuses and many threads
// measuring: prepared_geometry_test.)
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exact_configurations.h"
#include "exact_reference.h"
#include "prepared_owner.h"
#include "queries/prepared_geometry.h"
#include "queries/record_distance.h"
#include "record_test_builder.h"
#include "spatialgeom/prepared.h"
#include "spatialgeom/queries.h"
#include "spatialgeom/record_ptr.h"

namespace {

using namespace exact;
using namespace exact::cases;

using spatialgeom::RecordPtr;
using testrecords::Prepared;

// A distance call's whole answer, compared by bits (NaN equals NaN).
struct Answer {
    std::uint32_t status = 7;
    double distance = -7;
    DPoint3d onFirst{-7, -7, -7}, onSecond{-7, -7, -7};

    bool operator==(const Answer& o) const {
        const auto same = [](double a, double b) {
            return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
        };
        const auto samePoint = [&](const DPoint3d& a, const DPoint3d& b) {
            return same(a.x, b.x) && same(a.y, b.y) && same(a.z, b.z);
        };
        return status == o.status && same(distance, o.distance) && samePoint(onFirst, o.onFirst) &&
               samePoint(onSecond, o.onSecond);
    }
};

std::ostream& operator<<(std::ostream& out, const Answer& a) {
    char text[256];
    std::snprintf(text, sizeof text, "status %u, %.17g, (%.17g %.17g %.17g) (%.17g %.17g %.17g)", a.status, a.distance,
                  a.onFirst.x, a.onFirst.y, a.onFirst.z, a.onSecond.x, a.onSecond.y, a.onSecond.z);
    return out << text;
}

Answer stateless(const void* a, const void* b) {
    Answer r;
    r.status = spatialWKB_distance(a, b, &r.distance, &r.onFirst, &r.onSecond);
    return r;
}

Answer prepared(const void* handle, const void* other) {
    Answer r;
    r.status = spatialWKB_distancePrepared(handle, other, &r.distance, &r.onFirst, &r.onSecond);
    return r;
}

Answer internal(const spatialgeom::PreparedGeometry& p, const void* other) {
    Answer r;
    r.status = spatialgeom::preparedDistance(p, static_cast<const spatialgeom::Byte*>(other), &r.distance, &r.onFirst,
                                             &r.onSecond)
                   ? 0
                   : 32768;
    return r;
}

TEST(PreparedDistance, SameBitsAsTheStatelessDistanceOnEveryConfiguration) {
    const long perClass = 40;
    long cases = 0;
    std::map<std::pair<int, int>, long> kindPairs;
    std::uint64_t seed = 101;
    for (const ConfigurationClass& cls : configurationClasses()) {
        Rng rng{seed++ * 0x9E3779B97F4A7C15ull};
        const long runs = std::string(cls.name) == "random grid geometries" ? 10 * perClass : perClass;
        for (long i = 0; i < runs; ++i) {
            const Pair pair = cls.generate(rng);
            const RecordPtr a(buildRecord(pair.a)), b(buildRecord(pair.b));
            if (a.get() == nullptr || b.get() == nullptr) continue;
            SCOPED_TRACE(std::string(cls.name) + " [" + pair.variant + "]\n  A: " + toWkt(pair.a) +
                         "\n  B: " + toWkt(pair.b));
            ++cases;
            ++kindPairs[{std::min(int(pair.a.kind), int(pair.b.kind)), std::max(int(pair.a.kind), int(pair.b.kind))}];
            for (const auto& [first, second] : {std::pair(a.get(), b.get()), std::pair(b.get(), a.get())}) {
                const Answer expected = stateless(first, second);
                const Prepared p(first);
                ASSERT_EQ(p.status, SPATIAL_SUCCESS);
                EXPECT_EQ(prepared(p.handle, second), expected);
                // Every polygon shared: the estimate reads the shared rings,
                // the exact tests go through the shared indexes.
                const auto allShared =
                    spatialgeom::PreparedGeometry::prepare(static_cast<const spatialgeom::Byte*>(first), 0);
                ASSERT_TRUE(allShared);
                EXPECT_EQ(internal(*allShared, second), expected);
            }
        }
    }
    EXPECT_GT(cases, 400);
    EXPECT_EQ(kindPairs.size(), 21u);
}

// A ring of n vertices around (cx, cy), radius r, closed.
Vertices star(double cx, double cy, double r, int n, bool reversed) {
    Vertices ring;
    for (int i = 0; i < n; ++i) {
        const double angle = (reversed ? -1 : 1) * 2 * M_PI * i / n, radius = r * (i % 2 == 0 ? 1.0 : 0.93);
        ring.push_back({cx + radius * std::cos(angle), cy + radius * std::sin(angle), 0});
    }
    ring.push_back(ring.front());
    return ring;
}

// Large polygons (shared once prepared, as the export prepares them),
// flat, tilted exactly and rotated off one plane, against points over the
// region and the hole, segments through and past them, and each other.
TEST(PreparedDistance, SameBitsAroundLargeSharedPolygons) {
    Rng rng{77};
    int cases = 0;
    for (int placement = 0; placement < 3; ++placement) {
        const Frame frame = placement == 0   ? Frame{{0, 0, 2}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}
                            : placement == 1 ? Frame{{0, 0, 0}, {1, 0, 1}, {0, 1, 0.5}, {-1, -0.5, 1}}
                                             : rotatedFrame(rng, 1.0, {0.25, -0.5, 1});
        const auto place = [&](Vertices v, double w = 0) {
            for (DPoint3d& p : v) p = frame.at(p.x, p.y, w);
            return v;
        };
        const RefGeometry shape = polygon({place(star(0, 0, 10, 600, false)), place(star(1, 0, 4, 300, true))});
        const RefGeometry twin = multiPolygon(
            {RefPolygon{{place(star(30, 0, 8, 400, false), 0.5)}}, RefPolygon{{place(star(-30, 0, 8, 5, false))}}});
        const RecordPtr a(buildRecord(shape)), b(buildRecord(twin));
        ASSERT_TRUE(a.get() && b.get());
        const Prepared pa(a.get()), pb(b.get());
        ASSERT_EQ(pa.status, SPATIAL_SUCCESS);
        ASSERT_EQ(pb.status, SPATIAL_SUCCESS);
        std::vector<RefGeometry> others = {twin};
        for (int i = 0; i < 40; ++i) {
            const DPoint3d p = frame.at(rng.range(-14, 14), rng.range(-14, 14), rng.range(-3, 3));
            const DPoint3d q = frame.at(rng.range(-14, 14), rng.range(-14, 14), rng.range(-3, 3));
            others.push_back(point(p));
            others.push_back(lineString({p, q}));
        }
        others.push_back(point(frame.at(1, 0, 2)));         // over the hole's centre
        others.push_back(multiPoint({frame.at(7, 0, 1)}));  // over the region
        for (const RefGeometry& g : others) {
            const RecordPtr o(buildRecord(g));
            SCOPED_TRACE("placement " + std::to_string(placement) + ": " + toWkt(g));
            EXPECT_EQ(prepared(pa.handle, o.get()), stateless(a.get(), o.get()));
            EXPECT_EQ(prepared(pb.handle, o.get()), stateless(b.get(), o.get()));
            ++cases;
        }
    }
    EXPECT_EQ(cases, 3 * 83);
}

}  // namespace
