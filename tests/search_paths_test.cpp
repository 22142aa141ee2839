// Every search path of the intersection exports, forced on the same
// geometries and checked against the exact reference: flat lattice shapes
// (touching, collinear and crossing often, in a plane of constant x, y or
// z) are densified (each segment cut into 2, 4 or 8 at exact points, which
// moves the sets across the direct/grid/hierarchy thresholds), given a far
// member off their plane (which sends them from the flat search to the
// general 3D one), and cut into one-segment lines in reverse order (no
// chains for the hierarchies or the chain shortcuts). None of that moves a
// point of either geometry nearer the other, so every variant owes the
// base pair's answer; the prepared export must agree on each.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "exact_configurations.h"
#include "exact_reference.h"
#include "prepared_owner.h"
#include "spatialgeom/record_ptr.h"

namespace {

using namespace exact;
using namespace exact::cases;

DPoint3d lattice(Rng& rng, int size) { return {double(rng.below(size)), double(rng.below(size)), 0}; }

// `count` lattice points.
Vertices walk(Rng& rng, int count) {
    Vertices v{lattice(rng, 20)};
    while (static_cast<int>(v.size()) < count) v.push_back(lattice(rng, 20));
    return v;
}

Vertices rectangle(double x0, double y0, double x1, double y1) {
    return {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}, {x0, y0, 0}};
}

// A rectangle on the lattice, a third of them with a rectangular hole.
RefGeometry box(Rng& rng) {
    const double x0 = rng.below(14), y0 = rng.below(14);
    const double x1 = x0 + 3 + rng.below(6), y1 = y0 + 3 + rng.below(6);
    std::vector<Vertices> rings{rectangle(x0, y0, x1, y1)};
    if (rng.chance(33)) rings.push_back(rectangle(x0 + 1, y0 + 1, x1 - 1, y1 - 1));
    return polygon(rings);
}

// A closed lattice walk (often self-touching), with a hole now and then.
RefGeometry walkedPolygon(Rng& rng) {
    std::vector<Vertices> rings{walk(rng, 3 + rng.below(7))};
    if (rng.chance(30)) rings.push_back(walk(rng, 3 + rng.below(4)));
    for (Vertices& ring : rings) ring.push_back(ring.front());
    return polygon(rings);
}

RefGeometry flatShape(Rng& rng) {
    switch (rng.below(5)) {
        case 4: return walkedPolygon(rng);
        case 0: return point(lattice(rng, 20));
        case 1: return multiPoint(walk(rng, rng.below(30) + 1));
        case 2: return lineString(walk(rng, 2 + rng.below(11)));
        default: return box(rng);
    }
}

// Each segment of a run cut into `pieces` equal parts (exact: lattice
// coordinates halved at most three times).
Vertices densified(const Vertices& run, int pieces) {
    Vertices out;
    for (std::size_t i = 0; i + 1 < run.size(); ++i)
        for (int k = 0; k < pieces; ++k) {
            const double t = double(k) / pieces;
            out.push_back(add(run[i], mul(t, sub(run[i + 1], run[i]))));
        }
    if (!run.empty()) out.push_back(run.back());
    return out;
}

RefGeometry densified(RefGeometry g, int pieces) {
    for (Vertices& s : g.sublines) s = densified(s, pieces);
    for (RefPolygon& p : g.polygons)
        for (Vertices& r : p.rings) r = densified(r, pieces);
    return g;
}

// The same points as one-segment lines in reverse order (points and
// polygons unchanged).
RefGeometry split(const RefGeometry& g) {
    if (g.sublines.empty()) return g;
    std::vector<Vertices> pieces;
    for (auto s = g.sublines.rbegin(); s != g.sublines.rend(); ++s)
        for (std::size_t i = s->size(); i-- > 1;) pieces.push_back({(*s)[i], (*s)[i - 1]});
    return multiLineString(pieces);
}

// The stateless answer; a prepared first geometry (its own indexes for
// polygons of 256 edges or more) must give the same.
std::uint32_t answer(const RefGeometry& a, const RefGeometry& b, double tolerance) {
    const spatialgeom::RecordPtr ra(buildRecord(a)), rb(buildRecord(b));
    const testrecords::Prepared prepared(ra.get());
    EXPECT_EQ(prepared.status, SPATIAL_SUCCESS);
    const std::uint32_t result = testrecords::intersection(ra.get(), rb.get(), tolerance);
    return testrecords::preparedIntersection(prepared.handle, rb.get(), tolerance) == result ? result : 2;
}

TEST(SearchPaths, EveryPathGivesTheExactAnswer) {
    Rng rng{20261207};
    int checked = 0, failures = 0;
    for (int n = 0; n < 300; ++n) {
        // In a plane of constant x, y or z, through 0 or a lattice point.
        const int axis = rng.below(3);
        const double c = rng.chance(25) ? 0.5 * (rng.below(9) - 4) : 0.0;
        const RefGeometry a = flatShape(rng), b = flatShape(rng);
        const std::optional<mpq_class> distance = exactSquaredDistance(a, b);
        for (const double tolerance : {0.0, 0.5, 1.0}) {
            const Owed owed = owedAnswer(a, b, distance, tolerance);
            if (owed == Owed::either) continue;
            for (const int pieces : {1, 2, 4, 8}) {
                const auto placed = [&](const RefGeometry& g) { return placedInAxisPlane(g, axis, c); };
                const RefGeometry denseA = densified(a, pieces), denseB = placed(densified(b, pieces));
                const std::vector<std::pair<std::string, RefGeometry>> variants = {
                    {"plain", placed(denseA)},
                    {"far member", placed(withMovedMember(denseA, {0, 0, 1e6}))},
                    {"split", placed(split(denseA))}};
                for (const auto& [variant, first] : variants) {
                    for (const bool swap : {false, true}) {
                        const std::uint32_t got =
                            swap ? answer(denseB, first, tolerance) : answer(first, denseB, tolerance);
                        ++checked;
                        if (got == (owed == Owed::yes ? 1u : 0u)) continue;
                        if (++failures <= 5)
                            ADD_FAILURE() << variant << ", " << pieces << " pieces, tolerance " << tolerance
                                          << (swap ? ", swapped" : "") << ": got " << got << "\n  A: " << toWkt(first)
                                          << "\n  B: " << toWkt(denseB);
                    }
                }
            }
        }
    }
    EXPECT_EQ(failures, 0) << "of " << checked;
}

}  // namespace
