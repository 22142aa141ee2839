#include "queries/flat_point_distance.h"

#include <algorithm>
#include <cmath>

#include "kernel/exact_predicates.h"
#include "kernel/nearest_segment.h"
#include "kernel/plane_frame.h"
#include "kernel/range3d.h"
#include "queries/call_scratch.h"
#include "queries/filter_bounds.h"
#include "queries/prepared_polygon.h"

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
            const DPoint3d* v = runs[i].vertices;
            const std::uint32_t count = runs[i].count;
            if (count == 0) continue;
            if (last != nullptr && !edge(*last, v[0])) return false;
            if (first == nullptr) first = v;
            for (std::uint32_t k = 1; k < count; ++k)
                if (!edge(v[k - 1], v[k])) return false;
            last = v + count - 1;
        }
        if (last != nullptr && !edge(*last, *first)) return false;
        ringDone(head.element, head.ring);
    }
    return true;
}

// The distance from (pu, pv) to the edge ab on the axes U and V, in
// floating point, and a bound on its error. Each branch measures p against
// a point a + s (b - a) with s in [0, 1] (0, 1, or the computed foot,
// which lies within a few ulps of the magnitude M of the coordinates from
// the exact one); every vector and product is off by a few ulps of M, so
// the root is within 2^-44 M (about 500 ulps) of the exact distance to the
// edge, with room to spare. Below the normal range an operation errs by up
// to 2^-1074 absolutely, which costs the root at most about 2^-536: the
// bound adds 2^-500 for that (coordinates that small are not checked
// for the predicates unless an edge crosses the ray's line). nullopt when
// M is 2^250 or more, where products may overflow.
struct Gap {
    double distance, error;
};

template <int U, int V>
std::optional<Gap> gapTo(double pu, double pv, const DPoint3d& a, const DPoint3d& b) {
    const double au = coordinate(a, U), av = coordinate(a, V), bu = coordinate(b, U), bv = coordinate(b, V);
    const double magnitude =
        std::max(std::max(std::max(std::fabs(pu), std::fabs(pv)), std::max(std::fabs(au), std::fabs(av))),
                 std::max(std::fabs(bu), std::fabs(bv)));
    if (!(magnitude < 0x1p250)) return std::nullopt;
    const double du = bu - au, dv = bv - av;
    const double wu = pu - au, wv = pv - av;
    const double along = wu * du + wv * dv;
    double squared = 0.0;
    if (along <= 0.0) {
        squared = wu * wu + wv * wv;
    } else if (const double length = du * du + dv * dv; along >= length) {
        const double eu = pu - bu, ev = pv - bv;
        squared = eu * eu + ev * ev;
    } else {
        const double s = along / length;
        const double cu = wu - s * du, cv = wv - s * dv;
        squared = cu * cu + cv * cv;
    }
    return Gap{std::sqrt(squared), 0x1p-44 * magnitude + 0x1p-500};
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

// The edges that may be the nearest to (pu, pv) on the axes U and V: each
// measured in floating point with its error bound (gapTo) and kept while
// its lower bound is within the least upper bound so far; the survivors
// made exact in the order of their keys (the rings' edge order), so that
// the first of equally near edges wins as in a scan of the rings.
template <int U, int V>
class NearestEdges {
public:
    NearestEdges(double pu, double pv) : pu_(pu), pv_(pv) {}
    // At least the least exact distance to an edge.
    double upper() const { return upper_; }
    // Lowers the upper bound by the edge ab, without keeping it; false
    // when gapTo cannot measure it.
    bool bound(const DPoint3d& a, const DPoint3d& b) { return measure(a, b).has_value(); }
    // Measures the edge ab and keeps it if it may be the nearest; false
    // when gapTo cannot measure it.
    bool add(const DPoint3d& a, const DPoint3d& b, std::uint32_t key) {
        const std::optional<Gap> gap = measure(a, b);
        if (!gap) return false;
        if (const double lower = (gap->distance - gap->error) * kDown; lower <= upper_)
            kept_.push_back({&a, &b, key, lower});
        return true;
    }
    // The exact nearest of the edges kept (each key once).
    std::optional<PointToPolygons> nearest(const DPoint3d& p) {
        std::sort(kept_.begin(), kept_.end(), [](const Kept& x, const Kept& y) { return x.key < y.key; });
        ScratchVector<kernel::Segment3d> candidates;
        for (std::size_t i = 0; i < kept_.size(); ++i)
            if (kept_[i].lower <= upper_ && (i == 0 || kept_[i].key != kept_[i - 1].key))
                candidates.push_back({*kept_[i].a, *kept_[i].b});
        if (candidates.empty()) return std::nullopt;
        const std::optional<kernel::NearestSegment> winner = kernel::nearestSegment(p, candidates);
        if (!winner) return std::nullopt;
        return PointToPolygons{winner->distance, winner->point};
    }

private:
    static constexpr double kDown = 1 - 4 * filter::kUnit, kUp = 1 + 4 * filter::kUnit;
    struct Kept {
        const DPoint3d *a, *b;
        std::uint32_t key;
        double lower;
    };
    std::optional<Gap> measure(const DPoint3d& a, const DPoint3d& b) {
        const std::optional<Gap> gap = gapTo<U, V>(pu_, pv_, a, b);
        if (gap) upper_ = std::min(upper_, (gap->distance + gap->error) * kUp);
        return gap;
    }

    double pu_, pv_;
    double upper_ = INFINITY;
    ScratchVector<Kept> kept_;
};

// The answer with the polygons flat on axis K, at coordinate plane (the
// first vertex's); nullopt when a vertex leaves the plane, or a coordinate
// the parities or the distances need is not safe for them.
template <int K>
std::optional<PointToPolygons> scan(const DPoint3d& p, std::span<const VertexRun> runs, double plane) {
    constexpr int U = (K + 1) % 3, V = (K + 2) % 3;
    const double pu = coordinate(p, U), pv = coordinate(p, V);
    bool safe = true, odd = false, outerOdd = false, inHole = false, inside = false;
    NearestEdges<U, V> nearest(pu, pv);
    std::uint32_t polygon = runs.front().element;
    const auto foldPolygon = [&] { inside = inside || (outerOdd && !inHole); };
    // The first pass: the plane and the parities. (Every coordinate is
    // finite, and the plane's is safe, so every vertex in the plane has a
    // safe coordinate there; the predicates see only the edges that cross
    // the ray's line, whose other coordinates are checked.)
    const bool flat = forEachEdge(
        runs,
        [&](const DPoint3d& a, const DPoint3d& b) __attribute__((always_inline)) {
            if (coordinate(b, K) != plane) return false;
            const double av = coordinate(a, V), bv = coordinate(b, V);
            if ((av > pv) != (bv > pv)) {
                safe = safe && filter::predicateSafe(coordinate(a, U)) && filter::predicateSafe(av) &&
                       filter::predicateSafe(coordinate(b, U)) && filter::predicateSafe(bv);
                odd ^= kernel::edgeCrossesAxisRay(a, b, p, U, V, true) != 0;
                // The nearest of the edges across the ray's line bounds
                // the distance for the second pass's pruning.
                nearest.bound(a, b);
            }
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
    if (!flat || !safe) return std::nullopt;
    foldPolygon();
    // The foot lies in the region (or on its boundary, where either answer
    // of the parities holds): the height is the distance.
    DPoint3d foot = p;
    (K == 0 ? foot.x : K == 1 ? foot.y : foot.z) = plane;
    if (inside) return PointToPolygons{upwardDifference(coordinate(p, K), plane), foot};
    // The second pass: the edges whose exact distance may be the least.
    // An edge with both ends beyond the window of the upper bound around p
    // on an axis (bounds rounded outwards) is skipped before it is
    // measured; the window shrinks with the bound.
    double upper = INFINITY, lowU = -INFINITY, highU = INFINITY, lowV = -INFINITY, highV = INFINITY;
    std::uint32_t edge = 0;
    const bool measured = forEachEdge(
        runs,
        [&](const DPoint3d& a, const DPoint3d& b) __attribute__((always_inline)) {
            if (nearest.upper() != upper) {
                upper = nearest.upper();
                lowU = kernel::nextDown(pu - upper), highU = kernel::nextUp(pu + upper);
                lowV = kernel::nextDown(pv - upper), highV = kernel::nextUp(pv + upper);
            }
            const std::uint32_t key = edge++;
            const double av = coordinate(a, V), bv = coordinate(b, V);
            if ((av > highV && bv > highV) || (av < lowV && bv < lowV)) return true;
            const double au = coordinate(a, U), bu = coordinate(b, U);
            if ((au > highU && bu > highU) || (au < lowU && bu < lowU)) return true;
            return nearest.add(a, b, key);
        },
        [](std::uint32_t, std::uint32_t) {});
    if (!measured) return std::nullopt;
    return nearest.nearest(p);
}

// The nearest edges of a shared polygon flat on axis K to p's foot, whose
// place the caller found outside the region: the grid's cells in rings
// around the foot's cell (those k cells away on either axis at the k-th),
// until the rings cover the window of the least bound found so far, which
// holds every edge that may be the nearest (its box reaches the window, so
// a cell of the window's slots registers it). The candidates within the
// bound go to the exact step in the order of the rings' edges, as the
// scan of the rings gives them (the first of equally near edges wins in
// both).
template <int K>
std::optional<PointToPolygons> nearestThroughGrid(const DPoint3d& p, const PreparedPolygon& polygon) {
    constexpr int U = (K + 1) % 3, V = (K + 2) % 3;
    const double pu = coordinate(p, U), pv = coordinate(p, V);
    const PolygonRings& rings = polygon.rings();
    const SegmentGrid& grid = polygon.index().grid();
    NearestEdges<U, V> nearest(pu, pv);
    const auto measure = [&](std::uint32_t i) {
        const PolygonRings::Edge e = rings.edgeAt(i);
        return nearest.add(rings.vertices[e.from], rings.vertices[e.to], i);
    };
    const std::int64_t c = grid.column(pu), r = grid.row(pv), columns = grid.columns(), rows = grid.rows();
    // The cells of columns c0..c1 in row `row`, and of rows r0..r1 in column `column`, clipped to the grid.
    const auto rowStrip = [&](std::int64_t row, std::int64_t c0, std::int64_t c1) {
        if (row < 0 || row >= rows) return true;
        return grid.forEachInFrozenCells(std::max<std::int64_t>(c0, 0), std::min(c1, columns - 1), row, row, measure);
    };
    const auto columnStrip = [&](std::int64_t column, std::int64_t r0, std::int64_t r1) {
        if (column < 0 || column >= columns || r0 > r1) return true;
        return grid.forEachInFrozenCells(column, column, std::max<std::int64_t>(r0, 0), std::min(r1, rows - 1),
                                         measure);
    };
    for (std::int64_t k = 0;; ++k) {
        const bool measured = k == 0 ? rowStrip(r, c, c)
                                     : rowStrip(r - k, c - k, c + k) && rowStrip(r + k, c - k, c + k) &&
                                           columnStrip(c - k, r - k + 1, r + k - 1) &&
                                           columnStrip(c + k, r - k + 1, r + k - 1);
        if (!measured) return std::nullopt;
        if (c - k <= 0 && r - k <= 0 && c + k >= columns - 1 && r + k >= rows - 1) break;
        const double upper = nearest.upper();
        if (upper == INFINITY) continue;
        const std::int64_t reach = std::max(std::max(c - std::int64_t{grid.column(kernel::nextDown(pu - upper))},
                                                     std::int64_t{grid.column(kernel::nextUp(pu + upper))} - c),
                                            std::max(r - std::int64_t{grid.row(kernel::nextDown(pv - upper))},
                                                     std::int64_t{grid.row(kernel::nextUp(pv + upper))} - r));
        if (k >= reach) break;
    }
    return nearest.nearest(p);
}

}  // namespace

std::optional<PointToPolygons> pointToSharedFlatPolygon(const DPoint3d& point, const PreparedPolygon& polygon) {
    const std::optional<FlatPlane> plane = polygon.flatPlane();
    if (!plane || !filter::predicateSafe(point)) return std::nullopt;
    DPoint3d foot = point;
    (plane->axis == 0 ? foot.x : plane->axis == 1 ? foot.y : foot.z) = plane->value;
    // The foot in the closed region: the height is the distance.
    const std::optional<bool> inRegion = polygon.sharedFlatPointMeets(foot, 0.0);
    if (!inRegion) return std::nullopt;
    if (*inRegion) return PointToPolygons{upwardDifference(coordinate(point, plane->axis), plane->value), foot};
    switch (plane->axis) {
        case 0: return nearestThroughGrid<0>(point, polygon);
        case 1: return nearestThroughGrid<1>(point, polygon);
        default: return nearestThroughGrid<2>(point, polygon);
    }
}

std::optional<PointToPolygons> pointToFlatPolygons(const DPoint3d& point, std::span<const VertexRun> runs) {
    if (!filter::predicateSafe(point.x) || !filter::predicateSafe(point.y) || !filter::predicateSafe(point.z))
        return std::nullopt;
    for (const VertexRun& run : runs)
        if (!filter::allFinite(run.vertices, run.count)) return std::nullopt;
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
