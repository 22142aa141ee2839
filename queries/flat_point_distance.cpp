#include "queries/flat_point_distance.h"

#include <algorithm>
#include <cmath>

#include "kernel/exact_predicates.h"
#include "kernel/plane_frame.h"
#include "kernel/range3d.h"
#include "kernel/nearest_segment.h"
#include "queries/call_scratch.h"
#include "queries/filter_bounds.h"

namespace spatialgeom {
namespace {

using kernel::coordinate;

// edge(a, b) for every edge of every ring in order (a ring closes from its
// last vertex to its first; a ring of one vertex has one edge of zero
// length), then ringDone(polygon, ring); stops with false when edge does.
template <typename Edge, typename RingDone>
bool forEachEdge(std::span<const VertexRun> runs, Edge&& edge, RingDone&& ringDone) {
    for (std::size_t i = 0; i < runs.size();) {
        const VertexRun& head = runs[i];
        const DPoint3d* first = nullptr;
        const DPoint3d* last = nullptr;
        for (; i < runs.size() && runs[i].element == head.element && runs[i].ring == head.ring; ++i) {
            for (std::uint32_t k = 0; k < runs[i].count; ++k) {
                const DPoint3d* v = runs[i].vertices + k;
                if (last != nullptr && !edge(*last, *v)) return false;
                if (first == nullptr) first = v;
                last = v;
            }
        }
        if (last != nullptr && !edge(*last, *first)) return false;
        ringDone(head.element, head.ring);
    }
    return true;
}

// The squared distance from (pu, pv) to the edge ab on the axes U and V,
// in floating point. Each branch measures p against a point a + s (b - a)
// with s in [0, 1] (0, 1, or the computed foot, which lies within a few
// ulps of the magnitude M of the coordinates from the exact one); every
// vector and product is off by a few ulps of M, so the root is within
// 2^-44 M (about 500 ulps) of the exact distance to the edge, with room to
// spare, and kTiny for products in the subnormal range.
template <int U, int V>
double squaredGap(double pu, double pv, const DPoint3d& a, const DPoint3d& b) {
    const double au = coordinate(a, U), av = coordinate(a, V);
    const double du = coordinate(b, U) - au, dv = coordinate(b, V) - av;
    const double wu = pu - au, wv = pv - av;
    const double along = wu * du + wv * dv;
    if (along <= 0.0) return wu * wu + wv * wv;
    const double length = du * du + dv * dv;
    if (along >= length) {
        const double eu = pu - coordinate(b, U), ev = pv - coordinate(b, V);
        return eu * eu + ev * ev;
    }
    const double s = along / length;
    const double cu = wu - s * du, cv = wv - s * dv;
    return cu * cu + cv * cv;
}

// |a - b| rounded upwards, for finite a and b whose difference is finite:
// the rounded difference and its error (two-sum), stepped up when the
// error makes the exact magnitude larger.
double upwardDifference(double a, double b) {
    const double s = a - b;
    const double back = s - a;
    const double error = (a - (s - back)) + (-b - back);
    const double magnitude = std::fabs(s);
    return (s > 0.0 ? error > 0.0 : error < 0.0) ? kernel::nextUp(magnitude) : magnitude;
}

// The answer with the polygons flat on axis K, at coordinate plane (the
// first vertex's); nullopt when a vertex leaves the plane or a coordinate
// is not safe.
template <int K>
std::optional<PointToPolygons> scan(const DPoint3d& p, std::span<const VertexRun> runs, double plane) {
    constexpr int U = (K + 1) % 3, V = (K + 2) % 3;
    const double pu = coordinate(p, U), pv = coordinate(p, V);
    bool safe = true, odd = false, outerOdd = false, inHole = false, inside = false;
    double magnitude = std::max(std::fabs(pu), std::fabs(pv));
    std::uint32_t polygon = runs.front().element;
    const auto foldPolygon = [&] { inside = inside || (outerOdd && !inHole); };
    // The first pass: the plane, the coordinates and the parities.
    const bool flat = forEachEdge(
        runs,
        [&](const DPoint3d& a, const DPoint3d& b) {
            const double bu = coordinate(b, U), bv = coordinate(b, V);
            if (coordinate(b, K) != plane) return false;
            safe = safe && filter::predicateSafe(bu) && filter::predicateSafe(bv);
            magnitude = std::max({magnitude, std::fabs(bu), std::fabs(bv)});
            if ((coordinate(a, V) > pv) != (bv > pv)) odd ^= kernel::edgeCrossesAxisRay(a, b, p, U, V, true) != 0;
            return true;
        },
        [&](std::uint32_t element, std::uint32_t ring) {
            if (element != polygon) {
                foldPolygon();
                polygon = element;
                outerOdd = inHole = false;
            }
            if (ring == 0) outerOdd = odd;
            else inHole = inHole || odd;
            odd = false;
        });
    // (Below 2^250, no product overflows.)
    if (!flat || !safe || !(magnitude < 0x1p250)) return std::nullopt;
    foldPolygon();
    // The foot lies in the region (or on its boundary, where either answer
    // of the parities holds): the height is the distance.
    DPoint3d foot = p;
    (K == 0 ? foot.x : K == 1 ? foot.y : foot.z) = plane;
    if (inside) return PointToPolygons{upwardDifference(coordinate(p, K), plane), foot};
    // The second pass: the least computed distance to an edge, skipping
    // those farther across than the nearest so far.
    double nearest = INFINITY;
    forEachEdge(
        runs,
        [&](const DPoint3d& a, const DPoint3d& b) {
            const double av = coordinate(a, V), bv = coordinate(b, V);
            const double across = std::max({std::min(av, bv) - pv, pv - std::max(av, bv), 0.0});
            if (across * across < nearest) nearest = std::min(nearest, squaredGap<U, V>(pu, pv, a, b));
            return true;
        },
        [](std::uint32_t, std::uint32_t) {});
    // The third: every edge whose distance may be the least, measured
    // exactly; the first of the nearest wins.
    const double bound = 0x1p-44 * magnitude + filter::kTiny;
    const double reach = std::sqrt(nearest) + 2 * bound;
    const double threshold = reach * reach * (1 + 8 * filter::kUnit);
    ScratchVector<kernel::Segment3d> candidates;
    forEachEdge(
        runs,
        [&](const DPoint3d& a, const DPoint3d& b) {
            if (squaredGap<U, V>(pu, pv, a, b) <= threshold) candidates.push_back({a, b});
            return true;
        },
        [](std::uint32_t, std::uint32_t) {});
    const std::optional<kernel::NearestSegment> winner = kernel::nearestSegment(p, candidates);
    if (!winner) return std::nullopt;
    return PointToPolygons{winner->distance, winner->point};
}

}  // namespace

std::optional<PointToPolygons> pointToFlatPolygons(const DPoint3d& point, std::span<const VertexRun> runs) {
    if (!filter::predicateSafe(point.x) || !filter::predicateSafe(point.y) || !filter::predicateSafe(point.z))
        return std::nullopt;
    const auto withVertices = std::find_if(runs.begin(), runs.end(), [](const VertexRun& r) { return r.count > 0; });
    if (withVertices == runs.end()) return std::nullopt;
    const DPoint3d& first = withVertices->vertices[0];
    if (!filter::predicateSafe(first.x) || !filter::predicateSafe(first.y) || !filter::predicateSafe(first.z))
        return std::nullopt;
    if (std::optional<PointToPolygons> answer = scan<2>(point, runs, first.z)) return answer;
    if (std::optional<PointToPolygons> answer = scan<0>(point, runs, first.x)) return answer;
    return scan<1>(point, runs, first.y);
}

}  // namespace spatialgeom
